#!/usr/bin/env bash
# The analysis page in a real browser: stats-replay --analysis on a published log, the page and each of its SVG
# pictures well formed (xmllint), nothing in it from anywhere else, then headless Chromium renders it to a PNG
# that must show the pictures: many colours, every band's colour among them.
#
# usage: tests/analysis_browser.sh NATIVE_BIN_DIR [WORK_DIR]   (the PNG is left in WORK_DIR/analysis.png)
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:?native bin dir}
work=$(realpath -m "${2:-$bin/../analysis-browser}")
log=$here/tests/data/published-logs/ARRL-RTTY_2025_9H1XT.log
export PATH="/usr/bin:$PATH"  # ImageMagick's convert, not the image's stand-in

fail() { echo "analysis_browser: $*"; exit 1; }
for tool in chromium xmllint convert; do
  command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/setup.sh"
done
[ -x "$bin/stats-replay" ] || fail "$bin/stats-replay is missing: build the native preset first"

rm -rf "$work"
mkdir -p "$work"
"$bin/stats-replay" --analysis --out "$work/out" "$log" >"$work/stdout" 2>"$work/stderr" \
  || { tail -5 "$work/stderr"; fail "stats-replay --analysis exited with $?"; }
page=$work/out/analysis.html
[ -s "$page" ] || fail "no analysis.html"

xmllint --noout "$page" 2>"$work/xmllint.txt" || { head "$work/xmllint.txt"; fail "the page is not well formed"; }
svgs=$(xmllint --xpath "count(//*[local-name()='svg'])" "$page")
[ "$svgs" -ge 4 ] || fail "$svgs SVG pictures, expected the rate, time, band-change and multiplier ones"
for i in $(seq 1 "$svgs"); do
  xmllint --xpath "(//*[local-name()='svg'])[$i]" "$page" >"$work/picture-$i.svg"
  xmllint --noout "$work/picture-$i.svg" || fail "SVG picture $i is not well formed"
  grep -q 'xmlns="http://www.w3.org/2000/svg"' "$work/picture-$i.svg" || fail "SVG picture $i lacks its namespace"
  [ "$(xmllint --xpath "count(//*[local-name()='rect'])" "$work/picture-$i.svg")" -ge 1 ] \
    || fail "SVG picture $i draws nothing"
done
# Self-contained: no script, no link, no source, no address, no url() in the style.
if grep -Eiq '<script|<link|<img|<iframe|src=|href=|url\(|@import' "$page"; then
  fail "the page refers to something outside itself: $(grep -Eio '<script|<link|<img|<iframe|src=|href=|url\(|@import' "$page" | head -3 | tr '\n' ' ')"
fi

profile=$(mktemp -d /tmp/analysis-chromium.XXXXXX)
trap 'rm -rf "$profile"' EXIT
timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync --user-data-dir="$profile" \
  --hide-scrollbars --window-size=1000,7000 --screenshot="$work/analysis.png" "file://$page" \
  >"$work/chromium.txt" 2>&1 || { tail -5 "$work/chromium.txt"; fail "chromium could not render the page"; }
[ -s "$work/analysis.png" ] || fail "chromium wrote no PNG"

colours=$(convert "$work/analysis.png" -format '%k' info:)
[ "$colours" -ge 100 ] || fail "the picture is blank or nearly so: $colours colours"
histogram=$(convert "$work/analysis.png" -format '%c' histogram:info:)
for colour in 0072B2 E69F00 009E73 CC79A7 56B4E9; do  # 80, 40, 20, 15 and 10 m in the rate graph
  grep -qi "#$colour" <<<"$histogram" || fail "no pixel of the band colour #$colour: the rate graph was not drawn"
done
echo "analysis_browser: $svgs SVG pictures well formed; $work/analysis.png has $colours colours"
