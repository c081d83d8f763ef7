#!/usr/bin/env bash
# A later silent setup over an installed copy: the installed copy's group is
# kept, what it made goes before anything is placed, the files the new package
# retires are deleted, and the install log becomes the new manifest's.
source "$(dirname "$0")/lib.sh"

old=$LM_BUILD/e2e-upgrade/old
new=$LM_BUILD/e2e-upgrade/new
folder_win='C:\Lumishot Upgrade'
folder=$(unix_path "$folder_win")
trap 'reset_product; rm -rf "$folder"' EXIT
reset_product
rm -rf "$folder" && mkdir -p "$folder"

make_package "$old" 6.10.3.1
printf 'retired\r\n' > "$old/oldtool.txt"
printf 'File Copy: oldtool.txt\r\n' >> "$old/LmUnInst.log"
make_package "$new" 6.10.3.2
# readme.txt is both retired and shipped again: it survives only when the
# retired files go before the new ones are placed.
printf 'File Del: oldtool.txt\r\nFile Del: readme.txt\r\n' >> "$new/LmUnInst.log"

(cd "$old" && W setup.exe -s -instdir "$folder_win") || fail "installing 6.10.3.1"
[ -f "$folder/oldtool.txt" ] || fail "6.10.3.1 not installed in its folder"

# As an interactive installation into the group "My Tools" would have left it,
# with a Startup shortcut, and a shortcut of its own in the group.
programs_win=$(shell_folder_win HKLM 'Common Programs')
startup_win=$(shell_folder_win HKLM 'Common Startup')
programs=$(unix_path "$programs_win")
mv "$programs/Lumishot 6" "$programs/My Tools"
cp "$programs/My Tools/Lumishot 6.lnk" "$programs/My Tools/Old Extra.lnk"
cp "$programs/My Tools/Lumishot 6.lnk" "$(unix_path "$startup_win")/Lumishot 6.lnk"
log=$folder/LmUnInst.log
sed -i "s/\\\\Programs\\\\Lumishot 6/\\\\Programs\\\\My Tools/" "$log"
printf 'Shell Link: %s\r\n' "$programs_win\\My Tools\\Old Extra.lnk" "$startup_win\\Lumishot 6.lnk" >> "$log"
grep -q 'My Tools\\Lumishot 6.lnk' "$log" || fail "could not prepare the old install log"

(cd "$new" && W setup.exe -s) || fail "installing 6.10.3.2"

cmp -s "$folder/LmShot6.exe" "$new/LmShot6.exe" || fail "the product was not replaced"
[ ! -e "$folder/oldtool.txt" ] || fail "the file the new package retires is still there"
[ -f "$folder/readme.txt" ] || fail "a retired file that the package ships again is missing"
ok "upgraded in place: retired files gone before the new files came"

[ ! -e "$programs/My Tools/Old Extra.lnk" ] || fail "the old group's shortcut is still there"
[ ! -e "$(unix_path "$startup_win")/Lumishot 6.lnk" ] || fail "the old Startup shortcut is still there"
[ ! -e "$programs/Lumishot 6" ] || fail "a default group was made although the installed copy used My Tools"
for name in 'Lumishot 6' 'Lumishot 6 Help' 'Read about Lumishot 6' 'Uninstall Lumishot 6'; do
  [ -f "$programs/My Tools/$name.lnk" ] || fail "no $name shortcut in My Tools"
done
ok "the group My Tools is taken from the old install log (its Startup line does not count); old shortcuts removed"

expected_head=$(tr -d '\r' < "$new/LmUnInst.log")
actual=$(tr -d '\r' < "$log")
[ "${actual:0:${#expected_head}}" = "$expected_head" ] || fail "the install log does not begin with the new manifest"
grep -qxF "Made Dir: $programs_win\\My Tools" <<<"$actual" || fail "no Made Dir line for My Tools: $actual"
! grep -q 'Old Extra' <<<"$actual" || fail "the old install log's lines survived"
ok "the install log is the new manifest, the group and the new shortcuts"

# The same version again, silently: installed all the same, without a question.
printf 'Shell Link: %s\r\n' "$programs_win\\My Tools\\Old Extra.lnk" >> "$log"
cp "$programs/My Tools/Lumishot 6.lnk" "$programs/My Tools/Old Extra.lnk"
(cd "$new" && timeout 60 bash -c '"$0" setup.exe -s' "$LM_SOURCE/tests/wine-run.sh") || fail "same version setup failed"
[ ! -e "$programs/My Tools/Old Extra.lnk" ] || fail "same version was not installed as an upgrade"
ok "same version, silent: installed again as an upgrade, no question"

# Interactive setup over the installed 6.10.3.2: an older package asks string
# 16 (installed version first), the same version string 17; "No" ends setup
# with nothing changed.
stamp=$(stat -c %Y "$log")
version_question() {  # version_question PACKAGE EXPECTED_TEXT
  (cd "$1" && W setup.exe) & local pid=$!
  local box
  box=$(driver wait "Lumishot Setup" 30000) || fail "no version question"
  grep -qxF "text: $2" <<<"$box" || fail "version question: $box"
  grep -Eq '^control 6 Button visible default &?Yes$' <<<"$box" || fail "Yes is not the default: $box"
  grep -Eq '^control 7 Button visible &?No$' <<<"$box" || fail "no No button: $box"
  driver click "Lumishot Setup" 7 >/dev/null
  wait $pid || true
}
version_question "$old" 'Lumishot v. 6.10.03.02 is already installed on this machine. You are trying to install an older version 6.10.03.01 .\n\nDo you still want to continue?'
version_question "$new" 'Lumishot ver. 6.10.03.02 is already installed on this machine.\n\nWould you like to run this setup again to select different options or repair the files?'
[ "$(stat -c %Y "$log")" = "$stamp" ] && cmp -s "$folder/LmShot6.exe" "$new/LmShot6.exe" || fail "No changed the installation"
ok "older package: string 16; same version: string 17; No changes nothing"

# The stored choice "A" (current user) outweighs -allusers: the shortcuts go to
# the current user's folders and "A" stays.
W reg.exe add "$PRODUCT_KEY" /v AllUsers /d A /f >/dev/null
(cd "$new" && W setup.exe -s -ALLUSERS) || fail "setup -s -ALLUSERS"
[ "$(reg_value "$PRODUCT_KEY" AllUsers)" = A ] || fail "AllUsers became $(reg_value "$PRODUCT_KEY" AllUsers)"
user_programs=$(shell_folder HKCU Programs)
[ -f "$user_programs/Lumishot 6/Lumishot 6.lnk" ] || fail "no shortcuts in the current user's programs folder"
rm -rf "$user_programs/Lumishot 6" "$(shell_folder HKCU Desktop)/Lumishot 6.lnk"
ok "stored choice A beats -ALLUSERS: current user's folders, AllUsers stays A"
