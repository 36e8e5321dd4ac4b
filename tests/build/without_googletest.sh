#!/usr/bin/env bash
# The Windows build as a Windows developer meets it: configured the README's
# MinGW way (no preset), with no GoogleTest to be found anywhere. The
# configure must succeed with one message about the left-out tests, turn no
# warning into an error, and the build must give every program.
set -euo pipefail
source_dir="$1"
build="$2"

# Where the machine allows it (root), Debian's GoogleTest sources are hidden
# for real, in a mount namespace of this script's own: a Windows machine
# never had them.
if [ -z "${BCT_GTEST_HIDDEN:-}" ] && [ -d /usr/src/googletest ] && unshare --mount true 2>/dev/null; then
  exec env BCT_GTEST_HIDDEN=1 unshare --mount bash -c \
    'mount -t tmpfs -o size=1m none /usr/src/googletest && exec bash "$0" "$@"' "$0" "$@"
fi
if [ -n "${BCT_GTEST_HIDDEN:-}" ]; then echo "GoogleTest sources hidden: $(ls -A /usr/src/googletest | wc -l) entries"; fi
rm -rf "$build"
mkdir -p "$build"

if ! cmake -S "$source_dir" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >"$build/configure.log" 2>&1; then
  cat "$build/configure.log"
  echo "FAILED: the configure stopped"
  exit 1
fi
messages="$(grep -c 'GoogleTest not found' "$build/configure.log" || true)"
grep 'GoogleTest not found' "$build/configure.log" || true
if [ "$messages" != 1 ]; then echo "FAILED: $messages messages about GoogleTest, not one"; exit 1; fi
if [ -d "$build/googletest" ] || grep -q '^BCT_TESTS\|win_tests' "$build/Makefile"; then
  echo "FAILED: tests were configured without GoogleTest"
  exit 1
fi
if grep -rq -- '-Werror' "$build/CMakeFiles" "$build"/*/CMakeFiles 2>/dev/null; then
  echo "FAILED: warnings are errors outside the presets"
  exit 1
fi

if ! cmake --build "$build" -j "$(nproc)" >"$build/build.log" 2>&1; then
  tail -40 "$build/build.log"
  echo "FAILED: the build stopped"
  exit 1
fi
status=0
for exe in BroadcastCardTool.exe cardcheck.exe cardclone.exe cardbatch.exe; do
  if x86_64-w64-mingw32-objdump -f "$build/$exe" 2>/dev/null | grep -q 'file format pei-x86-64'; then
    echo "ok      $exe"
  else
    echo "MISSING $exe"
    status=1
  fi
done
exit "$status"
