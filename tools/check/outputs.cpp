#include "outputs.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <tuple>

#include "chart_kit.h"
#include "common/text.h"
#include "contest_dates.h"
#include "log_readers.h"
#include "scoring/cabrillo_header.h"

namespace check {

namespace {

constexpr size_t kLongestQuote = 200;
constexpr size_t kLongestReportName = 64;
constexpr const char* kPeriodFormat = "%Y-%m-%d %H%M";

using F = CabrilloHeaderFields;

// A header field of the log, by the member of the header table that names its tag.
std::string HeaderField(const LogInfo& info, std::string CabrilloHeaderFields::*field) {
    auto it = info.header.find(CabrilloHeaderTagOf(field).tag);
    return it == info.header.end() ? std::string() : text::Trim(it->second);
}

// A score as the CSV holds it (plain digits, for a spreadsheet) and as a person reads it ("13,992").
std::string Score(const std::optional<long long>& s) { return s ? std::to_string(*s) : std::string(); }
std::string ShownScore(const std::optional<long long>& s, const char* none) {
    return s ? replay::Num(*s) : std::string(none);
}

std::string Html(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Category(const LogInfo& info) {
    std::string parts[] = {HeaderField(info, &F::categoryOperator), HeaderField(info, &F::categoryPower),
                           HeaderField(info, &F::categoryAssisted)};
    std::string out;
    for (std::string& p : parts) {
        if (p.empty()) continue;
        out += (out.empty() ? "" : " ") + text::ToUpper(p);
    }
    return out.empty() ? "(no category)" : out;
}

std::string Quote(const CheckedContest& c, size_t log, int line) {
    if (log >= c.quotes.size()) return "";
    auto it = c.quotes[log].find(line);
    return it == c.quotes[log].end() ? std::string() : Printable(it->second);
}

std::string BandName(const contest::Record& contest, uint8_t band) {
    return band < contest.AcceptedBands().Count() ? contest.AcceptedBands().At(band) : std::string("(no band)");
}

unsigned long long Count(size_t n) { return static_cast<unsigned long long>(n); }

std::string Percent(double share) { return text::Format("%.1f%%", share * 100.0); }

std::string Year(long long periodStart) { return replay::FromWholeMinutes(periodStart).Format("%Y"); }

const std::string kSentNoLog = "sent no log";
const std::string kNotChecked = "log not checked: ";
const char* const kWarning = "Warning: ";

std::string CsvRow(std::initializer_list<std::string> fields) {
    std::string row;
    for (const std::string& f : fields) row += (row.empty() ? "" : ",") + CsvField(f);
    return row + "\r\n";
}

}  // namespace

std::string HeaderCallNote(const LogInfo& info, const LogResult& r) {
    const std::string header = info.headerCall.empty() ? info.call : info.headerCall;
    return text::Format("the CALLSIGN header says %s, its QSO lines %s: checked as %s (the partners' logs hold %llu "
                        "of its QSOs with %s, %llu with %s)",
                        header.c_str(), info.linesCall.c_str(), info.call.c_str(), Count(r.linesVotes),
                        info.linesCall.c_str(), Count(r.headerVotes), header.c_str());
}

long long CheckedScore(const contest::Record& contest, const LogResult& r) {
    return contest.Score(r.keptPoints, static_cast<long long>(r.keptMultipliers));
}

std::string PartialName(const std::string& complete) {
    const size_t dot = complete.rfind('.');
    return complete.substr(0, dot) + "-partial" + complete.substr(dot);
}

const std::vector<std::string>& ListFileNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const char* list : {kResultsCsv, kResultsHtml, kMissingLogsCsv, kToxicLogsCsv}) {
            all.push_back(list);
            all.push_back(PartialName(list));
        }
        return all;
    }();
    return names;
}

bool IsOutputFileName(const std::string& name) {
    if (text::EqualsNoCase(name, kFilesNotCheckedCsv)) return true;
    for (const std::string& f : ListFileNames()) {
        if (text::EqualsNoCase(name, f)) return true;
    }
    const std::string suffix = ".lcr.txt";
    return name.size() > suffix.size() && text::EqualsNoCase(name.substr(name.size() - suffix.size()), suffix);
}

std::vector<std::string> ReportFileNames(const std::vector<std::string>& calls) {
    std::vector<std::string> bases;
    for (const std::string& call : calls) {
        std::string name = call.empty() ? "NOCALL" : call.substr(0, kLongestReportName);
        for (char& ch : name) {
            if (std::string("<>:\"/\\|?*").find(ch) != std::string::npos || static_cast<unsigned char>(ch) < 32 ||
                ch == 127) {
                ch = '_';
            }
        }
        if (name[0] == '.') name[0] = '_';
        // Windows opens a device for these names, whatever follows a dot.
        const std::string stem = text::ToUpper(name.substr(0, name.find('.')));
        static const std::set<std::string> kDevices = {"CON", "PRN", "AUX", "NUL", "COM1", "COM2", "COM3", "COM4",
                                                       "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2",
                                                       "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
        if (kDevices.count(stem)) name = "_" + name;
        bases.push_back(name);
    }
    // Every call's own name is reserved first, so a log of "C-2" keeps its name beside two logs of "C".
    std::set<std::string> taken;
    for (const std::string& b : bases) taken.insert(text::ToUpper(b));
    std::set<std::string> given;
    std::map<std::string, int> next;  // the next "-N" to try for a name, so many copies cost no more than one
    std::vector<std::string> names;
    for (const std::string& b : bases) {
        std::string name = b;
        if (given.count(text::ToUpper(name))) {
            int& n = next.emplace(text::ToUpper(b), 2).first->second;
            for (;; ++n) {
                name = b + "-" + std::to_string(n);
                if (!taken.count(text::ToUpper(name)) && !given.count(text::ToUpper(name))) break;
            }
        }
        given.insert(text::ToUpper(name));
        names.push_back(name + ".lcr.txt");
    }
    return names;
}

std::vector<std::vector<int>> QuotedLines(const CheckedContest& c) {
    std::vector<std::vector<int>> lines(c.logs->size());
    for (size_t li = 0; li < c.logs->size(); ++li) {
        const CheckLog& log = (*c.logs)[li];
        const LogResult& r = c.results->logs[li];
        for (size_t qi = 0; qi < log.qsos.size(); ++qi) {
            const QsoResult& q = r.qsos[qi];
            if (q.verdict == Verdict::confirmed && !q.byConsensus && !q.dayApart) continue;
            lines[li].push_back(log.qsos[qi].line);
            if (q.otherLog != kNoLog && q.otherLine > 0) lines[q.otherLog].push_back(q.otherLine);
        }
        for (const replay::LogProblem& p : (*c.infos)[li].skipped) lines[li].push_back(p.line);
    }
    for (auto& l : lines) {
        std::sort(l.begin(), l.end());
        l.erase(std::unique(l.begin(), l.end()), l.end());
    }
    return lines;
}

std::unordered_map<int, std::string> ReadQuotedLines(const std::string& path, const std::vector<int>& lines) {
    std::unordered_map<int, std::string> out;
    if (lines.empty()) return out;
    std::ifstream in(path, std::ios::binary);
    std::vector<char> piece(64 * 1024);
    int line = 1;
    size_t next = 0;  // the first wanted line not yet read
    bool lastWasCr = false;
    std::string current;
    while (in && next < lines.size()) {
        in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
        const size_t n = static_cast<size_t>(in.gcount());
        for (size_t i = 0; i < n && next < lines.size(); ++i) {
            const char ch = piece[i];
            if (ch == '\n' || ch == '\r') {
                if (ch == '\n' && lastWasCr) {
                    lastWasCr = false;
                    continue;
                }
                lastWasCr = ch == '\r';
                if (line == lines[next]) {
                    out[line] = text::Trim(current);
                    ++next;
                }
                current.clear();
                ++line;
                continue;
            }
            lastWasCr = false;
            if (line == lines[next] && current.size() < kLongestQuote) current += ch;
        }
    }
    if (next < lines.size() && line == lines[next]) out[line] = text::Trim(current);
    return out;
}

std::string LogCheckReport(const CheckedContest& c, size_t li) {
    const LogInfo& info = (*c.infos)[li];
    const CheckLog& log = (*c.logs)[li];
    const LogResult& r = c.results->logs[li];
    const CallTable& calls = *c.calls;
    std::string out = "Log check of " + Printable(info.call) + " (" + Printable(info.path) + ")\r\n";
    out += "Contest period " + replay::FromWholeMinutes(log.periodStart).Format(kPeriodFormat) + " to " +
           replay::FromWholeMinutes(log.periodEnd).Format(kPeriodFormat) + " UTC\r\n\r\n";
    // The summary first: the scores, then what the check found about the log as a whole.
    out += text::Format("QSOs %llu read (%llu lines not used), counted by the plug-in %llu, checked %llu; score "
                        "claimed %s, plug-in %s, checked %s\r\n",
                        Count(info.qsos), Count(info.skipped.size()), Count(r.counted), Count(r.kept),
                        ShownScore(info.claimedScore, "-").c_str(), ShownScore(info.pluginScore, "-").c_str(),
                        replay::Num(CheckedScore(*c.contest, r)).c_str());
    out += text::Format("Toxic share: %s (%llu of %llu matches failed)\r\n", Percent(r.ToxicShare()).c_str(),
                        Count(r.problems), Count(r.matchable));
    if (r.clockOffset != 0) {
        out += text::Format("Clock offset: %lld minutes %s (applied)\r\n", std::llabs(r.clockOffset),
                            r.clockOffset > 0 ? "ahead" : "behind");
    } else {
        out += "Clock offset: none recognised\r\n";
    }
    if (r.headerStation != CallTable::kNone) out += "Own call: " + Printable(HeaderCallNote(info, r)) + "\r\n";
    for (const std::string& w : info.warnings) out += kWarning + Printable(w) + "\r\n";
    if (r.consensus.copied != CallTable::kNone) {
        out += text::Format("Sent exchange: %llu of the %llu stations' copies matched with this log say %s, and this log "
                            "says it sent %s: this log is the likely wrong side, and their QSOs are not penalised\r\n",
                            Count(r.consensus.agreeing), Count(r.consensus.copies), Printable(calls.Text(r.consensus.copied)).c_str(),
                            Printable(calls.Text(r.consensus.logged)).c_str());
    }
    out += "\r\n";
    auto entry = [&](const CheckQso& q, const std::string& note) {
        return text::Format("%6d  %s", q.line, Quote(c, li, q.line).c_str()) + note + "\r\n";
    };
    auto other = [&](const QsoResult& q) {
        if (q.otherLog == kNoLog || q.otherLine <= 0) return std::string();
        return "        other log " + Printable((*c.infos)[q.otherLog].path) + ":" + std::to_string(q.otherLine) +
               ": " + Quote(c, q.otherLog, q.otherLine) + "\r\n";
    };
    auto section = [&](const char* title, auto wanted, auto describe) {
        std::string body;
        size_t count = 0;
        for (size_t qi = 0; qi < log.qsos.size(); ++qi) {
            if (!wanted(r.qsos[qi])) continue;
            ++count;
            body += describe(log.qsos[qi], r.qsos[qi]);
        }
        out += std::string(title) + ": " + std::to_string(count) + "\r\n" + body + "\r\n";
    };
    auto is = [](Verdict v) { return [v](const QsoResult& q) { return q.verdict == v; }; };
    section("Not in log", is(Verdict::notInLog), [&](const CheckQso& q, const QsoResult& res) {
        const LogInfo& theirs = (*c.infos)[res.otherLog];
        return entry(q, "") + "        " + Printable(theirs.call) + "'s log " + Printable(theirs.path) +
               " has no QSO with " + Printable(info.call) + " on " + BandName(*c.contest, q.band) + " within " +
               std::to_string(c.windowMinutes) + " minutes\r\n";
    });
    section("Busted calls", is(Verdict::bustedCall), [&](const CheckQso& q, const QsoResult& res) {
        return entry(q, "   -> " + Printable(calls.Text(res.rightCall))) + other(res);
    });
    section("Busted exchanges", is(Verdict::bustedExchange), [&](const CheckQso& q, const QsoResult& res) {
        const bool consensus = c.results->logs[res.otherLog].consensus.copied != CallTable::kNone;
        return entry(q, "   -> " + std::string(consensus ? "most copied " : "sent ") + Printable(calls.Text(res.sent))) +
               other(res);
    });
    section("Exchanges kept by consensus (the other log's sent exchange is likely wrong)",
            [](const QsoResult& q) { return q.byConsensus; }, [&](const CheckQso& q, const QsoResult& res) {
                const Consensus& k = c.results->logs[res.otherLog].consensus;
                return entry(q, text::Format("   (%llu of %llu copied %s; its log says %s)", Count(k.agreeing), Count(k.copies),
                                             Printable(calls.Text(k.copied)).c_str(),
                                             Printable(calls.Text(k.logged)).c_str())) +
                       other(res);
            });
    section("Matched with a QSO the other log dates a day off (at the same time of day)",
            [](const QsoResult& q) { return q.dayApart; },
            [&](const CheckQso& q, const QsoResult& res) { return entry(q, "") + other(res); });
    section("Unique calls", is(Verdict::unique), [&](const CheckQso& q, const QsoResult&) {
        const size_t qi = static_cast<size_t>(&q - log.qsos.data());
        const bool unlisted = c.unlisted.size() > li && c.unlisted[li][qi];
        return entry(q, unlisted ? "   (not in MASTER.SCP)" : "");
    });
    section("Outside the contest period (not counted)", is(Verdict::outsidePeriod),
            [&](const CheckQso& q, const QsoResult&) { return entry(q, ""); });
    section("QSOs with the own call (not counted: a station does not work itself, and its own log would confirm "
            "them)", is(Verdict::ownCall), [&](const CheckQso& q, const QsoResult&) { return entry(q, ""); });
    section("Dupes the check found (the plug-in left the first QSO out for its time alone, which the clock offset "
            "puts in the period)",
            is(Verdict::dupe), [&](const CheckQso& q, const QsoResult& res) {
                return entry(q, "   (DUPE of line " + std::to_string(res.otherLine) + ")");
            });
    section("Not counted by the plug-in", is(Verdict::notChecked), [&](const CheckQso& q, const QsoResult&) {
        return entry(q, "   (" + Printable(calls.Text(q.pluginReason)) + ")");
    });
    out += "Lines not used: " + std::to_string(info.skipped.size()) + "\r\n";
    for (const replay::LogProblem& p : info.skipped) {
        out += text::Format("%6d  %s", p.line, Quote(c, li, p.line).c_str()) + "   (" + Printable(p.reason) + ")\r\n";
    }
    out += "\r\n";
    return out;
}

std::vector<size_t> ResultOrder(const CheckedContest& c) {
    std::vector<size_t> order(c.infos->size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::vector<std::string> categories;
    std::vector<long long> scores, periods;
    for (size_t i = 0; i < order.size(); ++i) {
        categories.push_back(Category((*c.infos)[i]));
        scores.push_back(CheckedScore(*c.contest, c.results->logs[i]));
        periods.push_back(i < c.logs->size() ? (*c.logs)[i].periodStart : 0);
    }
    // Logs of different contests never meet, so each contest is ranked apart, the latest first.
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return std::tie(periods[b], categories[a], scores[b], (*c.infos)[a].call) <
               std::tie(periods[a], categories[b], scores[a], (*c.infos)[b].call);
    });
    return order;
}

std::string ContestYears(const CheckedContest& c) {
    std::set<std::string> years;
    for (const CheckLog& l : *c.logs) years.insert(replay::FromWholeMinutes(l.periodStart).Format("%Y"));
    std::string out;
    size_t i = 0;
    for (const std::string& y : years) {
        out += (i == 0 ? "" : i + 1 == years.size() ? " and " : ", ") + y;
        ++i;
    }
    return out;
}

std::string CsvField(const std::string& s) {
    std::string f = s;
    if (!f.empty() && std::string("=+-@\t\r").find(f[0]) != std::string::npos) f = "'" + f;
    if (f.find_first_of(",\"\r\n") == std::string::npos) return f;
    return "\"" + text::ReplaceAll(f, "\"", "\"\"") + "\"";
}

std::string ResultsCsv(const CheckedContest& c) {
    std::string out = std::string(kCsvColumns) + "\r\n";
    for (size_t i : ResultOrder(c)) {
        const LogInfo& info = (*c.infos)[i];
        const LogResult& r = c.results->logs[i];
        out += CsvRow({info.call, HeaderField(info, &F::categoryOperator), HeaderField(info, &F::categoryPower),
                       HeaderField(info, &F::categoryAssisted), HeaderField(info, &F::location),
                       Score(info.claimedScore), std::to_string(info.qsos), Score(info.pluginScore),
                       std::to_string(r.kept), std::to_string(r.notInLog), std::to_string(r.bustedCall),
                       std::to_string(r.bustedExchange), std::to_string(r.unique), std::to_string(r.outsidePeriod),
                       std::to_string(CheckedScore(*c.contest, r)), c.contest->cabrilloContest,
                       Year((*c.logs)[i].periodStart)});
    }
    return out;
}

std::string MissingLogStatus(const CheckedContest& c, const std::string& call) {
    for (const LeftOut& l : c.leftOut) {
        if (l.replaced || l.call.empty() || !text::EqualsNoCase(StationOf(l.call), call)) continue;
        // A reader's reason starts with the file's name, which the list of files not checked gives.
        const bool named = l.reason.rfind(l.path + " ", 0) == 0;
        return kNotChecked + (named ? l.reason.substr(l.path.size() + 1) : l.reason);
    }
    return kSentNoLog;
}

std::string MissingLogsCsv(const CheckedContest& c) {
    std::string out = "call,logs,qsos,year,status\r\n";
    for (const MissingLog& m : c.results->missing) {
        out += CsvRow({c.calls->Text(m.station), std::to_string(m.logs), std::to_string(m.qsos), Year(m.periodStart),
                       MissingLogStatus(c, c.calls->Text(m.station))});
    }
    return out;
}

std::string FilesNotCheckedCsv(const CheckedContest& c) {
    std::string out = "file,call,reason\r\n";
    for (const LeftOut& l : c.leftOut) out += CsvRow({Printable(l.path), l.call, Printable(l.reason)});
    return out;
}

double ToxicThreshold(const CheckedContest& c) {
    std::vector<double> shares;
    for (const LogResult& r : c.results->logs) shares.push_back(r.ToxicShare());
    if (shares.empty()) return kToxicShare;
    std::nth_element(shares.begin(), shares.begin() + shares.size() / 2, shares.end());
    return std::max(kToxicShare, 3.0 * shares[shares.size() / 2]);
}

std::vector<size_t> ToxicOrder(const CheckedContest& c) {
    std::vector<size_t> order(c.results->logs.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return c.results->logs[a].ToxicShare() > c.results->logs[b].ToxicShare();
    });
    return order;
}

std::string ToxicLogsCsv(const CheckedContest& c) {
    const double threshold = ToxicThreshold(c);
    std::string out = "call,matches,failed,share,stands_out\r\n";
    for (size_t i : ToxicOrder(c)) {
        const LogResult& r = c.results->logs[i];
        out += CsvRow({(*c.infos)[i].call, std::to_string(r.matchable), std::to_string(r.problems),
                       text::Format("%.4f", r.ToxicShare()), r.ToxicShare() >= threshold ? "yes" : "no"});
    }
    return out;
}

namespace {

// A report's file name as a link: every byte but the unreserved ones percent-encoded.
std::string UrlPath(const std::string& name) {
    std::string out;
    for (unsigned char ch : name) {
        if (std::isalnum(ch) || std::string("-._~").find(static_cast<char>(ch)) != std::string::npos) {
            out += static_cast<char>(ch);
        } else {
            out += text::Format("%%%02X", ch);
        }
    }
    return out;
}

const char* const kSerialNumbers = "serial no.";


// What the station sent most often in its QSOs, as its Cabrillo line writes it: its state or province, its zone
// and QTH ("14 DX" also where the log wrote the zone alone), "serial no.", or the text itself.
std::string SentExchange(const CheckedContest& c, size_t li) {
    std::map<std::string, size_t> sent;
    for (const CheckQso& q : (*c.logs)[li].qsos) {
        if (q.exchSent != CallTable::kNone) ++sent[ExchangeKey(*c.contest, c.calls->Text(q.exchSent))];
    }
    auto most = std::max_element(sent.begin(), sent.end(),
                                 [](const auto& a, const auto& b) { return a.second < b.second; });
    if (most == sent.end()) return "";
    const std::string& key = most->first;
    const bool number = !key.empty() && key.find_first_not_of("0123456789") == std::string::npos;
    return number && SendsSerialNumbers(*c.contest) ? kSerialNumbers : c.contest->CabrilloExchange(key);
}

// Whether a log's LOCATION header says what its station sent: the same exchange, or the location part of it as
// its Cabrillo line writes it (a CQ WW station's "14 DX", or "14" alone, beside LOCATION: DX).
bool LocationAgrees(const contest::Record& contest, const std::string& location, const std::string& sent) {
    return SameExchange(contest, location, sent) ||
           SameExchange(contest, location, contest.NormaliseLocation(contest.CabrilloExchange(sent)));
}

// Whether any QSO of a contest period was held against another log of it: matched, busted, or not in that log.
bool PeriodCrossChecked(const CheckedContest& c, long long period) {
    for (size_t li = 0; li < c.logs->size(); ++li) {
        if ((*c.logs)[li].periodStart != period) continue;
        for (const QsoResult& q : c.results->logs[li].qsos) {
            if (q.otherLog != kNoLog && q.otherLog != li) return true;
        }
    }
    return false;
}

const char* const kOnlyLogNote = "The only log of this contest: its QSOs have no log to be checked against, so each "
                                 "is unique or not checkable.";
const char* const kNoSharedQsoNote = "These logs share no QSO with each other, so nothing could be cross-checked "
                                     "between them: each QSO is unique or not checkable.";
// What a list with nothing in it says instead of a bare header.
const char* const kNoRows = "None.";

// A list as a table that scrolls in its box on a phone, or the one line that says it is empty.
std::string ListTable(const std::string& headerRow, const std::string& rows) {
    if (rows.empty()) return std::string("<p class=\"note\">") + kNoRows + "</p>\r\n";
    return "<div class=\"wide\"><table>" + headerRow + "\r\n" + rows + "</table></div>\r\n";
}

// The points and multipliers the plug-in counted for a log, before the check took any away.
std::pair<long long, size_t> CountedCredit(const CheckLog& log) {
    long long points = 0;
    std::set<uint32_t> multipliers;
    for (const CheckQso& q : log.qsos) {
        if (!q.counted) continue;
        points += q.points;
        for (uint32_t m : q.multipliers) {
            if (m != CallTable::kNone) multipliers.insert(m);
        }
    }
    return {points, multipliers.size()};
}

}  // namespace

std::string ResultsHtml(const CheckedContest& c, const std::string& title) {
    std::string out =
        "<!DOCTYPE html>\r\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"><title>" +
        Html(title) +
        "</title>\r\n<style>body{font:14px/1.4 sans-serif;margin:1.5em;color:#222}"
        ".wide{overflow-x:auto;max-width:100%;margin-bottom:1.5em}"
        "table{border-collapse:collapse}th,td{border:1px solid #bbb;padding:2px 8px}"
        "th{background:#e8eef5}td.n{text-align:right;white-space:nowrap}tr:nth-child(even) td{background:#f7f7f7}"
        "td.lost{color:#a00}h2{margin:1.2em 0 .3em;font-size:18px}h3{margin:1em 0 .3em;font-size:15px}"
        ".note{color:#555;font-size:13px}td{white-space:nowrap}"
        "@media (max-width:600px){body{margin:.5em}th,td{padding:2px 4px}}p.partial{background:#fdd;border:2px solid #a00;"
        "padding:.5em;font-weight:bold}</style></head>\r\n<body>\r\n<h1>" +
        Html(title) + "</h1>\r\n";
    const char* const kWide = "<div class=\"wide\"><table>";
    const char* const kWideEnd = "</table></div>\r\n";
    size_t lost = 0;
    for (const LeftOut& l : c.leftOut) lost += l.lost;
    if (lost) {
        out += text::Format("<p class=\"partial\">PARTIAL: %llu log(s) were lost when a worker process ended; their "
                            "stations count as stations without a log, and the results below are incomplete.</p>\r\n",
                            Count(lost));
    }
    size_t total = 0;
    for (const CheckLog& l : *c.logs) total += l.qsos.size();
    out += text::Format("<p>%llu logs, %llu QSOs. Each contest is ranked apart, as its logs are checked only against "
                        "each other. Checked score: points and multipliers of the QSOs the plug-in counted, without "
                        "those not in the other log, with a busted call or a busted exchange, or made outside the "
                        "contest period; \"lost\" is what that took away. Each call links to its report.</p>\r\n",
                        Count(c.infos->size()), Count(total));
    if (!c.leftOut.empty()) {
        out += "<h2>Files not checked</h2>\r\n<p class=\"note\">Not logs, logs that could not be read or were lost, "
               "logs of another contest or weekend, and logs another log of their station replaces "
               "(files-not-checked.csv).</p>\r\n<ul>\r\n";
        for (const LeftOut& l : c.leftOut) out += "<li>" + Html(Printable(l.path)) + ": " + Html(Printable(l.reason)) + "</li>\r\n";
        out += "</ul>\r\n";
    }
    std::string warnings;
    for (size_t i : ResultOrder(c)) {
        for (const std::string& w : (*c.infos)[i].warnings) {
            warnings += "<li><a href=\"" + UrlPath((*c.infos)[i].reportName) + "\">" + Html((*c.infos)[i].call) +
                        "</a>: " + Html(Printable(w)) + "</li>\r\n";
        }
    }
    if (!warnings.empty()) out += "<h2>Logs to look at</h2>\r\n<ul>\r\n" + warnings + "</ul>\r\n";
    // The ranking's own figure stands beside the call, so a phone shows it without scrolling.
    const char* heads[] = {"#", "call", "checked score", "lost: points, mults", "sent", "claimed", "QSOs",
                           "plug-in score", "checked QSOs", "not in log", "busted call", "busted exch.", "unique",
                           "outside period", "clock"};
    std::map<long long, size_t> logsOfPeriod;
    for (const CheckLog& l : *c.logs) ++logsOfPeriod[l.periodStart];
    std::string current;
    long long period = 0;
    size_t rank = 0;
    bool open = false, first = true;
    auto num = [](const std::string& s, bool lostCell = false) {
        return std::string("<td class=\"n") + (lostCell && s != "0" ? " lost" : "") + "\">" + s + "</td>";
    };
    for (size_t i : ResultOrder(c)) {
        const LogInfo& info = (*c.infos)[i];
        const LogResult& r = c.results->logs[i];
        const CheckLog& log = (*c.logs)[i];
        const std::string category = Category(info);
        if (first || log.periodStart != period) {
            if (open) out += kWideEnd;
            open = false;
            period = log.periodStart;
            const size_t logs = logsOfPeriod[period];
            out += "<h2>" + replay::FromWholeMinutes(period).Format("%Y") + ": " +
                   replay::FromWholeMinutes(log.periodStart).Format("%Y-%m-%d %H:%M") + " to " +
                   replay::FromWholeMinutes(log.periodEnd).Format("%Y-%m-%d %H:%M") + " UTC, " +
                   text::Format("%llu %s", Count(logs), logs == 1 ? "log" : "logs") + "</h2>\r\n";
            if (logs == 1) {
                out += std::string("<p class=\"note\">") + kOnlyLogNote + "</p>\r\n";
            } else if (!PeriodCrossChecked(c, period)) {
                out += std::string("<p class=\"note\">") + kNoSharedQsoNote + "</p>\r\n";
            }
        }
        if (!open || category != current) {
            if (open) out += kWideEnd;
            out += "<h3>" + Html(category) + "</h3>\r\n" + kWide + "<tr>";
            for (const char* h : heads) out += std::string("<th>") + h + "</th>";
            out += "</tr>\r\n";
            current = category;
            rank = 0;
            open = true;
        }
        first = false;
        const std::string sent = SentExchange(c, i);
        const std::string location = HeaderField(info, &F::location);
        std::string sentCell = Html(sent.empty() ? location : sent);
        if (!sent.empty() && sent != kSerialNumbers && !location.empty() && !LocationAgrees(*c.contest, location, sent)) {
            sentCell += " <span class=\"note\">(" + Html(CabrilloHeaderTagOf(&F::location).tag) + ": " +
                        Html(location) + ")</span>";
        }
        const auto counted = CountedCredit(log);
        const long long lostPoints = counted.first - r.keptPoints;
        const long long lostMultipliers = static_cast<long long>(counted.second) - static_cast<long long>(r.keptMultipliers);
        out += "<tr>" + num(std::to_string(++rank)) + "<td><a href=\"" + UrlPath(info.reportName) + "\">" +
               Html(info.call) + "</a></td>" + num("<b>" + replay::Num(CheckedScore(*c.contest, r)) + "</b>") +
               num(text::Format("%lld, %lld", lostPoints, lostMultipliers), lostPoints + lostMultipliers != 0) +
               "<td>" + sentCell + "</td>" + num(ShownScore(info.claimedScore, "")) + num(std::to_string(info.qsos)) +
               num(ShownScore(info.pluginScore, "")) + num(std::to_string(r.kept)) + num(std::to_string(r.notInLog), true) +
               num(std::to_string(r.bustedCall), true) + num(std::to_string(r.bustedExchange), true) +
               num(std::to_string(r.unique)) + num(std::to_string(r.outsidePeriod), true) +
               num(r.clockOffset ? text::Format("%+lld min", r.clockOffset) : std::string()) + "</tr>\r\n";
    }
    if (open) out += kWideEnd;

    out += "<h2>Missing logs</h2>\r\n<p>Stations without a log that at least " + std::to_string(kMinLogsForMissing) +
           " logs hold, most first (missing-logs.csv): the sponsor may ask for their logs.</p>\r\n";
    std::string rows;
    for (const MissingLog& m : c.results->missing) {
        rows += "<tr><td>" + Html(c.calls->Text(m.station)) + "</td>" + num(Year(m.periodStart)) +
                num(std::to_string(m.logs)) + num(std::to_string(m.qsos)) + "<td>" +
                Html(Printable(MissingLogStatus(c, c.calls->Text(m.station)))) + "</td></tr>\r\n";
    }
    out += ListTable("<tr><th>call</th><th>contest</th><th>logs holding it</th><th>QSOs</th><th>status</th></tr>", rows);

    const double threshold = ToxicThreshold(c);
    out += "<h2>Toxic logs</h2>\r\n<p>Each log's share of failed matches: its own QSOs not in the other log, with a "
           "busted call or exchange, and the other logs' not-in-log and busted exchanges with it, over its matches. "
           "A share of " + Percent(threshold) + " or more (" + Percent(kToxicShare) + ", and three times the "
           "contest's median) points at a bad log rather than at its partners. The highest (all in "
           "toxic-logs.csv):</p>\r\n";
    rows.clear();
    size_t shown = 0;
    for (size_t i : ToxicOrder(c)) {
        const LogResult& r = c.results->logs[i];
        if (shown >= 10 && r.ToxicShare() < threshold) break;
        ++shown;
        rows += "<tr><td>" + Html((*c.infos)[i].call) + "</td>" + num(std::to_string(r.matchable)) +
                num(std::to_string(r.problems)) + num(Percent(r.ToxicShare()), r.ToxicShare() >= threshold) + "</tr>\r\n";
    }
    out += ListTable("<tr><th>call</th><th>matches</th><th>failed</th><th>share</th></tr>", rows);

    out += "<h2>Sent-exchange consensus</h2>\r\n<p>Logs whose sent exchange most of the stations that worked them "
           "copied otherwise (at least " + std::to_string(kMinConsensusCopies) + " copies, two thirds of all): the "
           "log is the likely wrong side; copies of what most copied are not penalised, other copies are held "
           "against it.</p>\r\n";
    rows.clear();
    for (size_t i = 0; i < c.results->logs.size(); ++i) {
        const Consensus& k = c.results->logs[i].consensus;
        if (k.copied == CallTable::kNone) continue;
        rows += "<tr><td>" + Html((*c.infos)[i].call) + "</td><td>" + Html(c.calls->Text(k.logged)) + "</td><td>" +
                Html(c.calls->Text(k.copied)) + "</td>" + num(std::to_string(k.agreeing) + " of " +
                                                               std::to_string(k.copies)) + "</tr>\r\n";
    }
    out += ListTable("<tr><th>call</th><th>log says sent</th><th>most copied</th><th>copies</th></tr>", rows);
    out += "</body></html>\r\n";
    return out;
}

}  // namespace check
