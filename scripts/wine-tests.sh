#!/usr/bin/env bash
# Runs the Wine part of the tests in a fresh prefix. Started under xvfb-run, so
# that the prefix's desktop and every test program share one X display.
set -uo pipefail
source "$(dirname "$0")/common.sh"
lm_pick_arch
lm_fresh_prefix "$LM_TEST_BUILD/wineprefix" || exit 1
ctest --test-dir "$LM_TEST_BUILD" -LE static --output-on-failure -j2 "$@"
rc=$?
lm_stop_prefix
exit $rc
