#!/usr/bin/env bash
# Builds and runs the benchmarks and prints the speed goals beside what they measured (scripts/bench_table.py):
# natively through libStats.so, and the rebuild through Stats.dll under wine. Exits non-zero when a judged goal
# is missed: counts the code makes (index probes and slots per CheckCall0 and AddData0 from 1,000 to 1,000,000
# QSOs, allocations, file calls, refreshes and posts per rebuild), which are the same on every machine, and
# CheckCall0 against the linear scan with a margin (a tenth of its goal). Times depend on the processor's caches
# and clock and on what else runs: they are printed with their goals, as reports.
#
#   scripts/bench.sh           every benchmark, five repetitions each, the rebuild under wine and stats-check
#                              on simulated contests of 200, 2,000 and 10,000 logs (minutes)
#   scripts/bench.sh --quick   the judged goals only (the counts, and CheckCall0 against the linear scan), in
#                              under a minute; scripts/test.sh runs this
#   scripts/bench.sh --wine    the rebuild through Stats.dll under wine alone (every set of windows: min, median,
#                              p90, and what each rebuild asked of the system); scripts/test.sh runs this
#
# STATS_BENCH_OUT keeps the JSON results in that folder instead of a temporary one.
set -euo pipefail
cd "$(dirname "$0")/.."

quick=0
wine_only=0
for arg in "$@"; do
  case "$arg" in
    --quick) quick=1 ;;
    --wine) wine_only=1 ;;
    -h|--help) sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench: unknown option $arg (see --help)" >&2; exit 2 ;;
  esac
done

bash scripts/setup.sh
out=${STATS_BENCH_OUT:-$(mktemp -d /tmp/stats-bench.XXXXXX)}
mkdir -p "$out"
[ -z "${STATS_BENCH_OUT:-}" ] && trap 'rm -rf "$out"' EXIT

# The rebuild through Stats.dll under wine, in the caller's wine prefix and display when it has them.
wine_rebuild() {
  echo "bench: rebuild through Stats.dll under wine" >&2
  cmake --preset win32 >/dev/null
  cmake --build build/win32 -j2 --target Stats rebuild_timing >/dev/null
  if [ -n "${WINEPREFIX:-}" ] && [ -n "${DISPLAY:-}" ] && [ -n "${WINEARCH:-}" ]; then
    # A caller's prefix that is set up already (scripts/test.sh): its persistent server would keep a second
    # set-up waiting for it to end.
    wine build/win32/bin/rebuild_timing.exe 30 | tr -d '\r' > "$out/wine_rebuild.json"
  else
    (
      source scripts/wine-env.sh
      trap wine_env_cleanup EXIT
      wine_env_setup
      wine build/win32/bin/rebuild_timing.exe 30 | tr -d '\r' > "$out/wine_rebuild.json"
    )
  fi
}

if [ "$wine_only" = 1 ]; then
  wine_rebuild
  exec python3 scripts/bench_table.py "$out"
fi

cmake --preset native >/dev/null
cmake --build build/native -j2 --target Stats engine_bench score_report_bench status_refresh_bench analysis_bench \
  engine_counts >/dev/null
bin=build/native/bin

echo "bench: counts of CheckCall0 and AddData0 from 1,000 to 1,000,000 QSOs" >&2
"$bin/engine_counts" > "$out/counts.json"

if [ "$quick" = 1 ]; then
  "$bin/engine_bench" --benchmark_filter='BM_CheckCall0Warm/100000$|BM_DupeScan' \
    --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$out/engine.json" --benchmark_out_format=json >/dev/null 2>"$out/engine.log" \
    || { cat "$out/engine.log" >&2; exit 1; }
else
  reps=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true)
  for b in engine score_report status_refresh analysis; do
    echo "bench: ${b}_bench" >&2
    "$bin/${b}_bench" "${reps[@]}" --benchmark_out="$out/$b.json" --benchmark_out_format=json >/dev/null \
      2>"$out/$b.log" || { cat "$out/$b.log" >&2; exit 1; }
  done
  wine_rebuild
fi

python3 scripts/bench_table.py "$out"

if [ "$quick" = 0 ]; then
  # stats-check end to end on simulated contests, and its precision and recall per kind of error.
  cmake --build build/native -j2 --target check_timing >/dev/null
  echo
  "$bin/check_timing"
fi
