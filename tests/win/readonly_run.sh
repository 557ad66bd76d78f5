#!/usr/bin/env bash
# The plug-in in a host folder it may not write, run as a user without the right to write there (root with
# its capabilities to override file permissions dropped, as root would write anyway): stats-replay.exe replays
# a published log whose report counts one bad QSO. The plug-in keeps working, leaves the folder as it was, and
# its report is byte for byte the report of the same log in a writable folder, with one line more: that the
# bad-QSO file is not up to date.
#   readonly_run.sh WIN32_BIN_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(realpath "$1")
log=$here/tests/data/published-logs/ARRL-RTTY_2018_4U1WB.log
unset WINEPREFIX DISPLAY
source "$here/scripts/wine-env.sh"
work=$(mktemp -d /tmp/stats-readonly.XXXXXX)
cleanup() {
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
  wine_env_cleanup
}
trap cleanup EXIT
wine_env_setup

mkdir -p "$work/writable/Plugins" "$work/readonly/Plugins"
wine "$bin/stats-replay.exe" --out "$(winepath -w "$work/writable")" "$log" >"$work/writable.txt" 2>"$work/writable.err"

chmod a-w "$work/readonly" "$work/readonly/Plugins"
readonly_folder=$(winepath -w "$work/readonly")
# The wine server creates files for its clients: it must run without the capabilities too.
wineserver -k
wineserver -w
status=0
capsh --drop=cap_dac_override,cap_dac_read_search,cap_fowner -- -c 'exec "$@"' x \
  wine "$bin/stats-replay.exe" --out "$readonly_folder" "$log" >"$work/readonly.txt" \
  2>"$work/readonly.err" || status=$?
wineserver -k
failed=0
echo "readonly_run: exit status $status"
grep -a "Bad QSO" "$work/writable.txt" "$work/readonly.txt" || true
if ! grep -aq "Bad QSO.* 1" "$work/writable.txt"; then echo "readonly_run: the writable run does not count 1 bad QSO"; failed=1; fi
behind=$'Bad QSO file\t not up to date\r'
if grep -aqF "$behind" "$work/writable.txt"; then
  echo "readonly_run: the writable run says its file is behind"; failed=1
fi
if ! grep -aqF "$behind" "$work/readonly.txt"; then
  echo "readonly_run: the report does not say the file is behind"; failed=1
fi
if ! cmp -s "$work/writable.txt" <(grep -avF "$behind" "$work/readonly.txt"); then
  echo "readonly_run: the reports differ:"
  diff "$work/writable.txt" "$work/readonly.txt" | head -20
  failed=1
fi
left=$(find "$work/readonly" -mindepth 1 | grep -v '/Plugins$' || true)
if [ -n "$left" ]; then echo "readonly_run: files appeared in the read-only folder: $left"; failed=1; fi
[ "$status" = 0 ] || { echo "readonly_run: stats-replay.exe failed"; cat "$work/readonly.err"; failed=1; }
exit $failed
