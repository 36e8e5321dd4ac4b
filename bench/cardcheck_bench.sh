#!/usr/bin/env bash
# Times cardcheck on a card of 5,000 small valid .wav files spread over the
# by-hour folders of all three plans, and the same check writing its page
# (--html) beside it: BENCH_ROUNDS (7) rounds, the two taking turns in a
# different order each round; the medians, and the median of the rounds'
# ratios. Builds nothing:
#   bench/cardcheck_bench.sh build/host/cardcheck/cardcheck
# Exits non-zero when the check fails or takes 2 s or more, or the page
# makes it take more than 1.2 times as long.
set -euo pipefail

if [[ $# -ne 1 || ! -x "$1" ]]; then
  echo "usage: $0 PATH/TO/cardcheck" >&2
  exit 2
fi
CARDCHECK="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
FILES=5000
LIMIT=2
HTML_LIMIT=1.2
ROUNDS="${BENCH_ROUNDS:-7}"

WORK="$(mktemp -d "${TMPDIR:-/tmp}/cardcheck-bench.XXXXXX")"
trap 'rm -rf "$WORK"' EXIT
CARD="$WORK/card"
PAGE="$WORK/report.html"
mkdir "$CARD"

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

# check [ARGS...]: seconds of one check of the card; fails on problems.
check() {
  local start end status=0
  start="$(date +%s.%N)"
  "$CARDCHECK" "$@" "$CARD" >/dev/null || status=$?
  end="$(date +%s.%N)"
  if [[ $status -ne 0 ]]; then
    echo "cardcheck $* found problems on the bench card (exit $status)" >&2
    exit 1
  fi
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

plain_all=() html_all=() ratio_all=()
for ((round = 0; round < ROUNDS; ++round)); do
  if ((round % 2 == 0)); then
    plain="$(check)"
    html="$(check --html "$PAGE")"
  else
    html="$(check --html "$PAGE")"
    plain="$(check)"
  fi
  plain_all+=("$plain")
  html_all+=("$html")
  ratio_all+=("$(awk -v h="$html" -v p="$plain" 'BEGIN { printf "%.3f", h / p }')")
done
grep -q "超过 40 个" "$PAGE" || { echo "the page does not say that it lists no files one by one" >&2; exit 1; }

seconds="$(median "${plain_all[@]}")"
html_seconds="$(median "${html_all[@]}")"
ratio="$(median "${ratio_all[@]}")"
echo "cardcheck $FILES files: $seconds s (target < $LIMIT s)"
echo "cardcheck --html $FILES files: $html_seconds s, $ratio x cardcheck's time (median of $ROUNDS rounds; target <= $HTML_LIMIT x)"
awk -v s="$seconds" -v limit="$LIMIT" -v r="$ratio" -v rlimit="$HTML_LIMIT" 'BEGIN { exit !(s < limit && r <= rlimit) }'
