#!/usr/bin/env bash
# Every output of the tools over the same inputs, into one folder, so that two builds (before and after a change
# that must change nothing a user can see) can be compared with `diff -r`: stats-replay with --cabrillo, --html,
# --analysis, --compare, --header and --check over the published logs and the sample, the CQ WW RTTY logs through
# their plug-in, and stats-check over the published logs, the CQ WW RTTY logs and a simulated contest, natively
# and under wine; each run's standard output, standard error,
# exit code and files. Paths are relative or written as SNAPSHOT, so two folders hold the same bytes when nothing
# changed.
#
# usage: tests/outputs_snapshot.sh NATIVE_BIN WIN32_BIN OUT_DIR [SIM_DIR]
#   SIM_DIR  the simulated contest's logs (default: written by NATIVE_BIN/sim_contest, 40 logs, seed 7)
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
native_bin=$(realpath -m "${1:?native bin dir}")
win_bin=$(realpath -m "${2:?win32 bin dir}")
out=$(realpath -m "${3:?output dir}")
sim=${4:-}
rm -rf "$out"
mkdir -p "$out/in/logs"
cp "$here"/tests/data/published-logs/*.log "$here"/examples/*.log "$out/in/logs/"
mkdir -p "$out/in/cqww"
cp "$here"/tests/data/cq-ww-rtty/*.log "$out/in/cqww/"
if [ -n "$sim" ]; then
  cp -r "$sim" "$out/in/sim"
else
  "$native_bin/sim_contest" "$out/in/sim" 40 7 >/dev/null || exit 1
fi
if [ -z "${WINEPREFIX:-}" ]; then
  source "$here/scripts/wine-env.sh"
  trap wine_env_cleanup EXIT
  wine_env_setup
fi
cd "$out"

run() {  # name side program args...
  local name=$1 side=$2; shift 2
  mkdir -p "$side"
  if [ "$side" = native ]; then "$native_bin/$1" "${@:2}"; else wine "$win_bin/$1.exe" "${@:2}"; fi \
    > "$side/$name.stdout" 2> "$side/$name.stderr" < /dev/null
  echo $? > "$side/$name.rc"
  tr -d '\r' < "$side/$name.stdout" > "$side/$name.stdout.lf" && mv "$side/$name.stdout.lf" "$side/$name.stdout"
}

headers=(--header "NAME=Test Operator" --header "CATEGORY-POWER=QRP" --header "LOCATION=CT"
         --header $'SOAPBOX=first line\nsecond line')
for side in native wine; do
  for log in in/logs/*.log; do
    name=$(basename "$log" .log)
    run "$name-cabrillo" "$side" stats-replay "${headers[@]}" --cabrillo --analysis \
      --compare in/logs/ARRL-RTTY_2025_AL7LO.log --check W1AW:20m:RTTY --check DL1ABC:15m:RTTY \
      --out "$side/$name-cabrillo" "$log"
    run "$name-html" "$side" stats-replay --html --analysis --off-time 45 --out "$side/$name-html" "$log"
  done
  # The CQ WW RTTY logs through their own plug-in.
  if [ "$side" = native ]; then cqww=$native_bin/libStatsCQWW.so; else cqww=$win_bin/StatsCQWW.dll; fi
  for log in in/cqww/*.log; do
    name=cqww-$(basename "$log" .log)
    run "$name" "$side" stats-replay --plugin "$cqww" "${headers[@]}" --cabrillo --analysis --out "$side/$name" "$log"
  done
  run check-cqww "$side" stats-check --plugin "$cqww" --jobs 2 --out "$side/check-cqww" in/cqww
  run check-published "$side" stats-check --jobs 2 --out "$side/check-published" in/logs/ARRL-RTTY_*.log
  run check-sim "$side" stats-check --jobs 2 --out "$side/check-sim" in/sim
done
# The folder's own path, where a message names a file by its full path, is the same in every snapshot.
winout="Z:${out//\//\\}"
grep -rlF -e "$out" -e "$winout" native wine | while read -r f; do
  sed -i -e "s#$out#SNAPSHOT#g" -e "s#${winout//\\/\\\\}#SNAPSHOT#g" "$f"
done
echo "outputs_snapshot: $(find native wine -type f | wc -l) files in $out"
