// The analysis page as HTML: well-formed XML throughout (every element closed, only the XML entities), so the
// page and each of its SVG pictures can be checked by an XML parser; UTF-8, whatever bytes the log held.
#include <algorithm>
#include <cmath>

#include "analysis.h"
#include "common/text.h"
#include "contest_dates.h"
#include "engine/contest_rules.h"

namespace replay {

namespace {

// One colour per band in the rules' order (80, 40, 20, 15, 10 m), told apart also in colour-blind eyes.
const char* const kBandColours[] = {"#0072B2", "#E69F00", "#009E73", "#CC79A7", "#56B4E9", "#999999"};
constexpr const char* kFlagColour = "#D55E00";
constexpr const char* kLineColour = "#222222";

const char* const kStyle =
    "body{font-family:sans-serif;color:#111;margin:20px auto;max-width:960px;padding:0 12px;line-height:1.35}"
    "h1{font-size:22px;margin:0 0 4px}"
    "h2{font-size:17px;border-bottom:2px solid #0072B2;padding-bottom:2px;margin:26px 0 8px}"
    "h3{font-size:14px;margin:12px 0 4px}"
    "table{border-collapse:collapse;font-size:13px;margin:4px 0 8px}"
    "th,td{border:1px solid #bbb;padding:2px 7px;text-align:right;vertical-align:top}"
    "th{background:#eef3f8}"
    ".l{text-align:left}"
    "tr.total td{font-weight:bold;background:#f2f2f2}"
    "p{margin:4px 0}ul{margin:4px 0 8px}"
    ".flag{color:#b00020;font-weight:bold}"
    ".ok{color:#1b5e20}"
    ".note{color:#555;font-size:13px}"
    ".cells{display:flex;flex-wrap:wrap;gap:3px;margin:4px 0 8px}"
    ".cell{width:38px;height:22px;line-height:22px;text-align:center;font-size:12px;font-weight:bold;"
    "border-radius:3px}"
    ".worked{background:#009E73;color:#fff;border:2px solid #009E73}"
    ".needed{background:#fff;color:#b00020;border:2px dashed #b00020}"
    "svg{display:block;width:100%;height:auto;margin:4px 0}"
    "@media print{body{margin:0;max-width:none}h2,h3{break-after:avoid}svg,tr,.cells{break-inside:avoid}"
    "*{-webkit-print-color-adjust:exact;print-color-adjust:exact}}";

// Text for the page: the XML specials escaped; bytes that are no UTF-8 taken as Latin-1, control characters
// that XML forbids dropped.
std::string Esc(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            switch (c) {
                case '&':
                    out += "&amp;";
                    break;
                case '<':
                    out += "&lt;";
                    break;
                case '>':
                    out += "&gt;";
                    break;
                case '"':
                    out += "&quot;";
                    break;
                case '\t':
                case '\n':
                case '\r':
                    out += ' ';
                    break;
                default:
                    if (c >= 0x20 && c != 0x7F)
                        out += static_cast<char>(c);
            }
            continue;
        }
        size_t length = c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
        bool valid = length > 0 && i + length <= s.size();
        for (size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        if (valid) {
            out.append(s, i, length);
            i += length - 1;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string Num(long long n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<size_t>(i), ",");
    return (n < 0 ? "-" : "") + digits;
}

std::string Time(long long minute, const char* format = "%Y-%m-%d %H:%M") {
    return FromWholeMinutes(minute).Format(format);
}

std::string Duration(long long minutes) {
    return text::Format("%d h %02d min", static_cast<int>(minutes / 60), static_cast<int>(minutes % 60));
}

std::string Plural(size_t n, const char* one, const char* many) {
    return Num(static_cast<long long>(n)) + " " + (n == 1 ? one : many);
}

std::string Td(const std::string& s, const char* cls = nullptr) {
    return cls ? std::string("<td class=\"") + cls + "\">" + s + "</td>" : "<td>" + s + "</td>";
}

// --- pictures ---------------------------------------------------------------------------------------------
// Drawn in whole tenths of a pixel: integer arithmetic writes the same coordinates on every build, whatever
// its floating point does.

using Tenths = long long;
constexpr Tenths kPx = 10;

// "77.1"
std::string Coord(Tenths t) {
    const Tenths magnitude = t < 0 ? -t : t;
    return (t < 0 ? "-" : "") + std::to_string(magnitude / kPx) + "." + std::to_string(magnitude % kPx);
}

// The share `value` of `range` of a length.
Tenths Along(long long value, long long range, Tenths length) {
    return range > 0 ? value * length / range : 0;
}

struct Series {
    std::string name, colour;
    std::vector<int> values;  // one per hour
};

struct HourChart {
    std::string title, yLabel;
    std::vector<long long> hours;  // the clock hours along the x axis
    std::vector<Series> stacks;    // stacked bars
    std::string lineName;          // non-empty: `line` on a second axis at the right
    std::vector<int> line;
    int limit = -1;  // a dashed level; a bar above it is drawn in the flag colour
    std::string limitName;
};

// A round step for about five grid lines up to `most`.
int NiceStep(int most) {
    int step = 1;
    for (int scale = 1;; scale *= 10) {
        for (int m : {1, 2, 5}) {
            step = m * scale;
            if (most / step <= 5)
                return step;
        }
    }
}

int AxisTop(int most, int step) {
    return std::max(step, (most + step - 1) / step * step);
}

std::string SvgOpen(int width, int height, const std::string& title) {
    return text::Format(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 %d %d\" width=\"%d\" height=\"%d\" "
               "font-family=\"sans-serif\" font-size=\"11\" role=\"img\">",
               width, height, width, height) +
           "<title>" + Esc(title) + "</title>";
}

std::string Text(Tenths x, Tenths y, const std::string& s, const char* anchor = "middle",
                 const std::string& extra = "") {
    return "<text x=\"" + Coord(x) + "\" y=\"" + Coord(y) + "\" text-anchor=\"" + anchor + "\"" + extra +
           ">" + Esc(s) + "</text>";
}

std::string Line(Tenths x1, Tenths y1, Tenths x2, Tenths y2, const char* stroke, const char* extra = "") {
    return "<line x1=\"" + Coord(x1) + "\" y1=\"" + Coord(y1) + "\" x2=\"" + Coord(x2) + "\" y2=\"" +
           Coord(y2) + "\" stroke=\"" + stroke + "\"" + extra + "/>";
}

std::string Rect(Tenths x, Tenths y, Tenths w, Tenths h, const char* fill, const std::string& tip = "") {
    std::string r = "<rect x=\"" + Coord(x) + "\" y=\"" + Coord(y) + "\" width=\"" + Coord(w) +
                    "\" height=\"" + Coord(h) + "\" fill=\"" + fill + "\"";
    return tip.empty() ? r + "/>" : r + "><title>" + Esc(tip) + "</title></rect>";
}

std::string Rotate(int degrees, Tenths x, Tenths y) {
    return " transform=\"rotate(" + std::to_string(degrees) + " " + Coord(x) + " " + Coord(y) + ")\"";
}

std::string DrawHourChart(const HourChart& c) {
    const int width = 920, height = 290;
    const Tenths left = 500, right = c.lineName.empty() ? 140 : 580, top = 340, bottom = 460;
    const Tenths plotW = width * kPx - left - right, plotH = height * kPx - top - bottom;
    const size_t n = c.hours.size();
    const long long bars = std::max<long long>(1, static_cast<long long>(n));
    std::vector<int> totals(n, 0);
    for (const Series& s : c.stacks) {
        for (size_t h = 0; h < n; ++h)
            totals[h] += s.values[h];
    }
    int most = n ? *std::max_element(totals.begin(), totals.end()) : 0;
    most = std::max(most, c.limit + 1);
    const int step = NiceStep(most), yTop = AxisTop(most, step);
    auto y = [&](long long v) { return top + plotH - Along(v, yTop, plotH); };
    // Bar h spans [slotX(h), slotX(h + 1)); its centre is halfway.
    auto slotX = [&](long long h) { return left + Along(h, bars, plotW); };
    auto centre = [&](long long h) { return left + Along(2 * h + 1, 2 * bars, plotW); };

    std::string svg = SvgOpen(width, height, c.title);
    for (int v = 0; v <= yTop; v += step) {
        svg += Line(left, y(v), left + plotW, y(v), "#dddddd");
        svg += Text(left - 60, y(v) + 40, std::to_string(v), "end");
    }
    svg += Text(140, top + plotH / 2, c.yLabel, "middle", Rotate(-90, 140, top + plotH / 2));

    const Tenths slot = plotW / bars, barW = Along(72, 100 * bars, plotW);
    const long long labelEvery = slot >= 160 ? 1 : slot >= 80 ? 2 : slot >= 30 ? 6 : 24;
    for (size_t i = 0; i < n; ++i) {
        const long long h = static_cast<long long>(i);
        const Tenths x = centre(h) - barW / 2;
        const long long minute = c.hours[i] * 60;
        int base = 0;
        for (const Series& s : c.stacks) {
            const int v = s.values[i];
            if (v == 0)
                continue;
            const bool over = c.limit >= 0 && totals[i] > c.limit;
            svg += Rect(x, y(base + v), barW, y(base) - y(base + v), over ? kFlagColour : s.colour.c_str(),
                        Time(minute, "%H:00 ") + s.name + ": " + std::to_string(v));
            base += v;
        }
        if (h % labelEvery == 0)
            svg += Text(centre(h), top + plotH + 140, Time(minute, "%H"));
        if (h == 0 || c.hours[i] % 24 == 0) {
            svg += Line(slotX(h), top + plotH, slotX(h), top + plotH + 320, "#888888");
            svg += Text(slotX(h) + 30, top + plotH + 300, Time(minute, "%a %d %b"), "start");
        }
    }
    svg += Line(left, top + plotH, left + plotW, top + plotH, "#444444");
    svg += Line(left, top, left, top + plotH, "#444444");

    if (c.limit >= 0) {
        svg += Line(left, y(c.limit), left + plotW, y(c.limit), kFlagColour,
                    " stroke-dasharray=\"6 4\" stroke-width=\"1.5\"");
    }
    if (!c.lineName.empty() && n > 0) {
        const int lineMost = std::max(1, *std::max_element(c.line.begin(), c.line.end()));
        const int lineStep = NiceStep(lineMost), lineTop = AxisTop(lineMost, lineStep);
        auto ly = [&](long long v) { return top + plotH - Along(v, lineTop, plotH); };
        for (int v = 0; v <= lineTop; v += lineStep)
            svg += Text(left + plotW + 60, ly(v) + 40, Num(v), "start");
        svg += Line(left + plotW, top, left + plotW, top + plotH, "#444444");
        std::string points;
        for (size_t i = 0; i < n; ++i) {
            points += (i ? " " : "") + Coord(centre(static_cast<long long>(i))) + "," + Coord(ly(c.line[i]));
        }
        svg += "<polyline fill=\"none\" stroke=\"" + std::string(kLineColour) +
               "\" stroke-width=\"2\" points=\"" + points + "\"/>";
        const Tenths x = width * kPx - 120;
        svg += Text(x, top + plotH / 2, c.lineName, "middle", Rotate(90, x, top + plotH / 2));
    }

    // The legend along the top.
    Tenths x = left;
    for (const Series& s : c.stacks) {
        svg += Rect(x, 100, 120, 120, s.colour.c_str());
        svg += Text(x + 160, 200, s.name, "start");
        x += 280 + 70 * static_cast<Tenths>(s.name.size());
    }
    if (!c.lineName.empty()) {
        svg += Line(x, 160, x + 160, 160, kLineColour, " stroke-width=\"2\"");
        svg += Text(x + 200, 200, c.lineName, "start");
        x += 320 + 65 * static_cast<Tenths>(c.lineName.size());
    }
    if (c.limit >= 0) {
        svg += Line(x, 160, x + 160, 160, kFlagColour, " stroke-dasharray=\"6 4\" stroke-width=\"1.5\"");
        svg += Text(x + 200, 200, c.limitName, "start");
    }
    return svg + "</svg>";
}

// The contest period as one bar: on the air in green, the off periods grey and numbered.
std::string DrawTimeline(const Analysis& a) {
    const int width = 920, height = 74;
    const Tenths left = 500, right = 140, top = 180, barH = 240;
    const Tenths plotW = width * kPx - left - right;
    const long long span = std::max(1LL, a.endMinute - a.startMinute);
    auto x = [&](long long minute) { return left + Along(minute - a.startMinute, span, plotW); };
    std::string svg = SvgOpen(width, height, "On the air and off, over the contest period");
    svg += Rect(left, top, plotW, barH, kBandColours[2], "on the air");
    for (size_t i = 0; i < a.off.size(); ++i) {
        const OffPeriod& p = a.off[i];
        svg += Rect(
            x(p.from), top, x(p.to) - x(p.from), barH, "#cccccc",
            "off " + Time(p.from, "%H:%M") + " to " + Time(p.to, "%H:%M") + ", " + Duration(p.Minutes()));
        svg += Text((x(p.from) + x(p.to)) / 2, top - 50, std::to_string(i + 1));
    }
    for (long long hour = (a.startMinute + 59) / 60; hour * 60 <= a.endMinute; ++hour) {
        if (hour % 6 != 0)
            continue;
        const Tenths at = x(hour * 60);
        svg += Line(at, top + barH, at, top + barH + 50, "#444444");
        const char* anchor = at < left + 300 ? "start" : at > left + plotW - 300 ? "end" : "middle";
        svg += Text(at, top + barH + 170, Time(hour * 60, hour % 24 == 0 ? "%a %H:%M" : "%H:%M"), anchor);
    }
    svg += Text(left - 60, top + 160, "UTC", "end");
    return svg + "</svg>";
}

// --- sections ---------------------------------------------------------------------------------------------

std::string Summary(const Analysis& a) {
    std::string h = "<section id=\"summary\"><h2>1. Summary</h2><table>";
    auto row = [&](const std::string& key, const std::string& value) {
        h += "<tr><th class=\"l\">" + Esc(key) + "</th><td class=\"l\">" + value + "</td></tr>";
    };
    row("Station", Esc(a.ownCall.empty() ? "(no own call)" : a.ownCall));
    row("Log", Esc(a.logName) + ", " + Plural(a.qsosRead, "QSO", "QSOs") + " read");
    row("Contest period", Esc(Time(a.startMinute) + " to " + Time(a.endMinute) + " UTC"));
    for (const auto& field : a.category)
        row(field.first, Esc(field.second));
    h += "</table>";

    const int multipliers = a.stateProvMultipliers + a.dxccMultipliers;
    h += "<table><tr><th class=\"l\"></th><th>QSOs</th><th>Multipliers</th><th>Score</th></tr>";
    h += "<tr><td class=\"l\">Plug-in</td>" + Td(Num(static_cast<long long>(a.counted))) +
         Td(Num(a.stateProvMultipliers) + " states/provinces + " + Num(a.dxccMultipliers) +
            " DXCC = " + Num(multipliers)) +
         Td("<b>" + (a.pluginScore ? Num(*a.pluginScore) : std::string("(none)")) + "</b>") + "</tr>";
    h += "<tr><td class=\"l\">Log claims</td><td></td><td></td>" +
         Td(a.claimedScore ? Num(*a.claimedScore) : std::string("(no claimed score)")) + "</tr>";
    if (a.pluginScore && a.claimedScore) {
        const long long d = *a.pluginScore - *a.claimedScore;
        h += "<tr><td class=\"l\">Difference</td><td></td><td></td>" +
             Td(d == 0 ? std::string("none") : (d > 0 ? "+" : "") + Num(d)) + "</tr>";
    }
    h += "</table>";

    h += "<p>What the plug-in did not count:</p><ul>";
    h += "<li>" + Plural(a.qsosRead, "QSO", "QSOs") + " in the log, " +
         Num(static_cast<long long>(a.counted)) + " counted</li>";
    for (const auto& r : a.rejected)
        h += "<li>" + Plural(r.second, "QSO", "QSOs") + " rejected: " + Esc(r.first) + "</li>";
    for (const auto& r : a.notCounted) {
        h += "<li>" + Plural(r.second, "QSO", "QSOs") + " logged, not counted: " + Esc(r.first) + "</li>";
    }
    if (a.linesSkipped)
        h += "<li>" + Plural(a.linesSkipped, "line", "lines") + " of the log not read</li>";
    if (a.outsidePeriod) {
        h += "<li>" + Plural(a.outsidePeriod, "QSO", "QSOs") +
             " outside the contest period (scored all the same, not drawn below)</li>";
    }
    if (a.rejected.empty() && a.notCounted.empty() && a.linesSkipped == 0)
        h += "<li>nothing: every QSO counts</li>";
    h += "</ul>";
    if (a.pluginScore && *a.pluginScore != a.score) {
        h += "<p class=\"flag\">The plug-in's score " + Num(*a.pluginScore) + " is not the " +
             Num(static_cast<long long>(a.counted)) + " QSOs x " + Num(multipliers) +
             " multipliers = " + Num(a.score) + " counted on this page.</p>";
    }
    return h + "</section>";
}

std::string RateGraph(const Analysis& a) {
    HourChart c;
    c.title = "QSOs per clock hour by band, and the running total";
    c.yLabel = "QSOs per hour";
    c.lineName = "total QSOs";
    for (size_t b = 0; b < a.bands.size(); ++b)
        c.stacks.push_back({a.bands[b], kBandColours[std::min<size_t>(b, 5)], {}});
    for (const HourRow& row : a.hours) {
        c.hours.push_back(row.hour);
        for (size_t b = 0; b < a.bands.size(); ++b)
            c.stacks[b].values.push_back(row.byBand[b]);
        c.line.push_back(row.cumulative);
    }
    return "<section id=\"rate\"><h2>2. Rate</h2><p class=\"note\">Counted QSOs per clock hour (UTC), "
           "stacked by "
           "band; the line is the running total, on the right-hand axis.</p>" +
           DrawHourChart(c) + "</section>";
}

std::string HourTable(const Analysis& a) {
    std::string h =
        "<section id=\"hours\"><h2>3. Hour by band</h2><table><tr><th class=\"l\">Hour (UTC)</th>";
    for (const std::string& band : a.bands)
        h += "<th>" + Esc(band) + "</th>";
    h += "<th>Total</th><th>Running total</th></tr>";
    std::vector<int> bandTotals(a.bands.size(), 0);
    for (const HourRow& row : a.hours) {
        h += "<tr>" + Td(Time(row.hour * 60, "%a %H:00"), "l");
        for (size_t b = 0; b < a.bands.size(); ++b) {
            bandTotals[b] += row.byBand[b];
            h += Td(row.byBand[b] ? std::to_string(row.byBand[b]) : "");
        }
        h += Td(row.qsos ? std::to_string(row.qsos) : "") + Td(Num(row.cumulative)) + "</tr>";
    }
    h += "<tr class=\"total\">" + Td("Total", "l");
    int all = 0;
    for (int t : bandTotals)
        h += Td(Num(t)), all += t;
    return h + Td(Num(all)) + "<td></td></tr></table></section>";
}

std::string BestRates(const Analysis& a) {
    std::string h =
        "<section id=\"best\"><h2>4. Best rates</h2><table><tr><th class=\"l\"></th><th>QSOs</th>"
        "<th class=\"l\">from</th><th class=\"l\">to</th><th>rate</th></tr>";
    auto window = [&](const char* name, const BestWindow& w, int width) {
        h += "<tr>" + Td(name, "l") + Td(std::to_string(w.qsos));
        if (w.qsos == 0) {
            h += "<td></td><td></td><td></td></tr>";
            return;
        }
        h += Td(Time(w.startMinute), "l") + Td(Time(w.startMinute + width - 1, "%H:%M"), "l") +
             Td(std::to_string(w.qsos * 60 / width) + " per hour") + "</tr>";
    };
    window("Best 60 minutes", a.best60, 60);
    window("Best 10 minutes", a.best10, 10);
    const size_t drawn = a.hours.empty() ? 0 : static_cast<size_t>(a.hours.back().cumulative);
    h +=
        "<tr>" + Td("Average on the air", "l") + Td(Num(static_cast<long long>(drawn))) +
        Td("in " + Duration(a.onMinutes) + " on the air", "l") + "<td></td>" +
        Td(a.onMinutes > 0
               ? Coord((1200 * static_cast<long long>(drawn) + a.onMinutes) / (2 * a.onMinutes)) + " per hour"
               : std::string("-")) +
        "</tr></table>";
    return h +
           "<p class=\"note\">Windows slide minute by minute and start at a QSO; counted QSOs "
           "only.</p></section>";
}

std::string TimeOnOff(const Analysis& a) {
    std::string h = "<section id=\"time\"><h2>5. Time on and off</h2>";
    h +=
        "<p class=\"note\">A gap of " + std::to_string(a.offThreshold) +
        " minutes or more between two QSOs in a row (or between the start and the first QSO, or the last QSO "
        "and the end) is off time (--off-time changes the threshold).</p>";
    h += DrawTimeline(a);
    long long offMinutes = 0;
    if (!a.off.empty()) {
        h += "<table><tr><th>Off</th><th class=\"l\">from</th><th class=\"l\">to</th><th>length</th></tr>";
        for (size_t i = 0; i < a.off.size(); ++i) {
            offMinutes += a.off[i].Minutes();
            h += "<tr>" + Td(std::to_string(i + 1)) + Td(Time(a.off[i].from), "l") +
                 Td(Time(a.off[i].to), "l") + Td(Duration(a.off[i].Minutes())) + "</tr>";
        }
        h += "</table>";
    }
    h += "<p>On the air <b>" + Duration(a.onMinutes) + "</b> of " + Duration(a.endMinute - a.startMinute) +
         "; off " + Duration(offMinutes) + " in " + Plural(a.off.size(), "block", "blocks") + ".</p>";
    if (a.multiOp) {
        h += "<p class=\"note\">MULTI-OP: the whole period may be operated.</p>";
        return h + "</section>";
    }
    bool broken = false;
    if (a.onMinutes > Contest().singleOpOnHours * 60LL) {
        broken = true;
        h += "<p class=\"flag\">On the air " + Duration(a.onMinutes) + ": more than the " +
             std::to_string(Contest().singleOpOnHours) + " hours a single operator may operate.</p>";
    }
    if (a.off.size() > Contest().singleOpOffBlocks) {
        broken = true;
        h += "<p class=\"flag\">Off time in " + std::to_string(a.off.size()) +
             " blocks: the rules allow at most " + std::to_string(Contest().singleOpOffBlocks) + ".</p>";
    }
    if (!broken)
        h += "<p class=\"ok\">Within the single-operator limits on time.</p>";
    return h + "</section>";
}

std::string BandChanges(const Analysis& a) {
    HourChart c;
    c.title = "Band changes per clock hour";
    c.yLabel = "band changes";
    c.stacks.push_back({"band changes", kBandColours[0], {}});
    int most = 0;
    std::vector<const HourRow*> over;
    for (const HourRow& row : a.hours) {
        c.hours.push_back(row.hour);
        c.stacks[0].values.push_back(row.bandChanges);
        most = std::max(most, row.bandChanges);
        if (row.bandChanges > Contest().multiOpBandChangesPerHour)
            over.push_back(&row);
    }
    if (a.multiOp) {
        c.limit = Contest().multiOpBandChangesPerHour;
        c.limitName = "MULTI-OP limit";
    }
    std::string h =
        "<section id=\"bands\"><h2>6. Band changes</h2><p class=\"note\">A QSO on another band than "
        "the QSO before it is one change in its clock hour (20m, 15m, 20m is two); every QSO the "
        "plug-in logged takes part.</p>" +
        DrawHourChart(c);
    h += "<p>Most in one hour: " + std::to_string(most) + ".</p>";
    if (!a.multiOp) {
        h += "<p class=\"note\">The limit of " + std::to_string(Contest().multiOpBandChangesPerHour) +
             " band changes per clock hour is for MULTI-OP entries.</p>";
    } else if (over.empty()) {
        h += "<p class=\"ok\">No hour has more than " + std::to_string(Contest().multiOpBandChangesPerHour) +
             " band changes.</p>";
    } else {
        h += "<p class=\"flag\">More than " + std::to_string(Contest().multiOpBandChangesPerHour) +
             " band changes in " + Plural(over.size(), "hour", "hours") + ":";
        for (const HourRow* row : over)
            h += " " + Time(row->hour * 60, "%a %H:00") + " (" + std::to_string(row->bandChanges) + ")";
        h += "</p>";
    }
    return h + "</section>";
}

std::string QsoWhen(const QsoRef& q) {
    return Time(q.minute) + " " + q.band + " " + q.call + ", line " + std::to_string(q.line);
}

std::string Multipliers(const Analysis& a) {
    std::string h = "<section id=\"multipliers\"><h2>7. Multipliers</h2>";
    h += "<p>" + Num(a.stateProvMultipliers) + " states and provinces, " + Num(a.dxccMultipliers) +
         " DXCC entities. Worked cells are filled; the ones still needed are outlined in red.</p>";
    for (const char* country : {rules::kUsaPrefix, rules::kCanadaPrefix}) {
        const std::vector<std::string>& codes = rules::StateProvMultipliers(country);
        std::vector<std::string> needed;
        std::string cells;
        for (const std::string& code : codes) {
            auto first = std::find_if(a.stateProvWorked.begin(), a.stateProvWorked.end(),
                                      [&](const FirstQso& f) { return f.code == code; });
            if (first == a.stateProvWorked.end()) {
                needed.push_back(code);
                cells += "<div class=\"cell needed\">" + Esc(code) + "</div>";
            } else {
                cells += "<div class=\"cell worked\" title=\"" + Esc(QsoWhen(first->qso)) + "\">" +
                         Esc(code) + "</div>";
            }
        }
        h += std::string("<h3>") +
             (country == rules::kUsaPrefix ? "US states and DC" : "Canadian provinces and territories") +
             ": " + std::to_string(codes.size() - needed.size()) + " of " + std::to_string(codes.size()) +
             "</h3>";
        h += "<div class=\"cells\">" + cells + "</div>";
        std::string list;
        for (const std::string& code : needed)
            list += (list.empty() ? "" : " ") + code;
        h += "<p>Still needed: <b>" + (list.empty() ? std::string("none") : Esc(list)) + "</b></p>";
    }

    h += "<h3>DXCC entities (the USA and Canada count by state and province)</h3>";
    if (a.dxccWorked.empty()) {
        h += "<p>none</p>";
    } else {
        h += "<table><tr><th>#</th><th class=\"l\">prefix</th><th class=\"l\">entity</th><th "
             "class=\"l\">first QSO "
             "(UTC)</th><th class=\"l\">band</th><th class=\"l\">call</th><th>line</th></tr>";
        for (size_t i = 0; i < a.dxccWorked.size(); ++i) {
            const FirstQso& f = a.dxccWorked[i];
            h += "<tr>" + Td(std::to_string(i + 1)) + Td(Esc(f.code), "l") + Td(Esc(f.name), "l") +
                 Td(Time(f.qso.minute), "l") + Td(Esc(f.qso.band), "l") + Td(Esc(f.qso.call), "l") +
                 Td(std::to_string(f.qso.line)) + "</tr>";
        }
        h += "</table>";
    }

    HourChart c;
    c.title = "New multipliers per clock hour, and the running total";
    c.yLabel = "new multipliers";
    c.lineName = "total multipliers";
    c.stacks = {{"states/provinces", kBandColours[2], {}}, {"DXCC", kBandColours[1], {}}};
    for (const HourRow& row : a.hours) {
        c.hours.push_back(row.hour);
        c.stacks[0].values.push_back(row.newStateProv);
        c.stacks[1].values.push_back(row.newDxcc);
        c.line.push_back(row.cumulativeMultipliers);
    }
    return h + "<h3>New multipliers per hour</h3>" + DrawHourChart(c) + "</section>";
}

std::string CallsToCheck(const Analysis& a) {
    std::string h =
        "<section id=\"check\"><h2>8. Calls to double-check</h2><h3>Worked once and not in the "
        "super-check-partial list</h3>";
    if (!a.scpChecked) {
        h += "<p class=\"flag\">Not checked: " + Esc(a.scpNote) + ".</p>";
    } else if (a.unlistedCalls.empty()) {
        h += "<p>none</p>";
    } else {
        h += "<table><tr><th>line</th><th class=\"l\">call</th><th class=\"l\">time (UTC)</th><th "
             "class=\"l\">band</th>"
             "<th class=\"l\">exchange</th></tr>";
        for (const QsoRef& q : a.unlistedCalls) {
            h += "<tr>" + Td(std::to_string(q.line)) + Td(Esc(q.call), "l") + Td(Time(q.minute), "l") +
                 Td(Esc(q.band), "l") + Td(Esc(q.exchange), "l") + "</tr>";
        }
        h += "</table>";
    }
    h += "<h3>Stations logged with different states or provinces</h3>";
    if (a.conflicts.empty())
        return h + "<p>none</p></section>";
    h += "<table><tr><th class=\"l\">call</th><th class=\"l\">QSOs: line, band, time (UTC), "
         "exchange</th></tr>";
    for (const ExchangeConflict& c : a.conflicts) {
        std::string qsos;
        for (const QsoRef& q : c.qsos) {
            qsos += (qsos.empty() ? "" : "<br/>") + Esc("line " + std::to_string(q.line) + ": " + q.band +
                                                        " " + Time(q.minute) + " " + q.exchange);
        }
        h += "<tr>" + Td(Esc(c.call), "l") + Td(qsos, "l") + "</tr>";
    }
    return h + "</table></section>";
}

}  // namespace

std::string AnalysisPage(const Analysis& a) {
    std::string h =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"/>"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/><title>" +
        Esc(std::string(Contest().name) + " analysis: " + a.ownCall) + "</title><style>" + kStyle +
        "</style></head>\n<body>";
    h += "<h1>" + Esc(std::string(Contest().name) + " " + Time(a.startMinute, "%Y") + ": " + a.ownCall) +
         "</h1>";
    h += "<p class=\"note\">After the contest: " + Esc(a.logName) +
         " scored by the Stats plug-in; every number below counts the QSOs as the plug-in took them.</p>\n";
    h += Summary(a) + "\n" + RateGraph(a) + "\n" + HourTable(a) + "\n" + BestRates(a) + "\n" + TimeOnOff(a) +
         "\n" + BandChanges(a) + "\n" + Multipliers(a) + "\n" + CallsToCheck(a) + "\n";
    return h + "</body></html>\n";
}

}  // namespace replay
