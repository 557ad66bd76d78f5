#include "outputs.h"

#include <algorithm>
#include <tuple>

#include "common/text.h"

namespace check {

namespace {

std::string HeaderField(const LogInfo& info, const char* tag) {
    auto it = info.header.find(tag);
    return it == info.header.end() ? std::string() : text::Trim(it->second);
}

std::string Score(const std::optional<long long>& s) { return s ? std::to_string(*s) : std::string(); }

std::string CsvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    return "\"" + text::ReplaceAll(s, "\"", "\"\"") + "\"";
}

std::string Html(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Category(const LogInfo& info) {
    std::string parts[] = {HeaderField(info, "CATEGORY-OPERATOR"), HeaderField(info, "CATEGORY-POWER"),
                           HeaderField(info, "CATEGORY-ASSISTED")};
    std::string out;
    for (std::string& p : parts) {
        if (p.empty()) continue;
        out += (out.empty() ? "" : " ") + text::ToUpper(p);
    }
    return out.empty() ? "(no category)" : out;
}

std::string QuotedLine(const std::vector<std::string>& lines, int line) {
    if (line < 1 || static_cast<size_t>(line) > lines.size()) return "";
    return text::Trim(lines[line - 1]);
}

}  // namespace

long long CheckedScore(const contest::Record& contest, const LogResult& r) {
    return contest.Score(r.keptPoints, static_cast<long long>(r.keptMultipliers));
}

std::string ReportFileName(const std::string& call, int copy) {
    std::string name = call.empty() ? "NOCALL" : call;
    for (char& c : name) {
        if (std::string("<>:\"/\\|?*").find(c) != std::string::npos || static_cast<unsigned char>(c) < 32) c = '_';
    }
    if (copy > 1) name += "-" + std::to_string(copy);
    return name + ".lcr.txt";
}

std::string LogCheckReport(const CheckedContest& c, size_t li, const std::vector<std::string>& lines) {
    const LogInfo& info = (*c.infos)[li];
    const CheckLog& log = (*c.logs)[li];
    const LogResult& r = (*c.results)[li];
    std::string out = "Log check of " + info.call + " (" + info.path + ")\r\n\r\n";
    auto section = [&](const char* title, Verdict v, auto describe) {
        std::string body;
        size_t count = 0;
        for (size_t qi = 0; qi < log.qsos.size(); ++qi) {
            if (r.qsos[qi].verdict != v) continue;
            ++count;
            body += text::Format("%6d  %s", log.qsos[qi].line, QuotedLine(lines, log.qsos[qi].line).c_str());
            body += describe(qi) + "\r\n";
        }
        out += std::string(title) + ": " + std::to_string(count) + "\r\n" + body + "\r\n";
    };
    section("Not in log", Verdict::notInLog, [](size_t) { return std::string(); });
    section("Busted calls", Verdict::bustedCall, [&](size_t qi) {
        return "   -> " + c.calls->Text(r.qsos[qi].rightCall);
    });
    section("Busted exchanges", Verdict::bustedExchange, [&](size_t qi) { return "   -> sent " + r.qsos[qi].sent; });
    section("Unique calls", Verdict::unique, [&](size_t qi) {
        return c.unlisted.size() > li && c.unlisted[li][qi] ? std::string("   (not in MASTER.SCP)") : std::string();
    });
    section("Not counted by the plug-in", Verdict::notChecked,
            [&](size_t qi) { return "   (" + log.qsos[qi].pluginReason + ")"; });
    if (r.clockOffset != 0) {
        out += text::Format("Clock offset: %d minutes %s (applied)\r\n\r\n", std::abs(r.clockOffset),
                            r.clockOffset > 0 ? "ahead" : "behind");
    } else {
        out += "Clock offset: none recognised\r\n\r\n";
    }
    out += text::Format("QSOs %llu, counted by the plug-in %llu, checked %llu; score claimed %s, plug-in %s, checked %lld\r\n",
                        static_cast<unsigned long long>(log.qsos.size()), static_cast<unsigned long long>(r.counted),
                        static_cast<unsigned long long>(r.kept), info.claimedScore ? Score(info.claimedScore).c_str() : "-",
                        info.pluginScore ? Score(info.pluginScore).c_str() : "-", CheckedScore(*c.contest, r));
    return out;
}

std::vector<size_t> ResultOrder(const CheckedContest& c) {
    std::vector<size_t> order(c.infos->size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::vector<std::string> categories;
    for (const LogInfo& info : *c.infos) categories.push_back(Category(info));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const long long sa = CheckedScore(*c.contest, (*c.results)[a]), sb = CheckedScore(*c.contest, (*c.results)[b]);
        return std::tie(categories[a], sb, (*c.infos)[a].call) < std::tie(categories[b], sa, (*c.infos)[b].call);
    });
    return order;
}

std::string ResultsCsv(const CheckedContest& c) {
    std::string out = std::string(kCsvColumns) + "\r\n";
    for (size_t i : ResultOrder(c)) {
        const LogInfo& info = (*c.infos)[i];
        const LogResult& r = (*c.results)[i];
        const std::string fields[] = {info.call,
                                      HeaderField(info, "CATEGORY-OPERATOR"),
                                      HeaderField(info, "CATEGORY-POWER"),
                                      HeaderField(info, "CATEGORY-ASSISTED"),
                                      HeaderField(info, "LOCATION"),
                                      Score(info.claimedScore),
                                      std::to_string(info.qsos),
                                      Score(info.pluginScore),
                                      std::to_string(r.kept),
                                      std::to_string(r.notInLog),
                                      std::to_string(r.bustedCall),
                                      std::to_string(r.bustedExchange),
                                      std::to_string(r.unique),
                                      std::to_string(CheckedScore(*c.contest, r))};
        std::string row;
        for (const std::string& f : fields) row += (row.empty() ? "" : ",") + CsvField(f);
        out += row + "\r\n";
    }
    return out;
}

std::string ResultsHtml(const CheckedContest& c, const std::string& title) {
    std::string out =
        "<!DOCTYPE html>\r\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" + Html(title) +
        "</title>\r\n<style>body{font:14px/1.4 sans-serif;margin:1.5em;color:#222}"
        "table{border-collapse:collapse;margin-bottom:1.5em}th,td{border:1px solid #bbb;padding:2px 8px}"
        "th{background:#e8eef5}td.n{text-align:right;white-space:nowrap}tr:nth-child(even) td{background:#f7f7f7}"
        "td.lost{color:#a00}h2{margin:1em 0 .3em;font-size:16px}</style></head>\r\n<body>\r\n<h1>" +
        Html(title) + "</h1>\r\n";
    size_t total = 0;
    for (const CheckLog& l : *c.logs) total += l.qsos.size();
    out += text::Format("<p>%llu logs, %llu QSOs. Checked score: points and multipliers of the QSOs the plug-in "
                        "counted, without those not in the other log, with a busted call or a busted exchange.</p>\r\n",
                        static_cast<unsigned long long>(c.infos->size()), static_cast<unsigned long long>(total));
    const char* heads[] = {"#", "call", "location", "claimed", "QSOs", "plug-in score", "checked QSOs", "not in log",
                           "busted call", "busted exch.", "unique", "clock", "checked score"};
    std::string current;
    size_t rank = 0;
    bool open = false;
    for (size_t i : ResultOrder(c)) {
        const LogInfo& info = (*c.infos)[i];
        const LogResult& r = (*c.results)[i];
        const std::string category = Category(info);
        if (!open || category != current) {
            if (open) out += "</table>\r\n";
            out += "<h2>" + Html(category) + "</h2>\r\n<table><tr>";
            for (const char* h : heads) out += std::string("<th>") + h + "</th>";
            out += "</tr>\r\n";
            current = category;
            rank = 0;
            open = true;
        }
        auto num = [](const std::string& s, bool lost = false) {
            return std::string("<td class=\"n") + (lost && s != "0" ? " lost" : "") + "\">" + s + "</td>";
        };
        out += "<tr>" + num(std::to_string(++rank)) + "<td>" + Html(info.call) + "</td><td>" +
               Html(HeaderField(info, "LOCATION")) + "</td>" + num(Score(info.claimedScore)) +
               num(std::to_string(info.qsos)) + num(Score(info.pluginScore)) + num(std::to_string(r.kept)) +
               num(std::to_string(r.notInLog), true) + num(std::to_string(r.bustedCall), true) +
               num(std::to_string(r.bustedExchange), true) + num(std::to_string(r.unique)) +
               num(r.clockOffset ? text::Format("%+d min", r.clockOffset) : std::string()) +
               num(std::to_string(CheckedScore(*c.contest, r))) + "</tr>\r\n";
    }
    if (open) out += "</table>\r\n";
    out += "</body></html>\r\n";
    return out;
}

}  // namespace check
