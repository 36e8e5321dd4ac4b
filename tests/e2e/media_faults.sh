#!/usr/bin/env bash
# The tool on real faulty media: a read-only card and a full card (small
# tmpfs file systems) and a card whose drive disappears between two
# operations (a Wine drive letter removed while the dialog is open).
#   media_faults.sh <win_tests.exe> <work folder>
# Needs mount (root); exits 77 (skipped) where the machine does not allow it.
set -euo pipefail
EXE="$1"
WORK="$2"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
PREFIX="${WINEPREFIX:-$ROOT/build/wineprefix}"
DRIVE="$PREFIX/dosdevices/q:"

cleanup() {
  rm -f "$DRIVE"
  for m in "$WORK/full" "$WORK/ro"; do mountpoint -q "$m" && umount -l "$m"; done
  rm -rf "$WORK"
}
trap cleanup EXIT
cleanup
mkdir -p "$WORK/full" "$WORK/ro" "$WORK/gone" "$WORK/signal" "$WORK/src"
if ! mount -t tmpfs -o size=256k tmpfs "$WORK/full" 2>/dev/null; then
  echo "media_faults: mount is not allowed here; skipped"
  exit 77
fi
mount -t tmpfs -o size=256k tmpfs "$WORK/ro"

# Sound files of the source folder, and the old settings on each card.
head -c 100000 /dev/urandom >"$WORK/src/big.wav"
head -c 1000 /dev/urandom >"$WORK/src/small.wav"
old() { printf '\001\005\007\034\034\001\001\014'; head -c 78 /dev/zero; }
old >"$WORK/ro/CFG_BROADCAST.bin"
mkdir -p "$WORK/ro/audio/SenseRand"
mount -o remount,ro "$WORK/ro"
old >"$WORK/full/CFG_BROADCAST.bin"
dd if=/dev/zero of="$WORK/full/filler" bs=4096 2>/dev/null || true
old >"$WORK/gone/CFG_BROADCAST.bin"
ln -sfn "$WORK/gone" "$DRIVE"

winpath() { echo "Z:${1//\//\\}"; }
export BCT_SOURCE="$(winpath "$WORK/src")"
export BCT_RO_CARD="$(winpath "$WORK/ro")"
export BCT_FULL_CARD="$(winpath "$WORK/full")"
export BCT_GONE_CARD='Q:\'
export BCT_SIGNAL="$(winpath "$WORK/signal")"

# Takes the drive away when the test asks for it.
(
  for _ in $(seq 600); do
    if [ -e "$WORK/signal/remove" ]; then rm -f "$DRIVE"; touch "$WORK/signal/removed"; exit 0; fi
    sleep 0.1
  done
) &
WATCHER=$!

status=0
for test in ReadOnlyCard FullCard CardRemovedBetweenOperations; do
  log="$WORK/signal/$test.log"
  "$ROOT/scripts/wine-run" "$EXE" --gtest_filter="MediaFaultTest.$test" >"$log" 2>&1 || status=1
  tr -d '\r' <"$log"
  # A run that found no such case, or skipped it, has proved nothing.
  grep -q '^\[  PASSED  \] 1 test\.' <(tr -d '\r' <"$log") || { echo "media_faults: $test did not pass"; status=1; }
done
kill "$WATCHER" 2>/dev/null || true
exit "$status"
