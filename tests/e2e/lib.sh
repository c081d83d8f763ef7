# Helpers of the end-to-end scripts: run Windows programs in the test prefix,
# translate paths, drive windows, check results. Sourced, not run.
set -euo pipefail
: "${LM_WINE:?}" "${LM_BUILD:?}" "${LM_SOURCE:?}"
export WINEPREFIX=${WINEPREFIX:-$LM_BUILD/wineprefix}
export WINEDEBUG=-all

W() { "$LM_SOURCE/tests/wine-run.sh" "$@"; }
W cmd.exe /c exit 0 2>/dev/null || true   # makes the prefix on first use

fail() { echo "FAIL: $*" >&2; exit 1; }
ok() { echo "ok - $*"; }
# check DESCRIPTION COMMAND...: the command must succeed
check() { local d=$1; shift; if "$@"; then ok "$d"; else fail "$d"; fi; }

# Paths on C: are translated here (a Wine program start costs half a second);
# others by winepath.
unix_path() {
  case $1 in
    [Cc]:\\*) local rest=${1:3}; printf '%s\n' "$WINEPREFIX/drive_c/${rest//\\//}" ;;
    *) W winepath.exe -u "$1" 2>/dev/null | tr -d '\r' ;;
  esac
}
win_path() { W winepath.exe -w "$1" 2>/dev/null | tr -d '\r'; }
# Any Unix path is reachable as drive Z: in Wine.
win_path_of_unix() { local p=$1; printf 'Z:%s\n' "${p//\//\\}"; }
win_env() { W cmd.exe /c echo "%$1%" 2>/dev/null | tr -d '\r'; }

driver() { W "$LM_BUILD/windriver.exe" "$@" 2>/dev/null | tr -d '\r'; }

# wait_for TIMEOUT_S COMMAND...: poll until the command succeeds
wait_for() {
  local limit=$(( $(date +%s) + $1 )); shift
  until "$@"; do
    [ "$(date +%s)" -lt "$limit" ] || return 1
    sleep 0.2
  done
}

reg_query() { W reg.exe query "$@" 2>/dev/null | tr -d '\r'; }

pending_renames() {
  reg_query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations || true
}

# A restart: the system carries out the registered renames and deletions.
restart_windows() { W wineboot.exe -r >/dev/null 2>&1; }

# --- the product as installed -------------------------------------------------

SHELL_FOLDERS='Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
PRODUCT_KEY='HKLM\SOFTWARE\Orvantic\Lumishot 6'
UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Lumishot 6'
APP_PATHS_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\LmShot6.exe'

# reg_value KEY NAME: the data of one value ("" for the default value), or nothing
reg_value() {
  local out
  if [ -z "$2" ]; then out=$(reg_query "$1" /ve) || return 0
  else out=$(reg_query "$1" /v "$2") || return 0; fi
  sed -n 's/^    [^ ].*    REG_[A-Z_]*    //p' <<<"$out" | head -n1
}
# reg_type KEY NAME
reg_type() { reg_query "$1" /v "$2" | sed -n 's/^    .*    \(REG_[A-Z_]*\)    .*/\1/p' | head -n1; }

# Shell folders, read once per script: "HKLM:Common Programs" and the like.
declare -A SHELL_FOLDER_CACHE=()
load_shell_folders() {
  local root line
  for root in HKLM HKCU; do
    while IFS= read -r line; do
      [[ $line =~ ^\ \ \ \ (.+)\ \ \ \ REG_[A-Z_]+\ \ \ \ (.*)$ ]] || continue
      SHELL_FOLDER_CACHE[$root:${BASH_REMATCH[1],,}]=${BASH_REMATCH[2]}
    done < <(reg_query "$root\\$SHELL_FOLDERS")
  done
}
load_shell_folders
shell_folder_win() {  # shell_folder_win HKCU|HKLM NAME: Windows path of a shell folder
  local key="$1:${2,,}"
  printf '%s\n' "${SHELL_FOLDER_CACHE[$key]:-}"
}
shell_folder() { unix_path "$(shell_folder_win "$1" "$2")"; }

# Removes every trace of an installed product, so that a script starts clean.
reset_product() {
  local reg=$LM_BUILD/e2e-reset.reg
  printf 'REGEDIT4\r\n\r\n[-%s]\r\n[-%s]\r\n[-%s]\r\n' 'HKEY_LOCAL_MACHINE\SOFTWARE\Orvantic' \
    "${UNINSTALL_KEY/HKLM/HKEY_LOCAL_MACHINE}" "${APP_PATHS_KEY/HKLM/HKEY_LOCAL_MACHINE}" > "$reg"
  W regedit.exe /s "$(win_path_of_unix "$reg")" >/dev/null 2>&1 || true
  rm -rf "$(unix_path 'C:\Program Files\Lumishot 6')" "$(unix_path 'C:\Program Files (x86)\Lumishot 6')"
  local p
  for p in "HKLM:Common " "HKCU:"; do
    local root=${p%%:*} pre=${p#*:}
    rm -rf "$(shell_folder "$root" "${pre}Programs")/Lumishot 6" "$(shell_folder "$root" "${pre}Programs")/My Tools"
    rm -f "$(shell_folder "$root" "${pre}Desktop")/Lumishot 6.lnk" "$(shell_folder "$root" "${pre}Startup")/Lumishot 6.lnk"
  done
}

# make_package DIR VERSION: a sample package of the built programs
make_package() {
  rm -rf "$1"
  bash "$LM_SOURCE/tools/make_package.sh" "$1" "$2" "$LM_BUILD"
}

# The browser: Wine hands addresses to the programs listed in WineBrowser
# "Browsers"; a recorder there writes each address it is given to a file.
record_browser() {  # record_browser FILE
  local recorder=$LM_BUILD/e2e-browser.sh
  printf '#!/bin/sh\nprintf "%%s\\n" "$@" >> %q\n' "$1" > "$recorder"
  chmod +x "$recorder"
  : > "$1"
  W reg.exe add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$recorder" /f >/dev/null
}

# screenshot NAME: the whole screen, kept under build/.../artifacts for a person to look at
screenshot() {
  mkdir -p "$LM_BUILD/artifacts"
  import -window root "$LM_BUILD/artifacts/$1.png" 2>/dev/null || echo "(no screenshot $1: no display)"
}
