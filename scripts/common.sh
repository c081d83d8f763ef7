# Shared by the scripts: build folders, the Wine loader, the test prefix.
# Sourced, not run.

LM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export LM_ROOT
export WINEDEBUG=-all

# The shipped executable is the 32-bit build. Wine's 32-bit loader is itself a
# 32-bit Linux program; where the kernel cannot run those (some sandboxes), the
# programs run under Wine are the 64-bit build of the same sources.
lm_pick_arch() {
  if [ -n "${LM_TEST_ARCH:-}" ]; then
    :
  elif /usr/lib/wine/wine --version >/dev/null 2>&1; then
    LM_TEST_ARCH=win32
  else
    LM_TEST_ARCH=win64
  fi
  export LM_TEST_ARCH
  if [ "$LM_TEST_ARCH" = win32 ]; then
    LM_WINE=/usr/lib/wine/wine
  else
    LM_WINE=/usr/lib/wine/wine64
  fi
  export LM_WINE
  export LM_TEST_BUILD="$LM_ROOT/build/$LM_TEST_ARCH"
}

# lm_configure ARCH: configure build/ARCH once (win32, win64 or native).
lm_configure() {
  local arch=$1 dir="$LM_ROOT/build/$1"
  [ -f "$dir/build.ninja" ] && return 0
  case $arch in
    win32) cmake -S "$LM_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
             -DCMAKE_TOOLCHAIN_FILE="$LM_ROOT/cmake/mingw-i686.cmake" >/dev/null ;;
    win64) cmake -S "$LM_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
             -DCMAKE_TOOLCHAIN_FILE="$LM_ROOT/cmake/mingw-x86_64.cmake" >/dev/null ;;
    native) cmake -S "$LM_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
             -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null ;;
  esac
}

lm_build() {
  lm_configure "$1"
  cmake --build "$LM_ROOT/build/$1" -j2 -- -k 0
}

# lm_fresh_prefix DIR: a new Wine prefix in DIR with a persistent wineserver.
lm_fresh_prefix() {
  export WINEPREFIX=$1
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  "$LM_WINE" wineboot --init >/dev/null 2>&1
  wineserver -w
  # Started before any program, and waited for (it detaches itself once it
  # serves): a program that came first would start a server of its own that
  # ends when idle, and the next program's new session would count as a
  # restart.
  setsid wineserver -p </dev/null >/dev/null 2>&1
  # The session's own processes start with the first program and live as long
  # as the server: start them here with closed streams, or they would hold the
  # output of the first test open until the end of the run.
  "$LM_WINE" cmd.exe /c exit 0 </dev/null >/dev/null 2>&1 || true
}

lm_stop_prefix() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
}
