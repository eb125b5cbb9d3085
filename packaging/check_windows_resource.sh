#!/usr/bin/env bash
# Compiles the configured Windows resource with the MinGW resource compiler, as a Windows
# build would, then reads the compiled resource back and checks what it carries: the
# version numbers, the version strings, and the program icon in its four sizes.
#
#   check_windows_resource.sh QUILLON_RC VERSION WORK_DIR
#
# Exits 77 (a skip under CTest) when the resource compiler is not installed.
set -euo pipefail

[[ $# -eq 3 ]] || { echo "usage: $0 QUILLON_RC VERSION WORK_DIR" >&2; exit 2; }
rc_file=$1 version=$2 work=$3

windres=x86_64-w64-mingw32-windres
if ! command -v "$windres" >/dev/null 2>&1; then
  echo "SKIP: $windres is not installed (Debian package binutils-mingw-w64-x86-64)"
  exit 77
fi

mkdir -p "$work"
# The host's C preprocessor stands in for the MinGW compiler, which windres would call.
compile=("$windres" --preprocessor=cpp --preprocessor-arg=-DRC_INVOKED)
"${compile[@]}" -i "$rc_file" -O res -o "$work/quillon.res"
"${compile[@]}" -i "$rc_file" -O coff -o "$work/quillon_rc.o"
"$windres" -i "$work/quillon.res" -O rc -o "$work/decompiled.rc"

numbers=${version//./, }
expected=(
  "FILEVERSION $numbers"
  "PRODUCTVERSION $numbers"
  'VALUE "FileVersion", "'"$version"'"'
  'VALUE "ProductVersion", "'"$version"'"'
  'VALUE "ProductName", "Quillon"'
  'VALUE "FileDescription", "Quillon"'
  'VALUE "OriginalFilename", "quillon.exe"'
  '/* RT_GROUP_ICON */'
  '"\020\020\000\000", 1, 32,'
  '"\040\040\000\000", 1, 32,'
  '"\060\060\000\000", 1, 32,'
  '"\200\200\000\000", 1, 32,'
)
failed=0
for line in "${expected[@]}"; do
  if ! grep -qF -- "$line" "$work/decompiled.rc"; then
    echo "FAIL: the compiled resource lacks: $line"
    failed=1
  fi
done
if ((failed)); then
  echo "--- the compiled resource, read back:"
  grep -v '^  0x\|^  "' "$work/decompiled.rc"
  exit 1
fi
echo "OK: $rc_file compiles and carries version $version and the icon in 16, 32, 48 and 128 pixels"
