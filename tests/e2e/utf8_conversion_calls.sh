#!/usr/bin/env bash
# The folder chooser's conversions under code page 65001, as the platform
# sees them. Windows refuses WideCharToMultiByte for UTF-8 unless the flags
# are 0 or WC_ERR_INVALID_CHARS and no default character is asked for or
# reported; then no folder can be chosen at all. Wine 8 lets such a call
# through, so the test program's calls are read from Wine's relay trace and
# held to Windows' rule.
#   utf8_conversion_calls.sh <win_tests_utf8.exe>
set -uo pipefail
EXE="$1"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
CASE="CodePage65001Test.AFolderWithAChineseNameIsChosenWithItsUtf8Path"
LOG="$(mktemp)"
RAW="$(mktemp)"
trap 'rm -f "$LOG" "$RAW"' EXIT

# The trace goes to a file, not a pipe: a Wine service started by this run
# keeps the run's descriptors open after it ends.
WINEDEBUG=+relay "$ROOT/scripts/wine-run" "$EXE" --gtest_filter="$CASE" >/dev/null 2>"$RAW" </dev/null
grep -a 'Call KERNEL32\.WideCharToMultiByte(' "$RAW" | tr -d '\r' >"$LOG"
# The calls that convert a path of the test's scratch folders: the chooser's
# own (code page CP_ACP, 0) and the test's (CP_UTF8). Arguments: code page,
# flags, source, length, destination, size, default character, used flag.
awk '
  /bct-test-/ {
    args = $0; sub(/.*WideCharToMultiByte\(/, "", args)
    n = split(args, a, ",")
    page = a[1]; flags = a[2]; used = a[n]; sub(/\).*/, "", used); defchar = a[n - 1]
    if (page == "00000000") chooser++
    if ((flags != "00000000" && flags != "00000080") || defchar != "00000000" || used != "00000000") {
      print "refused by Windows under code page 65001: " substr($0, 1, 200); bad++
    }
  }
  END {
    if (!chooser) { print "the chooser converted no path"; exit 1 }
    if (bad) exit 1
    print chooser " conversions of the chosen folder, all valid for code page 65001"
  }' "$LOG"
