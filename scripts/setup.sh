#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test Stats:
# the mingw-w64 cross compiler, 32-bit wine, Xvfb and the X tools the window tests use,
# the country file the replay tool resolves prefixes with, clang with libFuzzer for the fuzz targets, and
# headless Chromium with xmllint for the test of the analysis page. Quiet and quick when all is there.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

for p in g++-mingw-w64-i686-posix mingw-w64-tools wine wine32:i386 xvfb imagemagick x11-apps xdotool \
         fonts-wine hamradio-files cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev \
         googletest clang libclang-rt-14-dev chromium libxml2-utils; do
  have_pkg "$p" || need+=("$p")
done

if [ ${#need[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "setup: installing ${need[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# The image ships a stand-in convert in /usr/local/bin; the screenshots need ImageMagick's.
if [ -x /usr/bin/convert ] && [ "$(command -v convert)" != /usr/bin/convert ]; then
  export PATH="/usr/bin:$PATH"
fi
have_cmd i686-w64-mingw32-g++-posix || { echo "setup: mingw-w64 posix compiler missing" >&2; exit 1; }
have_cmd wine || { echo "setup: wine missing" >&2; exit 1; }
