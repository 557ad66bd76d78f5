#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz (preset "fuzz": clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for SECONDS (default 25), starting from its seed corpus in tests/fuzz/corpus/. New inputs go to
# build/fuzz/corpus/, each target's output to build/fuzz/<target>.log. Exits non-zero at the first finding (a
# crash, a sanitizer report, a broken check, a leak, a slow input or running out of memory); the input that
# caused it is kept in build/fuzz/findings/.
#   scripts/fuzz.sh [SECONDS] [exports|log_readers ...]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-25}
[ $# -gt 0 ] && shift
names=("$@")
[ ${#names[@]} -eq 0 ] && names=(exports log_readers)

cmake --preset fuzz >/dev/null
cmake --build build/fuzz --target "${names[@]/%/_fuzz}"

findings=$root/build/fuzz/findings/
mkdir -p "$findings"
for name in "${names[@]}"; do
  corpus=$root/build/fuzz/corpus/$name
  log=$root/build/fuzz/$name.log
  mkdir -p "$corpus"
  echo "== fuzzing $name for $seconds s"
  # Absolute paths: the exports target works in a folder of its own.
  if ! "$root/build/fuzz/bin/${name}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -dict="$root/tests/fuzz/$name.dict" -artifact_prefix="$findings" \
      "$corpus" "$root/tests/fuzz/corpus/$name" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz: ${name}_fuzz found a fault; its input is in build/fuzz/findings/" >&2
    exit 1
  fi
  grep -E "^Done|export calls" "$log"
done
