#!/usr/bin/env bash
# make_package.sh OUT_DIR VERSION [BUILD_DIR]
# Makes a complete sample package folder in OUT_DIR from the built programs of
# BUILD_DIR (default build/win32): setup.exe, the package manifest LmUnInst.log,
# LmShot6.exe of VERSION (a version the build made under fixtures/, or "none"
# for the one without version information), the texts and help file, a
# sub-folder of samples, a 64-bit-only file and a library that is placed only
# where the system has none of its name. Prints nothing but errors.
set -euo pipefail

die() { echo "make_package.sh: $*" >&2; exit 1; }

[ $# -ge 2 ] && [ $# -le 3 ] || die "usage: make_package.sh OUT_DIR VERSION [BUILD_DIR]"
out=$1
version=$2
root=$(cd "$(dirname "$0")/.." && pwd)
build=${3:-$root/build/win32}

[ -n "$out" ] || die "no package folder given"
[ -n "$version" ] || die "no version given"
[ -d "$build" ] || die "no build folder $build"
setup_exe=$build/setup.exe
product_exe=$build/fixtures/$version/LmShot6.exe
library=$build/tools/LmShotFx.dll
for input in "$setup_exe" "$product_exe" "$library"; do
  [ -f "$input" ] || die "missing $input"
done

mkdir -p "$out/Samples" || die "cannot make $out"

cp "$setup_exe" "$out/setup.exe"
cp "$product_exe" "$out/LmShot6.exe"
cp "$library" "$out/LmShotFx.dll"
# The 64-bit-only file: placed only when setup runs as a 32-bit process on 64-bit Windows.
cp "$library" "$out/LmShotFx64.dll"

# Texts of the package as a package maker on Windows writes them: CRLF lines.
crlf() { printf '%s\r\n' "$@"; }

crlf "LUMISHOT 6 LICENCE AGREEMENT" "" \
  "This is the sample package's licence agreement. By pressing Yes you accept it." \
  > "$out/agreement.txt"
crlf "Lumishot 6" "" "Thank you for installing Lumishot 6, the screen-capture tool." \
  > "$out/readme.txt"
# Stands in for the compiled help file: only its presence matters to setup.
crlf "Lumishot 6 Help (sample)" > "$out/LmShot6Man.chm"
crlf "[Options]" "CaptureDelay=0" > "$out/LmShot6.default.ini"
crlf "Sample capture notes" > "$out/Samples/Welcome.ls6"
crlf "Second sample" > "$out/Samples/Shapes.ls6"

# The manifest. A pattern line comes first: it creates the install folder,
# which the "Make Dir: " line needs as its parent; the files of the sub-folder
# follow its "Make Dir: " line.
crlf "File Copy: LmShot6.exe" \
  "File Copy: setup.exe > LmUnInst.exe" \
  "File Copy: readme.txt" \
  "File Copy: LmShot6Man.chm" \
  "File Copy: LmShot6.default.ini  >  LmShot6.ini" \
  "Make Dir: Samples" \
  "File Copy: Samples\\*.ls6" \
  "File Copy x64: LmShotFx64.dll" \
  "File Copy ind: LmShotFx.dll" \
  "File Del: LmShot6.exe.old" \
  > "$out/LmUnInst.log"
