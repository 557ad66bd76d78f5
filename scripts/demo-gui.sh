#!/usr/bin/env bash
# The plug-in's windows on screen: builds the Windows side, starts a private X display and wine, and drives
# Stats.dll through tolvsim.exe, the host stand-in, as the host would: a reset, a real contest log (the
# 2018 log of 4U1WB, one of the published logs in tests/data), the score report, a call being entered on
# 20 m. Every status window is open; the display is saved as a screenshot, once with English texts (own station W1EG) and once
# with the Russian ones (own station UA3AAA), each with the call entered and again without it.
#
#   scripts/demo-gui.sh       (scripts/demo.sh --gui runs this)
#
# STATS_DEMO_OUT chooses the output folder (default: stats-out/demo in the repository). tolvsim's answers
# and the macros the plug-in sends to the host are shown as they come.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
export PATH="/usr/bin:$PATH"  # ImageMagick's convert, not the image's stand-in

echo "== win32 build"
cmake --preset win32 >/dev/null
cmake --build build/win32 -j2 --target Stats tolvsim
bin=$PWD/build/win32/bin
log=$(realpath "$PWD/tests/data/published-logs/ARRL-RTTY_2018_4U1WB.log")
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

# One session: $1 own call, $2 own prefix, $3 screenshot file.
session() {
  local own=$1 prefix=$2 shot=$3
  work=$(mktemp -d /tmp/stats-gui.XXXXXX)
  mkdir "$work/Plugins"
  # Every view open, each window at its own place on the screen.
  sed 's/$/\r/' > "$work/Plugins/ARRL-RTTY.ini" <<'INI'
[Settings]
setup_view_dxcc=1
setup_view_state=1
setup_view_dxcc_extended=1
Timer=1
setup_x=20
setup_y=20
change_band_x=20
change_band_y=190
stat_x=20
stat_y=340
dxcc_x=360
dxcc_y=20
dxcc_extended_x=360
dxcc_extended_y=260
INI

  coproc TOLV { cd "$work" && exec wine "$bin/tolvsim.exe" 2>&1; }
  ask "freq 14085000"
  ask "reset $own $prefix 2018-01-06 18:00 2018-01-07 23:59"
  ask "wait 500"
  # A real log, every QSO with its DXCC prefix from the country file.
  ask "replay Z:$log" '^(ok|error)'
  ask "result" '^ok '
  ask "call W7ZR"
  ask "check W7ZR 20m RTTY K"
  ask "wait 1000"
  ask "windows" '^ok '
  xwd -root -display "$DISPLAY" -silent | convert xwd:- -crop 1200x580+0+0 +repage "$shot"
  echo "demo-gui: screenshot $shot"
  # No call entered: the DXCC window lists the worked prefixes.
  ask "call"
  ask "check W7ZR 20m RTTY K"
  ask "wait 1000"
  xwd -root -display "$DISPLAY" -silent | convert xwd:- -crop 1200x580+0+0 +repage "${shot%.png}-list.png"
  echo "demo-gui: screenshot ${shot%.png}-list.png"
  ask "unload"
  ask "quit"
  wait "$TOLV_PID" 2>/dev/null || true
  rm -rf "$work"
  work=""
}

session W1EG K "$out/gui-windows.png"
session UA3AAA UA "$out/gui-windows-russian.png"
echo "demo-gui: done; screenshots in $out"
