#!/usr/bin/env bash
# Everything a fresh machine needs to prove the build: set-up, both builds, the native tests, then the
# Windows tests under wine on a private X display. Exits non-zero on any failure and always cleans up the
# display, the wine server and the wine prefix it started.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
export PATH="/usr/bin:$PATH"  # ImageMagick's convert, not the image's stand-in

echo "== native build"
cmake --preset native >/dev/null
cmake --build build/native

echo "== native tests"
ctest --test-dir build/native --output-on-failure -j2

echo "== speed: the ratio goals (scripts/bench.sh --quick)"
bash scripts/bench.sh --quick

echo "== concurrency tests under ThreadSanitizer"
cmake --preset native-tsan >/dev/null
cmake --build build/native-tsan --target stats_unit_tests
ctest --test-dir build/native-tsan -R Concurrency --output-on-failure

echo "== win32 build"
cmake --preset win32 >/dev/null
cmake --build build/win32

echo "== Windows tests under wine"
source scripts/wine-env.sh
trap wine_env_cleanup EXIT
wine_env_setup
ctest --test-dir build/win32 --output-on-failure --timeout 300
