#!/usr/bin/env bash
# cardclone on real FAT file systems: card images made with mkfs.vfat and
# mounted through FUSE with fusefat. One run clones a FAT golden card onto a
# fresh card, a used card, a card too small for the audio tree (refused up
# front, left as it was) and a card that is unmounted in the middle of the
# run; then a golden card that is not
# ready, the golden card under other spellings, and a second run.
#   cardclone_fat.sh <cardclone> <cardcheck> <work folder>
# Exits 77 (skipped) where FUSE cannot be used; fails when a case did not run.
set -uo pipefail
CLONE="$(realpath "$1")"
CHECK="$(realpath "$2")"
WORK="$3"
MNT="$WORK/mnt"
CARDS=(golden fresh used small gone)

unmount_all() {
  for card in "${CARDS[@]}"; do
    mountpoint -q "$MNT/$card" 2>/dev/null && { fusermount -u "$MNT/$card" 2>/dev/null || fusermount -u -z "$MNT/$card"; }
  done
  return 0
}
cleanup() { unmount_all; sleep 0.2; [[ -n "${KEEP_WORK:-}" ]] || rm -rf "$WORK"; }
trap cleanup EXIT
cleanup

for tool in mkfs.vfat fusefat fusermount; do
  command -v "$tool" >/dev/null || { echo "cardclone_fat: $tool missing; skipped"; exit 77; }
done
mkdir -p "$WORK/img" "$MNT"
for card in "${CARDS[@]}"; do mkdir -p "$MNT/$card"; done

# use_ino: fusefat then gives every file and folder one stable inode, as the
# kernel's FAT driver does, whatever case a name is spelled in. Without it
# "audio" and "AUDIO" would look like two folders.
mount_card() { fusefat -o rw+,use_ino "$WORK/img/$1.img" "$MNT/$1" >/dev/null 2>&1; }
# FAT32 where the card is big enough: fusefat's inode of a FAT16 root folder
# is the number of the first data cluster, so the first folder made there
# would share it, and tools such as find see a loop.
make_card() {  # name size-in-MiB
  truncate -s "$2M" "$WORK/img/$1.img"
  local fat=()
  [[ $2 -ge 40 ]] && fat=(-F 32 -s 1)
  mkfs.vfat "${fat[@]}" "$WORK/img/$1.img" >/dev/null || return 1
  mount_card "$1"
}
if ! make_card golden 40 || ! mountpoint -q "$MNT/golden"; then
  echo "cardclone_fat: FUSE cannot be used here; skipped"
  exit 77
fi
make_card fresh 40 && make_card used 40 && make_card small 2 && make_card gone 40 || { echo "cardclone_fat: cannot mount"; exit 1; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
passed=()
case_done() { passed+=("$1"); }

le32() { printf "\\\\x%02x\\\\x%02x\\\\x%02x\\\\x%02x" $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
# wav FILE DATA-BYTES: 16 kHz mono 16-bit PCM with random samples.
# (One redirection: fusefat loses what is appended to a file.)
wav() {
  {
    printf "RIFF$(le32 $(($2 + 36)))WAVEfmt \\x10\\x00\\x00\\x00\\x01\\x00\\x01\\x00\\x80\\x3e\\x00\\x00\\x00\\x7d\\x00\\x00\\x02\\x00\\x10\\x00data$(le32 "$2")"
    head -c "$2" /dev/urandom
  } >"$1"
}
# settings ENA SENMOD: the 86-byte record; timed playback off, delay 10 s,
# every plan hour the dog.
settings() { printf "\\x0$1\\x05\\x07\\x1c\\x1c\\x00\\x0$2\\x0a\\x00\\x00"; head -c 72 /dev/zero; printf '\x00\x01\x00\x00'; }

# The golden card: sensor playback at random, eight sounds of 1 MB, a file
# the card check never opens, and a folder of the by-hour tree.
G="$MNT/golden"
settings 1 1 >"$G/CFG_BROADCAST.bin"
mkdir -p "$G/audio/SenseRand" "$G/audio/SenseSpecify/dog" "$G/DCIM"
for i in 1 2 3 4 5 6 7 8; do wav "$G/audio/SenseRand/s$i.wav" 1000000; done
wav "$G/audio/SenseSpecify/dog/bark.wav" 20000
echo "golden" >"$G/audio/readme.txt"
echo "capture" >"$G/DCIM/0001.jpg"

# A used card: old settings, other sounds, a golden folder in other case
# holding golden names in other case (one with other bytes, one with the
# golden bytes), captures and a file of the user.
U="$MNT/used"
settings 1 2 >"$U/CFG_BROADCAST.bin"
mkdir -p "$U/AUDIO/senserand" "$U/audio/Alarm/A" "$U/DCIM"
wav "$U/AUDIO/senserand/S1.WAV" 1000000
cp "$G/audio/SenseRand/s2.wav" "$U/AUDIO/senserand/S2.WAV"
wav "$U/audio/Alarm/A/old.wav" 5000
echo "capture" >"$U/DCIM/0042.jpg"
echo "mine" >"$U/notes.txt"
settings 1 2 >"$MNT/small/CFG_BROADCAST.bin"
settings 1 2 >"$MNT/gone/CFG_BROADCAST.bin"

# Every file below a folder with its bytes' checksum, names as spelled.
listing() { (cd "$1" && find . \( -path ./DCIM -o -path ./notes.txt \) -prune -o -type f -print0 | sort -z | xargs -0 -r sha256sum); }
golden_before="$(listing "$G"; sha256sum "$G/DCIM/0001.jpg" | cut -d' ' -f1)"
golden_same() {
  [[ "$(listing "$G"; sha256sum "$G/DCIM/0001.jpg" | cut -d' ' -f1)" == "$golden_before" ]] || fail "golden card changed $1"
}

# ---- one run: fresh, used, too small, unmounted in the middle ----------------
# The card "gone" is unmounted as soon as its first sound is being written.
(
  for _ in $(seq 600); do
    if [[ -n "$(ls -A "$MNT/gone/audio/SenseRand" 2>/dev/null)" ]]; then fusermount -u -z "$MNT/gone"; exit 0; fi
    sleep 0.02
  done
) &
WATCHER=$!
OPENS=()
# (LeakSanitizer cannot work under strace.)
command -v strace >/dev/null && OPENS=(env ASAN_OPTIONS=detect_leaks=0 strace -f -qq -e trace=openat -o "$WORK/opens.log")
small_before="$(listing "$MNT/small")"
"${OPENS[@]}" "$CLONE" --yes "$G" "$MNT/fresh" "$MNT/used" "$MNT/small" "$MNT/gone" >"$WORK/run1.txt" 2>&1
status=$?
wait "$WATCHER"
cat "$WORK/run1.txt"
[[ $status -eq 1 ]] || fail "first run: exit $status, expected 1"
golden_same "by the first run"
mountpoint -q "$MNT/gone" && fail "the card was not unmounted during the run"
# The detached fusefat of that card writes what it still holds to its image
# and ends once nothing uses the card any more: the image is read again
# only after that.
for _ in $(seq 300); do pgrep -f "fusefat .*$WORK/img/gone.img" >/dev/null || break; sleep 0.1; done
pgrep -f "fusefat .*$WORK/img/gone.img" >/dev/null && fail "the unmounted card's fusefat did not end"
mount_card gone

for card in fresh used; do
  grep -q "^$MNT/$card  可以使用，" "$WORK/run1.txt" || fail "$card not ready"
  # FAT ignores case: a folder the card spells otherwise is the golden one.
  [[ "$(listing "$MNT/$card" | tr A-Z a-z | sort)" == "$(listing "$G" | tr A-Z a-z | sort)" ]] || { fail "$card differs from the golden card"; diff <(listing "$MNT/$card") <(listing "$G"); }
  "$CHECK" "$MNT/$card" >/dev/null || fail "cardcheck: $card not ready"
done
[[ -e "$MNT/fresh/DCIM" ]] && fail "golden captures copied onto the fresh card"
[[ "$(cat "$U/DCIM/0042.jpg" "$U/notes.txt")" == $'capture\nmine' ]] || fail "used card: captures or user file touched"
[[ -e "$U/audio/Alarm" ]] && fail "used card: stale sounds kept"
# The card's folders keep their spelling; a file written anew takes the golden
# one, a file found identical keeps the card's. The names in other case are
# the golden files: compared, never removed and written again.
[[ "$(cd "$U" && echo AUDIO/*)" == "AUDIO/SenseSpecify AUDIO/readme.txt AUDIO/senserand" ]] || fail "used card: names $(cd "$U" && echo AUDIO/*)"
sounds="$(cd "$U/AUDIO/senserand" && printf '%s ' * | tr ' ' '\n' | LC_ALL=C sort | tr '\n' ' ')"
[[ "$sounds" == "S2.WAV s1.wav s3.wav s4.wav s5.wav s6.wav s7.wav s8.wav " ]] || fail "used card: sounds named $sounds"
grep -q "^  $MNT/used (.*): 写入 8 个文件 (.*)，比较 2 个大小相同的文件，删除 1 个文件$" "$WORK/run1.txt" || fail "used card: the plan's counts"
grep -q "^$MNT/used  可以使用，写入 9 个文件，删除 1 个，已相同 1 个，" "$WORK/run1.txt" || fail "used card: the result's counts"
grep -q "^  $MNT/small (.*): 不写这张卡: 存储卡空间不足: 需要 " "$WORK/run1.txt" || fail "small card not refused in the plan"
grep -q "^$MNT/small  失败 (存储卡空间不足" "$WORK/run1.txt" || fail "small card not reported short of room"
[[ "$(listing "$MNT/small")" == "$small_before" ]] || fail "the card refused up front was changed"
grep -q "^$MNT/gone  失败 (" "$WORK/run1.txt" || fail "unmounted card not reported failed"
[[ -e "$MNT/gone/CFG_BROADCAST.bin" ]] && fail "gone carries a settings file"
[[ "$("$CHECK" "$MNT/gone")" == *"没有 CFG_BROADCAST.bin"* ]] || fail "cardcheck does not say gone lacks settings"
grep -q "^2 张存储卡可以使用，2 张失败$" "$WORK/run1.txt" || fail "summary line"
[[ $failures -eq 0 ]] && case_done "fresh, used, full and unmounted cards in one run"

# Each golden file is read once for all four cards: the card check opens a
# sound for its header, the clone opens it once more, and a file the check
# never reads is opened once.
if [[ ${#OPENS[@]} -gt 0 ]]; then
  before=$failures
  [[ "$(grep -c "$G/audio/SenseRand/s3.wav\"" "$WORK/opens.log")" == 2 ]] || fail "s3.wav opened $(grep -c "$G/audio/SenseRand/s3.wav\"" "$WORK/opens.log") times"
  [[ "$(grep -c "$G/audio/readme.txt\"" "$WORK/opens.log")" == 1 ]] || fail "readme.txt opened more than once"
  [[ $failures -eq $before ]] && case_done "golden files read once"
fi

# ---- a golden card that is not ready: exit 2, no card changes ---------------
before=$failures
image_sums() { unmount_all; sleep 0.2; (cd "$WORK/img" && sha256sum fresh.img used.img); for c in "${CARDS[@]}"; do mount_card "$c"; done; }
sums="$(image_sums)"
mkdir -p "$WORK/notready/audio/SenseRand"
settings 1 2 >"$WORK/notready/CFG_BROADCAST.bin"  # by hour: the dog folder is missing
"$CLONE" "$WORK/notready" "$MNT/fresh" "$MNT/used" >"$WORK/run2.txt" 2>&1
status=$?
[[ $status -eq 2 ]] || fail "golden card not ready: exit $status"
grep -q "样板卡还不能使用" "$WORK/run2.txt" || fail "golden card not ready: no problems shown"

# ---- the golden card again under other spellings: refused -------------------
ln -s "$G" "$WORK/link"
for spelling in "$G/." "$WORK/link" "$MNT/../mnt/golden" "$G/dcim"; do
  "$CLONE" "$G" "$MNT/fresh" "$spelling" >"$WORK/run3.txt" 2>&1
  status=$?
  [[ $status -eq 2 ]] && grep -q "目标就是样板卡\|目标在样板卡里面" "$WORK/run3.txt" || fail "golden card as $spelling: exit $status"
done
[[ "$(image_sums)" == "$sums" ]] || fail "a refused run changed a card"
golden_same "by the refused runs"
[[ $failures -eq $before ]] && case_done "golden card not ready and golden card as a target refused"

# ---- a file FAT32 cannot hold: the card is refused before it is written ------
before=$failures
mkdir -p "$WORK/huge/audio/SenseRand"
cp "$G/CFG_BROADCAST.bin" "$WORK/huge/"
cp "$G"/audio/SenseRand/*.wav "$WORK/huge/audio/SenseRand/"
truncate -s 4100M "$WORK/huge/audio/SenseRand/huge.bin"  # sparse: nothing is read
"$CLONE" "$WORK/huge" "$MNT/fresh" >"$WORK/run5.txt" 2>&1
status=$?
[[ $status -eq 1 ]] || fail "a file over 4 GB: exit $status"
grep -qF '不写这张卡: 文件超过 4 GB，FAT32 存储卡放不下: audio\SenseRand\huge.bin' "$WORK/run5.txt" || { cat "$WORK/run5.txt"; fail "a file over 4 GB not refused in the plan"; }
rm -rf "$WORK/huge"
[[ "$(image_sums)" == "$sums" ]] || fail "the refused card was changed"
[[ $failures -eq $before ]] && case_done "a file over 4 GB refused for a FAT32 card"

# ---- a second run on the finished cards writes nothing ---------------------
before=$failures
"$CLONE" "$G" "$MNT/fresh" "$MNT/used" >"$WORK/run4.txt" 2>&1
status=$?
cat "$WORK/run4.txt"
[[ $status -eq 0 ]] || fail "second run: exit $status"
[[ "$(grep -c "可以使用，写入 0 个文件，删除 0 个，已相同 10 个" "$WORK/run4.txt")" == 2 ]] || fail "second run wrote"
[[ "$(image_sums)" == "$sums" ]] || fail "second run changed a card image"
golden_same "by the second run"
[[ $failures -eq $before ]] && case_done "second run writes nothing"

printf 'case passed: %s\n' "${passed[@]}"
if [[ $failures -ne 0 || ${#passed[@]} -lt 5 ]]; then
  echo "cardclone_fat: $failures failures, ${#passed[@]} cases passed"
  exit 1
fi
echo "cardclone_fat: all cases passed"
