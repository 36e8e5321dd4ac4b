#!/usr/bin/env bash
# The settings write as the platform sees it: the temporary file's bytes are
# flushed to the medium before it replaces CFG_BROADCAST.bin.
#   settings_flush_order.sh host <host_tests>      fsync before rename (strace)
#   settings_flush_order.sh wine <win_tests.exe>   NtFlushBuffersFile before the
#                                                  move (Wine's relay trace)
# Exits 77 (skipped) where strace cannot trace.
set -uo pipefail
MODE="$1"
EXE="$2"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
CASE="ConfigFileTest.DefaultRecordWritesExactlyTheDefaultBytes"
LOG="$(mktemp)"
RAW="$(mktemp)"
trap 'rm -f "$LOG" "$RAW"' EXIT

fail() { echo "settings_flush_order ($MODE): $*"; exit 1; }

if [ "$MODE" = host ]; then
  command -v strace >/dev/null || { echo "strace missing; skipped"; exit 77; }
  strace -o /dev/null true 2>/dev/null || { echo "strace may not trace here; skipped"; exit 77; }
  # LeakSanitizer cannot run under a tracer.
  ASAN_OPTIONS=detect_leaks=0 strace -f -e trace=openat,open,fsync,fdatasync,rename,renameat,renameat2 \
    -o "$LOG" "$EXE" --gtest_filter="$CASE" >/dev/null || fail "the test case failed"
  # Each file opened for writing, its fsync, and the rename of one of them
  # onto CFG_BROADCAST.bin.
  awk '
    function quoted(text) { match(text, /"[^"]*"/); return substr(text, RSTART + 1, RLENGTH - 2) }
    /open(at)?\(.*CFG_BROADCAST[^"]*", O_WRONLY/ { path = quoted($0); fd[path] = $NF; synced[path] = 0 }
    /fsync\([0-9]+\) += 0/ { n = $0; sub(/.*fsync\(/, "", n); sub(/\).*/, "", n); for (p in fd) if (fd[p] == n) synced[p] = 1 }
    /rename.*, "[^"]*CFG_BROADCAST\.bin"\) = 0/ {
      source = quoted($0); renamed = 1
      if (!(source in fd)) { print "renamed from a file not written: " source; exit 1 }
      if (!synced[source]) { print "not fsynced before the rename: " source; exit 1 }
      print "fsync(" fd[source] ") of " source " before its rename onto CFG_BROADCAST.bin"
    }
    END { if (!renamed) { print "no rename onto CFG_BROADCAST.bin"; exit 1 } }' "$LOG" ||
    { grep -E 'CFG_BROADCAST|sync|rename' "$LOG"; fail "the data was not flushed before the replace"; }
elif [ "$MODE" = wine ]; then
  # Wine 8 traces NtFlushBuffersFile in no debug channel (trace+file shows the
  # create and the move, not the flush); its relay trace shows every call the
  # program makes into kernel32 and every call kernel32 makes into ntdll.
  # The trace goes to a file, not a pipe: a Wine service started by this run
  # keeps the run's descriptors open after it ends.
  WINEDEBUG=+relay "$ROOT/scripts/wine-run" "$EXE" --gtest_filter="$CASE" >/dev/null 2>"$RAW" </dev/null
  grep -a -E 'KERNEL32\.CreateFileW|ntdll\.NtFlushBuffersFile|KERNEL32\.MoveFileExW' "$RAW" | tr -d '\r' >"$LOG"
  # Each file created for writing (GENERIC_WRITE, 40000000) with the handle
  # it got, the flushes, and the move of one of them onto CFG_BROADCAST.bin.
  awk '
    function quoted(text) { match(text, /L"[^"]*"/); return substr(text, RSTART + 2, RLENGTH - 3) }
    /Call KERNEL32\.CreateFileW\([0-9a-f]+ L"[^"]*CFG_BROADCAST[^"]*",40000000/ { pending = quoted($0); next }
    pending != "" && /Ret  KERNEL32\.CreateFileW\(\) retval=/ {
      h = $0; sub(/.*retval=/, "", h); sub(/ .*/, "", h); handle[pending] = h; flushed[pending] = 0; pending = ""; next
    }
    /Call ntdll\.NtFlushBuffersFile\(/ {
      h = $0; sub(/.*NtFlushBuffersFile\(/, "", h); sub(/,.*/, "", h)
      for (p in handle) if (handle[p] == h) flushed[p] = 1
    }
    /Call KERNEL32\.MoveFileExW\([0-9a-f]+ L"[^"]*",[0-9a-f]+ L"[^"]*CFG_BROADCAST\.bin"/ {
      source = quoted($0); moved = 1
      if (!(source in handle)) { print "moved from a file not written: " source; exit 1 }
      if (!flushed[source]) { print "not flushed before the move: " source; exit 1 }
      print "NtFlushBuffersFile(" handle[source] ") of " source " before its move onto CFG_BROADCAST.bin"
    }
    END { if (!moved) { print "no move onto CFG_BROADCAST.bin"; exit 1 } }' "$LOG" ||
    { cut -c1-220 "$LOG"; fail "the data was not flushed before the replace"; }
else
  fail "mode must be host or wine"
fi
