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

unix_path() { W winepath.exe -u "$1" 2>/dev/null | tr -d '\r'; }
win_path() { W winepath.exe -w "$1" 2>/dev/null | tr -d '\r'; }
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
