#!/usr/bin/env bash
# Times cardcheck on a card of 5,000 small valid .wav files spread over the
# by-hour folders of all three plans. Builds nothing:
#   bench/cardcheck_bench.sh build/host/cardcheck/cardcheck
# Exits non-zero when the check fails or takes 2 s or more.
set -euo pipefail

if [[ $# -ne 1 || ! -x "$1" ]]; then
  echo "usage: $0 PATH/TO/cardcheck" >&2
  exit 2
fi
CARDCHECK="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
FILES=5000
LIMIT=2

CARD="$(mktemp -d "${TMPDIR:-/tmp}/cardcheck-bench.XXXXXX")"
trap 'rm -rf "$CARD"' EXIT

# Settings: playback on, sensor by hour, cyclic timed playback with both
# schedules by hour, every kind named by every plan.
settings='\x01\x05\x07\x1c\x1c\x01\x02\x0a\x01\x01'
for plan in 0 1 2; do
  for hour in $(seq 0 23); do settings+="\\x0$(((hour + plan) % 10))"; done
done
settings+='\x00\x01\x00\x00'
printf "$settings" >"$CARD/CFG_BROADCAST.bin"

# One second of 8 kHz 8-bit mono silence is too big for 5,000 files in a
# bench; 0.1 s (800 bytes of samples) keeps the card small but real.
samples="$(printf '\\x80%.0s' $(seq 1 800))"
wav='RIFF\x44\x03\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x40\x1f\x00\x00\x40\x1f\x00\x00\x01\x00\x08\x00data\x20\x03\x00\x00'"$samples"

kinds=(dog tiger leopard human lynx fox bear "bird A" "bird B" "bird C")
parents=(audio/SenseSpecify audio/Alarm/A audio/Alarm/B)
folders=()
for parent in "${parents[@]}"; do
  for kind in "${kinds[@]}"; do
    folders+=("$CARD/$parent/$kind")
    mkdir -p "$CARD/$parent/$kind"
  done
done
# printf is a bash builtin: no process per file.
for ((i = 0; i < FILES; ++i)); do
  printf "$wav" >"${folders[i % ${#folders[@]}]}/sound$i.wav"
done
sync

start="$(date +%s.%N)"
status=0
"$CARDCHECK" "$CARD" >/dev/null || status=$?
end="$(date +%s.%N)"

seconds="$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')"
echo "cardcheck $FILES files: $seconds s (target < $LIMIT s)"
if [[ $status -ne 0 ]]; then
  echo "cardcheck found problems on the bench card (exit $status)" >&2
  exit 1
fi
awk -v s="$seconds" -v limit="$LIMIT" 'BEGIN { exit !(s < limit) }'
