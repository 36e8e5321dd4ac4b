#!/usr/bin/env bash
# cardclone.exe under Wine onto two drive letters mapped to folders: R: holds
# a capture, S: an old sound. Runs the one test case of e2e_tests.exe that
# expects them and fails unless it ran and passed.
#   cardclone_wine.sh <e2e_tests.exe> <work folder>
set -euo pipefail
EXE="$1"
WORK="$2"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
PREFIX="${WINEPREFIX:-$ROOT/build/wineprefix}"

cleanup() { rm -f "$PREFIX/dosdevices/r:" "$PREFIX/dosdevices/s:"; rm -rf "$WORK"; }
trap cleanup EXIT
cleanup
mkdir -p "$WORK/r/DCIM" "$WORK/s/audio/SenseRand"
echo capture >"$WORK/r/DCIM/0001.jpg"
echo old >"$WORK/s/audio/SenseRand/old.wav"
ln -sfn "$WORK/r" "$PREFIX/dosdevices/r:"
ln -sfn "$WORK/s" "$PREFIX/dosdevices/s:"

export BCT_CLONE_R_AS_Z="Z:${WORK//\//\\}\\r"
log="$WORK/test.log"
status=0
"$ROOT/scripts/wine-run" "$EXE" --gtest_filter='CardCloneOnDrives.*' >"$log" 2>&1 || status=1
tr -d '\r' <"$log"
grep -q '^\[  PASSED  \] 1 test\.' <(tr -d '\r' <"$log") || { echo "cardclone_wine: the case did not pass"; status=1; }
[[ "$(cat "$WORK/r/DCIM/0001.jpg")" == capture ]] || { echo "cardclone_wine: capture on R: touched"; status=1; }
[[ ! -e "$WORK/s/audio/SenseRand" ]] || { echo "cardclone_wine: old sound on S: kept"; status=1; }
exit "$status"
