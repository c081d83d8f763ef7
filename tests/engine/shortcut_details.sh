#!/usr/bin/env bash
# What the saved shortcuts hold, read by an independent .lnk reader (lnkinfo):
# the target without its quotes, "%APPDATA%" as the literal working folder of
# the product's shortcuts and no working folder for the others, an empty
# description. The shortcuts are made in-process by engine_tests.
set -euo pipefail
: "${LM_BUILD:?}" "${LM_SOURCE:?}"
out=$(mktemp -d "$LM_BUILD/shortcut_details.XXXXXX")
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

LM_SHORTCUT_OUT="Z:${out//\//\\}" "$LM_SOURCE/tests/wine-run.sh" \
  "$LM_BUILD/tests/engine/engine_tests.exe" --gtest_filter='ShortcutDetails.*' >"$out/run.txt" 2>&1 \
  || { cat "$out/run.txt"; fail "engine_tests did not make the shortcuts"; }
grep -q '\[  PASSED  \] 1 test' "$out/run.txt" || { cat "$out/run.txt"; fail "shortcuts not made"; }

field() {  # field INFO NAME: the value lnkinfo showed for NAME, or "<none>"
  local value
  value=$(sed -n "/^[[:space:]]*$2[[:space:]]*: /{s/^[^:]*: //p;q}" <<<"$1")
  echo "${value:-<none>}"
}

app='C:\Program Files\Lumishot 6'
check() {  # check LINK TARGET WORKFOLDER
  local lnk="$out/$1.lnk" info
  [ -f "$lnk" ] || fail "$1.lnk not saved"
  info=$(lnkinfo "$lnk") || fail "lnkinfo cannot read $1.lnk"
  [ "$(field "$info" 'Local path')" = "$2" ] || fail "$1: target '$(field "$info" 'Local path')', expected '$2'"
  [ "$(field "$info" 'Working directory')" = "$3" ] || fail "$1: working folder '$(field "$info" 'Working directory')', expected '$3'"
  grep -q 'Contains a description string' <<<"$info" || fail "$1: no description string"
  [ "$(field "$info" 'Description')" = "<none>" ] || fail "$1: description '$(field "$info" 'Description')'"
}

check "Lumishot 6" "$app\\LmShot6.exe" '%APPDATA%'
check "Lumishot 6 Help" "$app\\LmShot6Man.chm" '<none>'
check "Read about Lumishot 6" "$app\\readme.txt" '<none>'
check "Uninstall Lumishot 6" "$app\\LmUnInst.exe" '<none>'
check "Quoted" "$app\\LmShot6.exe" '%APPDATA%'
check "Leading quote" "$app\\readme.txt" '<none>'
check "Trailing quote" "$app\\readme.txt" '<none>'

# One log line per shortcut, in the order made, CRLF-terminated.
log=$(tr -d '\r' <"$out/LmUnInst.log")
[ "$(grep -c '^Shell Link: ' <<<"$log")" = 7 ] || fail "log: $log"
[ "$(head -1 <<<"$log")" = "Shell Link: Z:${out//\//\\}\\Lumishot 6.lnk" ] || fail "first log line: $(head -1 <<<"$log")"
[ "$(grep -c $'\r$' "$out/LmUnInst.log")" = 7 ] || fail "log lines are not CRLF"
echo "shortcut details: 7 shortcuts read back by lnkinfo"
