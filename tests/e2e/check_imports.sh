#!/usr/bin/env bash
# The shipped executable is one self-contained file: every DLL it imports
# must be a system DLL, never a MinGW runtime DLL.
set -euo pipefail
exe="$1"
allowed='^(kernel32|user32|gdi32|comctl32|shell32|ole32|advapi32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
dlls="$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')"
[ -n "$dlls" ] || { echo "no import table read from $exe"; exit 1; }
status=0
for dll in $dlls; do
  if [[ "$dll" =~ $allowed ]]; then echo "ok      $dll"; else echo "FOREIGN $dll"; status=1; fi
done
exit "$status"
