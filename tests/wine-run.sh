#!/usr/bin/env bash
# Runs a Windows test program under Wine, in the test run's own prefix.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
: "${LM_WINE:=wine}"
: "${WINEPREFIX:=${LM_BUILD:-$here/../build}/wineprefix}"
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all}
exec "$LM_WINE" "$@"
