#!/usr/bin/env bash
# The release package as a technician gets it: unpacked, it holds exactly the
# files below (names flagged UTF-8), SHA256SUMS matches them, the programs are
# those of the build, import only system DLLs and start under Wine from the
# unpacked folder, and the guide is one self-contained file of this version.
#   check_package.sh <zip> <build folder> <scratch folder>
# scripts/package makes the zip (scripts/test runs it before the tests).
set -euo pipefail
ZIP="$1"
BUILD="$2"
WORK="$3"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

[ -f "$ZIP" ] || { echo "FAILED: no $ZIP (scripts/package makes it)"; exit 1; }
rm -rf "$WORK"
mkdir -p "$WORK"
trap 'rm -rf "$WORK"' EXIT
UNPACKED="$WORK/BroadcastCardTool"

python3 - "$ZIP" "$UNPACKED" "$BUILD" <<'EOF'
import hashlib, pathlib, re, sys, zipfile

zip_path, unpacked, build = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
# What the package must hold, each name once.
EXPECTED = [
    "BroadcastCardTool.exe",
    "cardcheck.exe",
    "cardclone.exe",
    "cardbatch.exe",
    "使用说明.html",
    "SHA256SUMS",
]
failures = []
with zipfile.ZipFile(zip_path) as archive:
    names = [info.filename for info in archive.infolist()]
    if sorted(names) != sorted(EXPECTED):
        failures.append(f"the zip holds {names}, not {EXPECTED}")
    for info in archive.infolist():
        if not info.filename.isascii() and not info.flag_bits & 0x800:
            failures.append(f"{info.filename}: name without the UTF-8 flag")
    archive.extractall(unpacked)

listed = {}
sums = unpacked / "SHA256SUMS"
for line in (sums.read_text(encoding="utf-8") if sums.is_file() else "").splitlines():
    match = re.fullmatch(r"([0-9a-f]{64})  (.+)", line)
    if not match:
        failures.append(f"SHA256SUMS: unreadable line {line!r}")
        continue
    listed[match.group(2)] = match.group(1)
if sorted(listed) != sorted(n for n in EXPECTED if n != "SHA256SUMS"):
    failures.append(f"SHA256SUMS lists {sorted(listed)}")
for name, digest in listed.items():
    path = unpacked / name
    if not path.is_file() or hashlib.sha256(path.read_bytes()).hexdigest() != digest:
        failures.append(f"{name}: does not match SHA256SUMS")

for name in (n for n in EXPECTED if n.endswith(".exe")):
    if not (unpacked / name).is_file() or (unpacked / name).read_bytes() != (build / name).read_bytes():
        failures.append(f"{name} is not the one of the build: run scripts/package again")

version = re.search(r"BroadcastCardTool-(\d+\.\d+\.\d+)-win64\.zip$", zip_path).group(1)
guide_path = unpacked / "使用说明.html"
guide = guide_path.read_text(encoding="utf-8") if guide_path.is_file() else ""
if f"V{version}" not in guide:
    failures.append(f"the guide does not name V{version}")
title = re.search(r'<p class="version">([^<]*)</p>', guide)
for program in [name for name in EXPECTED if name.endswith(".exe")]:
    if not title or program not in title.group(1):
        failures.append(f"the guide's title does not name {program}")
if not re.search(r'<img src="data:image/png;base64,[A-Za-z0-9+/=]{1000,}"', guide):
    failures.append("the guide has no embedded picture")
outside = re.findall(r'(?:src|href)="(?!#|data:)[^"]*"|<link\b|<script\b', guide)
if outside:
    failures.append(f"the guide refers outside itself: {outside[:3]}")

for failure in failures:
    print("FAILED:", failure)
print("contents, names, sums, programs, guide:", "FAILED" if failures else "ok")
sys.exit(1 if failures else 0)
EOF

status=0
for exe in BroadcastCardTool.exe cardcheck.exe cardclone.exe cardbatch.exe; do
  echo "imports of $exe:"
  bash "$ROOT/tests/e2e/check_imports.sh" "$UNPACKED/$exe" || status=1
done

cd "$UNPACKED"
# console_program EXE EXIT_CODE TEXT: started from the unpacked folder with
# no arguments, EXE ends with EXIT_CODE and prints TEXT.
console_program() {
  local code=0
  "$ROOT/scripts/wine-run" "$1" >"$WORK/$1.txt" 2>&1 </dev/null || code=$?
  if [ "$code" = "$2" ] && grep -q "$3" "$WORK/$1.txt"; then
    echo "ok      $1 started from the unpacked folder"
  else
    cat "$WORK/$1.txt"
    echo "FAILED: $1 from the unpacked folder: exit code $code"
    status=1
  fi
}
# cardcheck checks the folder it is started in: no settings there.
console_program cardcheck.exe 1 '结论: 存储卡还不能使用'
# cardclone without cards: its usage, and nothing done.
console_program cardclone.exe 2 '用法: cardclone'

# The tool and the many-card window: each window appears; closed like the
# close box does, the program ends with 0.
# window_program EXE TITLE
window_program() {
  "$ROOT/scripts/wine-run" "$1" >"$WORK/$1.txt" 2>&1 </dev/null &
  local program=$! window="" code=0
  for _ in $(seq 150); do
    window="$(xdotool search --name "$2" 2>/dev/null | head -1 || true)"
    [ -n "$window" ] && break
    sleep 0.2
  done
  "$ROOT/scripts/wine-run" taskkill /im "$1" >/dev/null 2>&1 </dev/null || true
  wait "$program" || code=$?
  if [ -n "$window" ] && [ "$code" = 0 ]; then
    echo "ok      $1 started from the unpacked folder"
  else
    cat "$WORK/$1.txt"
    echo "FAILED: $1 from the unpacked folder: window '${window}', exit code $code"
    status=1
  fi
}
window_program BroadcastCardTool.exe '声音播放器存储卡配置'
grep -q 'sizeof = 86' "$WORK/BroadcastCardTool.exe.txt" || { echo "FAILED: the tool's trace"; status=1; }
window_program cardbatch.exe '批量制卡'
exit "$status"
