#!/usr/bin/env bash
# The shipped file: a statically linked 32-bit GUI program that loads nothing but
# system libraries, with its string table, version information and manifest.
set -euo pipefail
exe=$1
fail() { echo "FAIL: $*"; exit 1; }

file "$exe" | grep -q 'PE32 executable (GUI) Intel 80386' || fail "not a PE32 GUI i386 file: $(file "$exe")"

allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|version|msvcrt|shlwapi)\.dll$'
dlls=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$dlls" ] || fail "no imports found"
for d in $dlls; do
  [[ $d =~ $allowed ]] || fail "imports a non-system library: $d"
done

resources=$(wrestool -l "$exe")
for type in 6 16 24; do  # string table, version information, manifest
  grep -q -- "--type=$type " <<<"$resources" || fail "no resource of type $type"
done
wrestool -x --raw --type=24 "$exe" | tr -d '\n' \
  | grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
  || fail "manifest does not ask for common controls 6"
echo "shipped executable: PE32 i386 GUI, imports: $(echo $dlls)"
