#!/usr/bin/env bash
# The analysis page in a real browser: stats-replay --analysis on a published log, alone and compared with
# another published log of the same year, and on a CQ WW RTTY log worked by hand; each page and each of its SVG
# pictures well formed (xmllint), nothing in it from anywhere else, then headless Chromium renders it to a PNG
# that must show the pictures: many colours, every band's colour among them, and on the comparison page the
# second station's colour. Laid out at 1366 and 400 px wide, the pages must read: the doubtful QSOs' "at risk"
# and "why" within a phone's width, four stations side by side within a wide screen, the page not much longer
# than its content.
#
# usage: tests/analysis_browser.sh NATIVE_BIN_DIR [WORK_DIR]
#        (the PNGs are left in WORK_DIR/analysis.png and phone.png (the published log at 1366 and 400 px),
#        compare.png, cqww.png and cqww-phone.png)
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

# check NAME [stats-replay options]: the page of the log ($log), checked and rendered to WORK_DIR/NAME.png
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

  # Headless Chromium lays out no window narrower than 500 px: the page is shown in a frame of the width wanted,
  # and the picture cut to it.
  local w=${width:-1366}
  frame "$name/analysis.html" "$w" "$height" >"$work/$name-frame.html"
  timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync --user-data-dir="$profile" \
    --hide-scrollbars --window-size=$((w < 500 ? 500 : w)),$height --screenshot="$work/$name.png" \
    "file://$work/$name-frame.html" \
    >"$work/$name-chromium.txt" 2>&1 || { tail -5 "$work/$name-chromium.txt"; fail "$name: chromium could not render the page"; }
  [ -s "$work/$name.png" ] || fail "$name: chromium wrote no PNG"
  convert "$work/$name.png" -crop "${w}x${height}+0+0" +repage "$work/$name.png"

  colours=$(convert "$work/$name.png" -format '%k' info:)
  [ "$colours" -ge 100 ] || fail "$name: the picture is blank or nearly so: $colours colours"
  histogram=$(convert "$work/$name.png" -format '%c' histogram:info:)
  for colour in 0072B2 56B4E9 CC79A7 882255 F0E442; do  # 80, 40, 20, 15 and 10 m in the rate graph
    grep -qi "#$colour" <<<"$histogram" || fail "$name: no pixel of the band colour #$colour: the rate graph was not drawn"
  done
  echo "analysis_browser: $name: $svgs SVG pictures well formed; $work/$name.png has $colours colours"
}

# frame PAGE WIDTH HEIGHT: a page that shows PAGE (relative to WORK_DIR) in a frame WIDTH px wide.
frame() {
  printf '<!DOCTYPE html><html><body style="margin:0"><iframe src="%s" style="width:%spx;height:%spx;border:0">' "$1" "$2" "$3"
  printf '</iframe></body></html>\n'
}

# layout NAME WIDTH: the page NAME laid out WIDTH px wide, as lines: "height H" (the page's), "viewport W",
# "section ID TOP HEIGHT" for each section, "overflow SECTION COLUMNS" for every box wider than the screen, "right HEADER X" for the right edge of each
# column of the doubtful QSOs. A copy of the page with a script measures it; the page itself has none.
layout() {
  local name=$1 width=$2
  { sed 's#</body></html>##' "$work/$name/analysis.html"
    printf '<script>'; cat "$here/tests/analysis_layout.js"; printf '</script></body></html>\n'; } >"$work/$name/measured.html"
  frame "$name/measured.html" "$width" 30000 >"$work/$name-measure.html"
  timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync --user-data-dir="$profile" \
    --allow-file-access-from-files --hide-scrollbars --window-size=$((width < 500 ? 500 : width)),900 \
    --virtual-time-budget=3000 --dump-dom "file://$work/$name-measure.html" 2>/dev/null \
    | sed -n '/<pre id="layout">/,/<\/pre>/p' | sed 's/<[^>]*>//g' >"$work/$name-layout-$width.txt"
  grep -q '^height ' "$work/$name-layout-$width.txt" || fail "$name: the page could not be measured at $width px"
  [ "$(value "$work/$name-layout-$width.txt" viewport)" = "$width" ] || fail "$name: not laid out $width px wide"
}
value() { sed -n "s/^$2 //p" "$1" | head -1; }

min_svgs=4 height=7000 check analysis    # rate, time, band changes, multipliers
page_alone=$work/analysis/analysis.html
# On a phone the narrow drawings show, with every band's colour.
width=400 min_svgs=4 height=8600 check phone
grep -q 'id="compare"' "$page_alone" && fail "analysis: a side-by-side section without --compare"
# Wide, the page holds its content to no column narrower than the screen allows; on a phone the doubtful QSOs'
# "at risk" and "why" stay in sight; neither page is longer than its content needs.
layout analysis 1366
layout phone 400
grep '^overflow' "$work/analysis-layout-1366.txt" && fail "analysis: a box wider than a 1366 px screen"
for column in 'at risk' 'why'; do
  right=$(value "$work/phone-layout-400.txt" "right $column")
  [ -n "$right" ] && [ "$right" -le 400 ] || fail "phone: the doubtful QSOs' \"$column\" ends at ${right:-?} px, past 400"
done
for run in "analysis 1366 6500" "phone 400 8500"; do
  set -- $run
  h=$(value "$work/$1-layout-$2.txt" height)
  [ "$h" -le "$3" ] || fail "$1: the page is $h px long at $2 px, more than $3"
done

other=$here/tests/data/published-logs/ARRL-RTTY_2025_AL7LO.log
min_svgs=6 height=12000 check compare --compare "$other"   # and the running totals and the hours side by side
page=$work/compare/analysis.html
for text in '<h2>11. Side by side</h2>' '<th class="l">QSOs</th><td>309</td><td>64</td>' \
            '<h4>Worked by AL7LO, not by 9H1XT: 13</h4>' '<summary>9H1XT worked '; do
  grep -qF "$text" "$page" || fail "compare: the page lacks $text"
done
[ "$(xmllint --xpath "count(//*[@id='compare']//*[local-name()='polyline'])" "$page")" -eq 4 ] \
  || fail "compare: not one running-total line per station in the wide and the narrow drawing"

# Four stations side by side on a wide screen, every column in sight.
P=$here/tests/data/published-logs
min_svgs=6 height=8200 check compare4 --compare "$other" --compare "$P/ARRL-RTTY_2019_AA2IL.log" \
  --compare "$P/ARRL-RTTY_2018_4U1WB.log"
layout compare4 1366
grep '^overflow compare' "$work/compare4-layout-1366.txt" && fail "compare4: the side-by-side table is cut at 1366 px"

# The CQ WW page of K1HW's log worked by hand, with JA1AAA's zone copied as 24 and W6AA's as 05: both flagged with
# what the call suggests, the zones and countries band by band, each band's colour in the rate graph.
log=$work/K1HW-two-zones-miscopied.log
sed -e 's/\(JA1AAA *599\) 25/\1 24/' -e 's/\(W6AA *599\) 03 CA/\1 05 CA/' \
  "$here/tests/data/cq-ww-rtty/K1HW-hand-worked.log" >"$log"
grep -q 'JA1AAA *599 24' "$log" && grep -q 'W6AA *599 05 CA' "$log" || fail "cqww: the two zones were not changed"
cqww=(--plugin "$bin/libStatsCQWW.so")
min_svgs=4 height=10000 check cqww "${cqww[@]}"
width=400 min_svgs=4 height=12000 check cqww-phone "${cqww[@]}"
page=$work/cqww/analysis.html
for text in '<h3>CQ zones by band: ' '<h3>Countries by band: ' '(zone 24)</td><td class="l">JA (Japan): zone 25, by the country file' \
            '05 CA (zone 05)</td><td class="l">CA lies in zone 03' '<b>zone 24 on 20m</b>: the only QSO that gives it'; do
  grep -qF "$text" "$page" || fail "cqww: the page lacks $text"
done
grep -qF 'less the 0 longest' "$page" && fail "cqww: the page counts time by off blocks a contest without off time has not"
layout cqww 1366
layout cqww-phone 400
echo "analysis_browser: layout: $(tr '\n' ' ' <"$work/analysis-layout-1366.txt"); phone: $(tr '\n' ' ' <"$work/phone-layout-400.txt")"
