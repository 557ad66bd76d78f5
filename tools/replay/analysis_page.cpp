// The analysis page as HTML: well-formed XML throughout (every element closed, only the XML entities), so the
// page and each of its SVG pictures can be checked by an XML parser; UTF-8, whatever bytes the log held.
#include <algorithm>
#include <cmath>
#include <set>

#include "analysis.h"
#include "chart_kit.h"
#include "common/text.h"
#include "contest_dates.h"

namespace replay {

namespace {

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
    "h4{font-size:13px;margin:10px 0 4px}summary{cursor:pointer;margin:4px 0}.calls{font-size:12px}"
    ".flag{color:#b00020;font-weight:bold}"
    ".ok{color:#1b5e20}"
    ".note{color:#555;font-size:13px}"
    ".rule{color:#333;font-size:12px;font-style:italic;border-left:3px solid #bbb;padding-left:6px}"
    ".cells{display:flex;flex-wrap:wrap;gap:3px;margin:4px 0 8px}"
    ".cell{width:38px;height:22px;line-height:22px;text-align:center;font-size:12px;font-weight:bold;"
    "border-radius:3px}"
    ".worked{background:#009E73;color:#fff;border:2px solid #009E73}"
    ".needed{background:#fff;color:#b00020;border:2px dashed #b00020}"
    "svg{display:block;width:100%;height:auto;margin:4px 0}"
    "@media print{body{margin:0;max-width:none}h2,h3{break-after:avoid}svg,tr,.cells{break-inside:avoid}"
    "*{-webkit-print-color-adjust:exact;print-color-adjust:exact}}";

// The multipliers by kind and their sum, as the contest counts them: "12 states/provinces + 30 DXCC = 42", or
// for a contest with zones "40 zones + 41 countries + 25 QTHs = 106" (each counted per band where it is).
int TotalMultipliers(const Analysis& a) { return a.stateProvMultipliers + a.dxccMultipliers + a.zoneMultipliers; }
std::string MultiplierSum(const Analysis& a) {
    bool zones = false;
    for (const contest::MultiplierKind& kind : a.contest->MultiplierKinds())
        zones = zones || kind.of == contest::MultiplierKind::Of::zone;
    if (!zones)
        return Num(a.stateProvMultipliers) + " states/provinces + " + Num(a.dxccMultipliers) + " DXCC = " +
               Num(TotalMultipliers(a));
    return Num(a.zoneMultipliers) + " zones + " + Num(a.dxccMultipliers) + " countries + " +
           Num(a.stateProvMultipliers) + " QTHs = " + Num(TotalMultipliers(a));
}

std::string Td(const std::string& s, const char* cls = nullptr) {
    return cls ? std::string("<td class=\"") + cls + "\">" + s + "</td>" : "<td>" + s + "</td>";
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

    h += "<table><tr><th class=\"l\"></th><th>QSOs</th><th>Multipliers</th><th>Score</th></tr>";
    h += "<tr><td class=\"l\">Plug-in</td>" + Td(Num(static_cast<long long>(a.counted))) + Td(MultiplierSum(a)) +
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
        h += "<li>" + Plural(r.second, "QSO", "QSOs") + " refused by the plug-in: " + Esc(r.first) + "</li>";
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
    if (!a.unlikely.empty()) {
        std::set<std::string> alone;
        for (const UnlikelyExchange& u : a.unlikely) {
            if (u.onlyFrom > 0)
                alone.insert(u.multiplier);
        }
        h += std::string("<p") + (alone.empty() ? "" : " class=\"flag\"") + ">" +
             Plural(a.unlikely.size(), "counted QSO carries", "counted QSOs carry") +
             " a state or province unlikely for the call";
        if (!alone.empty())
            h += "; " + Plural(alone.size(), "multiplier rests", "multipliers rest") + " on such QSOs alone";
        h += ": see 8. Calls to double-check.</p>";
    }
    if (a.pluginScore && *a.pluginScore != a.score) {
        h += "<p class=\"flag\">The plug-in's score " + Num(*a.pluginScore) + " is not the " +
             Num(static_cast<long long>(a.counted)) + " QSOs x " + Num(TotalMultipliers(a)) +
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

// The rule a verdict applies, its words quoted where they are the rules' own.
std::string Rule(const char* words) {
    return "<p class=\"rule\">Rule: " + Esc(words) + "</p>";
}

// The off periods that count as the rules' blocks: the longest ones, as many as the rules allow.
std::vector<bool> RulesBlocks(const std::vector<OffPeriod>& off, int mostOffBlocks) {
    std::vector<size_t> order(off.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t x, size_t y) { return off[x].Minutes() > off[y].Minutes(); });
    std::vector<bool> block(off.size(), false);
    for (size_t i = 0; i < order.size() && i < static_cast<size_t>(mostOffBlocks); ++i)
        block[order[i]] = true;
    return block;
}

std::string TimeOnOff(const Analysis& a) {
    const contest::OperatingLimits& limits = a.contest->limits;
    std::string h = "<section id=\"time\"><h2>5. Time on and off</h2>";
    h += "<p class=\"note\">A gap of " + std::to_string(a.offThreshold) +
         " minutes or more between two QSOs in a row (or between the start and the first QSO, or the last QSO "
         "and the end) is a break";
    if (a.offThreshold != limits.shortestOffMinutes) {
        h += " (--off-time " + std::to_string(a.offThreshold) + "; the rules' own is " +
             std::to_string(limits.shortestOffMinutes) + " minutes)";
    }
    if (limits.mostOffBlocks > 0) {
        h += ". By the rules the " + std::to_string(limits.mostOffBlocks) +
             " longest breaks are the off time and every other break counts as operating time.</p>";
    } else {
        h += ". The rules require no off time: every break counts as operating time.</p>";
    }
    h += DrawTimeline(a);
    const std::vector<bool> blocks = RulesBlocks(a.off, limits.mostOffBlocks);
    long long offMinutes = 0, blockMinutes = 0;
    if (!a.off.empty()) {
        h += "<table><tr><th>Break</th><th class=\"l\">from</th><th class=\"l\">to</th><th>length</th>"
             "<th class=\"l\">by the rules</th></tr>";
        for (size_t i = 0; i < a.off.size(); ++i) {
            offMinutes += a.off[i].Minutes();
            blockMinutes += blocks[i] ? a.off[i].Minutes() : 0;
            h += "<tr>" + Td(std::to_string(i + 1)) + Td(Time(a.off[i].from), "l") + Td(Time(a.off[i].to), "l") +
                 Td(Duration(a.off[i].Minutes())) +
                 Td(blocks[i] ? "<b>off time</b>" : std::string("operating time"), "l") + "</tr>";
        }
        h += "</table>";
    }
    h += "<table><tr><th class=\"l\"></th><th>on the air</th><th>off</th></tr><tr>" +
         Td("With every break of " + std::to_string(a.offThreshold) + " minutes or more", "l") +
         Td(Duration(a.onMinutes)) + Td(Duration(offMinutes) + " in " + Plural(a.off.size(), "break", "breaks")) +
         "</tr><tr>" +
         Td("<b>By the rules' count</b> (the " + std::to_string(limits.mostOffBlocks) + " longest breaks off)",
            "l") +
         Td("<b>" + Duration(a.rulesOnMinutes) + "</b>") +
         Td(Duration(blockMinutes) + " in " +
            Plural(std::min(a.off.size(), static_cast<size_t>(limits.mostOffBlocks)), "block", "blocks")) +
         "</tr></table>";
    const std::string most = Hours(limits.mostOperatingMinutes);
    if (a.rulesOnMinutes > limits.mostOperatingMinutes) {
        h += "<p class=\"flag\">On the air " + Duration(a.rulesOnMinutes) + " by the rules' count: more than the " +
             most + " every entrant may operate" + (a.multiOp ? ", MULTI-OP included" : "") + ". The " +
             std::to_string(limits.mostOffBlocks) + " longest breaks make " + Duration(blockMinutes) +
             " of the " + Hours(limits.leastOffMinutes) + " of off time.</p>";
    } else if (limits.mostOffBlocks == 0) {
        h += "<p class=\"ok\">Within the rules on time: every entrant may operate the whole " + most + ".</p>";
    } else {
        h += "<p class=\"ok\">Within the rules on time: on the air " + Duration(a.rulesOnMinutes) +
             " by the rules' count, at most " + most + "; the " + std::to_string(limits.mostOffBlocks) +
             " longest breaks make " + Duration(blockMinutes) + " of off time.</p>";
    }
    h += Rule(a.contest->ruleTexts.operatingTime) + Rule(a.contest->ruleTexts.offBlocks) +
         Rule(a.contest->ruleTexts.shortestOff);
    return h + "</section>";
}

std::string BandChanges(const Analysis& a) {
    const int limit = a.contest->limits.multiOpBandChangesPerHour;
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
        if (row.bandChanges > limit)
            over.push_back(&row);
    }
    if (a.multiOp) {
        c.limit = limit;
        c.limitName = "MULTI-OP limit";
    }
    std::string h =
        "<section id=\"bands\"><h2>6. Band changes</h2><p class=\"note\">A QSO on another band than "
        "the QSO before it is one change in its clock hour (20m, 15m, 20m is two); every QSO the "
        "plug-in logged takes part.</p>" +
        DrawHourChart(c);
    h += "<p>Most in one hour: " + std::to_string(most) + ".</p>";
    if (!a.multiOp) {
        h += "<p class=\"note\">The limit of " + std::to_string(limit) +
             " band changes per clock hour is for MULTI-OP entries.</p>";
    } else if (over.empty()) {
        h += "<p class=\"ok\">No hour has more than " + std::to_string(limit) +
             " band changes.</p>";
    } else {
        h += "<p class=\"flag\">More than " + std::to_string(limit) +
             " band changes in " + Plural(over.size(), "hour", "hours") + ":";
        for (const HourRow* row : over)
            h += " " + Time(row->hour * 60, "%a %H:00") + " (" + std::to_string(row->bandChanges) + ")";
        h += "</p>";
    }
    return h + Rule(a.contest->ruleTexts.bandChanges) + "</section>";
}

std::string QsoWhen(const QsoRef& q) {
    return Time(q.minute) + " " + q.band + " " + q.call + ", line " + std::to_string(q.line);
}

std::string Multipliers(const Analysis& a) {
    std::string h = "<section id=\"multipliers\"><h2>7. Multipliers</h2>";
    h += "<p>" + Num(a.stateProvMultipliers) + " states and provinces, " + Num(a.dxccMultipliers) +
         " DXCC entities. Worked cells are filled; the ones still needed are outlined in red.</p>";
    for (const contest::LocationCountry& country : a.contest->LocationCountries()) {
        const std::vector<std::string>& codes = a.contest->LocationMultipliers(country.prefix);
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
             country.locations +
             ": " + std::to_string(codes.size() - needed.size()) + " of " + std::to_string(codes.size()) +
             "</h3>";
        h += "<div class=\"cells\">" + cells + "</div>";
        std::string list;
        for (const std::string& code : needed)
            list += (list.empty() ? "" : " ") + code;
        h += "<p>Still needed: <b>" + (list.empty() ? std::string("none") : Esc(list)) + "</b></p>";
    }
    if (a.noMultiplierStateQsos) {
        h += "<p>" + Plural(a.noMultiplierStateQsos, "QSO", "QSOs") +
             " with W/VE stations sending a state that is no multiplier (Alaska or Hawaii): counted as QSOs, "
             "no multiplier.</p>";
    }
    h += Rule(a.contest->ruleTexts.stateMultipliers);

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

std::string UnlikelyExchangeTable(const Analysis& a) {
    std::string h =
        "<h3>Exchanges unlikely for the call</h3><p class=\"note\">Counted QSOs whose state or province is "
        "not what a station of the call's country sends: a US call sends a US state, a Canadian call a Canadian "
        "province, a DX call a serial number. The plug-in counts them (the other station may have been "
        "portable); a busted call or exchange would cost the QSO, and a multiplier that rests on it alone.</p>";
    if (a.unlikely.empty())
        return h + "<p>none</p>";
    h += "<table><tr><th>line</th><th class=\"l\">call</th><th class=\"l\">time (UTC)</th><th "
         "class=\"l\">band</th><th class=\"l\">exchange</th><th class=\"l\">the call's prefix suggests</th>"
         "<th class=\"l\">multiplier</th></tr>";
    for (const UnlikelyExchange& u : a.unlikely) {
        std::string suggests = "a serial number";
        for (const contest::LocationCountry& country : a.contest->LocationCountries()) {
            if (u.prefix == country.prefix) suggests = country.one;
        }
        std::string multiplier;
        if (u.onlyFrom == 1) {
            multiplier = "<span class=\"flag\">" + Esc(u.multiplier) + " rests on this QSO alone</span>";
        } else if (u.onlyFrom > 1) {
            multiplier = "<span class=\"flag\">" + Esc(u.multiplier) + " rests on these " +
                         std::to_string(u.onlyFrom) + " QSOs alone</span>";
        } else if (!u.multiplier.empty()) {
            multiplier = Esc(u.multiplier) + ", also from other QSOs";
        }
        h += "<tr>" + Td(std::to_string(u.qso.line)) + Td(Esc(u.qso.call), "l") + Td(Time(u.qso.minute), "l") +
             Td(Esc(u.qso.band), "l") + Td(Esc(u.qso.exchange + " (" + a.contest->LocationCountries()[u.country].one + ")"), "l") +
             Td(Esc(u.prefix + (u.entity.empty() ? "" : " (" + u.entity + ")") + ": " + suggests), "l") +
             Td(multiplier, "l") + "</tr>";
    }
    return h + "</table>";
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
    h += UnlikelyExchangeTable(a);
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

// --- stations side by side ---------------------------------------------------------------------------------

// The own station and the three others at most, told apart in colour-blind eyes too.
const char* const kStationColours[] = {"#0072B2", "#E69F00", "#009E73", "#CC79A7"};

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
    h += "<table><tr><th class=\"l\">multiplier</th><th class=\"l\">entity</th><th class=\"l\">first QSO (UTC)"
         "</th><th class=\"l\">band</th><th class=\"l\">call</th></tr>";
    for (const FirstQso& f : list) {
        // A location multiplier is named by its country's kind of location; a DXCC entity by its name.
        const char* kind = contest.LocationCountries().back().kind;
        for (const contest::LocationCountry& country : contest.LocationCountries()) {
            const std::vector<std::string>& codes = contest.LocationMultipliers(country.prefix);
            if (std::find(codes.begin(), codes.end(), f.code) != codes.end()) {
                kind = country.kind;
                break;
            }
        }
        h += "<tr>" + Td(Esc(f.code), "l") + Td(Esc(f.name.empty() ? std::string(kind) : f.name), "l") +
             Td(Time(f.qso.minute), "l") + Td(Esc(f.qso.band), "l") + Td(Esc(f.qso.call), "l") + "</tr>";
    }
    return h + "</table>";
}

std::string CallList(const std::vector<std::string>& calls, const std::string& who, const std::string& whoNot) {
    std::string list;
    for (const std::string& call : calls)
        list += (list.empty() ? "" : " ") + call;
    return "<details><summary>" + Esc(who + " worked " + Plural(calls.size(), "station", "stations") + " " +
                                      whoNot + " did not") +
           "</summary><p class=\"calls\">" + (list.empty() ? std::string("none") : Esc(list)) +
           "</p></details>";
}

std::string SideBySide(const Analysis& own, const Comparison& compared) {
    if (compared.stations.empty() && compared.leftOut.empty())
        return "";
    std::string h = "<section id=\"compare\"><h2>9. Side by side</h2>";
    for (const LeftOut& l : compared.leftOut)
        h += "<p class=\"flag\">Left out: " + Esc(l.path) + ": " + Esc(l.reason) + ".</p>";
    if (compared.stations.empty())
        return h + "</section>";
    std::vector<const Analysis*> all{&own};
    for (const Analysis& a : compared.stations)
        all.push_back(&a);
    h += "<p class=\"note\">Each log replayed through the plug-in the same way: every number is the plug-in's. "
         "Time on the air by the rules' count (section 5).</p>";

    // The figures, one column per station.
    h += "<table><tr><th class=\"l\"></th>";
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
            auto f = std::find_if(a.category.begin(), a.category.end(),
                                  [&](const auto& c) { return c.first == field; });
            return Td(f == a.category.end() ? std::string() : Esc(f->second), "l");
        });
    }
    row("QSOs", [](const Analysis& a) { return Td(Num(static_cast<long long>(a.counted))); });
    row("Multipliers", [](const Analysis& a) {
        return Td(MultiplierSum(a));
    });
    row("Score", [](const Analysis& a) { return Td("<b>" + Num(a.pluginScore ? *a.pluginScore : a.score) + "</b>"); });
    row("On the air by the rules", [](const Analysis& a) {
        return Td(Duration(a.rulesOnMinutes),
                  a.rulesOnMinutes > a.contest->limits.mostOperatingMinutes ? "flag" : nullptr);
    });
    row("Best 60 minutes", [](const Analysis& a) { return Td(BestText(a.best60, 60)); });
    row("Best 10 minutes", [](const Analysis& a) { return Td(BestText(a.best10, 10)); });
    h += "</table>";
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
            total.values.push_back(has                        ? all[i]->hours[k].cumulative
                                   : all[i]->hours.empty()    ? 0
                                                              : all[i]->hours.back().cumulative);
            perHour.values.push_back(has ? all[i]->hours[k].qsos : 0);
        }
        totals.lines.push_back(total);
        hours.stacks.push_back(perHour);
    }
    h += "<h3>Running total</h3>" + DrawHourChart(totals) + "<h3>QSOs per hour</h3>" + DrawHourChart(hours);

    // Bands.
    h += "<h3>By band</h3><table><tr><th class=\"l\" rowspan=\"2\">band</th>";
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
    h += "</tr></table><p class=\"note\">New mults: the multipliers first worked on the band (each counts once "
         "per contest).</p>";

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
    std::string h =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"/>"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/><title>" +
        Esc(std::string(a.contest->name) + " analysis: " + a.ownCall) + "</title><style>" + kStyle +
        "</style></head>\n<body>";
    h += "<h1>" + Esc(std::string(a.contest->name) + " " + Time(a.startMinute, "%Y") + ": " + a.ownCall) +
         "</h1>";
    h += "<p class=\"note\">After the contest: " + Esc(a.logName) +
         " scored by the Stats plug-in; every number below counts the QSOs as the plug-in took them.</p>\n";
    if (!compared.stations.empty()) {
        std::string others;
        for (const Analysis& other : compared.stations)
            others += (others.empty() ? "" : ", ") + StationName(other);
        h += "<p class=\"note\">" + Esc("Set beside " + others + " in section 9.") + "</p>\n";
    }
    h += Summary(a) + "\n" + RateGraph(a) + "\n" + HourTable(a) + "\n" + BestRates(a) + "\n" + TimeOnOff(a) +
         "\n" + BandChanges(a) + "\n" + Multipliers(a) + "\n" + CallsToCheck(a) + "\n" + SideBySide(a, compared);
    return h + "</body></html>\n";
}

}  // namespace replay
