#!/usr/bin/env bash
# The analysis page in a real browser: stats-replay --analysis on a published log, alone and compared with
# another published log of the same year; each page and each of its SVG pictures well formed (xmllint), nothing
# in it from anywhere else, then headless Chromium renders it to a PNG that must show the pictures: many colours,
# every band's colour among them, and on the comparison page the second station's colour.
#
# usage: tests/analysis_browser.sh NATIVE_BIN_DIR [WORK_DIR]
#        (the PNGs are left in WORK_DIR/analysis.png, WORK_DIR/phone.png (400 px wide) and WORK_DIR/compare.png)
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
profile=$(mktemp -d /tmp/analysis-chromium.XXXXXX)
trap 'rm -rf "$profile"' EXIT

# check NAME [stats-replay options]: the page of the published log, checked and rendered to WORK_DIR/NAME.png
check() {
  local name=$1
  shift
  "$bin/stats-replay" --analysis --out "$work/$name" "$@" "$log" >"$work/$name.stdout" 2>"$work/$name.stderr" \
    || { tail -5 "$work/$name.stderr"; fail "stats-replay --analysis $* exited with $?"; }
  page=$work/$name/analysis.html
  [ -s "$page" ] || fail "$name: no analysis.html"

  xmllint --noout "$page" 2>"$work/$name-xmllint.txt" || { head "$work/$name-xmllint.txt"; fail "$name: the page is not well formed"; }
  svgs=$(xmllint --xpath "count(//*[local-name()='svg'])" "$page")
  [ "$svgs" -ge "$min_svgs" ] || fail "$name: $svgs SVG pictures, expected at least $min_svgs"
  for i in $(seq 1 "$svgs"); do
    xmllint --xpath "(//*[local-name()='svg'])[$i]" "$page" >"$work/$name-picture-$i.svg"
    xmllint --noout "$work/$name-picture-$i.svg" || fail "$name: SVG picture $i is not well formed"
    grep -q 'xmlns="http://www.w3.org/2000/svg"' "$work/$name-picture-$i.svg" || fail "$name: SVG picture $i lacks its namespace"
    [ "$(xmllint --xpath "count(//*[local-name()='rect' or local-name()='polyline'])" "$work/$name-picture-$i.svg")" -ge 1 ] \
      || fail "$name: SVG picture $i draws nothing"
  done
  # Self-contained: no script, no link, no source, no address but the page's own anchors, no url() but the
  # page's own pattern.
  outside='<script|<link|<img|<iframe|src=|href="[^#]|url\([^#]|@import'
  if grep -Eiq "$outside" "$page"; then
    fail "$name: the page refers to something outside itself: $(grep -Eio "$outside" "$page" | head -3 | tr '\n' ' ')"
  fi
  # Every anchor of the contents list names a section of the page.
  for anchor in $(grep -o 'href="#[a-z]*"' "$page" | sort -u | sed 's/href="#\(.*\)"/\1/'); do
    grep -q "<section id=\"$anchor\">" "$page" || fail "$name: the link #$anchor leads nowhere"
  done

  timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync --user-data-dir="$profile" \
    --hide-scrollbars --window-size=${width:-1000},$height --screenshot="$work/$name.png" "file://$page" \
    >"$work/$name-chromium.txt" 2>&1 || { tail -5 "$work/$name-chromium.txt"; fail "$name: chromium could not render the page"; }
  [ -s "$work/$name.png" ] || fail "$name: chromium wrote no PNG"

  colours=$(convert "$work/$name.png" -format '%k' info:)
  [ "$colours" -ge 100 ] || fail "$name: the picture is blank or nearly so: $colours colours"
  histogram=$(convert "$work/$name.png" -format '%c' histogram:info:)
  for colour in 0072B2 56B4E9 CC79A7 882255 F0E442; do  # 80, 40, 20, 15 and 10 m in the rate graph
    grep -qi "#$colour" <<<"$histogram" || fail "$name: no pixel of the band colour #$colour: the rate graph was not drawn"
  done
  echo "analysis_browser: $name: $svgs SVG pictures well formed; $work/$name.png has $colours colours"
}

min_svgs=4 height=7000 check analysis    # rate, time, band changes, multipliers
page_alone=$work/analysis/analysis.html
# On a phone the narrow drawings show, with every band's colour.
width=400 min_svgs=4 height=5000 check phone
grep -q 'id="compare"' "$page_alone" && fail "analysis: a side-by-side section without --compare"

other=$here/tests/data/published-logs/ARRL-RTTY_2025_AL7LO.log
min_svgs=6 height=12000 check compare --compare "$other"   # and the running totals and the hours side by side
page=$work/compare/analysis.html
for text in '<h2>11. Side by side</h2>' '<th class="l">QSOs</th><td>309</td><td>64</td>' \
            '<h4>Worked by AL7LO, not by 9H1XT: 13</h4>' '<summary>9H1XT worked '; do
  grep -qF "$text" "$page" || fail "compare: the page lacks $text"
done
[ "$(xmllint --xpath "count(//*[@id='compare']//*[local-name()='polyline'])" "$page")" -eq 4 ] \
  || fail "compare: not one running-total line per station in the wide and the narrow drawing"
