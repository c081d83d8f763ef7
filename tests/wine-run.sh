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
exec "$LM_WINE" "$@"
