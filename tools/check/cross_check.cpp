#include "cross_check.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <tuple>

#include "common/text.h"

namespace check {

uint32_t CallTable::Intern(const std::string& text) {
    auto it = ids_.find(text);
    if (it != ids_.end()) return it->second;
    const uint32_t id = static_cast<uint32_t>(texts_.size());
    texts_.push_back(text);
    ids_.emplace(text, id);
    return id;
}

uint32_t CallTable::Find(const std::string& text) const {
    auto it = ids_.find(text);
    return it == ids_.end() ? kNone : it->second;
}

const std::string& CallTable::Text(uint32_t id) const {
    static const std::string empty;
    return id == kNone ? empty : texts_[id];
}

std::string StationOf(const std::string& call) {
    std::string best;
    size_t start = 0;
    while (start <= call.size()) {
        size_t slash = call.find('/', start);
        if (slash == std::string::npos) slash = call.size();
        if (slash - start > best.size()) best = call.substr(start, slash - start);
        start = slash + 1;
    }
    return best;
}

bool OneEditApart(const std::string& a, const std::string& b) {
    if (a == b) return false;
    const size_t la = a.size(), lb = b.size();
    if (la == lb) {
        size_t first = 0;
        while (a[first] == b[first]) ++first;
        if (a.compare(first + 1, std::string::npos, b, first + 1, std::string::npos) == 0) return true;
        return first + 1 < la && a[first] == b[first + 1] && a[first + 1] == b[first] &&
               a.compare(first + 2, std::string::npos, b, first + 2, std::string::npos) == 0;
    }
    const std::string& longer = la > lb ? a : b;
    const std::string& shorter = la > lb ? b : a;
    if (longer.size() != shorter.size() + 1) return false;
    size_t i = 0;
    while (i < shorter.size() && shorter[i] == longer[i]) ++i;
    return longer.compare(i + 1, std::string::npos, shorter, i, std::string::npos) == 0;
}

namespace {

bool AllDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string ExchangeKey(const contest::Record& contest, const std::string& exchange) {
    const std::string x = text::ToUpper(text::Trim(exchange));
    if (AllDigits(x)) {
        const size_t i = x.find_first_not_of('0');
        return i == std::string::npos ? "0" : x.substr(i);
    }
    return contest.CanonicalLocation(x);
}

bool SendsSerialNumbers(const contest::Record& contest) { return !contest.Counts(contest::MultiplierKind::Of::zone); }

bool SameExchange(const contest::Record& contest, const std::string& a, const std::string& b) {
    return ExchangeKey(contest, a) == ExchangeKey(contest, b);
}

const char* VerdictName(Verdict v) {
    switch (v) {
        case Verdict::notChecked: return "not checked";
        case Verdict::confirmed: return "confirmed";
        case Verdict::bustedCall: return "busted call";
        case Verdict::notInLog: return "not in log";
        case Verdict::bustedExchange: return "busted exchange";
        case Verdict::unique: return "unique";
        case Verdict::uncheckable: return "not checkable";
        case Verdict::outsidePeriod: return "outside the contest period";
        case Verdict::ownCall: return "own call";
        case Verdict::dupe: return "dupe";
    }
    return "?";
}

namespace {

// Who logged whom: one entry per QSO on a contest band, sorted by (worked station, band, logger, time), so the
// QSOs one log holds with a station on a band are one run in time order, and the one nearest a time is found
// by binary search whatever the other logs hold.
struct Entry {
    uint64_t key;      // worked station << 32 | band << 24 | logger
    long long minute;  // on the logger's own clock
    // What a match needs of the logger's QSO, here rather than in its log, where reading it would cost a
    // cache miss per QSO of the contest.
    int line;
    uint32_t exchSent;
    uint32_t Station() const { return static_cast<uint32_t>(key >> 32); }
    uint32_t Logger() const { return static_cast<uint32_t>(key & 0xffffff); }
};

constexpr uint32_t kMostLogs = 1u << 24;

uint64_t KeyOf(uint32_t station, uint8_t band, uint32_t logger) {
    return uint64_t(station) << 32 | uint64_t(band) << 24 | logger;
}

bool EntryLess(const Entry& a, const Entry& b) { return a.key != b.key ? a.key < b.key : a.minute < b.minute; }

class Index {
public:
    explicit Index(const std::vector<CheckLog>& logs) {
        size_t total = 0;
        for (const CheckLog& l : logs) total += l.qsos.size();
        entries_.reserve(total);
        for (uint32_t li = 0; li < logs.size(); ++li) {
            const auto& qsos = logs[li].qsos;
            for (uint32_t qi = 0; qi < qsos.size(); ++qi) {
                if (qsos[qi].band != kNoBand) entries_.push_back({KeyOf(qsos[qi].station, qsos[qi].band, li), qsos[qi].minute, qsos[qi].line,
                                        qsos[qi].exchSent});
            }
        }
        std::sort(entries_.begin(), entries_.end(), EntryLess);
    }
    // The QSO `logger` logged with `station` on `band` nearest `t` on the logger's clock, at most `window`
    // minutes away (the earlier of two as near); nullptr when there is none.
    const Entry* Nearest(uint32_t station, uint8_t band, uint32_t logger, long long t, long long window) const {
        const Entry probe{KeyOf(station, band, logger), t, 0, 0};
        auto after = std::lower_bound(entries_.begin(), entries_.end(), probe, EntryLess);
        auto same = [&](auto it) { return it->key == probe.key; };
        const Entry* best = nullptr;
        if (after != entries_.begin() && same(after - 1) && t - (after - 1)->minute <= window) best = &*(after - 1);
        if (after != entries_.end() && same(after) && after->minute - t <= window &&
            (!best || after->minute - t < t - best->minute)) {
            best = &*after;
        }
        return best;
    }
    const std::vector<Entry>& Entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
};

// Calls one edit apart, found without comparing every pair: two calls are one edit apart only when they
// share a text made by dropping at most one character of each, so each call is filed under the hash of
// itself and of each of its one-character deletions, and what a search finds is then checked exactly.
class Neighbours {
public:
    void Add(uint32_t id, const std::string& call) {
        if (call.size() > kLongestCall) return;
        for (size_t skip = 0; skip <= call.size(); ++skip) entries_.emplace_back(Hash(call, skip), id);
    }
    void Finish() {
        std::sort(entries_.begin(), entries_.end());
        entries_.erase(std::unique(entries_.begin(), entries_.end()), entries_.end());
    }
    void Find(const std::string& call, const CallTable& calls, std::vector<uint32_t>& out) const {
        out.clear();
        if (call.size() > kLongestCall) return;
        for (size_t skip = 0; skip <= call.size(); ++skip) {
            const uint64_t h = Hash(call, skip);
            auto it = std::lower_bound(entries_.begin(), entries_.end(), std::make_pair(h, uint32_t(0)));
            for (; it != entries_.end() && it->first == h; ++it) {
                if (OneEditApart(calls.Text(it->second), call)) out.push_back(it->second);
            }
        }
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
    }

private:
    // FNV-1a of the text the call leaves without its character at `skip` (skip == size: the whole call). A
    // deletion hashes as the text it leaves, whole calls included: "W1AC" meets "W1ABC" without its B, so a
    // letter added or dropped is found as a changed or swapped one is.
    static uint64_t Hash(const std::string& s, size_t skip) {
        uint64_t h = 1469598103934665603ull;
        for (size_t i = 0; i < s.size(); ++i) {
            if (i == skip) continue;
            h = (h ^ static_cast<unsigned char>(s[i])) * 1099511628211ull;
        }
        return h;
    }
    std::vector<std::pair<uint64_t, uint32_t>> entries_;
};

// A station in the contest of one period.
struct PeriodStation {
    long long period;
    uint32_t station;
    bool operator==(const PeriodStation& o) const { return period == o.period && station == o.station; }
};
struct PeriodStationHash {
    size_t operator()(const PeriodStation& k) const {
        return std::hash<long long>()(k.period * 1000003 + static_cast<long long>(k.station));
    }
};

// A log's clock offset from the time differences of its matches (see kOffsetSearchMinutes); 0 where none is
// believed.
long long ClockOffsetOf(std::vector<long long>& diffs) {
    std::sort(diffs.begin(), diffs.end());
    size_t best = 0, bestFrom = 0;
    for (size_t from = 0, to = 0; from < diffs.size(); ++from) {
        while (to < diffs.size() && diffs[to] - diffs[from] <= kOffsetClusterMinutes) ++to;
        if (to - from > best) best = to - from, bestFrom = from;
    }
    if (best < kMinMatchesForOffset || best * 2 <= diffs.size()) return 0;
    const long long median = diffs[bestFrom + best / 2];
    return median > 1 || median < -1 ? median : 0;
}

// The meaning of each exchange text, as a number per distinct meaning, found once per text.
class ExchangeKeys {
public:
    ExchangeKeys(const contest::Record& contest, const CallTable& calls)
        : contest_(contest), calls_(calls), keyOf_(calls.Size(), kUnset), serials_(SendsSerialNumbers(contest)) {}
    uint32_t Of(uint32_t id) {
        if (id == CallTable::kNone) return Of(empty_);
        uint32_t& k = keyOf_[id];
        if (k == kUnset) k = Of(ExchangeKey(contest_, calls_.Text(id)));
        return k;
    }
    // A number sent where the contest's stations send serial numbers, which differ from QSO to QSO and so
    // make no consensus; a zone is a number that does.
    bool IsSerial(uint32_t key) const { return serials_ && AllDigits(keys_[key]); }
    bool IsEmpty(uint32_t key) const { return keys_[key].empty(); }

private:
    static constexpr uint32_t kUnset = 0xfffffffeu;
    uint32_t Of(const std::string& key) {
        auto it = ids_.find(key);
        if (it != ids_.end()) return it->second;
        keys_.push_back(key);
        return ids_[key] = static_cast<uint32_t>(keys_.size() - 1);
    }
    const contest::Record& contest_;
    const CallTable& calls_;
    std::vector<uint32_t> keyOf_;
    std::vector<std::string> keys_;
    std::unordered_map<std::string, uint32_t> ids_;
    const std::string empty_;
    const bool serials_;
};

}  // namespace

namespace {

// What the stages of the cross-check share: the logs, the station each is checked as, the index of who logged
// whom, and what each stage found for the next.
struct Contest {
    Contest(const std::vector<CheckLog>& l, const CallTable& c, const CrossCheckOptions& o)
        : logs(l), calls(c), options(o), logCount(static_cast<uint32_t>(l.size())), index(l) {
        out.logs.resize(logCount);
        // The station each log is checked as: its header's, unless its QSO lines name another.
        stations.resize(logCount);
        for (uint32_t i = 0; i < logCount; ++i) stations[i] = logs[i].station;
        FileLogs();
    }
    void FileLogs() {
        logOf.clear();
        for (uint32_t i = 0; i < logCount; ++i) logOf.emplace(PeriodStation{logs[i].periodStart, stations[i]}, i);
    }
    // The log of `station` in the period of `l`, kNoLog where that station sent none.
    uint32_t FindLog(const CheckLog& l, uint32_t station) const {
        auto it = logOf.find({l.periodStart, station});
        return it == logOf.end() ? kNoLog : it->second;
    }

    const std::vector<CheckLog>& logs;
    const CallTable& calls;
    const CrossCheckOptions& options;
    const uint32_t logCount;
    std::vector<uint32_t> stations;
    std::unordered_map<PeriodStation, uint32_t, PeriodStationHash> logOf;  // the first log of a station
    const Index index;
    std::vector<long long> offsets;
    // How many logs of a period hold a QSO with each station, whatever the band.
    std::unordered_map<PeriodStation, uint32_t, PeriodStationHash> loggedBy;
    Neighbours logStations, allStations;
    // Per QSO, matched: the other log's sent exchange (kNone: none sent); kNoMatch: not matched.
    static constexpr uint32_t kNoMatch = 0xfffffffeu;
    std::vector<std::vector<uint32_t>> matchedSent;
    std::vector<uint32_t> consensusKey;  // per log: the exchange the others copied, where it overrules its own
    CrossCheckResult out;
};

// A log whose CALLSIGN header and QSO lines name different stations is the one its partners logged: each of
// its QSOs votes for the call the other station's log holds a QSO with, on the band, at about that time.
void SettleStations(Contest& c) {
    bool changed = false;
    for (uint32_t li = 0; li < c.logCount; ++li) {
        const CheckLog& log = c.logs[li];
        LogResult& r = c.out.logs[li];
        if (log.linesStation == CallTable::kNone || log.linesStation == log.station) continue;
        for (const CheckQso& q : log.qsos) {
            const uint32_t other = c.FindLog(log, q.station);
            if (q.band == kNoBand || other == kNoLog || other == li) continue;
            r.linesVotes += c.index.Nearest(log.linesStation, q.band, other, q.minute, kOffsetSearchMinutes) != nullptr;
            r.headerVotes += c.index.Nearest(log.station, q.band, other, q.minute, kOffsetSearchMinutes) != nullptr;
        }
        r.headerStation = log.station;
        if (r.linesVotes >= r.headerVotes) c.stations[li] = log.linesStation, changed = true;
    }
    if (changed) c.FileLogs();
}

// Clock offsets: each log's QSOs against the nearest QSO the other station logged with it, on raw times.
void FindClockOffsets(Contest& c) {
    c.offsets.assign(c.logCount, 0);
    std::vector<long long> diffs;
    for (uint32_t li = 0; li < c.logCount; ++li) {
        diffs.clear();
        for (const CheckQso& q : c.logs[li].qsos) {
            const uint32_t other = c.FindLog(c.logs[li], q.station);
            if (q.band == kNoBand || other == kNoLog || other == li) continue;
            const Entry* e = c.index.Nearest(c.stations[li], q.band, other, q.minute, kOffsetSearchMinutes);
            if (e) diffs.push_back(q.minute - e->minute);
        }
        c.offsets[li] = ClockOffsetOf(diffs);
    }
}

// How many logs of a period hold a QSO with each station, whatever the band; and the missing logs.
void CountLoggers(Contest& c) {
    const auto& entries = c.index.Entries();
    std::vector<std::pair<long long, uint32_t>> holders;  // (period, logger) of one station
    for (size_t i = 0; i < entries.size();) {
        const uint32_t station = entries[i].Station();
        holders.clear();
        size_t j = i;
        for (; j < entries.size() && entries[j].Station() == station; ++j) {
            holders.emplace_back(c.logs[entries[j].Logger()].periodStart, entries[j].Logger());
        }
        std::sort(holders.begin(), holders.end());
        for (size_t a = 0; a < holders.size();) {
            size_t b = a, qsos = 0, distinct = 0;
            for (; b < holders.size() && holders[b].first == holders[a].first; ++b) {
                ++qsos;
                distinct += b == a || holders[b].second != holders[b - 1].second;
            }
            const PeriodStation key{holders[a].first, station};
            c.loggedBy[key] = static_cast<uint32_t>(distinct);
            if (distinct >= kMinLogsForMissing && c.logOf.find(key) == c.logOf.end()) {
                c.out.missing.push_back({station, holders[a].first, distinct, qsos});
            }
            a = b;
        }
        i = j;
    }
    const CallTable& calls = c.calls;
    std::sort(c.out.missing.begin(), c.out.missing.end(), [&](const MissingLog& a, const MissingLog& b) {
        return std::make_tuple(-static_cast<long long>(a.logs), -static_cast<long long>(a.qsos),
                               calls.Text(a.station)) < std::make_tuple(-static_cast<long long>(b.logs),
                                                                         -static_cast<long long>(b.qsos),
                                                                         calls.Text(b.station));
    });
}

// The calls one edit apart from a call: among the stations that sent a log, and among every station logged.
void FileNeighbours(Contest& c) {
    std::vector<bool> seen(c.calls.Size(), false);
    for (uint32_t li = 0; li < c.logCount; ++li) {
        if (!seen[c.stations[li]]) c.logStations.Add(c.stations[li], c.calls.Text(c.stations[li]));
        seen[c.stations[li]] = true;
    }
    std::fill(seen.begin(), seen.end(), false);
    for (const CheckLog& l : c.logs) {
        for (const CheckQso& q : l.qsos) {
            if (!seen[q.station]) c.allStations.Add(q.station, c.calls.Text(q.station));
            seen[q.station] = true;
        }
    }
    c.logStations.Finish();
    c.allStations.Finish();
}

// A station one edit away that logged log `li`'s station here and now: the call was miscopied. Then the same a
// day off, where the other log dates it a day off at the right time of day (a date typed wrong, or one that
// did not roll over at 00:00 UTC), with this station's call or with the miscopied one. The busted call's QSO,
// or else the other station's QSO dated a day off (`dayApart`); null for neither.
const Entry* FindBustedCall(const Contest& c, uint32_t li, const CheckQso& q, long long t, uint32_t other,
                            std::vector<uint32_t>& candidates, QsoResult& res, const Entry*& dayApart) {
    const CheckLog& log = c.logs[li];
    const uint32_t own = c.stations[li];
    const long long n = c.options.windowMinutes;
    const Entry* busted = nullptr;
    dayApart = nullptr;
    c.logStations.Find(c.calls.Text(q.station), c.calls, candidates);
    for (long long day : {0LL, -kMinutesPerDay, kMinutesPerDay}) {
        if (day != 0 && other != kNoLog &&
            (dayApart = c.index.Nearest(own, q.band, other, t + c.offsets[other] + day, n))) {
            return nullptr;
        }
        long long bustedGap = 0;
        for (uint32_t cand : candidates) {
            const uint32_t cl = c.FindLog(log, cand);
            if (cl == kNoLog || cl == li) continue;
            const Entry* e = c.index.Nearest(own, q.band, cl, t + c.offsets[cl] + day, n);
            // Not where this log worked that station too, then: its QSO is the one that matches.
            if (!e || c.index.Nearest(cand, q.band, li, e->minute - c.offsets[cl] - day + c.offsets[li], n)) continue;
            const long long gap = std::llabs(e->minute - c.offsets[cl] - day - t);
            if (!busted || gap < bustedGap) busted = e, bustedGap = gap;
        }
        if (busted) {
            res.dayApart = day != 0;
            return busted;
        }
    }
    return nullptr;
}

// The other log holds a QSO here and now (or dated a day off) with a call one edit away from log `li`'s
// station: it busted this call, and this side stands. `ownNeighbours`: the calls one edit from the station.
bool OtherSideBusted(const Contest& c, uint32_t li, const CheckQso& q, long long t, uint32_t other,
                     const std::vector<uint32_t>& ownNeighbours, QsoResult& res) {
    const long long n = c.options.windowMinutes;
    for (long long day : {0LL, -kMinutesPerDay, kMinutesPerDay}) {
        for (uint32_t cand : ownNeighbours) {
            const Entry* e = c.index.Nearest(cand, q.band, other, t + c.offsets[other] + day, n);
            if (!e) continue;
            // Not where that call's own log holds the QSO: the other log worked that station.
            const uint32_t cl = c.FindLog(c.logs[li], cand);
            if (cl != kNoLog &&
                c.index.Nearest(c.stations[other], q.band, cl, e->minute - c.offsets[other] + c.offsets[cl], n)) {
                continue;
            }
            res.otherLine = e->line;
            res.dayApart = day != 0;
            return true;
        }
    }
    return false;
}

// Matching: the other log's QSO, a busted call, the other side's busted call, not in log, unique.
void MatchQsos(Contest& c) {
    const long long n = c.options.windowMinutes;
    c.matchedSent.resize(c.logCount);
    std::vector<uint32_t> candidates, ownNeighbours;
    std::unordered_map<uint64_t, int> firstLine;  // (call, band) -> the line of its first QSO that stands
    for (uint32_t li = 0; li < c.logCount; ++li) {
        const CheckLog& log = c.logs[li];
        const uint32_t own = c.stations[li];
        LogResult& r = c.out.logs[li];
        r.station = own;
        r.clockOffset = c.offsets[li];
        bool ownNeighboursFound = false;
        r.qsos.resize(log.qsos.size());
        c.matchedSent[li].assign(log.qsos.size(), Contest::kNoMatch);
        // Where the plug-in left QSOs out for their time alone, the dupes among them are the check's to find.
        const bool rejudged = std::any_of(log.qsos.begin(), log.qsos.end(), [](const CheckQso& q) { return q.timeOnly; });
        firstLine.clear();
        for (size_t qi = 0; qi < log.qsos.size(); ++qi) {
            const CheckQso& q = log.qsos[qi];
            QsoResult& res = r.qsos[qi];
            if (!q.counted && !q.timeOnly) continue;
            const long long t = q.minute - c.offsets[li];
            if (t < log.periodStart || t >= log.periodEnd) {
                res.verdict = Verdict::outsidePeriod;
                continue;
            }
            if (q.station == own) {
                res.verdict = Verdict::ownCall;  // its own log would confirm it: never held against it
                continue;
            }
            if (rejudged && q.band != kNoBand) {
                const auto first = firstLine.emplace(uint64_t(q.call) << 8 | q.band, q.line);
                if (!first.second) {
                    res.verdict = Verdict::dupe;
                    res.otherLine = first.first->second;
                    continue;
                }
            }
            const uint32_t other = c.FindLog(log, q.station);
            res.otherLog = other;
            const Entry* match = other == kNoLog || q.band == kNoBand
                                     ? nullptr
                                     : c.index.Nearest(own, q.band, other, t + c.offsets[other], n);
            auto matched = [&](const Entry* e) {
                res.verdict = Verdict::confirmed;  // the exchange is judged once the consensus is known
                res.otherLine = e->line;
                c.matchedSent[li][qi] = e->exchSent;
            };
            if (match) {
                matched(match);
                continue;
            }
            const Entry* dayApart = nullptr;
            const Entry* busted =
                q.band == kNoBand ? nullptr : FindBustedCall(c, li, q, t, other, candidates, res, dayApart);
            if (busted) {
                res.verdict = Verdict::bustedCall;
                res.rightCall = c.stations[busted->Logger()];
                res.otherLog = busted->Logger();
                res.otherLine = busted->line;
            } else if (dayApart) {
                matched(dayApart);
                res.dayApart = true;
            } else if (other != kNoLog) {
                bool theyBusted = false;
                if (q.band != kNoBand) {
                    if (!ownNeighboursFound) c.allStations.Find(c.calls.Text(own), c.calls, ownNeighbours);
                    ownNeighboursFound = true;
                    theyBusted = OtherSideBusted(c, li, q, t, other, ownNeighbours, res);
                }
                res.verdict = theyBusted ? Verdict::confirmed : Verdict::notInLog;
            } else {
                auto by = c.loggedBy.find({log.periodStart, q.station});
                res.verdict = by == c.loggedBy.end() || by->second <= 1 ? Verdict::unique : Verdict::uncheckable;
            }
        }
    }
}

// Sent-exchange consensus: per log, what the stations matched with it copied and what it says it sent.
void SettleConsensus(Contest& c, ExchangeKeys& keys) {
    c.consensusKey.assign(c.logCount, CallTable::kNone);
    std::vector<std::vector<std::pair<uint32_t, uint32_t>>> copies(c.logCount);  // (copy, logged sent) ids
    for (uint32_t li = 0; li < c.logCount; ++li) {
        for (size_t qi = 0; qi < c.logs[li].qsos.size(); ++qi) {
            if (c.matchedSent[li][qi] == Contest::kNoMatch) continue;
            const uint32_t other = c.out.logs[li].qsos[qi].otherLog;
            copies[other].emplace_back(c.logs[li].qsos[qi].exchRcvd, c.matchedSent[li][qi]);
        }
    }
    for (uint32_t lx = 0; lx < c.logCount; ++lx) {
        std::map<uint32_t, std::pair<size_t, uint32_t>> copied, logged;  // key -> (count, a text of it)
        for (const auto& [copy, sent] : copies[lx]) {
            auto& cp = copied[keys.Of(copy)];
            if (cp.first++ == 0) cp.second = copy;
            auto& s = logged[keys.Of(sent)];
            if (s.first++ == 0) s.second = sent;
        }
        auto most = [](const auto& m) {
            auto best = m.begin();
            for (auto it = m.begin(); it != m.end(); ++it) {
                if (it->second.first > best->second.first) best = it;
            }
            return best;
        };
        if (copied.empty()) continue;
        const auto topCopy = most(copied), topLogged = most(logged);
        const size_t total = copies[lx].size();
        Consensus& con = c.out.logs[lx].consensus;
        if (topCopy->second.first >= kMinConsensusCopies && topCopy->second.first * 3 >= total * 2 &&
            !keys.IsSerial(topCopy->first) && !keys.IsEmpty(topCopy->first) && !keys.IsEmpty(topLogged->first) &&
            topCopy->first != topLogged->first) {
            con.copied = topCopy->second.second;
            con.logged = topLogged->second.second;
            con.agreeing = topCopy->second.first;
            con.copies = total;
            c.consensusKey[lx] = topCopy->first;
        }
    }
}

// The exchange of a matched QSO against what its sender sent, or what the others copied of it.
void JudgeExchange(Contest& c, ExchangeKeys& keys, uint32_t li, size_t qi) {
    QsoResult& res = c.out.logs[li].qsos[qi];
    const uint32_t sent = c.matchedSent[li][qi];
    if (sent == Contest::kNoMatch) return;
    const uint32_t overruled = c.consensusKey[res.otherLog];
    const uint32_t expected = overruled != CallTable::kNone ? overruled : keys.Of(sent);
    if (keys.IsEmpty(expected) || keys.Of(c.logs[li].qsos[qi].exchRcvd) == expected) {
        res.byConsensus = expected != keys.Of(sent);
    } else {
        res.verdict = Verdict::bustedExchange;
        res.sent = overruled != CallTable::kNone ? c.out.logs[res.otherLog].consensus.copied : sent;
    }
}

// Each log's counts and checked score.
void CountLog(Contest& c, uint32_t li, std::vector<uint32_t>& multipliers) {
    const CheckLog& log = c.logs[li];
    LogResult& r = c.out.logs[li];
    multipliers.clear();
    long long points = 0, penaltyPoints = 0;
    for (size_t qi = 0; qi < log.qsos.size(); ++qi) {
        const CheckQso& q = log.qsos[qi];
        const QsoResult& res = r.qsos[qi];
        if (!q.counted && !q.timeOnly) continue;
        r.counted += q.counted;
        switch (res.verdict) {
            case Verdict::notInLog: ++r.notInLog, penaltyPoints += q.points; break;
            case Verdict::bustedCall: ++r.bustedCall, penaltyPoints += q.points; break;
            case Verdict::bustedExchange: ++r.bustedExchange; break;
            case Verdict::unique: ++r.unique; break;
            case Verdict::outsidePeriod: ++r.outsidePeriod; break;
            case Verdict::ownCall: ++r.ownCall; break;
            case Verdict::dupe: ++r.dupes; break;
            default: break;
        }
        r.byConsensus += res.byConsensus;
        switch (res.verdict) {
            case Verdict::confirmed: case Verdict::notInLog: case Verdict::bustedCall: case Verdict::bustedExchange:
                ++r.matchable;
                r.problems += res.verdict != Verdict::confirmed;
                // The other side of a failed match takes part in it too (a busted call is the copier's).
                if (res.otherLog != kNoLog && res.otherLog != li &&
                    (res.verdict == Verdict::notInLog || res.verdict == Verdict::bustedExchange)) {
                    ++c.out.logs[res.otherLog].problems;
                    c.out.logs[res.otherLog].matchable += res.verdict == Verdict::notInLog;
                }
                break;
            default: break;
        }
        if (Removes(res.verdict)) continue;
        ++r.kept;
        points += q.points;
        for (uint32_t m : q.multipliers) {
            if (m != CallTable::kNone) multipliers.push_back(m);
        }
    }
    const long long extra = c.options.penalty == Penalty::oneExtra ? penaltyPoints : 0;
    r.keptPoints = std::max(0LL, points - extra);
    std::sort(multipliers.begin(), multipliers.end());
    r.keptMultipliers = static_cast<size_t>(std::unique(multipliers.begin(), multipliers.end()) - multipliers.begin());
}

}  // namespace

CrossCheckResult CrossCheck(const std::vector<CheckLog>& logs, const CallTable& calls,
                            const CrossCheckOptions& options) {
    if (logs.size() >= kMostLogs) throw std::length_error("more logs than the cross-check can index");
    Contest c(logs, calls, options);
    SettleStations(c);
    FindClockOffsets(c);
    CountLoggers(c);
    FileNeighbours(c);
    MatchQsos(c);
    ExchangeKeys keys(*options.contest, calls);
    SettleConsensus(c, keys);
    std::vector<uint32_t> multipliers;
    for (uint32_t li = 0; li < c.logCount; ++li) {
        for (size_t qi = 0; qi < logs[li].qsos.size(); ++qi) JudgeExchange(c, keys, li, qi);
        CountLog(c, li, multipliers);
    }
    return std::move(c.out);
}

}  // namespace check
