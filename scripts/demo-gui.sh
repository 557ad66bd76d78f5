#!/usr/bin/env bash
# The plug-in's windows on screen: builds the Windows side, starts a private X display and wine, and drives
# Stats.dll through tolvsim.exe, the host stand-in, as the host would at a first start: no settings file, a
# reset, the operator ticking the four views in the control window, a real contest log (the 2018 log of
# 4U1WB, one of the published logs in tests/data), the score report and a call being entered on 20 m. Saved
# as screenshots, once with English texts (own station W1EG) and once with the Russian ones (own station
# UA3AAA):
#
#   first-start[-russian].png          every window, where the plug-in placed them, with the call entered
#   first-start[-russian]-list.png     the same without a call: the DXCC window lists the worked prefixes
#   dxcc-EU[-russian].png ... dxcc-OC  the extended DXCC window on each of its six continent pages
#
# With --cqww the same for StatsCQWW.dll, the CQ WW RTTY, with its fifth window, the CQ zones, over the
# hand-worked log of tests/data/cq-ww-rtty (own station K1HW, or UA3AAA with the Russian texts), the
# screenshots' names ending in -cqww; and dxcc-EU-40m-cqww[-russian].png, the European page on 40 m, where the
# log worked Sicily (IT9) and the Vienna International Centre (4U1V), WAE countries of their own, beside Italy.
#
#   scripts/demo-gui.sh [--cqww]       (scripts/demo.sh --gui runs it without)
#
# STATS_DEMO_OUT chooses the output folder (default: stats-out/demo in the repository). WINE_DPI=120 or 144
# runs the same at 125 % or 150 % (LogPixels of the wine prefix); the screenshots' names then end in -144dpi. tolvsim's answers
# and the macros the plug-in sends to the host are shown as they come.
set -euo pipefail
cd "$(dirname "$0")/.."

# The plug-in, its log, the contest period of the log, the view boxes the operator ticks, and a call of the log
# that is worked on 20 m.
plugin=Stats.dll tag="" period="2018-01-06 18:00 2018-01-07 23:59" boxes="1016 1015 1017 1018" worked=W7ZR
log=tests/data/published-logs/ARRL-RTTY_2018_4U1WB.log
if [ "${1:-}" = "--cqww" ]; then
  plugin=StatsCQWW.dll tag="-cqww" period="2024-09-28 00:00 2024-09-29 23:59" boxes="1016 1015 1017 1018 1019"
  worked=PY1AAA log=tests/data/cq-ww-rtty/K1HW-hand-worked.log
elif [ $# -gt 0 ]; then
  echo "usage: scripts/demo-gui.sh [--cqww]" >&2
  exit 2
fi

bash scripts/setup.sh
export PATH="/usr/bin:$PATH"  # ImageMagick's convert, not the image's stand-in

echo "== win32 build"
cmake --preset win32 >/dev/null
cmake --build build/win32 -j2 --target "${plugin%.dll}" tolvsim
bin=$PWD/build/win32/bin
log=$(realpath "$PWD/$log")
out=${STATS_DEMO_OUT:-$PWD/stats-out/demo}
mkdir -p "$out"

source scripts/wine-env.sh
work=""
cleanup() {
  [ -n "$work" ] && rm -rf "$work"
  wine_env_cleanup
}
trap cleanup EXIT
wine_env_setup

# Sends one command to tolvsim and prints what comes back up to the command's answer: the line matching
# $2 (by default any line that is not a macro, a window or a report line).
ask() {
  local command=$1 answer=${2:-'^(ok|error|[0-9-]+$)'} line
  echo "> $command"
  printf '%s\n' "$command" >&"${TOLV[1]}"
  while IFS= read -r -t 60 line <&"${TOLV[0]}"; do
    line=${line%$'\r'}
    echo "  $line"
    if [[ $line =~ $answer ]]; then return 0; fi
  done
  echo "demo-gui: no answer from tolvsim to '$command'" >&2
  return 1
}

# The whole screen, cut down to the windows on it.
shoot() {
  xwd -root -display "$DISPLAY" -silent | convert xwd:- -trim -bordercolor black -border 10 +repage "$1"
  echo "demo-gui: screenshot $1"
}

# Where the window whose title holds $1 stands: X, Y, WIDTH and HEIGHT.
locate() {
  eval "$(xdotool getwindowgeometry --shell "$(xdotool search --name "$1" | tail -n 1)")"
}

# That window alone.
shoot_window() {
  locate "$1"
  xwd -root -display "$DISPLAY" -silent | convert xwd:- -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
  echo "demo-gui: screenshot $2"
}

# One session: $1 own call, $2 own prefix, $3 the control window's title, $4 suffix of the screenshots.
session() {
  local own=$1 prefix=$2 setup=$3 suffix=$4
  work=$(mktemp -d /tmp/stats-gui.XXXXXX)
  mkdir "$work/Plugins"  # no settings file: a first start

  coproc TOLV { cd "$work" && exec wine "$bin/tolvsim.exe" --plugin "$bin/$plugin" 2>&1; }
  ask "freq 14085000"
  ask "reset $own $prefix $period"
  ask "wait 500"
  # The operator ticks DXCC, State/Province, DXCC Extended and Timer (and CQ Zones).
  for box in $boxes; do ask "click $setup $box"; done
  # A real log, every QSO with its DXCC prefix from the country file.
  ask "replay Z:$log" '^(ok|error)'
  ask "result" '^ok '
  ask "call $worked"
  ask "check $worked 20m RTTY K"
  ask "wait 1000"
  ask "windows" '^ok '
  shoot "$out/first-start$suffix.png"
  # The six continent pages, each by a click on its tab (the tabs stand about 57 pixels apart).
  local page k=0
  locate DXCC
  for page in EU AF AS NA SA OC; do
    xdotool mousemove $((X + (44 + 57 * k) * dpi / 96)) $((Y + 43 * dpi / 96)) click 1
    ask "wait 300"
    shoot_window DXCC "$out/dxcc-$page$suffix.png"
    k=$((k + 1))
  done
  if [ -n "$tag" ]; then
    ask "freq 7040000"
    ask "check $worked 40m RTTY K"
    ask "wait 1000"
    xdotool mousemove $((X + 44 * dpi / 96)) $((Y + 43 * dpi / 96)) click 1
    ask "wait 300"
    shoot_window DXCC "$out/dxcc-EU-40m$suffix.png"
    ask "freq 14085000"
  fi
  # No call entered: the DXCC window lists the worked prefixes.
  ask "call"
  ask "check $worked 20m RTTY K"
  ask "wait 1000"
  shoot "$out/first-start$suffix-list.png"
  ask "unload"
  ask "quit"
  wait "$TOLV_PID" 2>/dev/null || true
  rm -rf "$work"
  work=""
}

dpi=${WINE_DPI:-96}
at=""
[ "$dpi" != 96 ] && at="-${dpi}dpi"
if [ -n "$tag" ]; then
  session K1HW K Setup "$tag$at"
else
  session W1EG K Setup "$at"
fi
session UA3AAA UA Настройки "$tag-russian$at"
echo "demo-gui: done; screenshots in $out"
