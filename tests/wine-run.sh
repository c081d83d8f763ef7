#!/usr/bin/env bash
# Runs a Windows test program under Wine, in the test run's own prefix (made
# here on first use when the run's script has not made it).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
: "${LM_WINE:=wine}"
: "${WINEPREFIX:=${LM_BUILD:-$here/../build}/wineprefix}"
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    [ -f "$WINEPREFIX/system.reg" ] || "$LM_WINE" wineboot --init >/dev/null 2>&1
  ) 9>"$WINEPREFIX.lock"
fi
# Wine treats the start of a new wineserver session as a restart (it carries out
# the registered restart-time renames then), so keep one session alive across
# the programs of a test; a running server makes this a no-op.
# The session's own processes (started with the first program) must not hold
# the caller's output open, or the caller waits for them; a first program with
# closed streams starts them.
server="server-$(stat -c %D "$WINEPREFIX")-$(printf %x "$(stat -c %i "$WINEPREFIX")")"
if ! compgen -G "/tmp/.wine-$(id -u)/$server/socket" >/dev/null &&
   ! compgen -G "/tmp/wine-*/$server/socket" >/dev/null; then
  setsid wineserver -p30 </dev/null >/dev/null 2>&1
  "$LM_WINE" cmd.exe /c exit 0 </dev/null >/dev/null 2>&1 || true
fi
exec "$LM_WINE" "$@"
