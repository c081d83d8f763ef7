#!/usr/bin/env bash
# Builds everything and runs every test: the native portable core under the
# sanitizers (and its fuzzer), the test programs and end-to-end scripts under
# Wine in a fresh prefix, the window tests under Xvfb. Exits non-zero on any failure.
set -uo pipefail
source "$(dirname "$0")/common.sh"

"$LM_ROOT/scripts/bootstrap.sh" || exit 1
lm_pick_arch

start=$(date +%s)
failed=0
declare -a summary

step() {  # step NAME COMMAND...
  local name=$1; shift
  local t0=$(date +%s)
  echo "=== $name"
  if "$@"; then summary+=("ok      $name ($(( $(date +%s) - t0 )) s)")
  else summary+=("FAILED  $name ($(( $(date +%s) - t0 )) s)"); failed=1; fi
}

step "build win32 (shipped)" lm_build win32
[ "$LM_TEST_ARCH" = win32 ] || step "build $LM_TEST_ARCH (runs the tests under Wine)" lm_build "$LM_TEST_ARCH"
step "build native (sanitizers)" lm_build native

step "shipped executable" ctest --test-dir "$LM_ROOT/build/win32" -L static --output-on-failure
step "native tests (ASan/UBSan)" ctest --test-dir "$LM_ROOT/build/native" --output-on-failure

run_wine_tests() {
  xvfb-run -a -s "-screen 0 1024x768x24" "$LM_ROOT/scripts/wine-tests.sh"
}
step "tests under Wine ($LM_TEST_ARCH)" run_wine_tests

echo
echo "=== summary (Wine runs the $LM_TEST_ARCH build)"
printf '%s\n' "${summary[@]}"
echo "total $(( $(date +%s) - start )) s"
exit $failed
