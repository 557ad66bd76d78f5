#!/usr/bin/env bash
# End to end: the four published logs scored by the native plug-in (libStats.so under stats-replay) and by
# the Windows one (Stats.dll under stats-replay.exe in wine), and the CQ WW RTTY logs worked by hand by the
# other plug-in (libStatsCQWW.so, StatsCQWW.dll), must give byte-identical reports, bad-QSO
# files, Cabrillo files (the same command: the native header dialog confirms what the Windows one is typed)
# and settings files; the HTML run reads the log from standard input and writes the analysis page too, with
# a published log beside it (the plug-in loaded a second time in the same process). Prints
# each log's score beside the score it claims. stats-check, checking the four together in worker processes,
# writes the same reports on both builds.
#
# usage: tests/replay_e2e.sh NATIVE_BIN_DIR WIN32_BIN_DIR [WORK_DIR]
# Uses the wine prefix and display of the caller when WINEPREFIX is set, else sets up its own.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
native_bin=${1:?native bin dir}
win_bin=${2:?win32 bin dir}
work=${3:-$win_bin/../replay-e2e}
logs=$here/tests/data/published-logs

for f in "$native_bin/stats-replay" "$native_bin/libStats.so" "$native_bin/libStatsCQWW.so" "$win_bin/stats-replay.exe" \
         "$win_bin/Stats.dll" "$win_bin/StatsCQWW.dll"; do
  [ -e "$f" ] || { echo "replay_e2e: $f is missing: build both presets first (scripts/test.sh does)"; exit 1; }
done
if [ -z "${WINEPREFIX:-}" ]; then
  source "$here/scripts/wine-env.sh"
  trap wine_env_cleanup EXIT
  wine_env_setup
fi

work=$(realpath -m "$work")
native_bin=$(realpath -m "$native_bin")
win_bin=$(realpath -m "$win_bin")
rm -rf "$work"
mkdir -p "$work/native" "$work/wine"
headers=(--header "NAME=Test Operator" --header "ADDRESS=1 Main Street" --header "ADDRESS-CITY=Newington"
         --header "ADDRESS-STATE-PROVINCE=CT" --header "ADDRESS-POSTALCODE=06111" --header "ADDRESS-COUNTRY=USA"
         --header "CLUB=Test Club" --header "EMAIL=op@example.org" --header $'SOAPBOX=first line\nsecond line'
         --header "CATEGORY-POWER=QRP" --header "CATEGORY-OVERLAY=ROOKIE" --header "LOCATION=CT")
failed=0
scores=()

compare() {  # what native wine
  if ! cmp -s "$2" "$3"; then
    echo "replay_e2e: $1 differs between native and wine:"
    diff <(od -c "$2") <(od -c "$3") | head -20
    failed=1
  fi
}

for log in "$logs"/ARRL-RTTY_*.log "$here"/tests/data/cq-ww-rtty/*-hand-worked.log; do
  name=$(basename "$log" .log)
  plugin=Stats
  compared=(--compare "$logs/ARRL-RTTY_2025_AL7LO.log")
  case "$name" in *-hand-worked) plugin=StatsCQWW compared=() ;; esac
  for run in cabrillo html; do
    opts=("${headers[@]}" --cabrillo)
    [ "$run" = html ] && opts=(--html --analysis "${compared[@]}" --check W1AW:20m:RTTY --check DL1ABC:15m:RTTY)
    input=$log
    [ "$run" = html ] && input=-
    for side in native wine; do
      out=$work/$side/$name-$run
      if [ "$side" = native ]; then
        "$native_bin/stats-replay" --plugin "$native_bin/lib$plugin.so" "${opts[@]}" --out "$out" -- "$input" \
          < "$log" > "$out.stdout" 2> "$out.stderr"
      else
        wine "$win_bin/stats-replay.exe" --plugin "$win_bin/$plugin.dll" "${opts[@]}" --out "$out" -- "$input" \
          < "$log" > "$out.stdout" 2> "$out.stderr"
      fi
      rc=$?
      if [ $rc -ne 0 ]; then
        echo "replay_e2e: $side replay of $name ($run) exited with $rc:"; tail -5 "$out.stderr"; failed=1
      fi
    done
    n=$work/native/$name-$run
    w=$work/wine/$name-$run
    compare "$name $run report" "$n.stdout" "$w.stdout"
    for f in "$n"/*.txt "$n"/*.html "$n"/*.cbr; do
      [ -e "$f" ] || continue
      compare "$name $run ${f#$n/}" "$f" "$w/${f#$n/}"
    done
    for f in "$n"/Plugins/*.ini; do
      compare "$name $run settings" "$f" "$w/Plugins/${f##*/}"
    done
    for f in "$w"/*; do
      [ -e "$n/${f#$w/}" ] || { echo "replay_e2e: $name $run: only wine wrote ${f#$w/}"; failed=1; }
    done
    if [ "$run" = cabrillo ]; then
      ls "$n"/*.cbr >/dev/null 2>&1 || { echo "replay_e2e: $name: no Cabrillo file"; failed=1; }
      grep -q $'^CATEGORY-POWER: QRP\r$' "$n"/*.cbr || { echo "replay_e2e: $name: --header CATEGORY-POWER lost"; failed=1; }
      ls "$n"/BadQSO_*.txt >/dev/null 2>&1 || { echo "replay_e2e: $name: no bad-QSO file"; failed=1; }
    else
      scores+=("$name: $(grep '^stats-replay: score: ' "$n.stderr" | grep -o 'score: .*' | tr -d '\r')")
    fi
  done
done

# stats-check: the four logs checked together by two workers each, natively and under wine: the same files
# (four reports, results.csv and .html, missing-logs.csv, toxic-logs.csv, files-not-checked.csv).
if [ -e "$native_bin/stats-check" ] && [ -e "$win_bin/stats-check.exe" ]; then
  names=(ARRL-RTTY_2018_4U1WB.log ARRL-RTTY_2019_AA2IL.log ARRL-RTTY_2025_9H1XT.log ARRL-RTTY_2025_AL7LO.log)
  (cd "$logs" && "$native_bin/stats-check" --jobs 2 --out "$work/check-native" "${names[@]}") 2>"$work/check-native.stderr" \
    || { echo "replay_e2e: stats-check failed natively"; cat "$work/check-native.stderr"; failed=1; }
  (cd "$logs" && wine "$win_bin/stats-check.exe" --jobs 2 --out "$work/check-wine" "${names[@]}") \
    2>"$work/check-wine.stderr" || { echo "replay_e2e: stats-check.exe failed under wine"; failed=1; }
  for f in "$work/check-native"/*; do
    compare "stats-check ${f##*/}" "$f" "$work/check-wine/${f##*/}"
  done
  [ "$(ls "$work/check-native" | wc -l)" = 9 ] || { echo "replay_e2e: stats-check wrote $(ls "$work/check-native")"; failed=1; }
else
  echo "replay_e2e: stats-check is missing from a build"; failed=1
fi

printf '%s\n' "${scores[@]}" | tee "$work/scores.txt"
[ $failed -eq 0 ] && echo "replay_e2e: the five logs give the same bytes natively and under wine"
exit $failed
