#!/usr/bin/env bash
# cardclone against its references, each measured in the same run:
#   small  3,000 files of 1 KB onto three tmpfs cards (verified), against
#          cp -r of the same tree to the three cards one after another; then
#          a second run onto the finished cards (nothing to write) against the
#          same cp -r.
#   paced  three slowcard mounts (8 MB/s write, 16 MB/s read, 10 ms a flush),
#          300 files of 160 KB and 40 files of 1.2 MB, against the cards' own
#          limit: one card's write plus read-back of the golden bytes (the
#          cards are paced each on its own, so three at once cost no more).
#   large  about 300 MB in 200 files onto three tmpfs cards, then onto three
#          FAT cards through fusefat, against cp -r three times, with peak
#          memory.
#   window the many-card window's way of making cards (batch_bench: the
#          golden card chosen, one run of all cards) against cardclone, on
#          the paced cards of case A, taking turns.
#   fleet  the window's code (batch_bench) onto twelve slowcard mounts at
#          once (2 MB/s write, 4 MB/s read, 10 ms a flush), 300 files of
#          160 KB, against the cards' own limit (one card's write plus
#          read-back of the golden bytes: each card is its own mount with its
#          own pace), with batch_bench's peak memory.
# Builds nothing; all parts, or only those named:
#   bench/cardclone_bench.sh build/bench-host/cardclone/cardclone [small] [paced] [large] [window] [fleet]
# Needs root (mount, FUSE). cardcheck is looked for beside the cardclone
# build (../cardcheck/cardcheck) unless CARDCHECK names it, batch_bench in
# ../bench unless BATCH_BENCH names it; slowcard.py in
# the shared tools unless SLOWCARD names it. BENCH_ROUNDS (3): best of that
# many rounds on tmpfs; BENCH_PACED_ROUNDS (1) for the paced cards, whose time
# is set by the pacing rather than by the machine's noise; BENCH_WINDOW_ROUNDS
# (2) for the window's code against cardclone; BENCH_FLEET_ROUNDS (1) for the
# twelve cards, each round shown.
# A missed speed target is only reported; the exit code is 1 when cardclone
# failed or a card did not match the golden one.
set -euo pipefail

if [[ $# -lt 1 || ! -x "$1" ]]; then
  echo "usage: $0 PATH/TO/cardclone [small] [paced] [large] [window] [fleet]" >&2
  exit 2
fi
CLONE="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
shift
PARTS=("$@")
[[ ${#PARTS[@]} -gt 0 ]] || PARTS=(small paced large window fleet)
for part in "${PARTS[@]}"; do
  case "$part" in small | paced | large | window | fleet) ;; *) echo "unknown part: $part" >&2; exit 2 ;; esac
done
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CARDCHECK="${CARDCHECK:-$(dirname "$CLONE")/../cardcheck/cardcheck}"
BATCH_BENCH="${BATCH_BENCH:-$(dirname "$CLONE")/../bench/batch_bench}"
SLOWCARD="${SLOWCARD:-$ROOT/../shared/tools/slowcard.py}"
[[ -f "$SLOWCARD" ]] || SLOWCARD=/work/shared/tools/slowcard.py
ROUNDS="${BENCH_ROUNDS:-3}"
PACED_ROUNDS="${BENCH_PACED_ROUNDS:-1}"
WINDOW_ROUNDS="${BENCH_WINDOW_ROUNDS:-2}"
FLEET_ROUNDS="${BENCH_FLEET_ROUNDS:-1}"
WORK="$(mktemp -d "${TMPDIR:-/tmp}/cardclone-bench.XXXXXX")"
FAILED=0

# Later versions ask before removing anything from a card unless told; the
# bench runs both those and today's, which knows no such option.
YES=()
help_text="$("$CLONE" --help 2>&1 || true)"
[[ "$help_text" == *--yes* ]] && YES=(--yes)

# Every mount in the order made, so that a FUSE mount goes before the tmpfs
# holding its back folder, on every way out.
MOUNTS=()
DAEMONS=()
unmount() {
  local m="$1"
  mountpoint -q "$m" 2>/dev/null || return 0
  fusermount -u "$m" 2>/dev/null || umount "$m" 2>/dev/null || umount -l "$m"
}
cleanup() {
  local i pid
  for ((i = ${#MOUNTS[@]} - 1; i >= 0; --i)); do unmount "${MOUNTS[i]}" || true; done
  for pid in "${DAEMONS[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf --one-file-system "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mount_tmpfs() {  # DIR SIZE
  mkdir -p "$1"
  mount -t tmpfs -o "size=$2" tmpfs "$1"
  MOUNTS+=("$1")
}

# Waits for a FUSE daemon's mount, giving up when the daemon (if its PID is
# given) ends or after a deadline: how long a mount takes depends on the
# machine's load.
wait_mounted() {  # DIR [PID]
  local deadline=$((SECONDS + 20))
  until mountpoint -q "$1"; do
    if { [[ $# -gt 1 ]] && ! kill -0 "$2" 2>/dev/null; } || ((SECONDS >= deadline)); then
      echo "mount of $1 did not come up" >&2
      return 1
    fi
    sleep 0.05
  done
}

# make_golden DIR COUNT BYTES: a card that passes cardcheck, COUNT sound
# files of BYTES bytes each (16 kHz 16-bit mono WAVE, random samples) under
# audio/SenseRand, and settings for the random sensor plan.
make_golden() {
  /usr/bin/python3 - "$@" <<'EOF'
import os, struct, sys
root, count, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
with open(os.path.join(root, "CFG_BROADCAST.bin"), "wb") as f:
    f.write(b"\x01\x05\x07\x1c\x1c\x00\x01\x0a\x00\x00" + bytes(72) + b"\x00\x01\x00\x00")
folder = os.path.join(root, "audio", "SenseRand")
os.makedirs(folder)
data = size - 44
header = (b"RIFF" + struct.pack("<I", data + 36) + b"WAVEfmt " +
          struct.pack("<IHHIIHH", 16, 1, 1, 16000, 32000, 2, 16) + b"data" + struct.pack("<I", data))
digits = len(str(count))
for i in range(1, count + 1):
    with open(os.path.join(folder, "sound%0*d.wav" % (digits, i)), "wb") as f:
        f.write(header + os.urandom(data))
EOF
}

golden_bytes() { find "$1" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }'; }

now() { date +%s.%N; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }
ratio() { awk -v c="$1" -v r="$2" 'BEGIN { printf "%.2f", c / r }'; }
verdict() { awk -v q="$1" -v t="$2" 'BEGIN { print (q <= t) ? "met" : "missed" }'; }

clear_cards() {
  local card
  for card in "$@"; do rm -rf "$card/audio" "$card/CFG_BROADCAST.bin"; done
  sync
}

# cp -r of the golden card to the cards one after another: sets CP_S.
time_cp() {  # GOLDEN CARD...
  local golden="$1" card start
  shift
  clear_cards "$@"
  start="$(now)"
  for card in "$@"; do cp -r "$golden/audio" "$golden/CFG_BROADCAST.bin" "$card/"; done
  sync
  CP_S="$(seconds "$start" "$(now)")"
}

# One cardclone run: sets CLONE_S and CLONE_RC, keeps its output in
# $WORK/clone.txt. No terminal on its input: it must not stop to ask.
time_clone() {  # GOLDEN CARD...
  local start
  CLONE_RC=0
  start="$(now)"
  "$CLONE" "${YES[@]}" "$@" </dev/null >"$WORK/clone.txt" 2>&1 || CLONE_RC=$?
  CLONE_S="$(seconds "$start" "$(now)")"
  if [[ $CLONE_RC -ne 0 ]]; then
    echo "    cardclone exit $CLONE_RC:"
    sed 's/^/    /' "$WORK/clone.txt"
    FAILED=1
  fi
}

# Every card passes cardcheck and holds exactly the golden card's files.
# A paced card's bytes are compared in its back folder (MEDIUM), which holds
# what was written through the mount: through the mount every card would be
# read again at the card's pace, one after another.
# The cards are checked all at once: cardcheck reads every byte for the
# fingerprint, and a paced card is read at its own pace, so twelve of them
# one after another would take twelve times as long.
declare -A MEDIUM=()
verify_cards() {  # LABEL GOLDEN CARD...
  local label="$1" golden="$2" card bad=0 checks=() i=0
  shift 2
  for card in "$@"; do
    "$CARDCHECK" "$card" >/dev/null 2>&1 &
    checks+=($!)
  done
  for card in "$@"; do
    if ! wait "${checks[i]}"; then
      echo "$label: $card does not pass cardcheck"
      bad=1
    fi
    i=$((i + 1))
    if ! diff -r -q "$golden" "${MEDIUM[$card]:-$card}" >"$WORK/diff.txt" 2>&1; then
      echo "$label: $card differs from the golden card:"
      head -5 "$WORK/diff.txt" | sed 's/^/    /'
      bad=1
    fi
  done
  if [[ $bad -eq 0 ]]; then
    echo "$label: verified, $# cards pass cardcheck and match the golden card byte for byte"
  else
    FAILED=1
  fi
}

part_small() {
  local files=3000 size=1024
  local g="$WORK/small/golden" cards=("$WORK/small/c1" "$WORK/small/c2" "$WORK/small/c3")
  local cp_s="" first_s="" second_s="" first_rc=0 second_rc=0 round card bad_rounds=0 i
  mount_tmpfs "$g" 64m
  for card in "${cards[@]}"; do mount_tmpfs "$card" 64m; done
  make_golden "$g" "$files" "$size"
  sync
  echo "== small files: $files x $size bytes onto 3 tmpfs cards (best of $ROUNDS) =="
  # The reference and cardclone take turns in a different order each round.
  for round in $(seq "$ROUNDS"); do
    if ((round % 2)); then
      time_cp "$g" "${cards[@]}"
      cp_s="$(best "$cp_s" "$CP_S")"
    fi
    clear_cards "${cards[@]}"
    time_clone "$g" "${cards[@]}"
    first_s="$(best "$first_s" "$CLONE_S")"
    [[ $CLONE_RC -eq 0 ]] || first_rc=$CLONE_RC
    time_clone "$g" "${cards[@]}"
    second_s="$(best "$second_s" "$CLONE_S")"
    [[ $CLONE_RC -eq 0 ]] || second_rc=$CLONE_RC
    verify_cards "small round $round" "$g" "${cards[@]}" >"$WORK/verify.txt"
    grep -q ': verified,' "$WORK/verify.txt" || { cat "$WORK/verify.txt"; bad_rounds=$((bad_rounds + 1)); }
    if ! ((round % 2)); then
      time_cp "$g" "${cards[@]}"
      cp_s="$(best "$cp_s" "$CP_S")"
    fi
  done
  [[ $bad_rounds -ne 0 ]] || echo "small: verified after every round, 3 cards pass cardcheck and match the golden card byte for byte"
  local r
  r="$(ratio "$first_s" "$cp_s")"
  printf 'small  %d x 1 KB onto 3 cards:        cp -r x3 %7.3f s   cardclone %7.3f s   ratio %s (target <= 1.5: %s)   exit %d\n' \
    "$files" "$cp_s" "$first_s" "$r" "$(verdict "$r" 1.5)" "$first_rc"
  r="$(ratio "$second_s" "$cp_s")"
  printf 'small  second run, nothing to write: cp -r x3 %7.3f s   cardclone %7.3f s   ratio %s (target <= 1.5: %s)   exit %d\n' \
    "$cp_s" "$second_s" "$r" "$(verdict "$r" 1.5)" "$second_rc"
  for ((i = ${#MOUNTS[@]} - 1; i >= 0; --i)); do unmount "${MOUNTS[i]}"; done
  MOUNTS=()
}

# paced_cards NAME [COUNT [WRITE READ]]: COUNT (3) slowcard mounts into
# CARDS, writing at WRITE (8) and reading at READ (16) MB/s, 10 ms a flush;
# their back folders in MEDIUM.
paced_cards() {
  local name="$1" count="${2:-3}" write="${3:-8}" read="${4:-16}" i pid
  cards=()
  # Back folders on tmpfs: a flush there is free, so the pacing is the
  # cards' only cost. Room for 64 MB a card, at least 512 MB.
  mount_tmpfs "$WORK/paced/back-$name" "$((count * 64 > 512 ? count * 64 : 512))m"
  for i in $(seq "$count"); do
    mkdir -p "$WORK/paced/back-$name/c$i" "$WORK/paced/card-$name-$i"
    /usr/bin/python3 "$SLOWCARD" "$WORK/paced/back-$name/c$i" "$WORK/paced/card-$name-$i" \
      --write-mbps "$write" --read-mbps "$read" --sync-ms 10 >"$WORK/paced/slowcard-$name-$i.log" 2>&1 &
    pid=$!
    DAEMONS+=("$pid")
    MOUNTS+=("$WORK/paced/card-$name-$i")
    wait_mounted "$WORK/paced/card-$name-$i" "$pid"
    cards+=("$WORK/paced/card-$name-$i")
    MEDIUM["$WORK/paced/card-$name-$i"]="$WORK/paced/back-$name/c$i"
  done
}

# Unmounts the cards (and the daemons end with them), the back folders and
# the golden card.
unmount_all() {
  local i pid
  for ((i = ${#MOUNTS[@]} - 1; i >= 0; --i)); do unmount "${MOUNTS[i]}"; done
  MOUNTS=()
  for pid in "${DAEMONS[@]}"; do wait "$pid" 2>/dev/null || true; done
  DAEMONS=()
}

# paced_case NAME COUNT BYTES TARGET
paced_case() {
  local name="$1" files="$2" size="$3" target="$4"
  local g="$WORK/paced/$name" cards=() i pid bytes limit clone_s="" rc=0 round
  mount_tmpfs "$g" 128m
  make_golden "$g" "$files" "$size"
  paced_cards "$name"
  bytes="$(golden_bytes "$g")"
  limit="$(awk -v b="$bytes" 'BEGIN { printf "%.2f", b / 8e6 + b / 16e6 }')"
  for round in $(seq "$PACED_ROUNDS"); do
    clear_cards "${cards[@]}"
    time_clone "$g" "${cards[@]}"
    clone_s="$(best "$clone_s" "$CLONE_S")"
    [[ $CLONE_RC -eq 0 ]] || rc=$CLONE_RC
  done
  verify_cards "paced $name" "$g" "${cards[@]}"
  local r
  r="$(ratio "$clone_s" "$limit")"
  printf 'paced  %-13s (%.1f MB) onto 3 cards: limit %6.2f s   cardclone %6.2f s   ratio %s (target <= %s: %s)   exit %d\n' \
    "$files x $(awk -v s="$size" 'BEGIN { print (s >= 1e6) ? s / 1e6 " MB" : s / 1e3 " KB" }')" \
    "$(awk -v b="$bytes" 'BEGIN { print b / 1e6 }')" "$limit" "$clone_s" "$r" \
    "$target" "$(verdict "$r" "$target")" "$rc"
  unmount_all
}

part_paced() {
  echo "== paced cards: slowcard at 8 MB/s write, 16 MB/s read, 10 ms a flush (best of $PACED_ROUNDS) =="
  if [[ ! -f "$SLOWCARD" ]] || ! /usr/bin/python3 -c 'import fusepy' 2>/dev/null; then
    echo "paced: not run (needs $SLOWCARD and python3-fusepy)"
    FAILED=1
    return
  fi
  paced_case A 300 160000 1.3
  paced_case B 40 1200000 1.15
}

# large_cards LABEL CARD1 CARD2 CARD3: cp -r x3 against cardclone with its
# peak memory, best of LARGE_ROUNDS.
large_cards() {
  local label="$1" round cp_s="" clone_s="" peak_kib=0 rc=0 s k
  shift
  for round in $(seq "$LARGE_ROUNDS"); do
    time_cp "$G" "$@"
    cp_s="$(best "$cp_s" "$CP_S")"
    clear_cards "$@"
    local status=0
    /usr/bin/time -f '%e %M' -o "$WORK/time.txt" "$CLONE" "${YES[@]}" "$G" "$@" </dev/null >"$WORK/clone.txt" 2>&1 ||
      status=$?
    read -r s k < <(tail -n 1 "$WORK/time.txt")
    clone_s="$(best "$clone_s" "$s")"
    ((k > peak_kib)) && peak_kib=$k
    if [[ $status -ne 0 ]]; then
      rc=$status
      FAILED=1
      echo "    cardclone exit $status:"
      sed 's/^/    /' "$WORK/clone.txt"
    fi
  done
  verify_cards "large $label" "$G" "$@"
  local r
  r="$(ratio "$clone_s" "$cp_s")"
  printf 'large  %-5s %d MB onto 3 cards: cp -r x3 %7.2f s   cardclone %7.2f s   ratio %s (target <= 1.2: %s)   peak memory %.1f MiB (target < 64: %s)   exit %d\n' \
    "$label" "$TOTAL_MB" "$cp_s" "$clone_s" "$r" "$(verdict "$r" 1.2)" "$(awk -v k="$peak_kib" 'BEGIN { print k / 1024 }')" \
    "$(awk -v k="$peak_kib" 'BEGIN { print (k < 65536) ? "met" : "missed" }')" "$rc"
}

part_large() {
  G="$WORK/large/golden"
  local m
  mount_tmpfs "$G" 400m
  make_golden "$G" 200 1500000
  TOTAL_MB="$(du -sm "$G" | cut -f1)"
  sync
  echo "== large files: 200 files, $TOTAL_MB MB onto 3 tmpfs cards (best of $ROUNDS), then 3 FAT cards =="
  for m in t1 t2 t3; do mount_tmpfs "$WORK/large/$m" 400m; done
  LARGE_ROUNDS="$ROUNDS"
  large_cards tmpfs "$WORK/large/t1" "$WORK/large/t2" "$WORK/large/t3"
  for m in t1 t2 t3; do unmount "$WORK/large/$m"; done

  if command -v fusefat >/dev/null && command -v mkfs.vfat >/dev/null; then
    mount_tmpfs "$WORK/large/fat" 1400m
    mkdir -p "$WORK/large/fat/img" "$WORK/large/fat/mnt"
    local cards=() c
    for c in f1 f2 f3; do
      truncate -s 400M "$WORK/large/fat/img/$c.img"
      mkfs.vfat -F 32 "$WORK/large/fat/img/$c.img" >/dev/null
      mkdir -p "$WORK/large/fat/mnt/$c"
      fusefat -o rw+,use_ino "$WORK/large/fat/img/$c.img" "$WORK/large/fat/mnt/$c" >/dev/null 2>&1
      MOUNTS+=("$WORK/large/fat/mnt/$c")
      wait_mounted "$WORK/large/fat/mnt/$c"
      cards+=("$WORK/large/fat/mnt/$c")
    done
    # fusefat takes half a minute a round: one is enough, its time being
    # set by its own use of the CPU.
    LARGE_ROUNDS=1
    large_cards FAT "${cards[@]}"
  else
    echo "large: FAT cards not run (needs fusefat and mkfs.vfat)"
  fi
  for ((m = ${#MOUNTS[@]} - 1; m >= 0; --m)); do unmount "${MOUNTS[m]}"; done
  MOUNTS=()
}

# The window's code and cardclone on the same three paced cards, taking
# turns; each run starts from cleared cards.
part_window() {
  local files=300 size=160000 g="$WORK/paced/W" cards=() round clone_s="" batch_s="" rc=0 start status card
  echo "== the many-card window's code against cardclone: paced cards, $files x 160 KB (best of $WINDOW_ROUNDS each) =="
  if [[ ! -x "$BATCH_BENCH" ]]; then
    echo "window: not run (no $BATCH_BENCH)"
    FAILED=1
    return
  fi
  mount_tmpfs "$g" 128m
  make_golden "$g" "$files" "$size"
  paced_cards W
  for round in $(seq "$WINDOW_ROUNDS"); do
    clear_cards "${cards[@]}"
    time_clone "$g" "${cards[@]}"
    clone_s="$(best "$clone_s" "$CLONE_S")"
    clear_cards "${cards[@]}"
    status=0
    start="$(now)"
    "$BATCH_BENCH" "$g" "${cards[@]}" </dev/null >"$WORK/batch.txt" 2>&1 || status=$?
    batch_s="$(best "$batch_s" "$(seconds "$start" "$(now)")")"
    if [[ $status -ne 0 ]]; then
      rc=$status
      FAILED=1
      sed 's/^/    /' "$WORK/batch.txt"
    fi
  done
  verify_cards "window" "$g" "${cards[@]}"
  local r
  r="$(ratio "$batch_s" "$clone_s")"
  printf 'window %d x 160 KB onto 3 paced cards: cardclone %6.2f s   window code %6.2f s   ratio %s (target <= 1.1: %s)   exit %d\n' \
    "$files" "$clone_s" "$batch_s" "$r" "$(verdict "$r" 1.1)" "$rc"
  # The real window under Wine on the same cards, and cardclone.exe after it
  # onto them as drive letters, when a Wine session is there (bench/run
  # starts one and names the program).
  if [[ -n "${BATCH_ANSWER_BENCH:-}" ]]; then
    clear_cards "${cards[@]}"
    local z=()
    for card in "$g" "${cards[@]}"; do z+=("Z:${card//\//\\}"); done
    "$ROOT/scripts/wine-run" "$BATCH_ANSWER_BENCH" "${z[@]}" 2>/dev/null | tr -d '\r' | tee "$WORK/answer.txt" || FAILED=1
    verify_cards "window and cardclone.exe under Wine" "$g" "${cards[@]}"
  fi
  unmount_all
}

# Twelve paced cards at once through the window's code, each slower than the
# paced part's. Each card is its own slowcard mount with its own pace, so
# twelve cost no more than one: the limit is one card's write plus read-back
# of the golden bytes. The golden card is an unpaced tmpfs folder, as in the
# paced part, read once for all cards.
part_fleet() {
  local files=300 size=160000 count=12 wmbps=2 rmbps=4
  local g="$WORK/paced/F" cards=() round bytes limit batch_s="" peak_kib=0 rc=0 status s k got
  echo "== fleet: the window's code onto $count paced cards ($wmbps MB/s write, $rmbps MB/s read, 10 ms a flush), $files x 160 KB (best of $FLEET_ROUNDS) =="
  if [[ ! -x "$BATCH_BENCH" ]]; then
    echo "fleet: not run (no $BATCH_BENCH)"
    FAILED=1
    return
  fi
  if [[ ! -f "$SLOWCARD" ]] || ! /usr/bin/python3 -c 'import fusepy' 2>/dev/null; then
    echo "fleet: not run (needs $SLOWCARD and python3-fusepy)"
    FAILED=1
    return
  fi
  mount_tmpfs "$g" 128m
  make_golden "$g" "$files" "$size"
  paced_cards F "$count" "$wmbps" "$rmbps"
  bytes="$(golden_bytes "$g")"
  limit="$(awk -v b="$bytes" -v w="$wmbps" -v r="$rmbps" 'BEGIN { printf "%.2f", b / (w * 1e6) + b / (r * 1e6) }')"
  for round in $(seq "$FLEET_ROUNDS"); do
    clear_cards "${cards[@]}"
    status=0
    /usr/bin/time -f '%e %M' -o "$WORK/time.txt" "$BATCH_BENCH" "$g" "${cards[@]}" </dev/null >"$WORK/batch.txt" 2>&1 ||
      status=$?
    read -r s k < <(tail -n 1 "$WORK/time.txt")
    batch_s="$(best "$batch_s" "$s")"
    ((k > peak_kib)) && peak_kib=$k
    # batch_bench's own line: "window-code SECONDS READY/CARDS".
    got="$(awk '$1 == "window-code" { print $3 }' "$WORK/batch.txt")"
    printf 'fleet  round %d: %6.2f s   peak memory %.1f MiB   ready %s   exit %d\n' \
      "$round" "$s" "$(awk -v k="$k" 'BEGIN { print k / 1024 }')" "${got:-?}" "$status"
    if [[ $status -ne 0 ]]; then
      rc=$status
      FAILED=1
      sed 's/^/    /' "$WORK/batch.txt"
    fi
  done
  verify_cards "fleet" "$g" "${cards[@]}"
  local r
  r="$(ratio "$batch_s" "$limit")"
  printf 'fleet  %d x 160 KB (%.1f MB) onto %d paced cards: limit %6.2f s   window code %6.2f s   ratio %s (target <= 1.15: %s)   peak memory %.1f MiB (target < 64: %s)   exit %d\n' \
    "$files" "$(awk -v b="$bytes" 'BEGIN { print b / 1e6 }')" "$count" "$limit" "$batch_s" "$r" \
    "$(verdict "$r" 1.15)" "$(awk -v k="$peak_kib" 'BEGIN { print k / 1024 }')" \
    "$(awk -v k="$peak_kib" 'BEGIN { print (k < 65536) ? "met" : "missed" }')" "$rc"
  unmount_all
}

for part in "${PARTS[@]}"; do "part_$part"; done
exit "$FAILED"
