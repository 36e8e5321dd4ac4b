#!/usr/bin/env bash
# cardclone.exe under Wine onto drive letters mapped to folders: R:, S: and
# U: are removable drives (Wine's "floppy" type), R: and S: with a label and
# a serial; R: holds a capture, S: an old sound, U: a link to a folder
# outside the card; T: is a fixed drive. A golden folder holds a link. Runs the one test case of e2e_tests.exe that expects
# them and fails unless it ran and passed.
#   cardclone_wine.sh <e2e_tests.exe> <work folder>
set -euo pipefail
EXE="$1"
WORK="$2"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$ROOT/scripts/wine-session"

# Wine reads the drives' types when its server starts: it is restarted
# (persistent, as the test session's) after every change of them.
restart_wineserver() {
  "$WINESERVER_BIN" -k >/dev/null 2>&1 || true
  "$WINESERVER_BIN" -w >/dev/null 2>&1 || true
  wine_server_up
}
drive_types() {  # add|delete
  for drive in r: s: u:; do
    if [[ $1 == add ]]; then
      "$ROOT/scripts/wine-run" reg add 'HKLM\Software\Wine\Drives' /v "$drive" /t REG_SZ /d floppy /f >/dev/null 2>&1
    else
      "$ROOT/scripts/wine-run" reg delete 'HKLM\Software\Wine\Drives' /v "$drive" /f >/dev/null 2>&1 || true
    fi
  done
  restart_wineserver
}
cleanup() {
  rm -f "$WINEPREFIX/dosdevices/"[rstu]:
  drive_types delete
  rm -rf "$WORK"
}
trap cleanup EXIT
rm -rf "$WORK"
mkdir -p "$WORK/r/DCIM" "$WORK/s/audio/SenseRand" "$WORK/t" "$WORK/u/audio/SenseRand" "$WORK/outside" \
  "$WORK/lg/audio/SenseRand"
echo capture >"$WORK/r/DCIM/0001.jpg"
echo old >"$WORK/s/audio/SenseRand/old.wav"
echo keep >"$WORK/outside/keep.wav"
ln -s "$WORK/outside" "$WORK/u/audio/SenseRand/linked"
# A golden card that is ready (playback off: the settings' defaults) and
# holds a link.
printf '\x00\x05\x07\x1c\x1c\x01\x01\x05\x00\x00' >"$WORK/lg/CFG_BROADCAST.bin"
head -c 72 /dev/zero >>"$WORK/lg/CFG_BROADCAST.bin"
printf '\x00\x01\x00\x00' >>"$WORK/lg/CFG_BROADCAST.bin"
ln -s "$WORK/outside" "$WORK/lg/audio/SenseRand/linked"
printf 'CARD R\n' >"$WORK/r/.windows-label"
printf '1234abcd\n' >"$WORK/r/.windows-serial"
printf 'CARD S\n' >"$WORK/s/.windows-label"
ln -sfn "$WORK/r" "$WINEPREFIX/dosdevices/r:"
ln -sfn "$WORK/s" "$WINEPREFIX/dosdevices/s:"
ln -sfn "$WORK/t" "$WINEPREFIX/dosdevices/t:"
ln -sfn "$WORK/u" "$WINEPREFIX/dosdevices/u:"
drive_types add

export BCT_CLONE_R_AS_Z="Z:${WORK//\//\\}\\r"
export BCT_CLONE_LINKED_GOLDEN="Z:${WORK//\//\\}\\lg"
log="$WORK/test.log"
status=0
"$ROOT/scripts/wine-run" "$EXE" --gtest_filter='CardCloneOnDrives.*' >"$log" 2>&1 || status=1
tr -d '\r' <"$log"
grep -q '^\[  PASSED  \] 1 test\.' <(tr -d '\r' <"$log") || { echo "cardclone_wine: the case did not pass"; status=1; }
[[ "$(cat "$WORK/r/DCIM/0001.jpg")" == capture ]] || { echo "cardclone_wine: capture on R: touched"; status=1; }
[[ "$(cat "$WORK/outside/keep.wav")" == keep ]] || { echo "cardclone_wine: the folder behind the link was emptied"; status=1; }
[[ ! -e "$WORK/s/audio/SenseRand/old.wav" ]] || { echo "cardclone_wine: old sound on S: kept"; status=1; }
exit "$status"
