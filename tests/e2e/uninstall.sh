#!/usr/bin/env bash
# The whole uninstallation of a silently installed copy: the uninstaller hands
# over to its temporary copy, which removes every file, folder and shortcut the
# install log names, the product's registry keys, and gives the image type it
# took over back to the earlier handler. A file of the user's keeps the install
# folder; without one the folder goes. Then the same interactively.
source "$(dirname "$0")/lib.sh"

pkg=$LM_BUILD/e2e-uninstall/pkg
install_dir_win='C:\Program Files\Lumishot 6'
dir=$(unix_path "$install_dir_win")
regfile=$LM_BUILD/e2e-uninstall/png.reg
png_before=$(reg_value 'HKCR\.png' '')

# regedit_apply LINES...: one REGEDIT4 file, one program start
regedit_apply() {
  printf 'REGEDIT4\r\n\r\n' > "$regfile"
  printf '%s\r\n' "$@" >> "$regfile"
  W regedit.exe /s "$(win_path_of_unix "$regfile")" >/dev/null 2>&1
}
regedit_text() { local t=${1//\\/\\\\}; printf '"%s"' "${t//\"/\\\"}"; }
cleanup() {
  regedit_apply '[HKEY_CLASSES_ROOT\.png]' "@=$(regedit_text "$png_before")" '"LmShotOld"=-' || true
  reset_product
}
trap cleanup EXIT
reset_product
make_package "$pkg" 6.10.3.1

install_product() { (cd "$pkg" && W setup.exe -s) || fail "setup.exe -s exited with $?"; }
copy_ended() { wait_for 20 bash -c '! pgrep -f "uni[0-9A-Fa-f]+\.tmp" >/dev/null'; }
key_gone() { ! reg_query "$1" >/dev/null; }

install_product
log=$(tr -d '\r' < "$dir/LmUnInst.log")
mapfile -t links < <(sed -n 's/^Shell Link: //p' <<<"$log")
group_win=$(sed -n 's/^Made Dir: //p' <<<"$log")
desktop_link_win="$(shell_folder_win HKLM 'Common Desktop')\\Lumishot 6.lnk"
[ ${#links[@]} = 5 ] && [ -n "$group_win" ] || fail "the install log names no group or not five shortcuts:
$log"
for link in "${links[@]}" "$group_win"; do [ -e "$(unix_path "$link")" ] || fail "not installed: $link"; done
[ -e "$(unix_path "$desktop_link_win")" ] || fail "no desktop shortcut after the install"

# The user's own file, and the product's hold on .png with the earlier handler kept.
printf 'my capture notes\r\n' > "$dir/My notes.txt"
product_handler="\"$install_dir_win\\LmShot6.exe\" \"%1\""
regedit_apply '[HKEY_CLASSES_ROOT\.png]' "@=$(regedit_text "$product_handler")" "\"LmShotOld\"=$(regedit_text "$png_before")"
[ "$(reg_value 'HKCR\.png' '')" = "$product_handler" ] || fail "could not give .png to the product"

start=$(date +%s%N)
W "$dir/LmUnInst.exe" -s || fail "LmUnInst.exe -s exited with $?"
wait_for 30 test ! -e "$dir/LmUnInst.exe" || fail "the installed uninstaller was not deleted"
copy_ended || fail "the temporary copy did not end"
ok "LmUnInst.exe -s: the temporary copy ended after $(( ($(date +%s%N) - start) / 1000000 )) ms"

for link in "${links[@]}" "$group_win" "$desktop_link_win"; do
  [ ! -e "$(unix_path "$link")" ] || fail "still there: $link"
done
ok "the five logged shortcuts, the desktop shortcut and the program group are gone"
left=$(cd "$dir" && find . -mindepth 1 -printf '%P\n')
[ "$left" = 'My notes.txt' ] || fail "the install folder holds more than the user's file:
$left"
ok "every logged file and folder and the install log are gone; the folder stays for the user's file"
for key in "$PRODUCT_KEY" 'HKLM\SOFTWARE\Orvantic' "$UNINSTALL_KEY" "$APP_PATHS_KEY"; do
  key_gone "$key" || fail "key still there: $key"
done
ok "product key, vendor key, Uninstall entry and App Paths entry are gone"
[ "$(reg_value 'HKCR\.png' '')" = "$png_before" ] || fail ".png handler is '$(reg_value 'HKCR\.png' '')', not '$png_before'"
! reg_query 'HKCR\.png' /v LmShotOld >/dev/null || fail ".png still has LmShotOld"
ok ".png is given back to '$png_before' and LmShotOld is gone"

# Interactive, without a file of the user's: the folder goes too, also when it
# is the uninstaller's current folder (as a shortcut without a working folder
# makes it) and an image type is given back on the way.
rm -f "$dir/My notes.txt"
install_product
regedit_apply '[HKEY_CLASSES_ROOT\.png]' "@=$(regedit_text "$product_handler")" "\"LmShotOld\"=$(regedit_text "$png_before")"
(cd "$dir" && W LmUnInst.exe) & pid=$!
box=$(driver wait "Lumishot Setup" 20000) || fail "no confirmation box"
grep -qx 'text: This will completely uninstall Lumishot 6.\\nDo you want to continue?' <<<"$box" \
  || fail "confirmation text: $box"
driver click "Lumishot Setup" 6 >/dev/null
wait $pid || true
box=$(driver wait "Lumishot Setup" 30000) || fail "no closing message"
screenshot uninstall-removed
grep -qx 'text: Lumishot 6 has been completely uninstalled from this computer.' <<<"$box" || fail "closing text: $box"
# The closing box comes after the removal.
[ ! -e "$dir" ] || fail "the install folder is still there: $(cd "$dir" && find . -mindepth 1)"
for link in "${links[@]}" "$group_win"; do [ ! -e "$(unix_path "$link")" ] || fail "still there: $link"; done
key_gone "$PRODUCT_KEY" || fail "the product key is still there"
[ "$(reg_value 'HKCR\.png' '')" = "$png_before" ] || fail ".png is not given back in the interactive run"
ok "after Yes: folder, shortcuts and keys gone and .png given back when the closing message shows"
driver click "Lumishot Setup" 2 >/dev/null || driver click "Lumishot Setup" 1 >/dev/null
copy_ended || fail "the temporary copy did not end after OK"
ok "the copy ends after OK"
