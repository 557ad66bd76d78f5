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
    std::string call;  // as it signs: "W1ABC", "W1ABC/4"
    bool wve = false;
    std::string prefix;
    std::string state;  // W/VE: the state or province it sends
    int zone = 0;       // its CQ zone, sent where the contest's exchange is a zone
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
// The contest's last weekend before June 2025, by its record: the Roundup's of January 2025, the CQ WPX RTTY's of
// February 2025, the CQ WW RTTY's of September 2024.
Weekend WeekendOf(const contest::Record& c) {
    COleDateTime start = c.PeriodStartOf(2025);
    if (!start.IsValid() || start.m_dt > COleDateTime::FromFields(2025, 6, 1).m_dt) start = c.PeriodStartOf(2024);
    DateTimeFields f;
    if (!start.GetFields(f)) return Weekend{2025, 1, 4};
    return Weekend{f.year, f.month, f.day};
}

// The contest counts CQ zones, which its stations send.
bool CountsZones(const contest::Record& c) { return c.Counts(contest::MultiplierKind::Of::zone); }

// The states of each US call area, by the area's digit.
const char* const kStatesOfArea[10] = {
    "CO IA KS MN MO NE ND SD", "CT ME MA NH RI VT", "NJ NY", "DE DC MD PA", "AL FL GA KY NC SC TN VA",
    "AR LA MS NM OK TX",       "CA",                "AZ ID MT NV OR UT WA WY", "MI OH WV", "IL IN WI"};
// The Canadian province of a call: by its prefix where the prefix says it, else by its area digit.
const std::pair<const char*, const char*> kProvinceOfPrefix[] = {
    {"VO1", "NL"}, {"VO2", "LB"}, {"VY0", "NU"}, {"VY1", "YT"}, {"VY2", "PE"}};
const char* const kProvinceOfArea[10] = {"NU", "NS", "QC", "ON", "MB", "SK", "AB", "BC", "NT", "NB"};
// The CQ zone of each state and province, by CQ's zone list (mapability.com/ei8ic/contest/cqz.php): zone 3 the
// West (VE7, W6 and the W7 states but Montana and Wyoming), 4 the centre (VE3 to VE6, W0, W5, W8 but West
// Virginia, W9, Montana, Wyoming, Alabama, Tennessee, Kentucky), 5 the East (VE1, VE9, VO1, VY2, southern
// Quebec, W1 to W3, the other W4 states, West Virginia), 1 Yukon, the western Northwest Territories and
// Alaska, 2 Labrador, northern Quebec and Nunavut; Hawaii 31.
int ZoneOfLocation(const std::string& code) {
    static const std::map<std::string, int> kZones = [] {
        std::map<std::string, int> z;
        for (const char* s : {"CA", "AZ", "ID", "NV", "OR", "UT", "WA", "BC"}) z[s] = 3;
        for (const char* s : {"MT", "WY", "CO", "IA", "KS", "MN", "MO", "NE", "ND", "SD", "IL", "IN", "WI", "MI",
                              "OH", "AR", "LA", "MS", "NM", "OK", "TX", "AL", "TN", "KY", "ON", "MB", "SK", "AB"}) {
            z[s] = 4;
        }
        for (const char* s : {"CT", "ME", "MA", "NH", "RI", "VT", "NJ", "NY", "DE", "DC", "MD", "PA", "FL", "GA",
                              "SC", "NC", "VA", "WV", "NS", "NB", "NL", "NF", "PE", "PEI", "QC"}) {
            z[s] = 5;
        }
        for (const char* s : {"YT", "NT", "NWT", "AK"}) z[s] = 1;
        for (const char* s : {"LB", "NU"}) z[s] = 2;
        z["HI"] = 31;
        return z;
    }();
    auto it = kZones.find(code);
    return it == kZones.end() ? 0 : it->second;
}

// The call area digit of a call: its last digit ("W1ABC" 1), -1 without one.
int AreaOf(const std::string& call) {
    for (size_t i = call.size(); i > 0; --i) {
        if (std::isdigit(static_cast<unsigned char>(call[i - 1]))) return call[i - 1] - '0';
    }
    return -1;
}

// Where a W/VE station is, by its call (a portable "/4" by its area), as one of the contest's codes for its
// country; "" where the call does not say.
std::string LocationOfCall(const std::string& call, const std::string& prefix, std::mt19937& rng) {
    const size_t slash = call.find('/');
    const std::string home = call.substr(0, slash);
    const int area = slash != std::string::npos ? call[slash + 1] - '0' : AreaOf(home);
    if (area < 0 || area > 9) return "";
    if (prefix == "K") {
        const std::vector<std::string> states = text::Split(kStatesOfArea[area], ' ');
        return states[rng() % states.size()];
    }
    if (slash == std::string::npos) {
        for (const auto& [p, province] : kProvinceOfPrefix) {
            if (home.rfind(p, 0) == 0) return province;
        }
    }
    return kProvinceOfArea[area];
}

// The station part of a call: the longest part of a portable form, as the checker takes it.
std::string StationPart(const std::string& call) {
    std::string best;
    for (const std::string& part : text::Split(call, '/')) {
        if (part.size() > best.size()) best = part;
    }
    return best;
}

enum class BustKind { changed, added, dropped, swapped, lookAlike };

// The call as copied wrong, in its suffix (the letters after its last digit), where copying goes wrong most
// and its country stays the same: a kind that the call cannot take (nothing to drop from a one-letter
// suffix, no look-alike letter) becomes a changed letter. A portable part stays as it was.
std::string Busted(const std::string& call, BustKind kind, std::mt19937& rng) {
    static const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const size_t slash = call.find('/');
    std::string b = call.substr(0, slash);
    const std::string portable = slash == std::string::npos ? "" : call.substr(slash);
    size_t suffix = b.size();
    while (suffix > 0 && std::isalpha(static_cast<unsigned char>(b[suffix - 1]))) --suffix;
    const size_t letterCount = b.size() - suffix;
    auto randomLetter = [&](char not1, char not2) {
        char c;
        do c = letters[rng() % letters.size()];
        while (c == not1 || c == not2);
        return c;
    };
    if (kind == BustKind::added) {
        const size_t at = suffix + rng() % (letterCount + 1);
        b.insert(b.begin() + static_cast<long>(at), randomLetter(at > 0 ? b[at - 1] : 0, at < b.size() ? b[at] : 0));
        return b + portable;
    }
    if (kind == BustKind::dropped && letterCount >= 2) {
        b.erase(suffix + rng() % letterCount, 1);
        return b + portable;
    }
    if (kind == BustKind::swapped) {
        std::vector<size_t> at;
        for (size_t i = suffix; i + 1 < b.size(); ++i) {
            if (b[i] != b[i + 1]) at.push_back(i);
        }
        if (!at.empty()) {
            const size_t i = at[rng() % at.size()];
            std::swap(b[i], b[i + 1]);
            return b + portable;
        }
    }
    if (kind == BustKind::lookAlike) {
        static const std::string alike = "OISBZ", digits = "01582";
        std::vector<size_t> at;
        for (size_t i = suffix; i < b.size(); ++i) {
            if (alike.find(b[i]) != std::string::npos) at.push_back(i);
        }
        if (!at.empty()) {
            const size_t i = at[rng() % at.size()];
            b[i] = digits[alike.find(b[i])];
            return b + portable;
        }
    }
    // A letter of the suffix changed: the usual slip.
    size_t pos = b.size() - 1 - rng() % 2;
    if (pos >= b.size() || !(b[pos] >= 'A' && b[pos] <= 'Z')) pos = b.size() - 1;
    b[pos] = randomLetter(b[pos], 0);
    return b + portable;
}

BustKind DrawBust(const SimOptions::BustMix& mix, double r) {
    const double total = mix.changed + mix.added + mix.dropped + mix.swapped + mix.lookAlike;
    r *= total;
    if ((r -= mix.changed) < 0) return BustKind::changed;
    if ((r -= mix.added) < 0) return BustKind::added;
    if ((r -= mix.dropped) < 0) return BustKind::dropped;
    if ((r -= mix.swapped) < 0) return BustKind::swapped;
    return BustKind::lookAlike;
}

long long FloorDiv(long long a, long long b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

}  // namespace

void UseRealErrorModel(SimOptions& o) {
    o.bustedCallRate = 0.015;
    o.bustedExchangeRate = 0.005;
    o.missingRate = 0.01;
    o.dupeRate = 0.01;
    o.bustMix = {0.45, 0.10, 0.15, 0.15, 0.15};
    o.missingExchangeRate = 0.002;
    const int per30 = std::max(1, o.loggers / 30), per60 = std::max(1, o.loggers / 60);
    o.clockOffLogs = per30;
    o.clockOffMinutes = 10;
    static const int kHours[] = {60, -90, 180, -300};
    o.hourOffsets.clear();
    for (int i = 0; i < per30; ++i) o.hourOffsets.push_back(kHours[i % 4]);
    o.noReportLogs = per30;
    o.portableLogs = per30;
    o.staleDateLogs = per60;
    o.headerCallLogs = per60;
}

SimContest Simulate(const SimOptions& o, const std::string& scpFile, const std::string& countryFile,
                    std::string& error) {
    SimContest contest;
    const contest::Record& rules = o.contest ? *o.contest : contest::ArrlRttyRoundup();
    const bool zones = CountsZones(rules);
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
    // The logs treated apart, each for one thing: clocks off by minutes, then by hours, at the front; the
    // others taken from the middle, so that the wrong-sent logs (after the clocks) and the busting logs (from
    // the end) keep their places.
    const int clockLogs = o.clockOffLogs + static_cast<int>(o.hourOffsets.size());
    std::vector<char> treated(o.loggers, 0);
    auto takeLogs = [&](int count, char mark) {
        std::vector<int> taken;
        for (int li = o.loggers / 3; li < o.loggers && static_cast<int>(taken.size()) < count; ++li) {
            if (treated[li] || li < clockLogs) continue;
            treated[li] = mark;
            taken.push_back(li);
        }
        return taken;
    };
    const std::vector<int> portable = takeLogs(o.portableLogs, 'p');
    const std::vector<int> noReport = takeLogs(o.noReportLogs, 'r');
    const std::vector<int> staleDate = takeLogs(o.staleDateLogs, 'd');
    contest.headerCall = takeLogs(o.headerCallLogs, 'h');

    std::vector<Station> stations;
    size_t edgesSent = 0;
    for (size_t i = 0; static_cast<int>(stations.size()) < total && i < pool.size(); ++i) {
        Station s;
        s.call = pool[i];
        const replay::CountryEntity* entity = cty.EntityOf(s.call);
        const std::string prefix = entity ? entity->primaryPrefix : "";
        if (prefix.empty() || (zones && entity->cqZone == 0)) continue;
        const int index = static_cast<int>(stations.size());
        s.wve = rules.SendsLocation(prefix);
        s.prefix = prefix;
        if (index < o.loggers && treated[index] == 'p') {
            // A W station portable in another call area, any other with "/P".
            s.call += prefix == "K" ? "/" + std::to_string((AreaOf(s.call) + 1 + static_cast<int>(rng() % 9)) % 10)
                                    : std::string("/P");
        }
        s.zone = cty.CqZoneOf(StationPart(s.call));
        if (s.wve) {
            const auto& codes = rules.LocationMultipliers(prefix);
            s.state = LocationOfCall(s.call, prefix, rng);
            if (std::find(codes.begin(), codes.end(), s.state) == codes.end()) {
                const std::string canonical = rules.CanonicalLocation(s.state);
                s.state = std::find(codes.begin(), codes.end(), canonical) != codes.end() ? canonical
                                                                                           : codes[rng() % codes.size()];
            }
            // The first W/VE stations send the edges, one each.
            static const char* const kEdges[] = {"AK", "HI", "PEI", "NF", "LB", "NWT"};
            if (o.edgeExchanges && edgesSent < std::size(kEdges)) s.state = kEdges[edgesSent++];
            if (ZoneOfLocation(s.state)) s.zone = ZoneOfLocation(s.state);
        }
        stations.push_back(s);
    }

    // The truth: QSOs between random pairs, each pair once per band, spread over the period.
    std::vector<std::vector<Line>> lines(o.loggers);
    std::vector<int> serial(total, 0);
    std::unordered_set<uint64_t> pairs;
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    const long long wanted = static_cast<long long>(o.loggers) * o.qsosPerLog;
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
    for (int li = clockLogs; li < o.loggers && static_cast<int>(contest.wrongSent.size()) < o.wrongSentLogs; ++li) {
        if (!stations[li].wve || treated[li]) continue;
        const auto& codes = rules.LocationMultipliers(stations[li].prefix);
        do loggedSent[li] = codes[rng() % codes.size()];
        while (loggedSent[li] == stations[li].state);
        if (zones) loggedSent[li] = text::Format("%02d ", stations[li].zone) + loggedSent[li];
        contest.wrongSent.push_back(li);
    }
    for (int li = o.loggers - 1; li >= 0 && static_cast<int>(contest.busting.size()) < o.bustingLogs; --li) {
        if (loggedSent[li].empty() && li >= clockLogs && !treated[li]) contest.busting.push_back(li);
    }
    std::vector<bool> busting(o.loggers, false);
    for (int li : contest.busting) busting[li] = true;

    contest.clockOffset.assign(o.loggers, 0);
    for (int i = 0; i < o.clockOffLogs && i < o.loggers; ++i) contest.clockOffset[i] = o.clockOffMinutes;
    for (size_t k = 0; k < o.hourOffsets.size() && o.clockOffLogs + static_cast<int>(k) < o.loggers; ++k) {
        contest.clockOffset[o.clockOffLogs + k] = o.hourOffsets[k];
    }

    // The Roundup's exchange is a state or a serial number; the CQ WW's a zone and, from W/VE, the QTH ("14 DX"
    // as its Cabrillo template writes a DX station's).
    auto exchangeOf = [&](int s) {
        if (zones) return text::Format("%02d ", stations[s].zone) + (stations[s].wve ? stations[s].state : "DX");
        return stations[s].wve ? stations[s].state : std::to_string(++serial[s]);
    };
    // What a partner logs of a station: a portable station's call without its portable part, at a rate.
    auto loggedCall = [&](int s) {
        const std::string& call = stations[s].call;
        if (call.find('/') == std::string::npos || chance(rng) >= o.portableLostRate) return call;
        return StationPart(call);
    };
    // A busted call of another country (KP4FF is a US call in the country file) would be a bad QSO to the
    // plug-in rather than a busted call to the checker, and one that is another station's call may be a dupe
    // to the plug-in: the call is busted again, and where that does not help the QSO stays as it was ("").
    std::unordered_set<std::string> stationCalls;
    for (const Station& st : stations) stationCalls.insert(StationPart(st.call));
    auto bust = [&](const std::string& call) {
        const BustKind kind = DrawBust(o.bustMix, chance(rng));
        for (int again = 0; again < 8; ++again) {
            const std::string busted = Busted(call, kind, rng);
            if (cty.PrefixOf(StationPart(busted)) == cty.PrefixOf(StationPart(call)) &&
                !stationCalls.count(StationPart(busted))) {
                return busted;
            }
        }
        return std::string();
    };
    for (const Truth& t : truth) {
        const std::string fromA = exchangeOf(t.a), fromB = exchangeOf(t.b);
        Line la{t.minute, t.band, loggedCall(t.b), fromA, fromB};
        Line lb{t.minute + static_cast<int>(rng() % 2), t.band, loggedCall(t.a), fromB, fromA};
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
            const bool errSideReports = treated[onA ? t.a : t.b] != 'r';
            if (r < edge) {
                const std::string busted = bust(errSide.call);
                if (!busted.empty()) {
                    const std::string right = StationPart(errSide.call);
                    errSide.call = busted;
                    record(errSide, Kind::bustedCall, right);
                }
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
            } else if (r < (edge += o.missingExchangeRate)) {
                // A line without its sent report and its received exchange would have too few fields to read.
                if (errSideReports) {
                    errSide.rcvd.clear();
                    record(errSide, Kind::missingExchange, "");
                }
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
            const std::string busted = bust(l.call);
            if (busted.empty()) continue;
            clean = false;
            const std::string right = StationPart(l.call);
            l.call = busted;
            l.injected = static_cast<int>(contest.injected.size());
            contest.injected.push_back({0, 0, Kind::bustedCall, right});
        }
        if (!loggedSent[t.a].empty()) la.sent = loggedSent[t.a];
        if (t.b < o.loggers && !loggedSent[t.b].empty()) lb.sent = loggedSent[t.b];
        if (keepA) lines[t.a].push_back(la);
        if (keepB) lines[t.b].push_back(lb);
    }

    std::unordered_set<std::string> loggerStations;
    for (int li = 0; li < o.loggers; ++li) loggerStations.insert(StationPart(stations[li].call));
    // From the period's start on its weekend (the Roundup: Saturday 4 January 2025, 18:00 UTC).
    const Weekend weekend = WeekendOf(rules);
    for (int li = 0; li < o.loggers; ++li) {
        auto& ls = lines[li];
        std::stable_sort(ls.begin(), ls.end(), [](const Line& x, const Line& y) { return x.minute < y.minute; });
        const Station& me = stations[li];
        const bool headerOff = treated[li] == 'h', reports = treated[li] != 'r', staleDate = treated[li] == 'd';
        const std::string header = headerOff ? Busted(me.call, BustKind::changed, rng) : me.call;
        std::string log = "START-OF-LOG: 3.0\r\nCONTEST: " + std::string(rules.cabrilloContest) + "\r\nCALLSIGN: " + header +
                          "\r\nLOCATION: " + (me.wve ? me.state : "DX") +
                          "\r\nCATEGORY-OPERATOR: SINGLE-OP\r\nCATEGORY-POWER: " + (li % 3 ? "LOW" : "HIGH") +
                          "\r\nCATEGORY-ASSISTED: NON-ASSISTED\r\n";
        const int headerLines = 7;
        std::set<std::pair<std::string, int>> outside;  // (call, band) of the lines a stale date put outside
        for (size_t i = 0; i < ls.size(); ++i) {
            const long long m = rules.periodStartHour * 60LL + ls[i].minute + contest.clockOffset[li];
            long long day = FloorDiv(m, 24 * 60);
            const long long inDay = m - day * 24 * 60;
            // A date that did not roll over at 00:00 UTC: the second day's QSOs dated the first. Those the
            // date puts outside the period leave nothing of their errors to find but a missing exchange (the
            // plug-in refuses it whatever its date) and a dupe of a QSO in the period. A dupe of one outside
            // it is the only QSO with that station the log has in the period, and the other log has it at
            // another time: not in log.
            if (staleDate && day == 1) {
                day = 0;
                Injected* injected = ls[i].injected >= 0 ? &contest.injected[ls[i].injected] : nullptr;
                const bool out = m - 24 * 60 < rules.periodStartHour * 60LL;
                if (out && (!injected || injected->kind != Kind::dupe)) outside.emplace(ls[i].call, ls[i].band);
                if (injected && injected->kind == Kind::dupe && outside.count({ls[i].call, ls[i].band})) {
                    injected->kind = Kind::notInLog;
                }
                if (injected && out && injected->kind != Kind::missingExchange &&
                    (injected->kind != Kind::dupe || outside.count({ls[i].call, ls[i].band}))) {
                    injected->log = -1;
                    ls[i].injected = -1;
                }
            }
            log += text::Format("QSO: %5s RY %04d-%02d-%02d %04d %-10s %s%-5s %-10s 599 %s\r\n", kBandKhz[ls[i].band],
                                weekend.year, weekend.month, weekend.saturday + static_cast<int>(day),
                                static_cast<int>(inDay / 60 * 100 + inDay % 60), me.call.c_str(), reports ? "599 " : "",
                                ls[i].sent.c_str(), ls[i].call.c_str(), ls[i].rcvd.c_str());
            if (ls[i].injected >= 0) {
                contest.injected[ls[i].injected].log = li;
                contest.injected[ls[i].injected].line = headerLines + 1 + static_cast<int>(i);
            }
        }
        log += "END-OF-LOG:\r\n";
        std::set<std::string> held;
        for (const Line& l : ls) {
            if (!loggerStations.count(StationPart(l.call))) held.insert(StationPart(l.call));
        }
        for (const std::string& call : held) ++contest.holders[call];
        contest.qsoLines += ls.size();
        contest.calls.push_back(me.call);
        std::string report = me.call;
        std::replace(report.begin(), report.end(), '/', '_');
        contest.reportNames.push_back(report + ".lcr.txt");
        contest.logs.push_back(std::move(log));
    }
    return contest;
}

void WriteLogs(const SimContest& contest, const std::string& folder) {
    std::filesystem::create_directories(folder);
    for (size_t i = 0; i < contest.logs.size(); ++i) {
        std::string name = contest.calls[i];
        std::replace(name.begin(), name.end(), '/', '_');
        std::ofstream(std::filesystem::path(folder) / (name + ".log"), std::ios::binary | std::ios::trunc)
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
        case Kind::missingExchange: return s.missingExchange;
    }
    return s.dupe;
}

}  // namespace

CheckScore ScoreReports(const SimContest& contest, const std::string& outDir, int minHolders) {
    CheckScore score;
    std::set<std::tuple<int, int, int>> truth;  // (log, line, kind)
    std::map<std::pair<int, int>, std::string> rightCalls;
    for (const Injected& i : contest.injected) {
        if (i.log < 0) continue;
        truth.insert({i.log, i.line, static_cast<int>(i.kind)});
        ++Of(score, i.kind).truth;
        if (i.kind == Kind::bustedCall) rightCalls[{i.log, i.line}] = i.right;
    }
    for (size_t li = 0; li < contest.calls.size(); ++li) {
        if (contest.clockOffset[li] != 0) ++score.clock.truth;
        std::ifstream in(std::filesystem::path(outDir) / contest.reportNames[li], std::ios::binary);
        const bool headerInjected = std::count(contest.headerCall.begin(), contest.headerCall.end(), int(li)) > 0;
        int kind = -1;
        for (std::string line; std::getline(in, line);) {
            line = text::Trim(line);
            if (line.rfind("Not in log:", 0) == 0) kind = static_cast<int>(Kind::notInLog);
            else if (line.rfind("Busted calls:", 0) == 0) kind = static_cast<int>(Kind::bustedCall);
            else if (line.rfind("Busted exchanges:", 0) == 0) kind = static_cast<int>(Kind::bustedExchange);
            else if (line.rfind("Not counted by the plug-in:", 0) == 0) kind = static_cast<int>(Kind::dupe);
            else if (line.rfind("Dupes the check found", 0) == 0) kind = static_cast<int>(Kind::dupe);
            else if (line.rfind("Own call:", 0) == 0) {
                kind = -1;
                ++score.headerCall.found;
                score.headerCall.right += headerInjected && line.find("checked as " + contest.calls[li] + " (") != std::string::npos;
            } else if (line.rfind("Sent exchange:", 0) == 0) {
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
                // What the plug-in refused other than a dupe ("DUPE", "OUTSIDE CONTEST PERIOD; DUPE") is a QSO
                // whose exchange is missing.
                const int entryKind = kind == static_cast<int>(Kind::dupe) && line.find("   (") != std::string::npos &&
                                              line.find("DUPE") == std::string::npos
                                          ? static_cast<int>(Kind::missingExchange)
                                          : kind;
                const int number = std::atoi(line.c_str());
                KindScore& k = Of(score, static_cast<Kind>(entryKind));
                ++k.found;
                if (!truth.count({static_cast<int>(li), number, entryKind})) continue;
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
    score.headerCall.truth = contest.headerCall.size();

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
