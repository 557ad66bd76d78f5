#include "contest_simulator.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <tuple>
#include <filesystem>
#include <fstream>
#include <random>
#include <unordered_set>

#include "common/text.h"
#include "country_file.h"
#include "contest/arrl_rtty_roundup.h"
#include "contest/cq_ww_rtty.h"

namespace sim {

namespace {

struct Station {
    std::string call;
    bool wve = false;
    std::string prefix;
    std::string state;  // W/VE: the state or province it sends
    int zone = 0;       // its entity's CQ zone, sent where the contest's exchange is a zone
};

struct Line {
    int minute = 0;  // minutes after the start, on the logger's clock
    int band = 0;
    std::string call, sent, rcvd;
    int injected = -1;  // index into the contest's injected errors
};

constexpr const char* kBandKhz[] = {"3580", "7080", "14080", "21080", "28080"};

// The contest weekend the logs are dated in: its Saturday, by the contest's period.
struct Weekend {
    int year, month, saturday;
};
Weekend WeekendOf(const contest::Record& c) {
    return &c == &contest::CqWwRtty() ? Weekend{2024, 9, 28} : Weekend{2025, 1, 4};
}

std::string Busted(const std::string& call, std::mt19937& rng) {
    static const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string b = call;
    // A letter of the suffix copied wrong: the usual slip.
    size_t pos = b.size() - 1 - rng() % 2;
    if (pos >= b.size() || !(b[pos] >= 'A' && b[pos] <= 'Z')) pos = b.size() - 1;
    char c;
    do c = letters[rng() % letters.size()];
    while (c == b[pos]);
    b[pos] = c;
    return b;
}

}  // namespace

SimContest Simulate(const SimOptions& o, const std::string& scpFile, const std::string& countryFile,
                    std::string& error) {
    SimContest contest;
    const contest::Record& rules = o.contest ? *o.contest : contest::ArrlRttyRoundup();
    const bool zones = &rules == &contest::CqWwRtty();
    const int periodMinutes = rules.periodHours * 60;
    replay::CountryFile cty;
    if (!cty.Load(countryFile, error, rules.waeCountries)) return contest;
    std::ifstream scp(scpFile, std::ios::binary);
    if (!scp) {
        error = "cannot read " + scpFile;
        return contest;
    }
    std::vector<std::string> pool;
    for (std::string line; std::getline(scp, line);) {
        line = text::Trim(line);
        if (line.size() < 4 || line.size() > 6 || line[0] == '#' || line.find('/') != std::string::npos) continue;
        pool.push_back(line);
    }
    std::mt19937 rng(o.seed);
    std::shuffle(pool.begin(), pool.end(), rng);
    if (o.edgeExchanges) {
        // A Hawaiian and an Alaskan call first: DX stations of the USA's own entities.
        for (const char* area : {"KH6", "KL7"}) {
            auto it = std::find_if(pool.begin(), pool.end(), [&](const std::string& c) { return c.rfind(area, 0) == 0; });
            if (it != pool.end()) std::rotate(pool.begin(), it, it + 1);
        }
    }
    const int total = o.loggers + o.silent;
    if (static_cast<int>(pool.size()) < total) {
        error = "too few calls in " + scpFile;
        return contest;
    }
    std::vector<Station> stations;
    std::unordered_set<std::string> taken;
    size_t edgesSent = 0;
    for (size_t i = 0; static_cast<int>(stations.size()) < total && i < pool.size(); ++i) {
        Station s;
        s.call = pool[i];
        const replay::CountryEntity* entity = cty.EntityOf(s.call);
        const std::string prefix = entity ? entity->primaryPrefix : "";
        if (prefix.empty() || (zones && entity->cqZone == 0)) continue;
        s.wve = rules.SendsLocation(prefix);
        s.prefix = prefix;
        s.zone = entity->cqZone;
        if (s.wve) {
            const auto& codes = rules.LocationMultipliers(prefix);
            s.state = codes[rng() % codes.size()];
            // The first W/VE stations send the edges, one each.
            static const char* const kEdges[] = {"AK", "HI", "PEI", "NF", "LB", "NWT"};
            if (o.edgeExchanges && edgesSent < std::size(kEdges)) s.state = kEdges[edgesSent++];
        }
        taken.insert(s.call);
        stations.push_back(s);
    }

    // The truth: QSOs between random pairs, each pair once per band, spread over the period.
    std::vector<std::vector<Line>> lines(o.loggers);
    std::vector<int> serial(total, 0);
    std::unordered_set<uint64_t> pairs;
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    const long long wanted = static_cast<long long>(o.loggers) * o.qsosPerLog;
    std::vector<std::pair<int, int>> order;  // (minute, truth index) to number the serials in time order
    struct Truth {
        int a, b, band, minute;
    };
    std::vector<Truth> truth;
    long long written = 0;
    // Each pair meets once per band at most: a QSO of two loggers is two lines, one with a silent station one.
    const long long possible = 5LL * o.loggers * (o.loggers - 1) + 5LL * o.loggers * o.silent;
    if (wanted > possible * 4 / 5) {
        error = "too many QSOs per log for so few stations";
        return contest;
    }
    while (written < wanted) {
        const int a = static_cast<int>(rng() % o.loggers);
        const int b = static_cast<int>(rng() % total);
        const int band = static_cast<int>(rng() % 5);
        if (a == b) continue;
        const uint64_t key = (uint64_t(std::min(a, b)) << 32 | uint64_t(std::max(a, b))) * 8 + band;
        if (!pairs.insert(key).second) continue;
        truth.push_back({a, b, band, static_cast<int>(rng() % (periodMinutes - 30)) + 10});
        written += b < o.loggers ? 2 : 1;
    }
    for (int k = 0; k < o.popularSilent && k < o.silent; ++k) {
        const int b = o.loggers + k;
        contest.popularSilent.push_back(stations[b].call);
        for (int a = 0; a < o.loggers; ++a) {
            const int band = static_cast<int>(rng() % 5);
            const uint64_t key = (uint64_t(a) << 32 | uint64_t(b)) * 8 + band;
            if (rng() % 2 == 0 || !pairs.insert(key).second) continue;
            truth.push_back({a, b, band, static_cast<int>(rng() % (periodMinutes - 30)) + 10});
        }
    }
    std::sort(truth.begin(), truth.end(), [](const Truth& x, const Truth& y) { return x.minute < y.minute; });
    // The logs whose sent exchange is written wrong (W/VE stations: their exchange is one state) and the logs
    // that bust many calls, taken after the clock-off logs.
    std::vector<std::string> loggedSent(o.loggers);
    for (int li = o.clockOffLogs; li < o.loggers && static_cast<int>(contest.wrongSent.size()) < o.wrongSentLogs; ++li) {
        if (!stations[li].wve) continue;
        const auto& codes = rules.LocationMultipliers(stations[li].prefix);
        do loggedSent[li] = codes[rng() % codes.size()];
        while (loggedSent[li] == stations[li].state);
        if (zones) loggedSent[li] = text::Format("%02d ", stations[li].zone) + loggedSent[li];
        contest.wrongSent.push_back(li);
    }
    for (int li = o.loggers - 1; li >= 0 && static_cast<int>(contest.busting.size()) < o.bustingLogs; --li) {
        if (loggedSent[li].empty() && li >= o.clockOffLogs) contest.busting.push_back(li);
    }
    std::vector<bool> busting(o.loggers, false);
    for (int li : contest.busting) busting[li] = true;

    contest.clockOffset.assign(o.loggers, 0);
    for (int i = 0; i < o.clockOffLogs && i < o.loggers; ++i) contest.clockOffset[i] = o.clockOffMinutes;

    // The Roundup's exchange is a state or a serial number; the CQ WW's a zone and, from W/VE, the QTH ("14 DX"
    // as its Cabrillo template writes a DX station's).
    auto exchangeOf = [&](int s) {
        if (zones) return text::Format("%02d ", stations[s].zone) + (stations[s].wve ? stations[s].state : "DX");
        return stations[s].wve ? stations[s].state : std::to_string(++serial[s]);
    };
    for (const Truth& t : truth) {
        const std::string fromA = exchangeOf(t.a), fromB = exchangeOf(t.b);
        Line la{t.minute, t.band, stations[t.b].call, fromA, fromB};
        Line lb{t.minute + static_cast<int>(rng() % 2), t.band, stations[t.a].call, fromB, fromA};
        const bool both = t.b < o.loggers;
        bool keepA = true, keepB = both, dupeInjected = false;
        // At most one error per QSO, and only where both sides sent a log: it can be found then.
        if (both) {
            const double r = chance(rng);
            double edge = o.bustedCallRate;
            auto record = [&](Line& l, Kind k, const std::string& right) {
                l.injected = static_cast<int>(contest.injected.size());
                contest.injected.push_back({0, 0, k, right});
            };
            const bool onA = rng() % 2 == 0;
            Line& errSide = onA ? la : lb;
            Line& okSide = onA ? lb : la;
            if (r < edge) {
                const std::string right = errSide.call;
                errSide.call = Busted(right, rng);
                record(errSide, Kind::bustedCall, right);
            } else if (r < (edge += o.bustedExchangeRate)) {
                const std::string sent = errSide.rcvd;
                const Station& sender = stations[onA ? t.b : t.a];
                if (zones) {
                    const int zone = (sender.zone + static_cast<int>(rng() % 39)) % 40 + 1;
                    errSide.rcvd = text::Format("%02d", zone) + sent.substr(2);
                } else if (sender.wve) {
                    const auto& codes = rules.LocationMultipliers(sender.prefix);
                    do errSide.rcvd = codes[rng() % codes.size()];
                    while (errSide.rcvd == sent);
                } else {
                    errSide.rcvd = std::to_string(std::stoi(sent) + 1 + static_cast<int>(rng() % 9));
                }
                record(errSide, Kind::bustedExchange, "");
            } else if (r < (edge += o.missingRate)) {
                (onA ? keepA : keepB) = false;
                record(okSide, Kind::notInLog, "");
            } else if (r < (edge += o.dupeRate)) {
                dupeInjected = true;
                Line dupe = errSide;
                dupe.minute += 5 + static_cast<int>(rng() % 20);
                record(dupe, Kind::dupe, "");
                lines[onA ? t.a : t.b].push_back(dupe);
            }
        }
        // A busting log's own error, where the QSO has none yet (a dupe leaves its mark on the dupe line only).
        bool clean = both && la.injected < 0 && lb.injected < 0 && !dupeInjected;
        for (int side = 0; clean && side < 2; ++side) {
            Line& l = side == 0 ? la : lb;
            const int logger = side == 0 ? t.a : t.b;
            if (!busting[logger] || chance(rng) >= o.bustingRate) continue;
            clean = false;
            const std::string right = l.call;
            l.call = Busted(right, rng);
            l.injected = static_cast<int>(contest.injected.size());
            contest.injected.push_back({0, 0, Kind::bustedCall, right});
        }
        if (!loggedSent[t.a].empty()) la.sent = loggedSent[t.a];
        if (t.b < o.loggers && !loggedSent[t.b].empty()) lb.sent = loggedSent[t.b];
        if (keepA) lines[t.a].push_back(la);
        if (keepB) lines[t.b].push_back(lb);
    }

    std::unordered_set<std::string> loggerCalls;
    for (int li = 0; li < o.loggers; ++li) loggerCalls.insert(stations[li].call);
    // From the period's start on its weekend (the Roundup: Saturday 4 January 2025, 18:00 UTC).
    const Weekend weekend = WeekendOf(rules);
    for (int li = 0; li < o.loggers; ++li) {
        auto& ls = lines[li];
        std::stable_sort(ls.begin(), ls.end(), [](const Line& x, const Line& y) { return x.minute < y.minute; });
        const Station& me = stations[li];
        std::string log = "START-OF-LOG: 3.0\r\nCONTEST: " + std::string(rules.cabrilloContest) + "\r\nCALLSIGN: " + me.call +
                          "\r\nLOCATION: " + (me.wve ? me.state : "DX") +
                          "\r\nCATEGORY-OPERATOR: SINGLE-OP\r\nCATEGORY-POWER: " + (li % 3 ? "LOW" : "HIGH") +
                          "\r\nCATEGORY-ASSISTED: NON-ASSISTED\r\n";
        const int headerLines = 7;
        for (size_t i = 0; i < ls.size(); ++i) {
            const int m = rules.periodStartHour * 60 + ls[i].minute + contest.clockOffset[li];
            const int day = weekend.saturday + m / (24 * 60), hhmm = (m / 60 % 24) * 100 + m % 60;
            log += text::Format("QSO: %5s RY %04d-%02d-%02d %04d %-10s 599 %-5s %-10s 599 %s\r\n",
                                kBandKhz[ls[i].band], weekend.year, weekend.month, day, hhmm, me.call.c_str(),
                                ls[i].sent.c_str(),
                                ls[i].call.c_str(), ls[i].rcvd.c_str());
            if (ls[i].injected >= 0) {
                contest.injected[ls[i].injected].log = li;
                contest.injected[ls[i].injected].line = headerLines + 1 + static_cast<int>(i);
            }
        }
        log += "END-OF-LOG:\r\n";
        std::set<std::string> held;
        for (const Line& l : ls) {
            if (!loggerCalls.count(l.call)) held.insert(l.call);
        }
        for (const std::string& call : held) ++contest.holders[call];
        contest.qsoLines += ls.size();
        contest.calls.push_back(me.call);
        contest.logs.push_back(std::move(log));
    }
    return contest;
}

void WriteLogs(const SimContest& contest, const std::string& folder) {
    std::filesystem::create_directories(folder);
    for (size_t i = 0; i < contest.logs.size(); ++i) {
        std::ofstream(std::filesystem::path(folder) / (contest.calls[i] + ".log"), std::ios::binary | std::ios::trunc)
            << contest.logs[i];
    }
}

}  // namespace sim

namespace sim {

namespace {

// "Unique calls: 3": a section of a report, with its count.
bool IsHeading(const std::string& line) {
    const size_t colon = line.rfind(": ");
    return colon != std::string::npos && colon + 2 < line.size() && std::isalpha(static_cast<unsigned char>(line[0])) &&
           line.find_first_not_of("0123456789", colon + 2) == std::string::npos;
}

// "277  QSO: ...": an entry, by its line number; the lines under it start otherwise (a call such as 4Z5IX
// starts with a digit, but not with a number and a blank).
bool IsEntry(const std::string& line) {
    const size_t digits = line.find_first_not_of("0123456789");
    return digits > 0 && digits != std::string::npos && line[digits] == ' ';
}

KindScore& Of(CheckScore& s, Kind k) {
    switch (k) {
        case Kind::bustedCall: return s.bustedCall;
        case Kind::bustedExchange: return s.bustedExchange;
        case Kind::notInLog: return s.notInLog;
        case Kind::dupe: return s.dupe;
    }
    return s.dupe;
}

}  // namespace

CheckScore ScoreReports(const SimContest& contest, const std::string& outDir, int minHolders) {
    CheckScore score;
    std::set<std::tuple<int, int, int>> truth;  // (log, line, kind)
    std::map<std::pair<int, int>, std::string> rightCalls;
    for (const Injected& i : contest.injected) {
        truth.insert({i.log, i.line, static_cast<int>(i.kind)});
        ++Of(score, i.kind).truth;
        if (i.kind == Kind::bustedCall) rightCalls[{i.log, i.line}] = i.right;
    }
    for (size_t li = 0; li < contest.calls.size(); ++li) {
        if (contest.clockOffset[li] != 0) ++score.clock.truth;
        std::ifstream in(std::filesystem::path(outDir) / (contest.calls[li] + ".lcr.txt"), std::ios::binary);
        int kind = -1;
        for (std::string line; std::getline(in, line);) {
            line = text::Trim(line);
            if (line.rfind("Not in log:", 0) == 0) kind = static_cast<int>(Kind::notInLog);
            else if (line.rfind("Busted calls:", 0) == 0) kind = static_cast<int>(Kind::bustedCall);
            else if (line.rfind("Busted exchanges:", 0) == 0) kind = static_cast<int>(Kind::bustedExchange);
            else if (line.rfind("Not counted by the plug-in:", 0) == 0) kind = static_cast<int>(Kind::dupe);
            else if (line.rfind("Sent exchange:", 0) == 0) {
                kind = -1;
                ++score.consensus.found;
                score.consensus.right += std::count(contest.wrongSent.begin(), contest.wrongSent.end(), int(li)) > 0;
            } else if (line.rfind("Clock offset:", 0) == 0) {
                kind = -1;
                int minutes = 0;
                if (std::sscanf(line.c_str(), "Clock offset: %d minutes", &minutes) == 1) {
                    if (line.find("behind") != std::string::npos) minutes = -minutes;
                    ++score.clock.found;
                    if (minutes == contest.clockOffset[li]) ++score.clock.right;
                }
            } else if (IsHeading(line)) {
                kind = -1;  // any other section
            } else if (kind >= 0 && IsEntry(line)) {
                if (kind == static_cast<int>(Kind::dupe) && line.find("(DUPE") == std::string::npos) continue;
                const int number = std::atoi(line.c_str());
                KindScore& k = Of(score, static_cast<Kind>(kind));
                ++k.found;
                if (!truth.count({static_cast<int>(li), number, kind})) continue;
                if (kind == static_cast<int>(Kind::bustedCall)) {
                    const size_t arrow = line.rfind("-> ");
                    if (arrow == std::string::npos || line.substr(arrow + 3) != rightCalls[{static_cast<int>(li), number}])
                        continue;
                }
                ++k.right;
            }
        }
    }
    score.consensus.truth = contest.wrongSent.size();

    auto rows = [&](const char* file) {
        std::vector<std::vector<std::string>> out;
        std::ifstream in(std::filesystem::path(outDir) / file, std::ios::binary);
        std::string line;
        std::getline(in, line);  // the header
        while (std::getline(in, line)) out.push_back(text::Split(text::Trim(line), ','));
        return out;
    };
    std::set<std::string> busting;
    for (int li : contest.busting) busting.insert(contest.calls[li]);
    score.toxic.truth = busting.size();
    for (const auto& r : rows("toxic-logs.csv")) {
        if (r.size() < 5 || r[4] != "yes") continue;
        ++score.toxic.found;
        score.toxic.right += busting.count(r[0]);
    }
    for (const auto& [call, n] : contest.holders) score.missing.truth += n >= minHolders;
    score.popular.truth = contest.popularSilent.size();
    for (const auto& r : rows("missing-logs.csv")) {
        if (r.size() < 3) continue;
        ++score.missing.found;
        auto it = contest.holders.find(r[0]);
        const bool right = it != contest.holders.end() && std::to_string(it->second) == r[1];
        score.missing.right += right;
        const bool popular = std::count(contest.popularSilent.begin(), contest.popularSilent.end(), r[0]) > 0;
        score.popular.found += popular;
        score.popular.right += popular && right;
    }
    return score;
}

}  // namespace sim
