#!/usr/bin/env bash
# The main job on the bundled sample log: set up the machine, build the plug-in and stats-replay, score
# examples/arrl-rtty-sample.log through the plug-in as the host would, and show the report, the files
# the plug-in wrote and where the analysis page of the log is.
#
#   scripts/demo.sh           native build (libStats.so through dlopen)
#   scripts/demo.sh --wine    also the Windows build under wine (Stats.dll through LoadLibrary), with the
#                             header dialog filled in by stats-replay.exe, and compare the two
#   scripts/demo.sh --gui     the status windows on screen through tolvsim, saved as screenshots
#
# STATS_DEMO_OUT chooses the output folder (default: stats-out/demo in the repository).
set -euo pipefail
cd "$(dirname "$0")/.."

wine_too=0
gui=0
for arg in "$@"; do
  case "$arg" in
    --wine) wine_too=1 ;;
    --gui) gui=1 ;;
    -h|--help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "demo: unknown option $arg (see --help)" >&2; exit 2 ;;
  esac
done

if [ "$gui" = 1 ]; then
  # --gui: the Windows build under wine with the plug-in's status windows on a private X display.
  exec bash scripts/demo-gui.sh
fi

bash scripts/setup.sh
export PATH="/usr/bin:$PATH"

sample=examples/arrl-rtty-sample.log
out=${STATS_DEMO_OUT:-$PWD/stats-out/demo}
headers=(--header "NAME=Sample Operator" --header "ADDRESS=1 Main Street" --header "ADDRESS-CITY=Hartford"
         --header "ADDRESS-STATE-PROVINCE=CT" --header "ADDRESS-COUNTRY=USA" --header "EMAIL=op@example.org"
         --header "CLUB=Sample Contest Club")

echo "== building the plug-in and stats-replay (native)"
cmake --preset native >/dev/null
cmake --build build/native -j2 --target Stats stats-replay >/dev/null

mkdir -p "$out"
cmd=(build/native/bin/stats-replay --cabrillo --analysis "${headers[@]}" --out "$out/native" --check KA7TMU:20m:RTTY --check JA1ABC:15m:RTTY "$sample")
echo "== scoring $sample"
echo "   $(printf '%q ' "${cmd[@]}")"
echo
"${cmd[@]}" 2> "$out/native.err" || { cat "$out/native.err" >&2; exit 1; }
echo
echo "== what stats-replay said (standard error)"
cat "$out/native.err"
echo
echo "== the bad-QSO file"
cat "$out"/native/BadQSO_*.txt
echo
echo "== files written by the plug-in, in $out/native"
ls -l "$out/native" "$out/native/Plugins"
echo "   The Cabrillo log: $(ls "$out"/native/*.cbr)"
echo "   The HTML report: build/native/bin/stats-replay --html --out DIR $sample"
echo
page=$(realpath "$out/native/analysis.html")
echo "== the analysis page: $page"
# Where a browser is installed, the desktop's way to open the page in it; else its address for one elsewhere.
browser=
for b in x-www-browser firefox firefox-esr chromium chromium-browser google-chrome; do
  if command -v "$b" >/dev/null 2>&1; then browser=$b; break; fi
done
if [ -n "$browser" ]; then
  command -v xdg-open >/dev/null 2>&1 && browser=xdg-open
  echo "   open it with: $browser $(printf '%q' "$page")"
else
  echo "   no browser is installed here: open file://$page in one"
fi

if [ "$wine_too" = 1 ]; then
  echo
  echo "== the same under wine: Stats.dll loaded by stats-replay.exe"
  cmake --preset win32 >/dev/null
  cmake --build build/win32 -j2 --target Stats stats-replay >/dev/null
  source scripts/wine-env.sh
  trap wine_env_cleanup EXIT
  wine_env_setup
  wine build/win32/bin/stats-replay.exe --cabrillo "${headers[@]}" --out "$out/wine" --check KA7TMU:20m:RTTY --check JA1ABC:15m:RTTY \
    "$sample" > "$out/wine.txt" 2> "$out/wine.err"
  build/native/bin/stats-replay --cabrillo "${headers[@]}" --out "$out/native" --check KA7TMU:20m:RTTY --check JA1ABC:15m:RTTY \
    "$sample" > "$out/native.txt" 2>/dev/null
  grep '^\[' "$out/wine.err" || true
  same=1
  cmp -s "$out/native.txt" "$out/wine.txt" || { echo "   the reports differ"; same=0; }
  for f in "$out"/native/BadQSO_*.txt "$out"/native/*.cbr; do
    cmp -s "$f" "$out/wine/$(basename "$f")" || { echo "   $(basename "$f") differs"; same=0; }
  done
  [ "$same" = 1 ] && echo "   report, bad-QSO file and Cabrillo file are byte for byte the same as natively"
fi
