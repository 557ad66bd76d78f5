// The analysis page as HTML: well-formed XML throughout (every element closed, only the XML entities), so the
// page and each of its SVG pictures can be checked by an XML parser; UTF-8, whatever bytes the log held.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

#include "analysis.h"
#include "chart_kit.h"
#include "common/text.h"
#include "contest_dates.h"

namespace replay {

namespace {

// Tables wider than a phone scroll inside their own box; each chart is drawn wide and narrow, and a phone sees
// the narrow one, so its labels stay legible. Folded lists are printed open (a second copy only the printer
// sees).
const char* const kStyle =
    "body{font-family:sans-serif;color:#111;margin:20px auto;max-width:1320px;padding:0 16px;line-height:1.35}"
    "h1{font-size:22px;margin:0 0 4px}"
    "h2{font-size:17px;border-bottom:2px solid #0072B2;padding-bottom:2px;margin:26px 0 8px}"
    "h3{font-size:14px;margin:12px 0 4px}"
    ".wide{overflow-x:auto;max-width:100%}"
    ".t{white-space:nowrap}"
    "table{border-collapse:collapse;font-size:13px;margin:4px 0 8px}"
    "th,td{border:1px solid #bbb;padding:2px 7px;text-align:right;vertical-align:top}"
    "th{background:#eef3f8}"
    ".l{text-align:left}td:not(.l):not(.w){white-space:nowrap}"
    "tr.total td{font-weight:bold;background:#f2f2f2}"
    "p{margin:4px 0}ul{margin:4px 0 8px}"
    "nav{font-size:14px;border:1px solid #bbb;padding:4px 12px;margin:8px 0;columns:3 220px}"
    "nav ol{margin:2px 0;padding-left:22px}"
    "h4{font-size:13px;margin:10px 0 4px}summary{cursor:pointer;margin:4px 0}.calls{font-size:12px}"
    ".flag{color:#B00020;font-weight:bold}"
    ".ok{font-weight:bold}"
    ".risk{background:#FBE3B4}p.risk{padding:2px 6px;font-weight:bold}"
    ".pair{display:flex;flex-wrap:wrap;gap:0 24px}.pair>div{max-width:100%}.pair>div.grow{flex:1 1 480px}"
    ".note{color:#555;font-size:13px}"
    ".rule{color:#333;font-size:12px;font-style:italic;border-left:3px solid #bbb;padding-left:6px}"
    ".sw{display:inline-block;width:12px;height:12px;margin-right:4px;vertical-align:-1px;border:1px solid #555}"
    ".sw.active{background:#009E73}.sw.counted{background:#BFE6D8}.sw.off{background:#8C8C8C}"
    ".cells{display:flex;flex-wrap:wrap;gap:3px;margin:4px 0 8px}"
    ".cell{width:38px;height:22px;line-height:22px;text-align:center;font-size:12px;font-weight:bold;"
    "border-radius:3px}"
    ".worked{background:#0072B2;color:#fff;border:2px solid #0072B2}"
    ".needed{background:#fff;color:#B00020;border:2px dashed #B00020}"
    "table.grid{font-size:11px}table.grid th,table.grid td{padding:1px 3px;min-width:15px;text-align:center}"
    "table.grid td.g1{background:#0072B2;color:#fff}table.grid td.g0{background:#fff}"
    "table.grid th:first-child{position:sticky;left:0}table.grid .l{text-align:left}"
    ".qso{font-size:12px;color:#333}.qso b{font-size:13px;color:#111}"
    "svg{display:block;width:100%;height:auto;margin:4px 0}.big svg{max-width:1100px}"
    ".print{display:none}"
    ".small{display:none}@media (max-width:600px){.big{display:none}.small{display:block}"
    "body{padding:0 6px}table{font-size:12px}th,td{padding:2px 3px}}"
    "@media print{body{margin:0;max-width:none}h2,h3{break-after:avoid}svg,tr,.cells{break-inside:avoid}"
    ".wide{overflow:visible}.big{display:block}.small{display:none}details{display:none}.print{display:block}nav{display:none}"
    "*{-webkit-print-color-adjust:exact;print-color-adjust:exact}}";

// The two times the page counts a station on the air, each named for what it is.
const char* const kActiveTime = "Active time";
const char* const kOperatingTime = "Operating time by the rules";

// A name as it reads within a sentence.
std::string InText(const char* name) {
    std::string s = name;
    if (!s.empty() && s[0] >= 'A' && s[0] <= 'Z')
        s[0] = static_cast<char>(s[0] - 'A' + 'a');
    return s;
}

using Of = contest::MultiplierKind::Of;

bool CountsZones(const Analysis& a) { return a.contest->Counts(Of::zone); }
int MultipliersOf(const Analysis& a, Of of) { return static_cast<int>(WorkedOf(a, of).size()); }

// The multipliers by kind and their sum, as the contest counts them: "12 states/provinces + 30 DXCC = 42", or
// for a contest with zones "40 zones + 41 countries + 25 QTHs = 106" (each counted per band where it is).
std::string MultiplierSum(const Analysis& a) {
    const std::vector<contest::MultiplierKind>& kinds = a.contest->MultiplierKinds();
    std::string sum;
    for (size_t k = 0; k < kinds.size() && k < a.worked.size(); ++k)
        sum += (sum.empty() ? "" : " + ") + Num(static_cast<long long>(a.worked[k].size())) + " " + kinds[k].many;
    return sum + " = " + Num(TotalMultipliers(a));
}

std::string Td(const std::string& s, const char* cls = nullptr) {
    return cls ? std::string("<td class=\"") + cls + "\">" + s + "</td>" : "<td>" + s + "</td>";
}

std::string TableOpen(const std::string& attributes = "") {
    return "<div class=\"wide\"><table" + attributes + ">";
}
const char* const kTableClose = "</table></div>";

// A picture drawn for a wide screen or paper and again for a phone; the style shows one of them.
std::string Chart(const std::string& wide, const std::string& narrow) {
    return "<div class=\"chart\"><div class=\"big\">" + wide + "</div><div class=\"small\">" + narrow +
           "</div></div>";
}
std::string Chart(HourChart c) {
    const std::string wide = DrawHourChart(c);
    c.width = kNarrowChart;
    return Chart(wide, DrawHourChart(c));
}

// A list folded on the screen and printed open.
std::string Folded(const std::string& summary, const std::string& body) {
    return "<details><summary>" + summary + "</summary>" + body + "</details><div class=\"print\"><p>" + summary +
           ":</p>" + body + "</div>";
}

// How the page counts time, as the sponsors' log checking does: a clock minute is on the air when a QSO was
// logged in it and off otherwise; a break is a run of empty minutes between two QSOs.
std::string MinutesOff(const Analysis& a) {
    return std::to_string(a.offThreshold) + " empty minutes or more";
}
std::string ActiveMeaning(const Analysis& a) {
    return "the clock minutes with a QSO logged: the contest period less the time before the first QSO, after the "
           "last and every break of " + MinutesOff(a);
}
// The rules allow the whole period: no limit on operating time to count.
bool WholePeriod(const Analysis& a) {
    return a.timeRule->mostOperatingMinutes >= a.endMinute - a.startMinute;
}
// A rule that takes any number of breaks as off time holds at least this many blocks.
constexpr int kAnyNumberOfBlocks = 100;
std::string OperatingMeaning(const Analysis& a) {
    const int blocks = a.timeRule->mostOffBlocks;
    std::string breaks = blocks >= kAnyNumberOfBlocks ? "every break of " + MinutesOff(a)
                         : blocks == 1                ? "its longest break of " + MinutesOff(a)
                         : blocks > 1 ? "its " + std::to_string(blocks) + " longest breaks of " + MinutesOff(a)
                                      : "no break";
    return "from the first QSO's minute to the last's, less " + breaks + "; at most " +
           Hours(a.timeRule->mostOperatingMinutes);
}
// Within a minute of a limit: a QSO logged a minute earlier or later would have turned the verdict.
bool WithinAMinute(long long value, long long limit) {
    return value >= limit - 1 && value <= limit + 1;
}

// QSOs per hour of `minutes`, to a tenth.
std::string PerHour(long long qsos, long long minutes) {
    if (minutes <= 0)
        return "-";
    return Coord((1200 * qsos + minutes) / (2 * minutes)) + " per hour";
}

// 0 for a period without a date: the rules of the earliest years apply.
int YearOf(const Analysis& a) {
    return std::atoi(Time(a.startMinute, "%Y").c_str());
}

std::string CategoryField(const Analysis& a, const char* tag) {
    for (const auto& field : a.category) {
        if (field.first == tag)
            return field.second;
    }
    return "";
}

long long DrawnQsos(const Analysis& a) {
    return a.hours.empty() ? 0 : a.hours.back().cumulative;
}

// The sections in the page's order, for the contents list and the headings.
struct SectionName {
    const char* id;
    const char* title;
};
const SectionName kSections[] = {
    {"summary", "Summary"},
    {"notcounted", "QSOs not counted"},
    {"rate", "Rate"},
    {"hours", "Hour by band"},
    {"breakdown", "Bands and continents"},
    {"best", "Best rates"},
    {"time", "Time on and off"},
    {"bands", "Band changes"},
    {"multipliers", "Multipliers"},
    {"check", "Calls to double-check"},
    {"compare", "Side by side"},
};

std::string Open(const char* id) {
    for (size_t i = 0; i < std::size(kSections); ++i) {
        if (std::string(kSections[i].id) == id) {
            return std::string("<section id=\"") + id + "\"><h2>" + std::to_string(i + 1) + ". " +
                   kSections[i].title + "</h2>";
        }
    }
    return "<section>";
}

std::string LinkTo(const char* id) {
    for (size_t i = 0; i < std::size(kSections); ++i) {
        if (std::string(kSections[i].id) == id) {
            return std::string("<a href=\"#") + id + "\">" + std::to_string(i + 1) + ". " + kSections[i].title +
                   "</a>";
        }
    }
    return "";
}

std::string Contents(bool compared) {
    std::string h = "<nav><b>Contents</b><ol>";
    for (const SectionName& s : kSections) {
        if (!compared && std::string(s.id) == "compare")
            continue;
        h += std::string("<li><a href=\"#") + s.id + "\">" + s.title + "</a></li>";
    }
    return h + "</ol></nav>";
}

// Text in the bar's font takes about this much width a character, in tenths of a pixel.
constexpr Tenths kCharWidth = 62;

// The breaks between QSOs are numbered from 1 in time order; the time before the first QSO and after the last
// is named, not numbered.
size_t BreakNumber(const Analysis& a, size_t i) {
    size_t n = 0;
    for (size_t k = 0; k <= i && k < a.off.size(); ++k)
        n += a.off[k].edge ? 0 : 1;
    return n;
}

// The name of an off period in the bar's tips and the tables.
std::string OffName(const Analysis& a, size_t i) {
    const OffPeriod& p = a.off[i];
    if (p.edge)
        return p.from == a.startMinute ? (p.to == a.endMinute ? "no QSO" : "before the first QSO") : "after the last QSO";
    return "break " + std::to_string(BreakNumber(a, i));
}

// The contest period as one bar: QSOs being made in green, the breaks that still count as operating time pale
// green and striped, the off time grey; every break numbered as in the table below it where its number has room
// (the off time's first), with a legend, so the bar reads without its tips (which do not print).
std::string DrawTimeline(const Analysis& a, int width) {
    struct Key {
        std::string fill, name;
    };
    const std::string stripes = "counted-" + std::to_string(width);  // one pattern per drawing of the page
    const bool whole = WholePeriod(a);
    const int blocks = a.timeRule->mostOffBlocks;
    const Key keys[] = {
        {kOperatingColour, "active: QSOs being made"},
        {"url(#" + stripes + ")", whole ? "break of " + MinutesOff(a) : "break counted as operating time"},
        {kOffColour, whole || blocks <= 0 ? std::string("off: before the first QSO and after the last")
                     : blocks >= kAnyNumberOfBlocks ? "off time: both ends and every break"
                                                    : "off time: both ends and the " + std::to_string(blocks) +
                                                          " longest breaks"},
    };
    const Tenths left = 500, right = 140, top = 180, barH = 240;
    std::vector<std::pair<Tenths, Tenths>> keyAt;  // x, row
    Tenths kx = left, row = 0;
    for (const Key& k : keys) {
        const Tenths advance = 300 + kCharWidth * static_cast<Tenths>(k.name.size());
        if (kx > left && kx + advance > width * kPx) kx = left, ++row;
        keyAt.emplace_back(kx, row);
        kx += advance;
    }
    const Tenths plotW = width * kPx - left - right;
    const long long span = std::max(1LL, a.endMinute - a.startMinute);
    auto x = [&](long long minute) { return left + Along(minute - a.startMinute, span, plotW); };
    std::string svg = SvgOpen(width, 104 + static_cast<int>(row) * 16,
                              "Operating time and off time over the contest period");
    svg += "<defs><pattern id=\"" + stripes + "\" width=\"6\" height=\"6\" patternUnits=\"userSpaceOnUse\" "
           "patternTransform=\"rotate(45)\"><rect width=\"6\" height=\"6\" fill=\"#BFE6D8\"/><rect width=\"2\" "
           "height=\"6\" fill=\"" +
           std::string(kOperatingColour) + "\"/></pattern></defs>";
    svg += Rect(left, top, plotW, barH, kOperatingColour, keys[0].name);
    // Labels where they have room, the off time's first: each takes its width and a gap.
    std::vector<std::pair<Tenths, Tenths>> taken;
    std::vector<std::string> labels(a.off.size());
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < a.off.size(); ++i) {
            const OffPeriod& p = a.off[i];
            const bool off = p.edge || a.offBlock[i];
            if (p.edge || off != (pass == 0))
                continue;
            const std::string label = std::to_string(BreakNumber(a, i)) + (off ? " off" : "");
            const Tenths mid = (x(p.from) + x(p.to)) / 2, half = kCharWidth * static_cast<Tenths>(label.size()) / 2 + 30;
            if (std::any_of(taken.begin(), taken.end(),
                            [&](const auto& t) { return mid - half < t.second && mid + half > t.first; }))
                continue;
            taken.emplace_back(mid - half, mid + half);
            labels[i] = label;
        }
    }
    for (size_t i = 0; i < a.off.size(); ++i) {
        const OffPeriod& p = a.off[i];
        const bool off = p.edge || a.offBlock[i];
        svg += Rect(x(p.from), top, x(p.to) - x(p.from), barH, (off ? keys[2] : keys[1]).fill.c_str(),
                    OffName(a, i) + ", " + Time(p.from, "%H:%M") + " to " + Time(p.to, "%H:%M") + ", " +
                        Duration(p.Minutes()) + ": " + (off ? "off time" : whole ? "break" : "operating time by the rules"));
        if (!labels[i].empty())
            svg += Text((x(p.from) + x(p.to)) / 2, top - 50, labels[i], "middle", off ? " font-weight=\"bold\"" : "");
    }
    for (long long hour = (a.startMinute + 59) / 60; hour * 60 <= a.endMinute; ++hour) {
        if (hour % (width < kWideChart ? 12 : 6) != 0)
            continue;
        const Tenths at = x(hour * 60);
        svg += Line(at, top + barH, at, top + barH + 50, "#444444");
        const char* anchor = at < left + 300 ? "start" : at > left + plotW - 300 ? "end" : "middle";
        svg += Text(at, top + barH + 170, Time(hour * 60, hour % 24 == 0 ? "%a %H:%M" : "%H:%M"), anchor);
    }
    svg += Text(left - 60, top + 160, "UTC", "end");
    for (size_t i = 0; i < std::size(keys); ++i) {
        const Tenths ky = top + barH + 280 + keyAt[i].second * 160;
        svg += Rect(keyAt[i].first, ky, 120, 120, keys[i].fill.c_str());
        svg += Text(keyAt[i].first + 160, ky + 100, keys[i].name, "start");
    }
    return svg + "</svg>";
}

// The operating time by the rules as a cell: flagged over the limit, marked within a minute of it.
std::string OperatingCell(const Analysis& a) {
    const long long limit = a.timeRule->mostOperatingMinutes;
    std::string text = Duration(a.operatingMinutes);
    if (WithinAMinute(a.operatingMinutes, limit))
        text += " <span class=\"flag\">(within a minute of the limit)</span>";
    return Td(text, a.operatingMinutes > limit ? "flag" : nullptr);
}

// --- sections ---------------------------------------------------------------------------------------------

std::string Summary(const Analysis& a) {
    // The entry beside the figures on a wide screen, above them on a phone.
    std::string h = Open("summary") + "<div class=\"pair\"><div>" + TableOpen();
    auto row = [&](const std::string& key, const std::string& value) {
        h += "<tr><th class=\"l\">" + Esc(key) + "</th><td class=\"l\">" + value + "</td></tr>";
    };
    row("Station", Esc(a.ownCall.empty() ? "(no own call)" : a.ownCall));
    row("Log", Esc(a.logName) + ", " + Plural(a.qsosRead, "QSO", "QSOs") + " read");
    row("Contest period", Esc(Time(a.startMinute) + " to " + Time(a.endMinute) + " UTC"));
    for (const auto& field : a.category)
        row(field.first, Esc(field.second));
    h += std::string(kTableClose) + "</div><div class=\"grow\">";

    h += TableOpen() + "<tr><th class=\"l\"></th><th>QSOs</th><th>Multipliers</th><th>Score</th></tr>";
    h += "<tr><td class=\"l\">Plug-in</td>" + Td(Num(static_cast<long long>(a.counted))) + Td(MultiplierSum(a), "w") +
         Td("<b>" + (a.pluginScore ? Num(*a.pluginScore) : std::string("(none)")) + "</b>") + "</tr>";
    h += "<tr><td class=\"l\">Log claims</td><td></td><td></td>" +
         Td(a.claimedScore ? Num(*a.claimedScore) : std::string("(no claimed score)")) + "</tr>";
    if (a.pluginScore && a.claimedScore) {
        const long long d = *a.pluginScore - *a.claimedScore;
        h += "<tr><td class=\"l\">Difference</td><td></td><td></td>" +
             Td(d == 0 ? std::string("none") : (d > 0 ? "+" : "") + Num(d)) + "</tr>";
    }
    if (!a.doubtful.qsos.empty()) {
        h += "<tr class=\"risk\"><td class=\"l\">If the " + Plural(a.doubtful.qsos.size(), "doubtful QSO were", "doubtful QSOs were") +
             " lost</td>" + Td(Num(static_cast<long long>(a.counted - a.doubtful.qsos.size()))) +
             Td(Num(TotalMultipliers(a) - static_cast<long long>(a.doubtful.multipliersAtRisk))) +
             Td(Num(a.doubtful.scoreIfLost)) + "</tr>";
    }
    h += kTableClose;

    // The figures a reader looks for first, each named as everywhere on the page.
    const long long drawn = DrawnQsos(a);
    h += TableOpen() + "<tr><th class=\"l\">At a glance</th><th></th><th class=\"l\">average</th></tr>";
    auto named = [](const char* name, const std::string& meaning) {
        return Td("<b>" + std::string(name) + "</b><br/><span class=\"note\">" + meaning + "</span>", "l");
    };
    h += "<tr>" + named(kActiveTime, ActiveMeaning(a)) + Td(Duration(a.activeMinutes)) +
         Td(PerHour(drawn, a.activeMinutes), "l") + "</tr>";
    if (WholePeriod(a)) {
        h += "<tr>" + named(kOperatingTime, "not limited: every entrant may operate the whole " +
                                                Hours(a.timeRule->mostOperatingMinutes)) +
             "<td></td><td></td></tr>";
    } else {
        h += "<tr>" + named(kOperatingTime, OperatingMeaning(a)) + OperatingCell(a) +
             Td(PerHour(drawn, a.operatingMinutes), "l") + "</tr>";
    }
    h += "<tr>" + Td("<b>Best 60 minutes</b>", "l") + Td(Num(a.best60.qsos)) +
         Td(a.best60.qsos ? "from " + Time(a.best60.startMinute, "%a %H:%M") : std::string(), "l t") + "</tr>";
    h += "<tr>" + Td("<b>Best 10 minutes</b>", "l") + Td(Num(a.best10.qsos)) +
         Td(a.best10.qsos ? "from " + Time(a.best10.startMinute, "%a %H:%M") : std::string(), "l t") + "</tr>";
    h += std::string(kTableClose) + "</div></div>";

    h += "<p>What the plug-in did not count (each QSO in " + LinkTo("notcounted") + "):</p><ul>";
    h += "<li>" + Plural(a.qsosRead, "QSO", "QSOs") + " in the log, " + Num(static_cast<long long>(a.counted)) +
         " counted</li>";
    for (const auto& r : a.rejected)
        h += "<li>" + Plural(r.second, "QSO", "QSOs") + " refused by the plug-in: " + Esc(r.first) + "</li>";
    for (const auto& r : a.notCounted) {
        h += "<li>" + Plural(r.second, "QSO", "QSOs") + " logged, not counted: " + Esc(r.first) + "</li>";
    }
    if (a.linesSkipped)
        h += "<li>" + Plural(a.linesSkipped, "line", "lines") + " of the log not read</li>";
    if (a.outsidePeriod) {
        h += "<li>" + Plural(a.outsidePeriod, "QSO", "QSOs") +
             " outside the contest period (not counted, not drawn below)</li>";
    }
    if (a.rejected.empty() && a.notCounted.empty() && a.linesSkipped == 0)
        h += "<li>nothing: every QSO counts</li>";
    h += "</ul>";
    if (!a.doubtful.qsos.empty()) {
        h += "<p class=\"risk\">" + Plural(a.doubtful.qsos.size(), "counted QSO is", "counted QSOs are") +
             " worth a second look";
        if (a.doubtful.multipliersAtRisk) {
            h += "; " + Plural(a.doubtful.multipliersAtRisk, "multiplier rests", "multipliers rest") +
                 " on them alone";
        }
        h += ": see " + LinkTo("check") + ".</p>";
    }
    if (a.pluginScore && *a.pluginScore != a.score) {
        h += "<p class=\"flag\">The plug-in's score " + Num(*a.pluginScore) + " is not the " +
             Num(static_cast<long long>(a.counted)) + " QSOs x " + Num(TotalMultipliers(a)) +
             " multipliers = " + Num(a.score) + " counted on this page.</p>";
    }

    // The data behind the figures.
    h += "<h3>Data used</h3>" + TableOpen();
    std::string cty = Esc(a.countryFile.empty() ? std::string("(none named)") : a.countryFile);
    cty += a.countryEdition.empty() ? std::string(", its edition not named") : ", edition of " + Esc(a.countryEdition);
    if (a.countryFileOld) {
        cty += " <span class=\"flag\">more than a year before the contest: calls issued since may get no or a "
               "wrong prefix (a newer one with --cty FILE)</span>";
    }
    row("Country file", cty);
    const char* categories = a.contest->CategoriesOf(YearOf(a));
    row("Rules of " + Time(a.startMinute, "%Y"),
        (*categories ? Esc(categories) : std::string("as the contest record holds them")) +
            " <span class=\"note\">The limits and their words stand under each verdict.</span>");
    row("Call list", a.scpChecked ? Esc(a.scpFile)
                                  : "<span class=\"flag\">not read: " + Esc(a.scpNote) +
                                        "; the calls worked once are not checked</span>");
    return h + kTableClose + "</section>";
}

std::string NotCounted(const Analysis& a) {
    std::string h = Open("notcounted");
    if (a.leftOut.empty())
        return h + "<p>none: every QSO of the log is counted</p></section>";
    h += "<p>" + Plural(a.leftOut.size(), "QSO or line", "QSOs and lines") +
         " of the log, in log order, with the plug-in's or the reader's reason.</p>";
    h += TableOpen() + "<tr><th>line</th><th class=\"l\">call</th><th class=\"l\">time (UTC)</th>"
                       "<th class=\"l\">band</th><th class=\"l\">exchange</th><th class=\"l\"></th>"
                       "<th class=\"l\">reason</th></tr>";
    for (const LeftOutQso& l : a.leftOut) {
        const bool line = l.what == "not read";
        h += "<tr>" + Td(std::to_string(l.qso.line)) + Td(Esc(l.qso.call), "l") +
             Td(line ? std::string() : Time(l.qso.minute), "l t") + Td(Esc(l.qso.band), "l") +
             Td(Esc(l.qso.exchange), "l") + Td(Esc(l.what), "l") + Td(Esc(l.reason), "l") + "</tr>";
    }
    return h + kTableClose + "</section>";
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
    return Open("rate") +
           "<p class=\"note\">Counted QSOs per clock hour (UTC), stacked by band; the line is the running total, on "
           "the right-hand axis.</p>" +
           Chart(c) + "</section>";
}

std::string HourTable(const Analysis& a) {
    std::string h = Open("hours") + TableOpen() + "<tr><th class=\"l\">Hour (UTC)</th>";
    for (const std::string& band : a.bands)
        h += "<th>" + Esc(band) + "</th>";
    h += "<th>Total</th><th>Running total</th></tr>";
    std::vector<int> bandTotals(a.bands.size(), 0);
    for (size_t i = 0; i < a.hours.size(); ++i) {
        const HourRow& row = a.hours[i];
        // Hours in a row without a counted QSO stand as one line.
        size_t last = i;
        while (last + 1 < a.hours.size() && a.hours[i].qsos == 0 && a.hours[last + 1].qsos == 0)
            ++last;
        if (last > i) {
            h += "<tr>" + Td(Time(row.hour * 60, "%a %H:00") + " to " + Time(a.hours[last].hour * 60 + 59, "%H:%M"), "l") +
                 "<td class=\"l\" colspan=\"" + std::to_string(a.bands.size() + 1) + "\">no counted QSO</td>" +
                 Td(Num(row.cumulative)) + "</tr>";
            i = last;
            continue;
        }
        h += "<tr>" + Td(Time(row.hour * 60, "%a %H:00"), "l t");
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
    return h + Td(Num(all)) + "<td></td></tr>" + kTableClose + "</section>";
}

std::string Breakdown(const Analysis& a) {
    std::string h = Open("breakdown") + "<p class=\"note\">Counted QSOs, and the multipliers each band or continent "
                                        "gave first (each counts once per contest).</p><div class=\"pair\">";
    h += TableOpen() + "<tr><th class=\"l\">band</th><th>QSOs</th><th>new multipliers</th></tr>";
    for (size_t b = 0; b < a.bands.size(); ++b)
        h += "<tr>" + Td(Esc(a.bands[b]), "l") + Td(Num(a.bandQsos[b])) + Td(Num(a.bandNewMultipliers[b])) + "</tr>";
    h += "<tr class=\"total\">" + Td("Total", "l") + Td(Num(static_cast<long long>(a.counted))) +
         Td(Num(TotalMultipliers(a))) + "</tr>" + kTableClose;
    h += TableOpen() + "<tr><th class=\"l\">continent</th><th>QSOs</th><th>new multipliers</th></tr>";
    for (const ContinentRow& c : a.continents) {
        h += "<tr>" + Td(Esc(c.continent.empty() ? std::string("(no country)") : c.continent), "l") +
             Td(Num(c.qsos)) + Td(Num(c.newMultipliers)) + "</tr>";
    }
    return h + kTableClose + "</div></section>";
}

std::string BestRates(const Analysis& a) {
    std::string h = Open("best") + "<div class=\"pair\"><div>" + TableOpen() +
                    "<tr><th class=\"l\"></th><th>QSOs</th><th class=\"l\">from</th><th class=\"l\">to</th>"
                    "<th>rate</th></tr>";
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
    const long long drawn = DrawnQsos(a);
    h += "<tr>" + Td("Average over the " + InText(kActiveTime), "l") + Td(Num(drawn)) +
         Td("in " + Duration(a.activeMinutes) + " of " + InText(kActiveTime), "l") + "<td></td>" +
         Td(PerHour(drawn, a.activeMinutes)) + "</tr>";
    // A contest that lets every entrant operate the whole period has no operating time to average over.
    if (!WholePeriod(a)) {
        h += "<tr>" + Td("Average over the " + InText(kOperatingTime), "l") + Td(Num(drawn)) +
             Td("in " + Duration(a.operatingMinutes) + " of " + InText(kOperatingTime), "l") + "<td></td>" +
             Td(PerHour(drawn, a.operatingMinutes)) + "</tr>";
    }
    h += kTableClose;
    h += "<p class=\"note\">Windows slide minute by minute and start at a QSO; counted QSOs only. " +
         Esc(std::string(kActiveTime) + ": " + ActiveMeaning(a) + "; " + InText(kOperatingTime) + ": " +
             (WholePeriod(a) ? std::string("not limited") : OperatingMeaning(a)) + ".") +
         "</p>";

    // The rate sheet: counted QSOs in each 10 minutes, an hour a row.
    h += "</div><div><h3>QSOs per 10 minutes</h3>" + TableOpen() + "<tr><th class=\"l\">Hour (UTC)</th>";
    for (int m = 0; m < 60; m += 10)
        h += "<th>:" + text::Format("%02d", m) + "</th>";
    h += "<th>hour</th></tr>";
    for (const HourRow& row : a.hours) {
        if (row.qsos == 0)
            continue;
        h += "<tr>" + Td(Time(row.hour * 60, "%a %H:00"), "l t");
        for (int m = 0; m < 60; m += 10) {
            const long long slot = (row.hour * 60 + m - a.startMinute) / 10;
            const bool in = row.hour * 60 + m >= a.startMinute && slot < static_cast<long long>(a.tenMinutes.size());
            const int n = in ? a.tenMinutes[static_cast<size_t>(slot)] : 0;
            h += Td(n ? std::to_string(n) : "");
        }
        h += Td(std::to_string(row.qsos)) + "</tr>";
    }
    return h + kTableClose + "<p class=\"note\">Hours without a counted QSO are left out.</p></div></div></section>";
}

// The rule a verdict applies, its words quoted where they are the rules' own.
std::string Rule(const char* words) {
    return "<p class=\"rule\">Rule: " + Esc(words) + "</p>";
}

// More rows than this and the table of breaks keeps those that decide the verdict, the full list folded.
constexpr size_t kMostBreakRows = 12;

std::string TimeOnOff(const Analysis& a) {
    const contest::TimeRule& limits = *a.timeRule;
    const bool whole = WholePeriod(a);
    const int blocks = limits.mostOffBlocks;
    std::string h = Open("time");
    h += "<p class=\"note\">Time is counted in whole clock minutes, as the sponsors' log checking counts it: a minute "
         "in which a QSO was logged counts as on, one without as off (QSOs at 10:00 and 10:30 leave the 29 empty "
         "minutes 10:01 to 10:29). A break is a run of " + MinutesOff(a) + " between two QSOs";
    if (a.offThreshold != limits.shortestOffMinutes) {
        h += " (--off-time " + std::to_string(a.offThreshold) + "; the rules' own is " +
             std::to_string(limits.shortestOffMinutes) + " minutes)";
    }
    if (whole) {
        h += ". The rules require no off time: every entrant may operate the whole " +
             Hours(limits.mostOperatingMinutes) + "; the breaks show when no QSO was made.</p>";
    } else if (blocks >= kAnyNumberOfBlocks) {
        h += ". By the rules every break is off time, and so is the time before the first QSO and after the last.</p>";
    } else {
        h += ". By the rules the time before the first QSO and after the last is off time that takes no block; of "
             "the breaks between, the " + (blocks == 1 ? std::string("longest is") : std::to_string(blocks) + " longest are") +
             " the off time and every other break counts as operating time.</p>";
    }
    h += Chart(DrawTimeline(a, kWideChart), DrawTimeline(a, kNarrowChart));

    // Every off period and every gap a minute short of a break, in time order; those within a minute of the
    // shortest break flagged, where the rules count breaks.
    struct Row {
        long long from;
        std::string html;
        bool decides;
    };
    std::vector<Row> rows;
    long long offMinutes = 0, edgeMinutes = 0, blockMinutes = 0;
    size_t breaks = 0, blockCount = 0;
    const std::string nearly = "within a minute of the " + std::to_string(a.offThreshold) + "-minute break";
    for (size_t i = 0; i < a.off.size(); ++i) {
        const OffPeriod& p = a.off[i];
        const bool block = a.offBlock[i];
        offMinutes += p.Minutes();
        edgeMinutes += p.edge ? p.Minutes() : 0;
        blockMinutes += block ? p.Minutes() : 0;
        breaks += p.edge ? 0 : 1;
        blockCount += block ? 1 : 0;
        const bool flagged = !whole && !p.edge && WithinAMinute(p.Minutes(), a.offThreshold);
        std::string verdict = p.edge ? "<b>off time</b>, " + OffName(a, i)
                              : block ? std::string("<b>off time</b>")
                              : whole ? std::string("break")
                                      : std::string("operating time");
        if (flagged)
            verdict += " <span class=\"flag\">" + nearly + "</span>";
        rows.push_back({p.from,
                        "<tr>" + Td(std::string("<span class=\"sw ") + (p.edge || block ? "off" : "counted") +
                                    "\"></span>" + (p.edge ? std::string("-") : std::to_string(BreakNumber(a, i)))) +
                            Td(Time(p.from, "%a %H:%M"), "l t") + Td(Time(p.to - 1, "%a %H:%M"), "l t") +
                            Td(Duration(p.Minutes())) + Td(verdict, "l") + "</tr>",
                        p.edge || block || flagged});
    }
    if (!whole) {
        for (const OffPeriod& p : a.nearBreaks) {
            rows.push_back({p.from,
                            "<tr>" + Td("<span class=\"sw active\"></span>-") + Td(Time(p.from, "%a %H:%M"), "l t") +
                                Td(Time(p.to - 1, "%a %H:%M"), "l t") + Td(Duration(p.Minutes())) +
                                Td("operating time: no break <span class=\"flag\">" + nearly + "</span>", "l") +
                                "</tr>",
                            true});
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& x, const Row& y) { return x.from < y.from; });
    const std::string head = TableOpen() +
                             "<tr><th>Break</th><th class=\"l\">first empty minute (UTC)</th><th class=\"l\">last "
                             "empty minute</th><th>length</th><th class=\"l\">by the rules</th></tr>";
    std::string all, deciding;
    for (const Row& r : rows) {
        all += r.html;
        deciding += r.decides ? r.html : "";
    }
    if (rows.size() <= kMostBreakRows) {
        h += rows.empty() ? std::string() : head + all + kTableClose;
    } else {
        if (!deciding.empty())
            h += head + deciding + kTableClose;
        h += Folded("All " + Plural(breaks, "break", "breaks") + " and the time before the first QSO and after the "
                        "last, in time order",
                    head + all + kTableClose);
    }

    std::string offParts = Duration(edgeMinutes) + " before the first QSO and after the last";
    h += TableOpen() + "<tr><th class=\"l\"></th><th>time</th><th class=\"l\">off the air</th></tr><tr>" +
         Td("<span class=\"sw active\"></span><b>" + std::string(kActiveTime) + "</b><br/><span class=\"note\">" +
                ActiveMeaning(a) + "</span>",
            "l") +
         Td(Duration(a.activeMinutes)) +
         Td(Duration(offMinutes) + ": " + offParts + ", " + Duration(offMinutes - edgeMinutes) + " in " +
                Plural(breaks, "break", "breaks"),
            "l") +
         "</tr>";
    if (!whole) {
        h += "<tr>" +
             Td("<span class=\"sw active\"></span><span class=\"sw counted\"></span><b>" +
                    std::string(kOperatingTime) + "</b><br/><span class=\"note\">" + OperatingMeaning(a) + "</span>",
                "l") +
             Td("<b>" + Duration(a.operatingMinutes) + "</b>") +
             Td("<span class=\"sw off\"></span>" + Duration(edgeMinutes + blockMinutes) + ": " + offParts + ", " +
                    Duration(blockMinutes) + " in " + Plural(blockCount, "block", "blocks"),
                "l") +
             "</tr>";
    }
    h += kTableClose;

    const std::string most = Hours(limits.mostOperatingMinutes);
    if (whole) {
        h += "<p class=\"ok\">Within the rules on time: every entrant may operate the whole " + most + ".</p>";
    } else if (a.operatingMinutes > limits.mostOperatingMinutes) {
        h += "<p class=\"flag\">" + std::string(kOperatingTime) + " " + Duration(a.operatingMinutes) +
             ": more than the " + most + " every entrant may operate" + (a.multiOp ? ", MULTI-OP included" : "") +
             ". Its off time is " + Duration(a.endMinute - a.startMinute - a.operatingMinutes) + " of the " +
             Hours(limits.leastOffMinutes) + " the rules require. The sponsor's checking scores the first " + most +
             " of operating time: the " + Plural(a.qsosPastLimit, "counted QSO", "counted QSOs") + " from " +
             Time(a.limitEndMinute) + " on would not count.</p>";
    } else {
        h += "<p class=\"ok\">Within the rules on time: " + InText(kOperatingTime) + " " +
             Duration(a.operatingMinutes) + ", at most " + most + "; off time " +
             Duration(a.endMinute - a.startMinute - a.operatingMinutes) + ".</p>";
    }
    if (!whole && WithinAMinute(a.operatingMinutes, limits.mostOperatingMinutes)) {
        h += "<p class=\"flag\">Within a minute of the " + most + ": a QSO logged a minute earlier or later turns "
             "the verdict.</p>";
    }
    h += Rule(a.timeRule->operatingTime) + Rule(a.timeRule->offBlocks) + Rule(a.timeRule->shortestOff);
    return h + "</section>";
}

std::string BandChanges(const Analysis& a) {
    const int year = YearOf(a);
    const contest::BandChangeRule* rule = a.contest->BandChangeRuleOf(
        year, CategoryField(a, "CATEGORY-OPERATOR"), CategoryField(a, "CATEGORY-TRANSMITTER"));
    const int limit = rule ? rule->perClockHour : -1;
    // A limit on each transmitter apart is counted on each transmitter's own QSOs; where the log does not say
    // which transmitter made a QSO it cannot be applied, and the station's changes are shown unjudged.
    const bool apart = limit >= 0 && rule->perTransmitter;
    const bool perTransmitter = apart && a.qsosWithoutTransmitter == 0;
    const bool judged = limit >= 0 && (!apart || perTransmitter);
    HourChart c;
    c.title = "Band changes per clock hour";
    c.yLabel = "band changes";
    if (perTransmitter) {
        c.grouped = true;
        for (size_t k = 0; k < a.transmitters.size(); ++k)
            c.stacks.push_back({"transmitter " + std::to_string(a.transmitters[k]), kBandColours[k % 6], {}});
    } else {
        c.stacks.push_back({"band changes", kBandColours[0], {}});
    }
    int most = 0, total = 0;
    std::vector<std::pair<const HourRow*, std::string>> over;  // each hour over the limit, with its counts
    for (const HourRow& row : a.hours) {
        c.hours.push_back(row.hour);
        total += row.bandChanges;
        std::string counts;
        if (perTransmitter) {
            for (size_t k = 0; k < a.transmitters.size(); ++k) {
                const int n = row.transmitterBandChanges[k];
                c.stacks[k].values.push_back(n);
                most = std::max(most, n);
                if (n > limit)
                    counts += (counts.empty() ? "transmitter " : ", transmitter ") + std::to_string(a.transmitters[k]) +
                              ": " + std::to_string(n);
            }
        } else {
            c.stacks[0].values.push_back(row.bandChanges);
            most = std::max(most, row.bandChanges);
            if (judged && row.bandChanges > limit)
                counts = std::to_string(row.bandChanges);
        }
        if (!counts.empty())
            over.emplace_back(&row, counts);
    }
    if (judged) {
        c.limit = limit;
        c.limitName = "limit for " + std::string(rule->entry) + " entries" + (apart ? ", each transmitter" : "");
    }
    std::string h = Open("bands") +
                    "<p class=\"note\">A QSO on another band than the QSO before it is one change in its clock hour "
                    "(20m, 15m, 20m is two); every QSO the plug-in logged takes part" +
                    (perTransmitter ? ", each counted after the QSO before it of the same transmitter" : "") +
                    ".</p>" + Chart(c);
    h += "<p>Most in one hour" + std::string(perTransmitter ? " on one transmitter" : "") + ": " +
         std::to_string(most) + "; in all: " + std::to_string(total) + ".</p>";
    const std::vector<const contest::BandChangeRule*> rules = a.contest->BandChangeRulesOf(year);
    const std::string limitOf = limit < 0 ? std::string()
                                          : "the " + std::to_string(year) + " limit for " +
                                                (apart ? "each transmitter of " : "") + rule->entry + " entries";
    if (apart && !perTransmitter) {
        h += "<p class=\"note\">The log does not say which transmitter made each QSO (" +
             Plural(a.qsosWithoutTransmitter, "QSO names", "QSOs name") +
             " none), so its band changes could not be counted per transmitter as " + limitOf + " (" +
             std::to_string(limit) + ") counts them; the chart shows the station's changes together, and no hour "
             "is judged.</p>";
    } else if (judged && over.empty()) {
        h += "<p class=\"ok\">No hour has more than " + std::to_string(limit) + " band changes" +
             (perTransmitter ? " on any transmitter" : "") + ", " + limitOf + ".</p>";
    } else if (judged) {
        h += "<p class=\"flag\">More than " + std::to_string(limit) + " band changes, " + limitOf + ", in " +
             Plural(over.size(), "hour", "hours") + ":";
        for (const auto& [row, counts] : over)
            h += " " + Time(row->hour * 60, "%a %H:00") + " (" + counts + ")";
        h += "</p>";
    } else {
        std::string limits;
        for (const contest::BandChangeRule* r : rules) {
            if (r->perClockHour >= 0)
                limits += (limits.empty() ? "" : "; ") + std::string(r->entry) + " " + std::to_string(r->perClockHour);
        }
        h += "<p class=\"note\">" +
             Esc((rule ? "No band-change limit binds " + std::string(rule->entry) + " entries"
                       : "No band-change limit binds this entry") +
                 " in " + std::to_string(year) + (limits.empty() ? "" : "; the limits per clock hour are for " + limits) +
                 ".") +
             "</p>";
    }
    for (const contest::BandChangeRule* r : rules)
        h += Rule(r->text);
    return h + "</section>";
}

std::string QsoWhen(const QsoRef& q) {
    return Time(q.minute) + " " + q.band + " " + q.call + ", line " + std::to_string(q.line);
}

// Lists longer than this are folded on the screen (and printed open).
constexpr size_t kMostListRows = 20;

// Where each multiplier of a kind counted once per band was first worked on each band.
using FirstOnBand = std::map<std::pair<std::string, std::string>, const FirstQso*>;  // (code, band)
FirstOnBand FirstOnEachBand(const std::vector<FirstQso>& worked) {
    FirstOnBand first;
    for (const FirstQso& f : worked)
        first.emplace(std::make_pair(f.code, f.qso.band), &f);
    return first;
}

std::string GridCell(const FirstOnBand& first, const std::string& code, const std::string& band) {
    auto f = first.find({code, band});
    return f == first.end() ? "<td class=\"g0\"></td>"
                            : "<td class=\"g1\" title=\"" + Esc(QsoWhen(f->second->qso)) + "\">&#10003;</td>";
}

// The multipliers of a kind counted once per band, a band a row and a multiplier a column: worked ones filled,
// with each band's count and what is still needed on every band.
std::string BandGrid(const Analysis& a, const std::vector<FirstQso>& worked, const std::vector<std::string>& codes,
                     const std::string& title) {
    const FirstOnBand first = FirstOnEachBand(worked);
    std::string h = TableOpen(" class=\"grid\"") + "<tr><th class=\"l\">band</th>";
    for (const std::string& code : codes)
        h += "<th>" + Esc(code) + "</th>";
    h += "<th>worked</th></tr>";
    size_t total = 0;
    std::string needed;
    for (const std::string& band : a.bands) {
        h += "<tr><th class=\"l\">" + Esc(band) + "</th>";
        size_t n = 0;
        for (const std::string& code : codes) {
            h += GridCell(first, code, band);
            n += first.count({code, band});
        }
        total += n;
        h += Td(std::to_string(n) + " of " + std::to_string(codes.size())) + "</tr>";
    }
    for (const std::string& code : codes) {
        if (std::none_of(a.bands.begin(), a.bands.end(), [&](const std::string& b) { return first.count({code, b}); }))
            needed += (needed.empty() ? "" : " ") + code;
    }
    return "<h3>" + Esc(title) + ": " + Num(static_cast<long long>(total)) + " over the bands</h3>" + h + kTableClose +
           "<p>Worked on no band: <b>" + (needed.empty() ? std::string("none") : Esc(needed)) + "</b></p>";
}

// The countries worked, a country a row and a band a column.
std::string CountryGrid(const Analysis& a, const std::vector<FirstQso>& worked) {
    const FirstOnBand first = FirstOnEachBand(worked);
    std::map<std::string, std::string> names;  // prefix -> entity, sorted by prefix
    for (const FirstQso& f : worked)
        names.emplace(f.code, f.name);
    std::string h = "<h3>Countries by band: " + Num(static_cast<long long>(worked.size())) + " over the bands, " +
                    Num(static_cast<long long>(names.size())) + " countries</h3>" + TableOpen(" class=\"grid\"") +
                    "<tr><th class=\"l\">prefix</th><th class=\"l\">country</th>";
    for (const std::string& band : a.bands)
        h += "<th>" + Esc(band) + "</th>";
    h += "<th>bands</th></tr>";
    for (const auto& [code, name] : names) {
        h += "<tr><th class=\"l\">" + Esc(code) + "</th>" + Td(Esc(name), "l");
        size_t n = 0;
        for (const std::string& band : a.bands) {
            h += GridCell(first, code, band);
            n += first.count({code, band});
        }
        h += Td(std::to_string(n)) + "</tr>";
    }
    return h + kTableClose;
}

// The multipliers each with its first QSO.
std::string FirstQsoList(const std::vector<FirstQso>& list, const std::string& heading, const char* code,
                         bool names) {
    std::string h = "<h3>" + Esc(heading) + "</h3>";
    if (list.empty())
        return h + "<p>none</p>";
    std::string t = TableOpen() + "<tr><th>#</th><th class=\"l\">" + code + "</th>" +
                    (names ? "<th class=\"l\">entity</th>" : "") +
                    "<th class=\"l\">first QSO (UTC)</th><th class=\"l\">band</th><th class=\"l\">call</th>"
                    "<th>line</th></tr>";
    for (size_t i = 0; i < list.size(); ++i) {
        const FirstQso& f = list[i];
        t += "<tr>" + Td(std::to_string(i + 1)) + Td(Esc(f.code), "l") + (names ? Td(Esc(f.name), "l") : "") +
             Td(Time(f.qso.minute), "l") + Td(Esc(f.qso.band), "l") + Td(Esc(f.qso.call), "l") +
             Td(std::to_string(f.qso.line)) + "</tr>";
    }
    t += kTableClose;
    return h + (list.size() > kMostListRows ? Folded("The " + Num(static_cast<long long>(list.size())) +
                                                         ", each with its first QSO",
                                                     t)
                                            : t);
}

// The location multipliers of a contest that counts each once, as cells: worked, or still needed.
std::string LocationCells(const Analysis& a) {
    std::string h;
    const std::vector<FirstQso>& locations = WorkedOf(a, Of::location);
    for (const contest::LocationCountry& country : a.contest->LocationCountries()) {
        const std::vector<std::string>& codes = a.contest->LocationMultipliers(country.prefix);
        std::vector<std::string> needed;
        std::string cells;
        for (const std::string& code : codes) {
            auto first = std::find_if(locations.begin(), locations.end(),
                                      [&](const FirstQso& f) { return f.code == code; });
            if (first == locations.end()) {
                needed.push_back(code);
                cells += "<div class=\"cell needed\">" + Esc(code) + "</div>";
            } else {
                cells += "<div class=\"cell worked\" title=\"" + Esc(QsoWhen(first->qso)) + "\">" + Esc(code) +
                         "</div>";
            }
        }
        h += std::string("<h3>") + country.locations + ": " + std::to_string(codes.size() - needed.size()) + " of " +
             std::to_string(codes.size()) + "</h3>";
        h += "<div class=\"cells\">" + cells + "</div>";
        std::string list;
        for (const std::string& code : needed)
            list += (list.empty() ? "" : " ") + code;
        h += "<p>Still needed: <b>" + (list.empty() ? std::string("none") : Esc(list)) + "</b></p>";
    }
    return h;
}

std::string Multipliers(const Analysis& a) {
    std::string h = Open("multipliers");
    const std::vector<contest::MultiplierKind>& kinds = a.contest->MultiplierKinds();
    const bool perBand = std::any_of(kinds.begin(), kinds.end(), [](const auto& k) { return k.perBand; });
    if (perBand) {
        h += "<p>" + MultiplierSum(a) + ", each counted once per band: band by band below, the cells worked filled "
             "(a tip names the first QSO).</p>";
        for (size_t k = 0; k < kinds.size() && k < a.worked.size(); ++k) {
            if (!kinds[k].perBand)
                continue;
            if (kinds[k].of == Of::zone) {
                constexpr int kZones = 40;
                std::vector<std::string> codes;
                for (int zone = 1; zone <= kZones; ++zone)
                    codes.push_back(text::Format("%02d", zone));
                h += BandGrid(a, a.worked[k], codes, "CQ zones by band");
            } else if (kinds[k].of == Of::location) {
                for (const contest::LocationCountry& country : a.contest->LocationCountries())
                    h += BandGrid(a, a.worked[k], a.contest->LocationMultipliers(country.prefix),
                                  std::string(country.locations) + " by band");
            } else if (kinds[k].of == Of::country) {
                h += CountryGrid(a, a.worked[k]);
            }
        }
    } else if (a.contest->Counts(Of::location)) {
        h += "<p>" + Num(MultipliersOf(a, Of::location)) + " states and provinces, " +
             Num(MultipliersOf(a, Of::country)) +
             " DXCC entities. Worked cells are filled; the ones still needed are outlined in red.</p>" + LocationCells(a);
    } else {
        h += "<p>" + MultiplierSum(a) + ", each counted once.</p>";
    }
    if (a.noMultiplierStateQsos) {
        h += "<p>" + Plural(a.noMultiplierStateQsos, "QSO", "QSOs") +
             " with W/VE stations sending a state that is no multiplier (Alaska or Hawaii): counted as QSOs, "
             "no multiplier.</p>";
    }
    h += Rule(a.contest->multiplierRules);
    if (!perBand && a.contest->Counts(Of::country)) {
        h += FirstQsoList(WorkedOf(a, Of::country), "DXCC entities (the USA and Canada count by state and province)",
                          "prefix", true);
    }
    if (a.contest->Counts(Of::callPrefix))
        h += FirstQsoList(WorkedOf(a, Of::callPrefix), "Prefixes, each counted once", "prefix", false);

    // One stack per kind: locations, countries, zones, call prefixes.
    HourChart c;
    c.title = "New multipliers per clock hour, and the running total";
    c.yLabel = "new multipliers";
    c.lineName = "total multipliers";
    const size_t colours[] = {0, 2, 4, 1};
    std::vector<size_t> stackKinds;
    for (Of of : {Of::location, Of::country, Of::zone, Of::callPrefix}) {
        for (size_t k = 0; k < kinds.size(); ++k) {
            if (kinds[k].of != of) continue;
            c.stacks.push_back({kinds[k].many, kBandColours[colours[std::min<size_t>(c.stacks.size(), 3)]], {}});
            stackKinds.push_back(k);
        }
    }
    for (const HourRow& row : a.hours) {
        c.hours.push_back(row.hour);
        for (size_t s = 0; s < stackKinds.size(); ++s)
            c.stacks[s].values.push_back(row.newMultipliers[stackKinds[s]]);
        c.line.push_back(row.cumulativeMultipliers);
    }
    return h + "<h3>New multipliers per hour</h3>" + Chart(c) + "</section>";
}

// The doubtful QSOs shown open, the most at risk; the others are folded.
constexpr size_t kMostDoubtfulRows = 10;

// A multiplier at risk as the page names it: "zone 33 on 40m", "IG9 (African Italy) on 40m", "NY".
std::string AtRiskName(const Analysis& a, const AtRisk& r) {
    const contest::MultiplierKind& kind = a.contest->MultiplierKinds()[r.kind];
    const std::string name = kind.of == Of::zone                          ? std::string(kind.one) + " " + r.code
                             : kind.of == Of::country && !r.entity.empty() ? r.code + " (" + r.entity + ")"
                                                                           : r.code;
    return name + (r.band.empty() ? "" : " on " + r.band);
}

std::string DoubtfulTable(const Analysis& a) {
    const Doubtful& d = a.doubtful;
    const long long score = a.pluginScore ? *a.pluginScore : a.score;
    std::string h = "<h3>Doubtful QSOs, the most at risk first: " + Num(static_cast<long long>(d.qsos.size())) +
                    " of " + Num(static_cast<long long>(a.counted)) + " counted</h3>";
    if (d.qsos.empty())
        return h + "<p>none</p>";
    h += "<p class=\"risk\">Score at risk: " + Num(score) +
         " now, " + Num(d.scoreIfLost) + " if every doubtful QSO were lost (" + Num(d.scoreIfLost - score) + "; " +
         Plural(d.multipliersAtRisk, "multiplier rests", "multipliers rest") + " on them alone).</p>";
    h += "<p class=\"note\">A QSO that alone gives a multiplier comes first, then one whose multiplier rests on "
         "doubtful QSOs alone, then QSOs that carry their points; \"at risk\" names every multiplier lost with the "
         "QSO, \"if lost\" is what the score loses with that QSO alone.</p>";
    const std::string head = TableOpen() + "<tr><th>#</th><th class=\"l\">QSO (UTC)</th><th class=\"l\">at "
                                           "risk</th><th>if lost</th><th class=\"l\">why</th></tr>";
    std::string shown, folded;
    for (size_t i = 0; i < d.qsos.size(); ++i) {
        const DoubtfulQso& q = d.qsos[i];
        std::string why;
        for (const std::string& w : q.why)
            why += (why.empty() ? "" : "; ") + w;
        std::string risk;
        for (const AtRisk& r : q.atRisk) {
            risk += (risk.empty() ? "" : "<br/>") + ("<b>" + Esc(AtRiskName(a, r)) + "</b>: ") +
                    (r.soleQso ? std::string("the only QSO that gives it")
                               : "rests on " + std::to_string(r.restsOn) + " doubtful QSOs alone");
        }
        const std::string qso = "<span class=\"qso\"><b>" + Esc(q.qso.call) + "</b> " + Esc(q.qso.band) + "<br/>" +
                                Time(q.qso.minute, "%a %H:%M") + ", line " + std::to_string(q.qso.line) + ", " +
                                Esc(q.qso.exchange) + "</span>";
        (i < kMostDoubtfulRows ? shown : folded) +=
            std::string("<tr") + (q.atRisk.empty() ? "" : " class=\"risk\"") + ">" + Td(std::to_string(i + 1)) +
            Td(qso, "l") + Td(risk.empty() ? std::string("its points") : risk, "l") + Td(Num(-q.costIfLost)) +
            Td(Esc(why), "l") + "</tr>";
    }
    h += head + shown + kTableClose;
    if (!folded.empty()) {
        h += Folded("The other " + Num(static_cast<long long>(d.qsos.size() - kMostDoubtfulRows)) + " doubtful QSOs",
                    head + folded + kTableClose);
    }
    return h;
}

std::string ZoneList(const std::vector<int>& zones) {
    std::string list;
    for (size_t i = 0; i < zones.size(); ++i)
        list += (i == 0 ? "" : i + 1 == zones.size() ? " or " : ", ") + text::Format("%02d", zones[i]);
    return (zones.size() == 1 ? "zone " : "zones ") + list;
}

std::string UnlikelyExchangeTable(const Analysis& a) {
    const bool zones = CountsZones(a);
    std::string h = "<h3>Exchanges unlikely for the call</h3><p class=\"note\">Counted QSOs whose exchange is "
                    "unlikely for the call. ";
    if (!a.contest->LocationCountries().empty()) {
        h += std::string("A state or province from a station of another country: a US call sends a US state, a "
                         "Canadian call a Canadian province, a DX call ") +
             (zones ? "its zone alone. " : "a serial number. ");
    }
    if (zones) {
        h += "A zone the call's country never has by the country file, which gives each country's zone and those "
             "some of its prefixes and calls carry; a zone other than the file's own entry for the call gives; a "
             "zone the W/VE QTH sent with it does not lie in. Where a country spans several zones (the USA, Canada, "
             "Russia, ...) the file cannot say where a station lives, so there only its QTH judges the zone; a "
             "maritime mobile station is not judged. ";
    }
    h += "The plug-in counts them (the other station may have been portable); what each puts at risk is in the "
         "table above.</p>";
    if (a.unlikely.empty())
        return h + "<p>none</p>";
    h += TableOpen() + "<tr><th>line</th><th class=\"l\">call</th><th class=\"l\">time (UTC)</th><th "
                       "class=\"l\">band</th><th class=\"l\">exchange</th><th class=\"l\">what the call "
                       "suggests</th></tr>";
    for (const UnlikelyExchange& u : a.unlikely) {
        const std::string prefix = u.prefix + (u.entity.empty() ? "" : " (" + u.entity + ")");
        std::string what, suggests;
        switch (u.zoneBasis) {
        case ZoneBasis::none: {
            what = u.qso.exchange + " (" + a.contest->LocationCountries()[u.country].one + ")";
            suggests = zones ? "its zone alone" : "a serial number";
            for (const contest::LocationCountry& country : a.contest->LocationCountries()) {
                if (u.prefix == country.prefix)
                    suggests = country.one;
            }
            suggests = prefix + ": " + suggests;
            break;
        }
        case ZoneBasis::country:
            what = u.qso.exchange + " (zone " + u.code + ")";
            suggests = prefix + ": " + ZoneList(u.zones) + ", by the country file";
            break;
        case ZoneBasis::call:
            what = u.qso.exchange + " (zone " + u.code + ")";
            suggests = "the country file's own entry for " + u.qso.call + ": " + ZoneList(u.zones);
            break;
        case ZoneBasis::qth:
            what = u.qso.exchange + " (zone " + u.code + ")";
            suggests = u.qth + " lies in " + ZoneList(u.zones);
            break;
        }
        h += "<tr>" + Td(std::to_string(u.qso.line)) + Td(Esc(u.qso.call), "l") + Td(Time(u.qso.minute), "l") +
             Td(Esc(u.qso.band), "l") + Td(Esc(what), "l") + Td(Esc(suggests), "l") + "</tr>";
    }
    return h + kTableClose;
}

std::string CallsToCheck(const Analysis& a) {
    const bool zones = CountsZones(a);
    const std::string different = zones ? "different zones or QTHs" : "different states or provinces";
    std::string h = Open("check") +
                    "<p class=\"note\">Counted QSOs a log check may take away: calls worked once that the call "
                    "list does not know, exchanges unlikely for the call, stations logged with " + different + ".</p>";
    if (!a.scpChecked)
        h += "<p class=\"flag\">Calls worked once not checked: " + Esc(a.scpNote) + ".</p>";
    h += DoubtfulTable(a) + UnlikelyExchangeTable(a);
    h += "<h3>Stations logged with " + different + "</h3>";
    if (a.conflicts.empty())
        return h + "<p>none</p></section>";
    h += TableOpen() + "<tr><th class=\"l\">call</th><th class=\"l\">QSOs: line, band, time (UTC), exchange</th></tr>";
    for (const ExchangeConflict& c : a.conflicts) {
        std::string qsos;
        for (const QsoRef& q : c.qsos) {
            qsos += (qsos.empty() ? "" : "<br/>") +
                    Esc("line " + std::to_string(q.line) + ": " + q.band + " " + Time(q.minute) + " " + q.exchange);
        }
        h += "<tr>" + Td("<b>" + Esc(c.call) + "</b>: " + Esc(c.what), "l") + Td(qsos, "l") + "</tr>";
    }
    return h + kTableClose + "</section>";
}

// --- stations side by side ---------------------------------------------------------------------------------

// The own station and the three others at most, told apart in colour-blind eyes too; no green, no orange.
const char* const kStationColours[] = {"#0072B2", "#CC79A7", "#444444", "#56B4E9"};

std::string StationName(const Analysis& a) {
    return a.ownCall.empty() ? a.logName : a.ownCall;
}

std::string BestText(const BestWindow& w, int width) {
    if (w.qsos == 0)
        return "-";
    return Num(w.qsos) + " (" + Num(w.qsos * 60 / width) + " per hour) from " + Time(w.startMinute, "%a %H:%M");
}

std::string MultiplierList(const contest::Record& contest, const std::vector<FirstQso>& list, const std::string& who,
                           const std::string& whoNot) {
    std::string h = "<h4>" + Esc("Worked by " + who + ", not by " + whoNot) + ": " +
                    Num(static_cast<long long>(list.size())) + "</h4>";
    if (list.empty())
        return h;
    std::string t = TableOpen() + "<tr><th class=\"l\">multiplier</th><th class=\"l\">entity</th><th class=\"l\">first QSO "
                       "(UTC)</th><th class=\"l\">band</th><th class=\"l\">call</th></tr>";
    for (const FirstQso& f : list) {
        // A location multiplier is named by its country's kind of location; a DXCC entity by its name.
        const char* kind = contest.LocationCountries().empty() ? "" : contest.LocationCountries().back().kind;
        for (const contest::LocationCountry& country : contest.LocationCountries()) {
            const std::vector<std::string>& codes = contest.LocationMultipliers(country.prefix);
            if (std::find(codes.begin(), codes.end(), f.code) != codes.end()) {
                kind = country.kind;
                break;
            }
        }
        t += "<tr>" + Td(Esc(f.code), "l") + Td(Esc(f.name.empty() ? std::string(kind) : f.name), "l") +
             Td(Time(f.qso.minute), "l") + Td(Esc(f.qso.band), "l") + Td(Esc(f.qso.call), "l") + "</tr>";
    }
    t += kTableClose;
    return h + (list.size() > kMostListRows ? Folded("The " + Num(static_cast<long long>(list.size())) + ", each with its "
                                                     "first QSO", t)
                                            : t);
}

std::string CallList(const std::vector<std::string>& calls, const std::string& who, const std::string& whoNot) {
    std::string list;
    for (const std::string& call : calls)
        list += (list.empty() ? "" : " ") + call;
    return Folded(Esc(who + " worked " + Plural(calls.size(), "station", "stations") + " " + whoNot + " did not"),
                  "<p class=\"calls\">" + (list.empty() ? std::string("none") : Esc(list)) + "</p>");
}

std::string SideBySide(const Analysis& own, const Comparison& compared) {
    if (compared.stations.empty() && compared.leftOut.empty())
        return "";
    std::string h = Open("compare");
    for (const LeftOut& l : compared.leftOut)
        h += "<p class=\"flag\">Left out: " + Esc(l.path) + ": " + Esc(l.reason) + ".</p>";
    if (compared.stations.empty())
        return h + "</section>";
    std::vector<const Analysis*> all{&own};
    for (const Analysis& a : compared.stations)
        all.push_back(&a);
    h += "<p class=\"note\">Each log replayed through the plug-in the same way: every number is the plug-in's. " +
         Esc(std::string(kActiveTime) + ": " + ActiveMeaning(own) + "; " + InText(kOperatingTime) + ": " +
             (WholePeriod(own) ? std::string("not limited") : OperatingMeaning(own)) + ".") +
         "</p>";

    // The figures, one column per station.
    h += TableOpen() + "<tr><th class=\"l\"></th>";
    for (size_t i = 0; i < all.size(); ++i) {
        h += "<th class=\"l\"><span style=\"color:" + std::string(kStationColours[i]) + "\">&#9632;</span> " +
             Esc(StationName(*all[i])) + "</th>";
    }
    h += "</tr>";
    auto row = [&](const std::string& name, auto value) {
        h += "<tr><th class=\"l\">" + Esc(name) + "</th>";
        for (const Analysis* a : all)
            h += value(*a);
        h += "</tr>";
    };
    row("Log", [](const Analysis& a) { return Td(Esc(a.logName), "l"); });
    std::vector<std::string> fields;
    for (const Analysis* a : all) {
        for (const auto& f : a->category) {
            if (std::find(fields.begin(), fields.end(), f.first) == fields.end())
                fields.push_back(f.first);
        }
    }
    for (const std::string& field : fields) {
        row(field, [&](const Analysis& a) {
            auto f = std::find_if(a.category.begin(), a.category.end(), [&](const auto& c) { return c.first == field; });
            return Td(f == a.category.end() ? std::string() : Esc(f->second), "l");
        });
    }
    row("QSOs", [](const Analysis& a) { return Td(Num(static_cast<long long>(a.counted))); });
    row("Multipliers", [](const Analysis& a) {
        return Td(MultiplierSum(a));
    });
    row("Score", [](const Analysis& a) { return Td("<b>" + Num(a.pluginScore ? *a.pluginScore : a.score) + "</b>"); });
    row(kActiveTime, [](const Analysis& a) { return Td(Duration(a.activeMinutes)); });
    row("Average per hour of " + InText(kActiveTime),
        [](const Analysis& a) { return Td(PerHour(DrawnQsos(a), a.activeMinutes)); });
    row(kOperatingTime, [](const Analysis& a) { return WholePeriod(a) ? Td("not limited") : OperatingCell(a); });
    row("Average per hour of " + InText(kOperatingTime), [](const Analysis& a) {
        return Td(WholePeriod(a) ? std::string("-") : PerHour(DrawnQsos(a), a.operatingMinutes));
    });
    row("Best 60 minutes", [](const Analysis& a) { return Td(BestText(a.best60, 60)); });
    row("Best 10 minutes", [](const Analysis& a) { return Td(BestText(a.best10, 10)); });
    h += kTableClose;
    for (const Analysis* a : all) {
        if (a->startMinute != own.startMinute) {
            h += "<p class=\"note\">" +
                 Esc(StationName(*a) + "'s contest period starts " + Time(a->startMinute) +
                     ": its hours stand beside the same hours of the contest.") +
                 "</p>";
        }
    }

    // The running totals and the hours, hour by hour of the contest.
    HourChart totals, hours;
    totals.title = "Running total of QSOs, every station";
    totals.yLabel = "QSOs";
    hours.title = "QSOs per clock hour, side by side";
    hours.yLabel = "QSOs per hour";
    hours.grouped = true;
    for (const HourRow& r : own.hours) {
        totals.hours.push_back(r.hour);
        hours.hours.push_back(r.hour);
    }
    for (size_t i = 0; i < all.size(); ++i) {
        Series total{StationName(*all[i]), kStationColours[i], {}}, perHour = total;
        for (size_t k = 0; k < own.hours.size(); ++k) {
            const bool has = k < all[i]->hours.size();
            total.values.push_back(has                     ? all[i]->hours[k].cumulative
                                   : all[i]->hours.empty() ? 0
                                                           : all[i]->hours.back().cumulative);
            perHour.values.push_back(has ? all[i]->hours[k].qsos : 0);
        }
        totals.lines.push_back(total);
        hours.stacks.push_back(perHour);
    }
    h += "<h3>Running total</h3>" + Chart(totals) + "<h3>QSOs per hour</h3>" +
         Chart(hours);

    // Bands.
    h += "<h3>By band</h3>" + TableOpen() + "<tr><th class=\"l\" rowspan=\"2\">band</th>";
    for (const Analysis* a : all)
        h += "<th colspan=\"2\">" + Esc(StationName(*a)) + "</th>";
    h += "</tr><tr>";
    for (size_t i = 0; i < all.size(); ++i)
        h += "<th>QSOs</th><th>new mults</th>";
    h += "</tr>";
    for (size_t b = 0; b < own.bands.size(); ++b) {
        h += "<tr>" + Td(Esc(own.bands[b]), "l");
        for (const Analysis* a : all) {
            const bool has = b < a->bandQsos.size();
            h += Td(Num(has ? a->bandQsos[b] : 0)) + Td(Num(has ? a->bandNewMultipliers[b] : 0));
        }
        h += "</tr>";
    }
    h += "<tr class=\"total\">" + Td("Total", "l");
    for (const Analysis* a : all) {
        h += Td(Num(static_cast<long long>(a->counted))) +
             Td(Num(TotalMultipliers(*a)));
    }
    h += "</tr>" + std::string(kTableClose) +
         "<p class=\"note\">New mults: the multipliers first worked on the band (each counts once per "
         "contest).</p>";

    // What each worked that the own station did not, and the other way round.
    const std::string me = StationName(own);
    for (const Analysis& other : compared.stations) {
        const std::string them = StationName(other);
        const Differences d = Compare(own, other);
        h += "<h3>" + Esc(me + " and " + them) + "</h3>";
        h += MultiplierList(*own.contest, d.onlySecond, them, me) + MultiplierList(*own.contest, d.onlyFirst, me, them);
        h += CallList(d.callsOnlyFirst, me, them) + CallList(d.callsOnlySecond, them, me);
    }
    return h + "</section>";
}

}  // namespace

std::string AnalysisPage(const Analysis& a, const Comparison& compared) {
    const bool side = !compared.stations.empty() || !compared.leftOut.empty();
    std::string h =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"/>"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/><title>" +
        Esc(std::string(a.contest->name) + " analysis: " + a.ownCall) + "</title><style>" + kStyle +
        "</style></head>\n<body>";
    h += "<h1>" + Esc(std::string(a.contest->name) + " " + Time(a.startMinute, "%Y") + ": " + a.ownCall) + "</h1>";
    h += "<p class=\"note\">After the contest: " + Esc(a.logName) +
         " scored by the " + Esc(a.pluginName) +
         " plug-in; every number below counts the QSOs as the plug-in took them.</p>\n";
    if (!compared.stations.empty()) {
        std::string others;
        for (const Analysis& other : compared.stations)
            others += (others.empty() ? "" : ", ") + StationName(other);
        h += "<p class=\"note\">" + Esc("Set beside " + others) + " in " + LinkTo("compare") + ".</p>\n";
    }
    h += Contents(side) + "\n";
    h += Summary(a) + "\n" + NotCounted(a) + "\n" + RateGraph(a) + "\n" + HourTable(a) + "\n" + Breakdown(a) + "\n" +
         BestRates(a) + "\n" + TimeOnOff(a) + "\n" + BandChanges(a) + "\n" + Multipliers(a) + "\n" + CallsToCheck(a) +
         "\n" + SideBySide(a, compared);
    return h + "</body></html>\n";
}

}  // namespace replay
