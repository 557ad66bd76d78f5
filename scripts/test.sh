#!/usr/bin/env bash
# Everything a fresh machine needs to prove the build: set-up, both builds, the native tests (also under
# ThreadSanitizer and under AddressSanitizer with UndefinedBehaviorSanitizer), a short run of each fuzz
# target, then the Windows tests under wine on a private X display. Exits non-zero on any failure and always
# cleans up the display, the wine server and the wine prefix it started.
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

echo "== every native unit test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset native-asan >/dev/null
cmake --build build/native-asan --target stats_unit_tests Stats stats-replay
ctest --test-dir build/native-asan --output-on-failure -j2

echo "== fuzz targets, 25 s each"
bash scripts/fuzz.sh 25

echo "== win32 build"
cmake --preset win32 >/dev/null
cmake --build build/win32

echo "== Windows tests under wine"
source scripts/wine-env.sh
trap wine_env_cleanup EXIT
wine_env_setup
ctest --test-dir build/win32 --output-on-failure --timeout 300

echo "== speed: the rebuild through Stats.dll under wine (scripts/bench.sh --wine)"
bash scripts/bench.sh --wine

echo "== the Windows release: the zip built twice and compared, its version, the zip as installed"
bash tests/package_test.sh build/win32 build/native/bin
