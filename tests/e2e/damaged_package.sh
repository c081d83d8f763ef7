#!/usr/bin/env bash
# A damaged package (no manifest, or a product executable without a version):
# string 18 with the vendor's address, the home page opened, exit code 1, and
# nothing installed.
source "$(dirname "$0")/lib.sh"

url=$(sed -n 's/^LM_VENDOR_URL:STRING=//p' "$LM_BUILD/CMakeCache.txt")
browsed=$LM_BUILD/e2e-browsed.txt
pkg=$LM_BUILD/e2e-damaged/pkg
trap 'reset_product; W reg.exe delete "HKCU\Software\Wine\WineBrowser" /v Browsers /f >/dev/null 2>&1 || true' EXIT
record_browser "$browsed"

for damage in "no manifest" "no version"; do
  reset_product
  if [ "$damage" = "no manifest" ]; then
    make_package "$pkg" 6.10.3.1
    rm "$pkg/LmUnInst.log"
  else
    make_package "$pkg" none
  fi
  : > "$browsed"
  (cd "$pkg" && W setup.exe -s) & pid=$!
  box=$(driver wait "Lumishot Setup" 30000) || fail "$damage: no message"
  screenshot "damaged-package-${damage// /-}"
  grep -qxF "text: This setup files are damaged, installation aborted.\\n\\nPlease download the product again from $url and re-try the setup." <<<"$box" \
    || fail "$damage: text $box"
  grep -Eq '^control [0-9]+ Button visible default OK$' <<<"$box" || fail "$damage: not an OK box: $box"
  [ "$(grep -c ' Button ' <<<"$box")" = 1 ] || fail "$damage: more than one button: $box"
  driver click "Lumishot Setup" 1 >/dev/null || driver click "Lumishot Setup" 2 >/dev/null
  rc=0; wait $pid || rc=$?
  [ $rc = 1 ] || fail "$damage: exit code $rc"
  wait_for 20 grep -qxE "$url/?" "$browsed" || fail "$damage: the home page was not opened: $(cat "$browsed")"
  [ ! -e "$(unix_path 'C:\Program Files\Lumishot 6')" ] || fail "$damage: something was installed"
  [ -z "$(reg_value "$PRODUCT_KEY" Path)" ] || fail "$damage: the product was registered"
  ok "$damage: string 18, the home page, exit code 1, nothing installed"
done
