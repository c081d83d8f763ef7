#!/usr/bin/env bash
# The sample package builder: a complete package whose manifest names only
# files the package holds, in an order that replay can carry out, with CRLF
# lines; a missing input is an error, and nothing but errors is printed.
set -euo pipefail
: "${LM_BUILD:?}" "${LM_SOURCE:?}"
work=$(mktemp -d "$LM_BUILD/package_builder.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
make_package() { "$LM_SOURCE/tools/make_package.sh" "$@"; }

pkg=$work/pkg
out=$(make_package "$pkg" 6.10.3.1 "$LM_BUILD" 2>&1) || fail "builder failed: $out"
[ -z "$out" ] || fail "builder printed: $out"
for f in setup.exe LmUnInst.log LmShot6.exe agreement.txt readme.txt LmShot6Man.chm; do
  [ -s "$pkg/$f" ] || fail "package lacks $f"
done
cmp -s "$pkg/setup.exe" "$LM_BUILD/setup.exe" || fail "setup.exe is not the build's"
cmp -s "$pkg/LmShot6.exe" "$LM_BUILD/fixtures/6.10.3.1/LmShot6.exe" || fail "LmShot6.exe is not version 6.10.3.1"

manifest=$pkg/LmUnInst.log
lines=$(wc -l <"$manifest")
[ "$(grep -c $'\r$' "$manifest")" = "$lines" ] || fail "manifest lines are not all CRLF"

trim() { sed 's/^[[:space:]]*//; s/[[:space:]]*$//' <<<"$1"; }
declare -A made=() kinds=()
install_folder_made=0
renamed_with_blanks=0
while IFS= read -r line; do
  line=${line%$'\r'}
  case $line in
    "Make Dir: "*)
      [ $install_folder_made = 1 ] || fail "'$line' comes before any pattern line has made the install folder"
      made[${line#Make Dir: }]=1; kinds[make]=1; continue ;;
    "File Copy: "*) arg=${line#File Copy: }; kinds[copy]=1 ;;
    "File Copy x64: "*) arg=${line#File Copy x64: }; kinds[x64]=1 ;;
    "File Copy ind: "*) arg=${line#File Copy ind: }; kinds[ind]=1 ;;
    "File Del: "*) kinds[del]=1; continue ;;
    *) fail "unexpected manifest line '$line'" ;;
  esac
  src=$arg dest=
  if [[ $arg == *">"* ]]; then
    src=$(trim "${arg%%>*}") dest=$(trim "${arg#*>}")
    [[ $arg == *" >"* && $arg == *"> "* ]] && renamed_with_blanks=1
  else
    install_folder_made=1
  fi
  name=${dest:-$src}
  [[ $name == *\\* ]] && { [ -n "${made[${name%\\*}]:-}" ] || fail "'$line' comes before the Make Dir of its folder"; }
  unix=${src//\\//}
  compgen -G "$pkg/$unix" >/dev/null || fail "'$line' names nothing in the package"
done <"$manifest"
for k in make copy x64 ind del; do [ -n "${kinds[$k]:-}" ] || fail "manifest has no $k line"; done
[ $renamed_with_blanks = 1 ] || fail "no renaming with blanks around '>'"
[ -n "$(ls "$pkg/Samples")" ] || fail "sub-folder is empty"

out=$(make_package "$work/none" none "$LM_BUILD" 2>&1) || fail "builder failed for 'none': $out"
cmp -s "$work/none/LmShot6.exe" "$LM_BUILD/fixtures/none/LmShot6.exe" || fail "wrong LmShot6.exe for 'none'"

if out=$(make_package "$work/bad" 1.2.3.4 "$LM_BUILD" 2>&1); then fail "a missing version was accepted"; fi
grep -q 'missing' <<<"$out" || fail "no error for a missing version: $out"
if make_package "$work/bad2" 2>/dev/null; then fail "missing arguments were accepted"; fi
echo "package builder: $lines manifest lines, every file present"
