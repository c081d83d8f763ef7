#!/usr/bin/env bash
# The uninstaller hands over to a temporary copy of itself: the copy gets
# "-delself", the installed uninstaller's whole path and "-s", deletes the
# installed uninstaller, and has its own file deleted at the next restart.
source "$(dirname "$0")/lib.sh"

folder_win='C:\Program Files\Lumishot Handover Test'
folder=$(unix_path "$folder_win")
temp=$(unix_path "$(win_env TEMP)")
cleanup() { rm -rf "$folder"; }
trap cleanup EXIT
mkdir -p "$folder"

copies() { ls "$temp" | grep -E '^uni[0-9A-Fa-f]+\.tmp$' | sort || true; }
copy_running() { pgrep -f 'uni[0-9A-Fa-f]+\.tmp' >/dev/null; }

# Silent: no box at all.
cp "$LM_BUILD/setup.exe" "$folder/LmUnInst.exe"
before=$(copies)
W "$folder/LmUnInst.exe" -s
check "the installed uninstaller is deleted by the copy" wait_for 20 test ! -e "$folder/LmUnInst.exe"
wait_for 20 bash -c '! pgrep -f "uni[0-9A-Fa-f]+\.tmp" >/dev/null' || fail "the temporary copy did not end"
new=$(comm -13 <(echo "$before") <(copies))
[ "$(echo "$new" | grep -c .)" = 1 ] || fail "expected one new uni*.tmp copy, found: $new"
ok "one temporary copy $new was made"
cmp -s "$temp/$new" "$LM_BUILD/setup.exe" || fail "the copy is not the program"
pending_renames | grep -qi "$new" || fail "the copy is not registered for deletion at restart"
ok "the copy is registered for deletion at restart"
check "the copy still exists before the restart" test -e "$temp/$new"
restart_windows
check "the copy is gone after the restart" test ! -e "$temp/$new"

# Interactive: "No" changes nothing. (The removal took the emptied folder away.)
mkdir -p "$folder"
cp "$LM_BUILD/setup.exe" "$folder/LmUnInst.exe"
before=$(copies)
W "$folder/LmUnInst.exe" & pid=$!
box=$(driver wait "Lumishot Setup" 20000) || fail "no confirmation box"
screenshot uninstall-confirmation
grep -qx 'text: This will completely uninstall Lumishot 6.\\nDo you want to continue?' <<<"$box" \
  || fail "confirmation text: $box"
grep -Eq '^control 6 Button visible &?Yes$' <<<"$box" || fail "no Yes button: $box"
grep -Eq '^control 7 Button visible default &?No$' <<<"$box" || fail "No is not the default button: $box"
ok "the confirmation asks with Yes and No, No the default"
driver click "Lumishot Setup" 7 >/dev/null
wait $pid || true
check "after No the uninstaller is still there" test -e "$folder/LmUnInst.exe"
[ "$(copies)" = "$before" ] || fail "a temporary copy was made after No"
ok "after No no temporary copy was made"

# Interactive: "Yes", then the copy's closing message.
W "$folder/LmUnInst.exe" & pid=$!
driver wait "Lumishot Setup" 20000 >/dev/null || fail "no confirmation box"
driver click "Lumishot Setup" 6 >/dev/null
wait $pid || true
box=$(driver wait "Lumishot Setup" 20000) || fail "no closing message"
screenshot uninstall-done
grep -qx 'text: Lumishot 6 has been completely uninstalled from this computer.' <<<"$box" || fail "closing text: $box"
grep -Eq '^control (1|2) Button visible default OK$' <<<"$box" || fail "closing box is not OK-only: $box"
check "the installed uninstaller is gone when the closing message shows" test ! -e "$folder/LmUnInst.exe"
driver click "Lumishot Setup" 2 >/dev/null || driver click "Lumishot Setup" 1 >/dev/null
wait_for 20 bash -c '! pgrep -f "uni[0-9A-Fa-f]+\.tmp" >/dev/null' || fail "the temporary copy did not end"
ok "the copy ends after OK"
