#!/usr/bin/env bash
# The main job on the sample package: build, make a package, install it
# silently into a fresh Wine prefix, show what a person would look at, then
# uninstall it (files, keys, shortcuts gone) and restart.
set -euo pipefail
source "$(dirname "$0")/common.sh"
if [ -z "${LM_DEMO_INNER:-}" ]; then
  "$LM_ROOT/scripts/bootstrap.sh"
  lm_pick_arch
  for arch in win32 $LM_TEST_ARCH; do
    mkdir -p "$LM_ROOT/build"
    lm_build "$arch" > "$LM_ROOT/build/demo-build-$arch.log" 2>&1 \
      || { tail -n 30 "$LM_ROOT/build/demo-build-$arch.log"; echo "demo: the $arch build failed"; exit 1; }
  done
  LM_DEMO_INNER=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
lm_pick_arch
export LM_BUILD=$LM_TEST_BUILD LM_SOURCE=$LM_ROOT

demo=$LM_ROOT/build/demo
mkdir -p "$demo"
lm_fresh_prefix "$demo/wineprefix"
trap lm_stop_prefix EXIT
source "$LM_ROOT/tests/e2e/lib.sh"

title() { printf '\n\033[1m== %s\033[0m\n' "$*"; }

title "The shipped file"
file "$LM_ROOT/build/win32/setup.exe"
[ "$LM_TEST_ARCH" = win32 ] || echo "(this machine runs Wine's 64-bit side only: the demo runs the 64-bit build of the same sources)"

title "The sample package (version 6.10.3.1)"
pkg=$demo/package
make_package "$pkg" 6.10.3.1
(cd "$pkg" && find . -type f | sort)
echo "-- its manifest LmUnInst.log:"
tr -d '\r' < "$pkg/LmUnInst.log" | sed 's/^/   /'

title "setup.exe -s"
start=$(date +%s%N)
rc=0; (cd "$pkg" && W setup.exe -s) || rc=$?
echo "exit code $rc after $(( ($(date +%s%N) - start) / 1000000 )) ms"

dir_win=$(reg_value "$PRODUCT_KEY" Path)
dir=$(unix_path "$dir_win")
title "Installed in $dir_win"
(cd "$dir" && find . -mindepth 1 | sort | sed 's/^\.\//   /')
echo "-- install log:"
tr -d '\r' < "$dir/LmUnInst.log" | sed 's/^/   /'

title "Shortcuts, as lnkinfo reads them"
sed -n 's/^Shell Link: //p' "$dir/LmUnInst.log" | tr -d '\r' | while IFS= read -r link; do
  echo "$link"
  lnkinfo "$(unix_path "$link")" 2>/dev/null | grep -E $'^\t(Local path|Working directory|Description)' | sed 's/^\t/   /'
done

title "Registry values written"
for key in "$PRODUCT_KEY" "$APP_PATHS_KEY" "$UNINSTALL_KEY"; do reg_query "$key" | sed '/^$/d'; done

title "The uninstaller: LmUnInst.exe -s hands over to a temporary copy of itself"
links=$(sed -n 's/^Shell Link: //p' "$dir/LmUnInst.log" | tr -d '\r')
W "$dir/LmUnInst.exe" -s
wait_for 20 test ! -e "$dir/LmUnInst.exe" && echo "LmUnInst.exe has been deleted by its temporary copy"
wait_for 20 bash -c '! pgrep -f "uni[0-9A-Fa-f]+\.tmp" >/dev/null' || true
echo "-- the install folder $dir_win:"
[ -e "$dir" ] && (cd "$dir" && find . -mindepth 1 | sed 's/^\.\//   still there: /') || echo "   gone"
echo "-- the shortcuts the install log named:"
while IFS= read -r link; do
  if [ -e "$(unix_path "$link")" ]; then echo "   still there: $link"; else echo "   gone: $link"; fi
done <<<"$links"
echo "-- the registry keys:"
for key in "$PRODUCT_KEY" 'HKLM\SOFTWARE\Orvantic' "$UNINSTALL_KEY" "$APP_PATHS_KEY"; do
  if reg_query "$key" >/dev/null; then echo "   still there: $key"; else echo "   gone: $key"; fi
done
echo "-- registered for the next restart:"
pending_renames | sed -n 's/.*REG_MULTI_SZ *//p' | sed 's/\\0/\n/g' | sed '/^$/d; s/^/   /'
restart_windows
echo "-- after a restart (wineboot -r) nothing is pending any more:"
pending_renames | grep -q REG_MULTI_SZ && pending_renames || echo "   (none)"
