#!/usr/bin/env bash
# cardclone against cp: a golden card of about 300 MB in 200 sound files
# cloned onto three cards at once (verification included), against cp -r of
# the same audio tree and settings file to the three cards one after another
# (no verification). First on tmpfs cards, then on FAT cards through fusefat.
# Builds nothing:
#   bench/cardclone_bench.sh build/bench-host/cardclone/cardclone
# Needs root (mount); prints the figures and the targets' verdicts.
set -euo pipefail

if [[ $# -ne 1 || ! -x "$1" ]]; then
  echo "usage: $0 PATH/TO/cardclone" >&2
  exit 2
fi
CLONE="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
FILES=200
BYTES=1500000
WORK="$(mktemp -d "${TMPDIR:-/tmp}/cardclone-bench.XXXXXX")"

cleanup() {
  for m in "$WORK"/fat/mnt/* "$WORK"/t1 "$WORK"/t2 "$WORK"/t3 "$WORK"/fat "$WORK"/golden; do
    if mountpoint -q "$m" 2>/dev/null; then fusermount -u "$m" 2>/dev/null || umount -l "$m"; fi
  done
  rm -rf "$WORK"
}
trap cleanup EXIT

mkdir -p "$WORK/golden" "$WORK/t1" "$WORK/t2" "$WORK/t3" "$WORK/fat"
for m in golden t1 t2 t3; do mount -t tmpfs -o size=400m tmpfs "$WORK/$m"; done
mount -t tmpfs -o size=1400m tmpfs "$WORK/fat"

le32() { printf "\\\\x%02x\\\\x%02x\\\\x%02x\\\\x%02x" $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
G="$WORK/golden"
printf '\x01\x05\x07\x1c\x1c\x00\x01\x0a\x00\x00' >"$G/CFG_BROADCAST.bin"
head -c 72 /dev/zero >>"$G/CFG_BROADCAST.bin"
printf '\x00\x01\x00\x00' >>"$G/CFG_BROADCAST.bin"
mkdir -p "$G/audio/SenseRand"
data=$((BYTES - 44))
header="RIFF$(le32 $((data + 36)))WAVEfmt \\x10\\x00\\x00\\x00\\x01\\x00\\x01\\x00\\x80\\x3e\\x00\\x00\\x00\\x7d\\x00\\x00\\x02\\x00\\x10\\x00data$(le32 "$data")"
for i in $(seq -w 1 "$FILES"); do
  { printf "$header"; head -c "$data" /dev/urandom; } >"$G/audio/SenseRand/sound$i.wav"
done
total_mb="$(du -sm "$G" | cut -f1)"

seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }

# bench_cards LABEL CARD1 CARD2 CARD3
bench_cards() {
  local label="$1"
  shift
  local start end cp_s clone_s
  start="$(date +%s.%N)"
  for card in "$@"; do cp -r "$G/audio" "$G/CFG_BROADCAST.bin" "$card/"; done
  sync
  end="$(date +%s.%N)"
  cp_s="$(seconds "$start" "$end")"
  for card in "$@"; do rm -rf "$card/audio" "$card/CFG_BROADCAST.bin"; done
  sync
  local status=0
  /usr/bin/time -f '%e %M' -o "$WORK/time.txt" "$CLONE" "$G" "$@" >"$WORK/clone.txt" || status=$?
  read -r clone_s peak_kib <"$WORK/time.txt"
  sed 's/^/    /' "$WORK/clone.txt"
  [[ $status -eq 0 ]] || echo "    cardclone exit $status"
  printf '%-6s %d MB onto 3 cards: cp -r x3 %7.2f s   cardclone %7.2f s   ratio %.2f (target <= 1.2)   peak memory %.1f MiB (target < 64)\n' \
    "$label" "$total_mb" "$cp_s" "$clone_s" "$(awk -v c="$clone_s" -v p="$cp_s" 'BEGIN { print c / p }')" \
    "$(awk -v k="$peak_kib" 'BEGIN { print k / 1024 }')"
}

echo "golden card: $FILES files, $total_mb MB (tmpfs)"
bench_cards tmpfs "$WORK/t1" "$WORK/t2" "$WORK/t3"
for m in t1 t2 t3; do umount "$WORK/$m"; done

if command -v fusefat >/dev/null && command -v mkfs.vfat >/dev/null; then
  mkdir -p "$WORK/fat/img" "$WORK/fat/mnt"
  cards=()
  for c in f1 f2 f3; do
    truncate -s 400M "$WORK/fat/img/$c.img"
    mkfs.vfat -F 32 "$WORK/fat/img/$c.img" >/dev/null
    mkdir -p "$WORK/fat/mnt/$c"
    fusefat -o rw+,use_ino "$WORK/fat/img/$c.img" "$WORK/fat/mnt/$c" >/dev/null 2>&1
    cards+=("$WORK/fat/mnt/$c")
  done
  bench_cards FAT "${cards[@]}"
fi
