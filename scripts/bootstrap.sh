#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test the setup program.
# Idempotent: when everything is present it returns at once.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

for p in g++-mingw-w64-i686 g++-mingw-w64-x86-64 cmake ninja-build googletest wine wine32:i386 wine64 \
         xvfb xauth x11-apps imagemagick liblnk-utils icoutils pev clang \
         libclang-rt-14-dev file procps; do
  have_pkg "$p" || need+=("$p")
done

if [ ${#need[@]} -eq 0 ]; then
  exit 0
fi

echo "bootstrap: installing ${need[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
echo "bootstrap: done"
