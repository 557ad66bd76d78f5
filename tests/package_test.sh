#!/usr/bin/env bash
# The Windows release as an operator gets it:
#  1. the zip built twice from the same sources, in two folders at two times (the first from the win32 build
#     the caller made, the second from a copy of the tree in a fresh build folder): the same sha256;
#  2. the version in Stats.dll's version resource (read by tests/pe_version.py) is the one in the zip's name
#     and the one both builds of stats-replay print for --version;
#  3. installed into a fresh wine prefix that has no Z: drive (nothing of the build machine is reachable, as
#     on an operator's Windows): the zip unpacked under C:\Program Files, Stats.dll copied into
#     C:\Program Files\Tolv\Plugins, where the host stand-in tolvsim.exe loads it at a first start (no
#     settings yet), replays a published log and fetches the report; then stats-replay.exe from the zip,
#     started in another folder that holds nothing but that log, writes the report and the analysis page
#     with the cty.dat and MASTER.SCP beside it, and its report is the host's.
#
# usage: tests/package_test.sh [WIN32_BUILD_DIR [NATIVE_BIN_DIR [WORK_DIR]]]
# Defaults: build/win32, build/native/bin, build/package-test. Needs an X display (DISPLAY) or makes one.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
win_build=$(realpath -m "${1:-$src/build/win32}")
native_bin=$(realpath -m "${2:-$src/build/native/bin}")
work=$(realpath -m "${3:-$src/build/package-test}")
log_name=ARRL-RTTY_2025_9H1XT.log
log=$src/tests/data/published-logs/$log_name

failed=0
fail() { echo "package_test: $*"; failed=1; }
section() { echo "package_test: == $*"; }

rm -rf "$work"
mkdir -p "$work"
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$src" log -1 --format=%ct)}

section "package 1: $win_build"
bash "$src/scripts/package.sh" --allow-dirty --build-dir "$win_build" --dist "$work/first" | tail -n 2
zip=$(ls "$work"/first/Stats-*-win32.zip)
name=$(basename "$zip" .zip)
version=${name#Stats-}
version=${version%-win32}

section "package 2: a copy of the tree in another folder, a fresh build"
copy="$work/second build/src"
mkdir -p "$copy"
(cd "$src" && git ls-files -z --cached --others --exclude-standard |
   while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
   tar --null -T - -cf -) | tar -xf - -C "$copy"
bash "$copy/scripts/package.sh" --allow-dirty --build-dir "$copy/build/win32" --dist "$work/second" | tail -n 2
first_sum=$(sha256sum < "$zip" | cut -d' ' -f1)
second_sum=$(sha256sum < "$work/second/$name.zip" | cut -d' ' -f1)
if [ "$first_sum" = "$second_sum" ]; then
  echo "package_test: both builds give $name.zip with sha256 $first_sum"
else
  fail "the two builds differ: $first_sum and $second_sum"
  for side in first second; do python3 -m zipfile -e "$work/$side/$name.zip" "$work/$side/files"; done
  diff -r "$work/first/files" "$work/second/files" || true
fi

section "version $version"
unpacked=$work/files
python3 -m zipfile -e "$zip" "$unpacked"
listing=$(cd "$unpacked/$name" && ls | tr '\n' ' ')
[ "$listing" = "MASTER.SCP README.txt SHA256SUMS Stats.dll StatsCQWW.dll StatsWPX.dll cty.dat hamradio-files-copyright.txt stats-check.exe stats-replay.exe " ] ||
  fail "the zip holds: $listing"
(cd "$unpacked/$name" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the files"
dotted=$version.0
for program in Stats.dll StatsCQWW.dll StatsWPX.dll stats-replay.exe stats-check.exe; do
  resource=$(python3 "$src/tests/pe_version.py" "$unpacked/$name/$program") || fail "no version resource in $program"
  echo "$resource" | sed "s/^/  $program: /"
  for line in "FILEVERSION $dotted" "PRODUCTVERSION $dotted" "FileVersion $version" "ProductVersion $version" \
              "OriginalFilename $program"; do
    grep -qx "$line" <<< "$resource" || fail "$program: no '$line' in its version resource"
  done
done
native_version=$("$native_bin/stats-replay" --version) || fail "the native stats-replay --version failed"
[ "$native_version" = "stats-replay $version" ] || fail "the native stats-replay says '$native_version'"

section "the native stats-replay takes the data files beside it"
mkdir -p "$work/native tool" "$work/native run"
cp "$native_bin/stats-replay" "$native_bin/libStats.so" "$unpacked/$name/cty.dat" "$unpacked/$name/MASTER.SCP" \
   "$work/native tool/"
(cd "$work/native run" && "$work/native tool/stats-replay" --analysis "$log" > /dev/null 2> "$work/native.err") ||
  fail "the native stats-replay exited with $?"
grep -qF "country file $work/native tool/cty.dat of " "$work/native.err" &&
  grep -qF "super-check-partial list $work/native tool/MASTER.SCP" "$work/native.err" ||
  fail "the native stats-replay did not use the data files beside it: $(grep 'country file' "$work/native.err")"

section "installed in a fresh wine prefix without a Z: drive"
cmake --build "$win_build" -j2 --target tolvsim | tail -n 1
unset WINEPREFIX
source "$src/scripts/wine-env.sh"
trap wine_env_cleanup EXIT
wine_env_setup
rm -f "$WINEPREFIX/dosdevices/z:"
drive_c=$WINEPREFIX/drive_c
tolv=$drive_c/Program\ Files/Tolv
mkdir -p "$tolv/Plugins" "$drive_c/My Logs"
python3 -m zipfile -e "$zip" "$drive_c/Program Files"
cp "$drive_c/Program Files/$name/Stats.dll" "$tolv/Plugins/"   # README.txt, Install, step 2
# The host stand-in and its own country file, as the host keeps one beside itself.
cp "$win_build/bin/tolvsim.exe" "$drive_c/Program Files/$name/cty.dat" "$tolv/"
cp "$log" "$drive_c/My Logs/"

wine_version=$(cd "$drive_c" && wine "C:\\Program Files\\$name\\stats-replay.exe" --version | tr -d '\r') ||
  fail "stats-replay.exe --version failed"
[ "$wine_version" = "stats-replay $version" ] || fail "stats-replay.exe says '$wine_version'"

# A first start: no settings file, so the reset opens the control window; then the log, then the report.
cat > "$work/host-script.txt" <<EOF
freq 14085000
reset 9H1XT 9H 2025-01-04 18:00 2025-01-06 00:00
replay C:\\My Logs\\$log_name
windows
result
quit
EOF
(cd "$tolv" && timeout 300 wine "C:\\Program Files\\Tolv\\tolvsim.exe" --plugin "C:\\Program Files\\Tolv\\Plugins\\Stats.dll" \
   < "$work/host-script.txt" > "$work/host.out" 2> "$work/host.err") || fail "tolvsim.exe exited with $?"
tr -d '\r' < "$work/host.out" > "$work/host.txt"
grep -qx "ok 309 of 309" "$work/host.txt" || fail "the host did not log the 309 QSOs: $(grep '^ok\|^error' "$work/host.txt" | tr '\n' ' ')"
grep -q "^WINDOW Setup" "$work/host.txt" || fail "the first start opened no control window"
[ -f "$tolv/Plugins/ARRL-RTTY.ini" ] || fail "no Plugins\\ARRL-RTTY.ini in the host's folder"
[ -f "$tolv/BadQSO_DezuvEZIR_06_01_2025.txt" ] || fail "no bad-QSO file in the host's folder"
# The report: the lines between the window list's answer and the result's, the macros sent meanwhile aside.
grep -v '^MACRO ' "$work/host.txt" | awk 'step == 0 && /^WINDOW / { step = 1; next }
  step == 1 && /^ok / { step = 2; next }  step == 2 && /^ok -?[0-9]+$/ { exit }  step == 2' > "$work/host-report.txt"
[ -s "$work/host-report.txt" ] || fail "the host fetched no report"

section "stats-replay.exe in a folder with nothing but the log"
(cd "$drive_c/My Logs" && wine "C:\\Program Files\\$name\\stats-replay.exe" --analysis "$log_name" \
   > "$work/replay.out" 2> "$work/replay.err") || { fail "stats-replay.exe exited with $?"; tail -5 "$work/replay.err"; }
out=$drive_c/My\ Logs/stats-out
for f in report.txt analysis.html "Plugins/ARRL-RTTY.ini" BadQSO_DezuvEZIR_06_01_2025.txt; do
  [ -f "$out/$f" ] || fail "stats-replay.exe wrote no $f"
done
grep -q 'Calls to double-check' "$out/analysis.html" || fail "the analysis page lacks its calls to double-check"
beside="C:\\Program Files\\$name\\"
grep -qF "country file ${beside}cty.dat of " "$work/replay.err" &&
  grep -qF "super-check-partial list ${beside}MASTER.SCP" "$work/replay.err" ||
  fail "stats-replay.exe did not use the data files beside it: $(grep 'country file' "$work/replay.err")"
tr -d '\r' < "$out/report.txt" | diff - "$work/host-report.txt" > "$work/report.diff" ||
  fail "the host's report and stats-replay's differ: $(head -5 "$work/report.diff")"

section "stats-check.exe on the same folder, with the data files beside it"
(cd "$drive_c/My Logs" && wine "C:\\Program Files\\$name\\stats-check.exe" --jobs 1 "$log_name" \
   > "$work/check.out" 2> "$work/check.err") || fail "stats-check.exe exited with $?: $(tail -3 "$work/check.err")"
[ -f "$drive_c/My Logs/check-out/results.csv" ] || fail "stats-check.exe wrote no results.csv"

[ $failed -eq 0 ] && echo "package_test: $name.zip is reproducible, carries version $version, and works as installed"
exit $failed
