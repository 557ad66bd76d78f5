#include "cross_check.h"

#include <algorithm>
#include <cstdlib>

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

bool SameExchange(const contest::Record& contest, const std::string& a, const std::string& b) {
    const std::string x = text::ToUpper(text::Trim(a)), y = text::ToUpper(text::Trim(b));
    if (AllDigits(x) && AllDigits(y)) {
        const size_t i = x.find_first_not_of('0'), j = y.find_first_not_of('0');
        return (i == std::string::npos ? std::string() : x.substr(i)) ==
               (j == std::string::npos ? std::string() : y.substr(j));
    }
    return contest.CanonicalLocation(x) == contest.CanonicalLocation(y);
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
    }
    return "?";
}

namespace {

// Who logged whom: one entry per QSO, sorted by (worked station, band, time) so the QSOs any station made
// with A on one band within a window are one contiguous run.
struct Entry {
    uint64_t key;  // worked station << 8 | band
    int minute;    // on the logger's clock, corrected by its offset
    uint32_t log;
    uint32_t qso;
    bool operator<(const Entry& o) const { return key != o.key ? key < o.key : minute < o.minute; }
};

uint64_t KeyOf(uint32_t station, uint8_t band) { return uint64_t(station) << 8 | band; }
// A station in one contest.
uint64_t StationKey(int contest, uint32_t station) { return uint64_t(uint32_t(contest)) << 32 | station; }

std::vector<Entry> BuildIndex(const std::vector<CheckLog>& logs, const std::vector<int>& offsets) {
    std::vector<Entry> index;
    size_t total = 0;
    for (const CheckLog& l : logs) total += l.qsos.size();
    index.reserve(total);
    for (uint32_t li = 0; li < logs.size(); ++li) {
        const auto& qsos = logs[li].qsos;
        for (uint32_t qi = 0; qi < qsos.size(); ++qi) {
            if (qsos[qi].band == 0xff) continue;
            index.push_back({KeyOf(qsos[qi].station, qsos[qi].band), qsos[qi].minute - offsets[li], li, qi});
        }
    }
    std::sort(index.begin(), index.end());
    return index;
}

// The entries of QSOs with `station` on `band` within [from, to].
std::pair<const Entry*, const Entry*> Run(const std::vector<Entry>& index, uint32_t station, uint8_t band, int from,
                                          int to) {
    const uint64_t key = KeyOf(station, band);
    auto lo = std::lower_bound(index.begin(), index.end(), Entry{key, from, 0, 0});
    auto hi = std::upper_bound(lo, index.end(), Entry{key, to, 0xffffffffu, 0},
                               [](const Entry& a, const Entry& b) { return a < b; });
    return {index.data() + (lo - index.begin()), index.data() + (hi - index.begin())};
}

// The entry of `logger`'s log nearest in time to `minute`, or nullptr.
const Entry* Nearest(std::pair<const Entry*, const Entry*> run, uint32_t logger, int minute) {
    const Entry* best = nullptr;
    for (const Entry* e = run.first; e != run.second; ++e) {
        if (e->log == logger && (!best || std::abs(e->minute - minute) < std::abs(best->minute - minute))) best = e;
    }
    return best;
}

int Median(std::vector<int>& v) {
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

}  // namespace

std::vector<LogResult> CrossCheck(const std::vector<CheckLog>& logs, const CallTable& calls,
                                  const CrossCheckOptions& options) {
    std::unordered_map<uint64_t, uint32_t> logOf;  // station in a contest -> its log (the first of two)
    for (uint32_t i = 0; i < logs.size(); ++i) logOf.emplace(StationKey(logs[i].contest, logs[i].station), i);

    // Clock offsets: each log's QSOs against the nearest QSO the other station logged with it, on raw times.
    std::vector<int> offsets(logs.size(), 0);
    {
        const std::vector<Entry> raw = BuildIndex(logs, offsets);
        std::vector<int> diffs;
        for (uint32_t li = 0; li < logs.size(); ++li) {
            diffs.clear();
            for (const CheckQso& q : logs[li].qsos) {
                auto other = logOf.find(StationKey(logs[li].contest, q.station));
                if (q.band == 0xff || other == logOf.end() || other->second == li) continue;
                auto run = Run(raw, logs[li].station, q.band, q.minute - kOffsetSearchMinutes,
                               q.minute + kOffsetSearchMinutes);
                if (const Entry* e = Nearest(run, other->second, q.minute)) diffs.push_back(q.minute - e->minute);
            }
            if (diffs.size() < kMinMatchesForOffset) continue;
            const int median = Median(diffs);
            if (std::abs(median) > 1) offsets[li] = median;
        }
    }

    const std::vector<Entry> index = BuildIndex(logs, offsets);
    // How many logs hold a QSO with each station, whatever the band: unique calls are those only one has.
    std::unordered_map<uint64_t, uint32_t> loggedBy;
    {
        std::vector<std::pair<uint64_t, uint32_t>> pairs;  // (station in a contest, logger)
        pairs.reserve(index.size());
        for (const Entry& e : index) {
            pairs.emplace_back(StationKey(logs[e.log].contest, static_cast<uint32_t>(e.key >> 8)), e.log);
        }
        std::sort(pairs.begin(), pairs.end());
        pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
        for (const auto& p : pairs) ++loggedBy[p.first];
    }

    const int n = options.windowMinutes;
    std::vector<LogResult> results(logs.size());
    std::vector<uint32_t> multipliers;
    for (uint32_t li = 0; li < logs.size(); ++li) {
        const CheckLog& log = logs[li];
        LogResult& r = results[li];
        r.clockOffset = offsets[li];
        r.qsos.resize(log.qsos.size());
        multipliers.clear();
        long long keptPoints = 0, penaltyPoints = 0;
        for (size_t qi = 0; qi < log.qsos.size(); ++qi) {
            const CheckQso& q = log.qsos[qi];
            QsoResult& out = r.qsos[qi];
            if (!q.counted) continue;
            ++r.counted;
            const int t = q.minute - offsets[li];
            // The QSOs other stations logged with this one on this band within the window.
            auto run = q.band == 0xff ? std::pair<const Entry*, const Entry*>{nullptr, nullptr}
                                      : Run(index, log.station, q.band, t - n, t + n);
            auto other = logOf.find(StationKey(log.contest, q.station));
            const Entry* match = other != logOf.end() ? Nearest(run, other->second, t) : nullptr;
            if (match) {
                const CheckQso& theirs = logs[match->log].qsos[match->qso];
                out.otherLine = theirs.line;
                if (!theirs.exchSent.empty() && !SameExchange(*options.contest, q.exchRcvd, theirs.exchSent)) {
                    out.verdict = Verdict::bustedExchange;
                    out.sent = theirs.exchSent;
                } else {
                    out.verdict = Verdict::confirmed;
                }
            } else {
                // A station one edit away that logged this one here and now: the call was miscopied.
                const Entry* busted = nullptr;
                const std::string& logged = calls.Text(q.station);
                for (const Entry* e = run.first; e != run.second; ++e) {
                    if (e->log == li || logs[e->log].contest != log.contest ||
                        !OneEditApart(calls.Text(logs[e->log].station), logged)) continue;
                    if (!busted || std::abs(e->minute - t) < std::abs(busted->minute - t)) busted = e;
                }
                if (busted) {
                    out.verdict = Verdict::bustedCall;
                    out.rightCall = logs[busted->log].station;
                    out.otherLine = logs[busted->log].qsos[busted->qso].line;
                } else if (other != logOf.end()) {
                    // The other log holds a QSO here and now with a call one edit away from this station's:
                    // it busted this call, and this side stands.
                    bool theyBusted = false;
                    const std::string& own = calls.Text(log.station);
                    for (const CheckQso& theirs : logs[other->second].qsos) {
                        const int their = theirs.minute - offsets[other->second];
                        if (theirs.band == q.band && their >= t - n && their <= t + n &&
                            OneEditApart(calls.Text(theirs.station), own)) {
                            theyBusted = true;
                            break;
                        }
                    }
                    out.verdict = theyBusted ? Verdict::confirmed : Verdict::notInLog;
                } else {
                    auto by = loggedBy.find(StationKey(log.contest, q.station));
                    out.verdict = by == loggedBy.end() || by->second <= 1 ? Verdict::unique : Verdict::uncheckable;
                }
            }
            switch (out.verdict) {
                case Verdict::notInLog: ++r.notInLog, penaltyPoints += q.points; break;
                case Verdict::bustedCall: ++r.bustedCall, penaltyPoints += q.points; break;
                case Verdict::bustedExchange: ++r.bustedExchange; break;
                case Verdict::unique: ++r.unique; break;
                default: break;
            }
            if (Removes(out.verdict)) continue;
            ++r.kept;
            keptPoints += q.points;
            if (q.multiplier != CallTable::kNone) multipliers.push_back(q.multiplier);
        }
        // The one-extra penalty takes the points of each not-in-log or busted-call QSO a second time.
        const long long extra = options.penalty == Penalty::oneExtra ? penaltyPoints : 0;
        r.keptPoints = keptPoints > extra ? keptPoints - extra : 0;
        std::sort(multipliers.begin(), multipliers.end());
        r.keptMultipliers = static_cast<size_t>(std::unique(multipliers.begin(), multipliers.end()) - multipliers.begin());
    }
    return results;
}

}  // namespace check
