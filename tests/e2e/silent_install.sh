#!/usr/bin/env bash
# A silent installation of the sample package, as an administrator runs it:
# what lands in Program Files, the install log, the shortcuts (read by lnkinfo),
# the registry; then the command-line words that change it.
source "$(dirname "$0")/lib.sh"

pkg=$LM_BUILD/e2e-silent/pkg
trap reset_product EXIT
reset_product
make_package "$pkg" 6.10.3.1
# A copy into a sub-folder whose "Make Dir: " line comes later finds no folder.
printf 'File Copy: Later\\note.txt\r\nMake Dir: Later\r\n' >> "$pkg/LmUnInst.log"
mkdir -p "$pkg/Later" && printf 'note\r\n' > "$pkg/Later/note.txt"

install_dir_win='C:\Program Files\Lumishot 6'
dir=$(unix_path "$install_dir_win")
(cd "$pkg" && W setup.exe -s) || fail "setup.exe -s exited with $?"

# Files, as the manifest lists them.
expected_files='Later/
LmShot6.exe
LmShot6.ini
LmShot6Man.chm
LmShotFx.dll
LmUnInst.exe
LmUnInst.log
Samples/
Samples/Shapes.ls6
Samples/Welcome.ls6
readme.txt'
actual_files=$(cd "$dir" && find . -mindepth 1 \( -type d -printf '%P/\n' -o -printf '%P\n' \) | LC_ALL=C sort)
[ "$actual_files" = "$expected_files" ] || fail "installed files:
$actual_files"
ok "files placed as the manifest says (the renaming without its blanks, no 64-bit file in a 64-bit process, nothing in a folder made too late)"
cmp -s "$dir/LmUnInst.exe" "$pkg/setup.exe" || fail "LmUnInst.exe is not setup.exe"
cmp -s "$dir/LmShot6.ini" "$pkg/LmShot6.default.ini" || fail "the renamed file has other content"

# The install log: the manifest, an empty line, the group, the shortcuts in creation order.
programs_win=$(shell_folder_win HKLM 'Common Programs')
desktop_win=$(shell_folder_win HKLM 'Common Desktop')
group_win="$programs_win\\Lumishot 6"
expected_log="$(tr -d '\r' < "$pkg/LmUnInst.log")

Made Dir: $group_win
Shell Link: $group_win\\Lumishot 6.lnk
Shell Link: $group_win\\Lumishot 6 Help.lnk
Shell Link: $group_win\\Read about Lumishot 6.lnk
Shell Link: $group_win\\Uninstall Lumishot 6.lnk
Shell Link: $desktop_win\\Lumishot 6.lnk"
[ "$(tr -d '\r' < "$dir/LmUnInst.log")" = "$expected_log" ] || fail "install log:
$(cat "$dir/LmUnInst.log")"
grep -q $'\r$' "$dir/LmUnInst.log" || fail "the install log is not written with CRLF line ends"
ok "install log: manifest, empty line, Made Dir, five Shell Link lines (all users' folders)"

# Shortcuts, read by an independent parser.
lnk() { lnkinfo "$(unix_path "$1")" 2>/dev/null; }
field() { sed -n "s/^\t$1\t*: //p"; }
product_lnk=$(lnk "$group_win\\Lumishot 6.lnk")
[ "$(field 'Local path' <<<"$product_lnk")" = "$install_dir_win\\LmShot6.exe" ] || fail "product shortcut target: $product_lnk"
[ "$(field 'Working directory' <<<"$product_lnk")" = '%APPDATA%' ] || fail "product shortcut working folder: $product_lnk"
for name in 'Lumishot 6 Help:LmShot6Man.chm' 'Read about Lumishot 6:readme.txt' 'Uninstall Lumishot 6:LmUnInst.exe'; do
  info=$(lnk "$group_win\\${name%%:*}.lnk")
  [ "$(field 'Local path' <<<"$info")" = "$install_dir_win\\${name#*:}" ] || fail "${name%%:*} target: $info"
  ! grep -q 'Working directory' <<<"$info" || fail "${name%%:*} has a working folder: $info"
done
desk=$(lnk "$desktop_win\\Lumishot 6.lnk")
[ "$(field 'Working directory' <<<"$desk")" = '%APPDATA%' ] || fail "desktop shortcut: $desk"
ok "shortcuts: targets, %APPDATA% only for the product shortcuts"

# Registry: all under HKLM, all REG_SZ.
check_value() {  # KEY NAME DATA
  [ "$(reg_value "$1" "$2")" = "$3" ] || fail "$1 $2 is '$(reg_value "$1" "$2")', not '$3'"
  [ -z "$2" ] || [ "$(reg_type "$1" "$2")" = REG_SZ ] || fail "$1 $2 is not REG_SZ"
}
check_value "$PRODUCT_KEY" AllUsers B
check_value "$PRODUCT_KEY" Path "$install_dir_win"
check_value "$APP_PATHS_KEY" '' "$install_dir_win\\LmShot6.exe"
check_value "$UNINSTALL_KEY" Contact Support
check_value "$UNINSTALL_KEY" DisplayName 'Lumishot 6'
check_value "$UNINSTALL_KEY" DisplayVersion 6.10.03
check_value "$UNINSTALL_KEY" Publisher 'Orvantic Technology LLC'
check_value "$UNINSTALL_KEY" UninstallString "\"$install_dir_win\\LmUnInst.exe\""
check_value "$UNINSTALL_KEY" URLInfoAbout "$(sed -n 's/^LM_VENDOR_URL:STRING=//p' "$LM_BUILD/CMakeCache.txt")"
ok "nine registry values under HKLM, REG_SZ, DisplayVersion 6.10.03, UninstallString quoted"

# Command-line words. Each run starts from a machine without the product.
target=$(unix_path 'C:\Lumishot Target')
run_setup() { reset_product; rm -rf "$target"; mkdir -p "$target"; (cd "$pkg" && W setup.exe "$@"); }

run_setup -s -NoDeskIco -AUTOSTART -instdir 'C:\Lumishot Target\'
[ -f "$target/LmShot6.exe" ] || fail "-instdir with a trailing backslash did not install there"
[ "$(reg_value "$PRODUCT_KEY" Path)" = 'C:\Lumishot Target' ] || fail "Path keeps the trailing backslash"
[ ! -e "$(unix_path "$desktop_win")/Lumishot 6.lnk" ] || fail "-NoDeskIco made a desktop shortcut"
startup_win=$(shell_folder_win HKLM 'Common Startup')
[ "$(field 'Local path' <<<"$(lnk "$startup_win\\Lumishot 6.lnk")")" = 'C:\Lumishot Target\LmShot6.exe' ] \
  || fail "-AUTOSTART made no Startup shortcut"
tail -n1 "$target/LmUnInst.log" | grep -qF "Shell Link: $startup_win\\Lumishot 6.lnk" || fail "Startup shortcut not logged last"
ok "-instdir D\\ installs in D; -NoDeskIco and -AUTOSTART in any letter case"

run_setup -s -instdir 'C:\Lumishot Target/'
[ "$(reg_value "$PRODUCT_KEY" Path)" = 'C:\Lumishot Target' ] || fail "-instdir D/ gave $(reg_value "$PRODUCT_KEY" Path)"
for words in "-instdir C:\\No\\Such\\Folder" "-INSTDIR C:\\Lumishot\ Target" "-instdir C:\\Lumishot\ Target -instdir C:\\Missing"; do
  eval "run_setup -s $words"
  [ "$(reg_value "$PRODUCT_KEY" Path)" = "$install_dir_win" ] || fail "'$words' gave $(reg_value "$PRODUCT_KEY" Path)"
done
ok "-instdir D/ trims the slash; a missing folder, -INSTDIR and a later missing folder leave the default"

# -runafter: the product starts from the install folder when setup is done.
run_setup -s -RunAfter
wait_for 20 pgrep -f 'Lumishot 6.LmShot6.exe' >/dev/null || fail "-RunAfter did not start the product"
pkill -f 'Lumishot 6.LmShot6.exe' || true
ok "-RunAfter starts the installed product"
