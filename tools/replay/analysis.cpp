#include "analysis.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <unordered_map>

#include "common/text.h"
#include "contest_dates.h"
#include "scoring/cabrillo_header.h"

namespace replay {

namespace {

// The longest drawn period: a mistyped --end must not make a page of a million hours.
constexpr long long kMostHours = 24 * 31;

long long HourOf(long long minute) {
    return minute >= 0 ? minute / 60 : (minute - 59) / 60;
}

bool AllDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A counted QSO's credit by the contest's Credit rule, from the exchange as the contest counts it.
contest::Credit CreditOfQso(const contest::Record& contest, const std::string& ownCall, const std::string& ownPrefix,
                            const LogQso& q, const QsoOutcome& o) {
    const std::string counted = contest.JudgeExchange(q.call, o.prefix, q.exchRcvd).counted;
    return contest.CreditOf(
        {q.ownCall.empty() ? ownCall : q.ownCall, ownPrefix, q.call, o.prefix, q.band, q.mode, q.time, counted});
}

// The location country whose location multipliers hold `code`; the first country for a code that is in none
// of the lists (AK and HI are US states without a multiplier).
size_t LocationCountryOf(const contest::Record& contest, const std::string& code) {
    const std::vector<contest::LocationCountry>& countries = contest.LocationCountries();
    for (size_t c = 0; c < countries.size(); ++c) {
        const std::vector<std::string>& codes = contest.LocationMultipliers(countries[c].prefix);
        if (std::find(codes.begin(), codes.end(), code) != codes.end()) return c;
    }
    return 0;
}

// A location code of any location country.
bool IsAnyLocation(const contest::Record& contest, const std::string& code) {
    for (const contest::LocationCountry& country : contest.LocationCountries()) {
        if (contest.IsLocation(country.prefix, code)) return true;
    }
    return false;
}

constexpr size_t kNoKind = static_cast<size_t>(-1);

// The contest's first multiplier kind that names `of`, kNoKind for none.
size_t KindOf(const contest::Record& contest, contest::MultiplierKind::Of of) {
    const std::vector<contest::MultiplierKind>& kinds = contest.MultiplierKinds();
    for (size_t k = 0; k < kinds.size(); ++k) {
        if (kinds[k].of == of)
            return k;
    }
    return kNoKind;
}

// A maritime or aeronautical mobile station: at sea or in the air, in no country's zone.
bool IsAtSea(const std::string& callIn) {
    const std::string call = text::ToUpper(text::Trim(callIn));
    return call.size() > 3 && (call.compare(call.size() - 3, 3, "/MM") == 0 || call.compare(call.size() - 3, 3, "/AM") == 0);
}

// The CQ zones of the W/VE QTHs, by the CQ zone list: zone 3 holds W6, the W7 states but Montana and Wyoming, and
// British Columbia; zone 4 Montana, Wyoming, W0, W9, W8 but West Virginia, W5, Alabama, Tennessee, Kentucky,
// Ontario and the prairie provinces; zone 5 W1, W2, W3, the other W4 states, West Virginia and the Atlantic
// provinces with Newfoundland. A Canadian area on a zone border lies in each of its zones (Quebec north and
// south of the 50th parallel, Nunavut either side of 102 degrees west and Akimiski Island). Alaska and Hawaii,
// which a K station may send, are zones 1 and 31.
struct QthZoneList {
    const char* qth;
    int zones[3];
};
const QthZoneList kQthZones[] = {
    {"WA", {3}}, {"OR", {3}}, {"CA", {3}}, {"NV", {3}}, {"ID", {3}}, {"UT", {3}}, {"AZ", {3}}, {"BC", {3}},
    {"MT", {4}}, {"WY", {4}}, {"CO", {4}}, {"NM", {4}}, {"ND", {4}}, {"SD", {4}}, {"NE", {4}}, {"KS", {4}},
    {"OK", {4}}, {"TX", {4}}, {"MN", {4}}, {"IA", {4}}, {"MO", {4}}, {"AR", {4}}, {"LA", {4}}, {"MS", {4}},
    {"WI", {4}}, {"IL", {4}}, {"IN", {4}}, {"MI", {4}}, {"OH", {4}}, {"KY", {4}}, {"TN", {4}}, {"AL", {4}},
    {"ON", {4}}, {"MB", {4}}, {"SK", {4}}, {"AB", {4}},
    {"ME", {5}}, {"NH", {5}}, {"VT", {5}}, {"MA", {5}}, {"RI", {5}}, {"CT", {5}}, {"NY", {5}}, {"NJ", {5}},
    {"PA", {5}}, {"DE", {5}}, {"MD", {5}}, {"DC", {5}}, {"VA", {5}}, {"WV", {5}}, {"NC", {5}}, {"SC", {5}},
    {"GA", {5}}, {"FL", {5}}, {"NB", {5}}, {"NS", {5}}, {"PE", {5}}, {"NL", {5}},
    {"YT", {1}}, {"NT", {1}}, {"LB", {2}}, {"QC", {2, 5}}, {"NU", {1, 2, 4}}, {"AK", {1}}, {"HI", {31}},
};

QsoRef RefOf(const std::vector<LogQso>& log, size_t i) {
    const LogQso& q = log[i];
    return QsoRef{q.line, q.call, q.band, q.exchRcvd, q.time.IsValid() ? WholeMinutes(q.time) : 0, i};
}

std::vector<std::pair<std::string, size_t>> MostFirst(const std::map<std::string, size_t>& counts) {
    std::vector<std::pair<std::string, size_t>> sorted(counts.begin(), counts.end());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    return sorted;
}

}  // namespace

bool ScpList::Load(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read the super-check-partial list " + path;
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    LoadFromText(content.str());
    if (calls_.empty()) {
        error = "no call in the super-check-partial list " + path;
        return false;
    }
    return true;
}

void ScpList::LoadFromText(const std::string& content) {
    content_ = text::ToUpper(content);
    calls_.clear();
    std::vector<std::string_view> misfits;  // the few calls out of order in a list that is sorted otherwise
    const char* blanks = " \t\r\n\v\f";
    size_t from = 0;
    while (from < content_.size()) {
        size_t to = content_.find('\n', from);
        if (to == std::string::npos)
            to = content_.size();
        const size_t first = content_.find_first_not_of(blanks, from);
        if (first < to && content_[first] != '#') {
            const size_t last = content_.find_last_not_of(blanks, to - 1);
            const std::string_view call = std::string_view(content_).substr(first, last - first + 1);
            (calls_.empty() || calls_.back() <= call ? calls_ : misfits).push_back(call);
        }
        from = to + 1;
    }
    std::sort(misfits.begin(), misfits.end());
    const size_t inOrder = calls_.size();
    calls_.insert(calls_.end(), misfits.begin(), misfits.end());
    std::inplace_merge(calls_.begin(), calls_.begin() + static_cast<std::ptrdiff_t>(inOrder), calls_.end());
}

bool ScpList::Contains(const std::string& callIn) const {
    const std::string call = text::ToUpper(text::Trim(callIn));
    if (call.empty())
        return false;
    auto listed = [this](const std::string& c) {
        return std::binary_search(calls_.begin(), calls_.end(), c);
    };
    if (listed(call))
        return true;
    std::string home;
    for (const std::string& part : text::Split(call, '/')) {
        if (part.size() > home.size())
            home = part;
    }
    return home != call && listed(home);
}

BestWindow BestRate(const std::vector<long long>& minutes, int width) {
    BestWindow best;
    size_t last = 0;  // one past the window's last QSO
    for (size_t first = 0; first < minutes.size(); ++first) {
        if (first > 0 && minutes[first] == minutes[first - 1])
            continue;  // same window as the QSO before
        while (last < minutes.size() && minutes[last] < minutes[first] + width)
            ++last;
        const int qsos = static_cast<int>(last - first);
        if (qsos > best.qsos)
            best = BestWindow{qsos, minutes[first]};
    }
    return best;
}

namespace {

// Every run of empty minutes within [start, end), in time order: `run(from, to, edge)`, an edge run standing
// before the first QSO or after the last (or, with no QSO, over the whole period).
template <typename Run>
void ForEachEmptyRun(const std::vector<long long>& minutes, long long start, long long end, Run run) {
    bool any = false;
    long long last = 0;
    for (long long m : minutes) {
        if (m < start || m >= end)
            continue;
        if (any ? m - last > 1 : m > start)
            run(any ? last + 1 : start, m, !any);
        any = true;
        last = m;
    }
    const long long from = any ? last + 1 : start;
    if (from < end)
        run(from, end, true);
}

}  // namespace

std::vector<OffPeriod> OffPeriods(const std::vector<long long>& minutes, long long start, long long end,
                                  int threshold) {
    std::vector<OffPeriod> off;
    ForEachEmptyRun(minutes, start, end, [&](long long from, long long to, bool edge) {
        if (edge || to - from >= std::max(threshold, 1))
            off.push_back(OffPeriod{from, to, edge});
    });
    return off;
}

std::vector<OffPeriod> NearBreaks(const std::vector<long long>& minutes, long long start, long long end,
                                  int threshold) {
    std::vector<OffPeriod> near;
    ForEachEmptyRun(minutes, start, end, [&](long long from, long long to, bool edge) {
        if (!edge && threshold > 1 && to - from == threshold - 1)
            near.push_back(OffPeriod{from, to, false});
    });
    return near;
}

std::vector<bool> OffBlocks(const std::vector<OffPeriod>& off, size_t blocks) {
    std::vector<size_t> order;
    for (size_t i = 0; i < off.size(); ++i) {
        if (!off[i].edge)
            order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t x, size_t y) { return off[x].Minutes() > off[y].Minutes(); });
    std::vector<bool> block(off.size(), false);
    for (size_t i = 0; i < order.size() && i < blocks; ++i)
        block[order[i]] = true;
    return block;
}

Differences Compare(const Analysis& first, const Analysis& second) {
    Differences d;
    using Of = contest::MultiplierKind::Of;
    auto only = [](const Analysis& a, const Analysis& b, std::vector<FirstQso>& out) {
        for (Of of : {Of::location, Of::country, Of::callPrefix}) {
            const std::vector<FirstQso>& other = WorkedOf(b, of);
            for (const FirstQso& f : WorkedOf(a, of)) {
                if (std::none_of(other.begin(), other.end(), [&](const FirstQso& g) { return g.code == f.code; }))
                    out.push_back(f);
            }
        }
    };
    only(first, second, d.onlyFirst);
    only(second, first, d.onlySecond);
    auto calls = [](const Analysis& a, const Analysis& b, std::vector<std::string>& out) {
        std::set_difference(a.callsWorked.begin(), a.callsWorked.end(), b.callsWorked.begin(), b.callsWorked.end(),
                            std::back_inserter(out));
        out.erase(std::remove(out.begin(), out.end(), b.ownCall), out.end());
    };
    calls(first, second, d.callsOnlyFirst);
    calls(second, first, d.callsOnlySecond);
    return d;
}

std::vector<int> BandChangesPerHour(const std::vector<TimedBand>& qsos, long long firstHour, size_t hours) {
    std::vector<int> changes(hours, 0);
    for (size_t i = 1; i < qsos.size(); ++i) {
        const long long hour = HourOf(qsos[i].minute) - firstHour;
        if (qsos[i].band != qsos[i - 1].band && hour >= 0 && hour < static_cast<long long>(hours))
            ++changes[hour];
    }
    return changes;
}

std::vector<ExchangeConflict> ConflictingExchanges(const contest::Record& contest, const std::vector<LogQso>& qsos,
                                                   const std::vector<QsoOutcome>& outcomes) {
    const size_t zoneKind = KindOf(contest, contest::MultiplierKind::Of::zone);
    struct Seen {
        std::vector<std::string> locations, zones;  // in the order first logged
    };
    auto note = [](std::vector<std::string>& list, const std::string& code) {
        if (std::find(list.begin(), list.end(), code) == list.end())
            list.push_back(code);
    };
    std::vector<ExchangeConflict> conflicts;
    std::vector<Seen> seen;
    std::unordered_map<std::string, size_t> byCall;
    for (size_t i = 0; i < qsos.size() && i < outcomes.size(); ++i) {
        std::string location, zone;
        if (contest.SendsLocation(outcomes[i].prefix)) {
            const std::string exchange = contest.NormaliseLocation(qsos[i].exchRcvd);
            if (!exchange.empty() && !AllDigits(exchange))
                location = contest.CanonicalLocation(exchange);
        }
        if (zoneKind != kNoKind && !IsAtSea(qsos[i].call)) {
            for (const contest::MultiplierKey& key : CreditOfQso(contest, "", "", qsos[i], outcomes[i]).keys) {
                if (key.kind == zoneKind)
                    zone = key.code;
            }
        }
        if (location.empty() && zone.empty())
            continue;
        auto it = byCall.emplace(qsos[i].call, conflicts.size()).first;
        if (it->second == conflicts.size()) {
            conflicts.push_back(ExchangeConflict{qsos[i].call, {}, ""});
            seen.emplace_back();
        }
        conflicts[it->second].qsos.push_back(RefOf(qsos, i));
        if (!location.empty())
            note(seen[it->second].locations, location);
        if (!zone.empty())
            note(seen[it->second].zones, zone);
    }
    auto joined = [](const std::vector<std::string>& codes) {
        std::string text;
        for (size_t k = 0; k < codes.size(); ++k)
            text += (k == 0 ? "" : k + 1 == codes.size() ? " and " : ", ") + codes[k];
        return text;
    };
    std::vector<ExchangeConflict> different;
    for (size_t c = 0; c < conflicts.size(); ++c) {
        std::string what;
        if (seen[c].locations.size() > 1)
            what = joined(seen[c].locations);
        if (seen[c].zones.size() > 1)
            what += (what.empty() ? "zones " : "; zones ") + joined(seen[c].zones);
        if (!what.empty()) {
            conflicts[c].what = what;
            different.push_back(std::move(conflicts[c]));
        }
    }
    return different;
}

std::vector<UnlikelyExchange> UnlikelyExchanges(const contest::Record& contest, const std::vector<LogQso>& qsos,
                                                const std::vector<QsoOutcome>& outcomes) {
    const std::vector<contest::LocationCountry>& countries = contest.LocationCountries();
    std::vector<UnlikelyExchange> unlikely;
    for (size_t i = 0; i < qsos.size() && i < outcomes.size(); ++i) {
        const QsoOutcome& o = outcomes[i];
        if (!o.Counted() || o.prefix.empty())
            continue;
        const std::string exchange = contest.NormaliseLocation(qsos[i].exchRcvd);
        const std::string code = IsAnyLocation(contest, exchange) ? contest.CanonicalLocation(exchange) : "";
        const size_t country = LocationCountryOf(contest, code);
        if (!code.empty() && o.prefix != countries[country].prefix) {
            UnlikelyExchange u;
            u.qso = RefOf(qsos, i);
            u.prefix = o.prefix;
            u.code = code;
            u.country = country;
            unlikely.push_back(std::move(u));
        }
    }
    return unlikely;
}

std::vector<int> QthZones(const std::string& qth) {
    for (const QthZoneList& q : kQthZones) {
        if (qth == q.qth) {
            std::vector<int> zones;
            for (int z : q.zones) {
                if (z > 0)
                    zones.push_back(z);
            }
            return zones;
        }
    }
    return {};
}

std::vector<UnlikelyExchange> UnlikelyZones(const contest::Record& contest, const std::string& ownPrefix,
                                            const std::vector<LogQso>& qsos, const std::vector<QsoOutcome>& outcomes,
                                            const CountryFile& cty) {
    std::vector<UnlikelyExchange> unlikely;
    const size_t zoneKind = KindOf(contest, contest::MultiplierKind::Of::zone);
    if (zoneKind == kNoKind)
        return unlikely;
    for (size_t i = 0; i < qsos.size() && i < outcomes.size(); ++i) {
        const QsoOutcome& o = outcomes[i];
        if (!o.Counted() || o.prefix.empty() || IsAtSea(qsos[i].call))
            continue;
        int zone = 0;
        for (const contest::MultiplierKey& key : CreditOfQso(contest, "", ownPrefix, qsos[i], o).keys) {
            if (key.kind == zoneKind)
                zone = std::atoi(key.code.c_str());
        }
        if (zone == 0)
            continue;
        UnlikelyExchange u;
        u.qso = RefOf(qsos, i);
        u.prefix = o.prefix;
        u.code = text::Format("%02d", zone);
        const std::string exchange = contest.NormaliseLocation(qsos[i].exchRcvd);
        const std::string qth = contest.IsLocation(o.prefix, exchange) ? contest.CanonicalLocation(exchange) : "";
        const int callZone = cty.ExactCallZone(qsos[i].call);
        auto rules = [zone](ZoneBasis basis, const std::vector<int>& zones) {
            return !zones.empty() && std::find(zones.begin(), zones.end(), zone) == zones.end() ? basis
                                                                                              : ZoneBasis::none;
        };
        // The call's own entry first, then the QTH, which places a station more closely than its country.
        if (callZone > 0 && callZone != zone) {
            u.zoneBasis = ZoneBasis::call;
            u.zones = {callZone};
        } else if (!QthZones(qth).empty()) {
            if (rules(ZoneBasis::qth, QthZones(qth)) == ZoneBasis::none)
                continue;
            u.zoneBasis = ZoneBasis::qth;
            u.zones = QthZones(qth);
            u.qth = qth;
        } else if (rules(ZoneBasis::country, cty.ZonesOf(o.prefix)) != ZoneBasis::none) {
            u.zoneBasis = ZoneBasis::country;
            u.zones = cty.ZonesOf(o.prefix);
        } else {
            continue;
        }
        unlikely.push_back(std::move(u));
    }
    return unlikely;
}

std::vector<QsoRef> UnlistedSingleCalls(const std::vector<LogQso>& qsos, const ScpList& scp) {
    std::unordered_map<std::string, int> count;
    for (const LogQso& q : qsos)
        ++count[q.call];
    std::vector<QsoRef> unlisted;
    for (size_t i = 0; i < qsos.size(); ++i) {
        if (count[qsos[i].call] == 1 && !scp.Contains(qsos[i].call))
            unlisted.push_back(RefOf(qsos, i));
    }
    return unlisted;
}

Doubtful RankDoubtful(const contest::Record& contest, const std::string& ownPrefix, const std::vector<LogQso>& qsos,
                      const std::vector<QsoOutcome>& outcomes, const std::vector<QsoRef>& unlisted,
                      const std::vector<UnlikelyExchange>& unlikely, const std::vector<ExchangeConflict>& conflicts) {
    const size_t n = std::min(qsos.size(), outcomes.size());
    std::vector<std::vector<std::string>> why(n);
    auto add = [&](size_t i, const std::string& reason) {
        if (i < n && outcomes[i].Counted())
            why[i].push_back(reason);
    };
    for (const QsoRef& q : unlisted)
        add(q.index, "worked once, not in the call list");
    for (const UnlikelyExchange& u : unlikely)
        add(u.qso.index, (u.zoneBasis == ZoneBasis::none ? u.qso.exchange : "zone " + u.code) +
                             " is unlikely for the call");
    for (const ExchangeConflict& c : conflicts) {
        for (const QsoRef& q : c.qsos)
            add(q.index, "logged with " + c.what);
    }

    // Each counted QSO's credit, and how many QSOs (and doubtful QSOs) give each multiplier.
    const std::vector<contest::MultiplierKind>& kinds = contest.MultiplierKinds();
    struct Giver {
        AtRisk key;
        size_t all = 0, doubtful = 0;
    };
    std::map<std::string, Giver> givers;
    std::vector<std::vector<std::string>> keysOf(n);
    std::vector<int> pointsOf(n, 0);
    long long points = 0, doubtfulPoints = 0;
    for (size_t i = 0; i < n; ++i) {
        if (!outcomes[i].Counted())
            continue;
        const contest::Credit credit = CreditOfQso(contest, "", ownPrefix, qsos[i], outcomes[i]);
        pointsOf[i] = credit.points;
        points += credit.points;
        if (!why[i].empty())
            doubtfulPoints += credit.points;
        for (const contest::MultiplierKey& key : credit.keys) {
            const std::string band = kinds[key.kind].perBand ? qsos[i].band : std::string();
            const std::string id = band + "#" + std::to_string(key.kind) + "#" + key.code;
            Giver& g = givers[id];
            g.key.kind = key.kind;
            g.key.code = key.code;
            g.key.band = band;
            ++g.all;
            g.doubtful += why[i].empty() ? 0 : 1;
            keysOf[i].push_back(id);
        }
    }
    const long long multipliers = static_cast<long long>(givers.size());
    const long long score = contest.Score(points, multipliers);

    Doubtful d;
    std::vector<int> group;
    for (size_t i = 0; i < n; ++i) {
        if (why[i].empty())
            continue;
        DoubtfulQso q;
        q.qso = RefOf(qsos, i);
        q.why = why[i];
        long long sole = 0;
        for (const std::string& id : keysOf[i]) {
            const Giver& g = givers.at(id);
            if (g.all != g.doubtful)
                continue;  // another QSO gives it too
            AtRisk r = g.key;
            r.soleQso = g.all == 1;
            r.restsOn = g.all;
            sole += r.soleQso ? 1 : 0;
            q.soleQso = q.soleQso || r.soleQso;
            q.restsOn = std::max(q.restsOn, r.restsOn);
            q.atRisk.push_back(std::move(r));
        }
        std::stable_sort(q.atRisk.begin(), q.atRisk.end(),
                         [](const AtRisk& x, const AtRisk& y) { return x.soleQso && !y.soleQso; });
        q.costIfLost = score - contest.Score(points - pointsOf[i], multipliers - sole);
        group.push_back(q.soleQso ? 0 : q.restsOn > 0 ? 1 : 2);
        d.qsos.push_back(std::move(q));
    }
    for (const auto& g : givers)
        d.multipliersAtRisk += g.second.all == g.second.doubtful ? 1 : 0;
    d.scoreIfLost = contest.Score(points - doubtfulPoints, multipliers - static_cast<long long>(d.multipliersAtRisk));

    std::vector<size_t> order(d.qsos.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
        if (group[x] != group[y])
            return group[x] < group[y];
        return d.qsos[x].costIfLost > d.qsos[y].costIfLost;
    });
    std::vector<DoubtfulQso> ranked;
    for (size_t i : order)
        ranked.push_back(std::move(d.qsos[i]));
    d.qsos = std::move(ranked);
    return d;
}

const std::vector<FirstQso>& WorkedOf(const Analysis& a, contest::MultiplierKind::Of of) {
    static const std::vector<FirstQso> none;
    const std::vector<contest::MultiplierKind>& kinds = a.contest->MultiplierKinds();
    for (size_t k = 0; k < kinds.size() && k < a.worked.size(); ++k) {
        if (kinds[k].of == of)
            return a.worked[k];
    }
    return none;
}

int TotalMultipliers(const Analysis& a) {
    size_t n = 0;
    for (const std::vector<FirstQso>& list : a.worked)
        n += list.size();
    return static_cast<int>(n);
}

namespace {

// The stages of an analysis, in their order.

// The entry: its category (its location, operators and every CATEGORY- field, also those the plug-in's dialog
// does not know), the period drawn, the limits on operating time that bind it, the bands and the hour rows.
void TakeEntry(const AnalysisInput& in, Analysis& a) {
    const ParsedLog& log = *in.log;
    const contest::Record& contest = *in.contest;
    a.contest = in.contest;
    a.pluginName = in.pluginName;
    a.logName = std::filesystem::path(log.fileName).filename().string();
    a.ownCall = in.ownCall;
    using F = CabrilloHeaderFields;
    const std::string categoryFamily = "CATEGORY-";
    for (const auto& field : log.header) {
        if (field.first == CabrilloHeaderTagOf(&F::location).tag ||
            field.first == CabrilloHeaderTagOf(&F::operators).tag || field.first.rfind(categoryFamily, 0) == 0) {
            a.category.push_back(field);
        }
    }
    auto op = log.header.find(CabrilloHeaderTagOf(&F::categoryOperator).tag);
    a.multiOp = op != log.header.end() && text::EqualsNoCase(text::Trim(op->second), "MULTI-OP");
    a.startMinute = WholeMinutes(in.start);
    a.endMinute = std::min(std::max(WholeMinutes(in.end), a.startMinute), a.startMinute + kMostHours * 60);
    a.qsosRead = log.qsos.size();
    a.linesSkipped = log.skipped.size();
    a.claimedScore = log.claimedScore;
    a.pluginScore = in.pluginScore;
    a.timeRule = &contest.TimeRuleOf(std::atoi(in.start.Format("%Y").c_str()),
                                     op != log.header.end() ? op->second : std::string());
    a.offThreshold = in.offThreshold > 0 ? in.offThreshold : a.timeRule->shortestOffMinutes;

    // Bands in the rules' order, each once.
    for (size_t i = 0; i < contest.AcceptedBands().Count(); ++i) {
        const std::string& band = contest.AcceptedBands().At(i);
        if (std::find(a.bands.begin(), a.bands.end(), band) == a.bands.end())
            a.bands.push_back(band);
    }
    const long long firstHour = HourOf(a.startMinute);
    const size_t hourCount =
        a.endMinute > a.startMinute ? static_cast<size_t>(HourOf(a.endMinute - 1) - firstHour + 1) : 0;
    a.hours.resize(hourCount);
    for (size_t h = 0; h < hourCount; ++h) {
        a.hours[h].hour = firstHour + static_cast<long long>(h);
        a.hours[h].byBand.assign(a.bands.size(), 0);
        a.hours[h].newMultipliers.assign(contest.MultiplierKinds().size(), 0);
    }
    a.bandQsos.assign(a.bands.size(), 0);
    a.bandNewMultipliers.assign(a.bands.size(), 0);
    a.worked.resize(contest.MultiplierKinds().size());
}

// What the pass over the QSOs gathers beside the analysis itself.
struct QsoPass {
    std::vector<size_t> order;        // the QSOs in time order (the log's order among equal times)
    std::vector<long long> minuteOf;  // each QSO's minute, by log index
    std::vector<long long> onAir, countedMinutes;
    std::vector<TimedBand> taken;
    long long points = 0;
};

// Every QSO with its answers in time order: what the plug-in refused or did not count, the counted QSOs by band,
// hour and continent, and each multiplier with its first QSO.
QsoPass CountQsos(const AnalysisInput& in, Analysis& a) {
    const ParsedLog& log = *in.log;
    const std::vector<QsoOutcome>& outcomes = *in.outcomes;
    const contest::Record& contest = *in.contest;
    const std::vector<contest::MultiplierKind>& kinds = contest.MultiplierKinds();
    QsoPass p;
    p.order.resize(std::min(log.qsos.size(), outcomes.size()));
    p.minuteOf.resize(p.order.size());
    for (size_t i = 0; i < p.order.size(); ++i) {
        p.order[i] = i;
        p.minuteOf[i] = log.qsos[i].time.IsValid() ? WholeMinutes(log.qsos[i].time) : 0;
    }
    std::stable_sort(p.order.begin(), p.order.end(),
                     [&](size_t x, size_t y) { return p.minuteOf[x] < p.minuteOf[y]; });

    const long long firstHour = HourOf(a.startMinute);
    std::map<std::string, size_t> rejected, notCounted;
    std::set<std::pair<std::string, contest::MultiplierKey>> keysMet;  // the band of a per-band kind's key
    for (size_t i : p.order) {
        const LogQso& q = log.qsos[i];
        const QsoOutcome& o = outcomes[i];
        if (!o.added)
            ++rejected[o.reason];
        else if (!o.Counted())
            ++notCounted[o.reason];
        const long long minute = p.minuteOf[i];
        const bool inPeriod = q.time.IsValid() && minute >= a.startMinute && minute < a.endMinute;
        if (!inPeriod) {
            ++a.outsidePeriod;
        } else {
            p.onAir.push_back(minute);
            if (o.added)
                p.taken.push_back(TimedBand{minute, q.band, q.transmitter});
        }
        if (!o.Counted())
            continue;
        ++a.counted;
        a.callsWorked.push_back(q.call);
        const auto bandAt = std::find(a.bands.begin(), a.bands.end(), q.band);
        const size_t band = static_cast<size_t>(bandAt - a.bands.begin());
        if (bandAt != a.bands.end())
            ++a.bandQsos[band];
        HourRow* row = inPeriod ? &a.hours[static_cast<size_t>(HourOf(minute) - firstHour)] : nullptr;
        if (row) {
            p.countedMinutes.push_back(minute);
            ++row->qsos;
            if (bandAt != a.bands.end())
                ++row->byBand[band];
        }
        const contest::Credit credit = CreditOfQso(contest, in.ownCall, in.ownPrefix, q, o);
        p.points += credit.points;
        bool location = false, newMultiplier = false;
        for (const contest::MultiplierKey& key : credit.keys) {
            location = location || kinds[key.kind].of == contest::MultiplierKind::Of::location;
            if (!keysMet.insert({kinds[key.kind].perBand ? q.band : std::string(), key}).second)
                continue;
            newMultiplier = true;
            // A country is named by its entity.
            const CountryEntity* entity = kinds[key.kind].of == contest::MultiplierKind::Of::country && in.cty
                                              ? in.cty->EntityOf(q.call)
                                              : nullptr;
            a.worked[key.kind].push_back(FirstQso{key.code, entity ? entity->name : "", RefOf(log.qsos, i)});
            if (row)
                ++row->newMultipliers[key.kind];
        }
        if (!location && contest.IsLocation(o.prefix, contest.NormaliseLocation(q.exchRcvd)))
            ++a.noMultiplierStateQsos;
        if (newMultiplier && bandAt != a.bands.end())
            ++a.bandNewMultipliers[band];
        const CountryEntity* entity = in.cty ? in.cty->EntityOf(q.call) : nullptr;
        const std::string continent = entity ? entity->continent : "";
        auto at = std::find_if(a.continents.begin(), a.continents.end(),
                               [&](const ContinentRow& c) { return c.continent == continent; });
        if (at == a.continents.end())
            at = a.continents.insert(a.continents.end(), ContinentRow{continent, 0, 0});
        ++at->qsos;
        at->newMultipliers += newMultiplier ? 1 : 0;
    }
    std::stable_sort(a.continents.begin(), a.continents.end(),
                     [](const ContinentRow& x, const ContinentRow& y) { return x.qsos > y.qsos; });
    std::sort(a.callsWorked.begin(), a.callsWorked.end());
    a.callsWorked.erase(std::unique(a.callsWorked.begin(), a.callsWorked.end()), a.callsWorked.end());
    a.rejected = MostFirst(rejected);
    a.notCounted = MostFirst(notCounted);
    a.score = contest.Score(p.points, TotalMultipliers(a));
    return p;
}

// What the score leaves out, in log order.
void ListLeftOut(const AnalysisInput& in, const QsoPass& p, Analysis& a) {
    const ParsedLog& log = *in.log;
    const std::vector<QsoOutcome>& outcomes = *in.outcomes;
    for (size_t i = 0; i < p.order.size(); ++i) {
        const QsoOutcome& o = outcomes[i];
        const bool inPeriod =
            log.qsos[i].time.IsValid() && p.minuteOf[i] >= a.startMinute && p.minuteOf[i] < a.endMinute;
        if (!o.added)
            a.leftOut.push_back({RefOf(log.qsos, i), "refused", o.reason});
        else if (!o.Counted())
            a.leftOut.push_back({RefOf(log.qsos, i), "not counted", o.reason});
        else if (!inPeriod)
            a.leftOut.push_back({RefOf(log.qsos, i), "outside the period", "counted by the plug-in"});
    }
    for (const LogProblem& problem : log.skipped) {
        QsoRef line;
        line.line = problem.line;
        a.leftOut.push_back({line, "not read", problem.reason});
    }
    std::stable_sort(a.leftOut.begin(), a.leftOut.end(),
                     [](const LeftOutQso& x, const LeftOutQso& y) { return x.qso.line < y.qso.line; });
}

// The hours' running totals and band changes (each transmitter's among its own QSOs, when every QSO says which
// transmitter made it), the best rates, the breaks and the time on the air.
void CountTime(const QsoPass& p, Analysis& a) {
    const long long firstHour = HourOf(a.startMinute);
    const size_t hourCount = a.hours.size();
    const std::vector<int> changes = BandChangesPerHour(p.taken, firstHour, hourCount);
    int cumulative = 0, multipliers = 0;
    for (size_t h = 0; h < hourCount; ++h) {
        HourRow& row = a.hours[h];
        row.cumulative = cumulative += row.qsos;
        for (int n : row.newMultipliers)
            multipliers += n;
        row.cumulativeMultipliers = multipliers;
        row.bandChanges = changes[h];
    }
    std::set<int> transmitters;
    for (const TimedBand& t : p.taken) {
        if (t.transmitter < 0)
            ++a.qsosWithoutTransmitter;
        else
            transmitters.insert(t.transmitter);
    }
    if (a.qsosWithoutTransmitter == 0) {
        for (int id : transmitters) {
            std::vector<TimedBand> own;
            std::copy_if(p.taken.begin(), p.taken.end(), std::back_inserter(own),
                         [id](const TimedBand& t) { return t.transmitter == id; });
            const std::vector<int> ownChanges = BandChangesPerHour(own, firstHour, hourCount);
            for (size_t h = 0; h < hourCount; ++h)
                a.hours[h].transmitterBandChanges.push_back(ownChanges[h]);
            a.transmitters.push_back(id);
        }
    }

    a.best60 = BestRate(p.countedMinutes, 60);
    a.best10 = BestRate(p.countedMinutes, 10);
    std::vector<long long> onAir = p.onAir;
    std::sort(onAir.begin(), onAir.end());
    a.off = OffPeriods(onAir, a.startMinute, a.endMinute, a.offThreshold);
    a.nearBreaks = NearBreaks(onAir, a.startMinute, a.endMinute, a.offThreshold);
    a.offBlock = OffBlocks(a.off, static_cast<size_t>(std::max(a.timeRule->mostOffBlocks, 0)));
    // The rules' operating time runs from the first QSO to the last, less the breaks they take as off time: the
    // time before and after is off time too, and takes none of the blocks.
    a.activeMinutes = a.operatingMinutes = a.endMinute - a.startMinute;
    for (size_t i = 0; i < a.off.size(); ++i) {
        a.activeMinutes -= a.off[i].Minutes();
        a.operatingMinutes -= a.off[i].edge || a.offBlock[i] ? a.off[i].Minutes() : 0;
    }
    // The sponsor's checking scores the first hours of operating time up to the limit: the minute it is passed.
    const long long limit = a.timeRule->mostOperatingMinutes;
    if (a.operatingMinutes > limit) {
        long long operated = 0, cursor = onAir.empty() ? a.startMinute : onAir.front();
        const long long last = onAir.empty() ? a.startMinute : onAir.back() + 1;
        for (size_t i = 0; i <= a.off.size() && a.limitEndMinute == 0; ++i) {
            const bool end = i == a.off.size();
            if (!end && (a.off[i].edge || !a.offBlock[i]))
                continue;
            const long long until = end ? last : a.off[i].from;
            if (operated + (until - cursor) > limit)
                a.limitEndMinute = cursor + (limit - operated);
            operated += until - cursor;
            if (!end)
                cursor = a.off[i].to;
        }
        for (long long m : p.countedMinutes)
            a.qsosPastLimit += m >= a.limitEndMinute ? 1 : 0;
    }
    a.tenMinutes.assign(static_cast<size_t>((a.endMinute - a.startMinute + 9) / 10), 0);
    for (long long m : p.countedMinutes)
        ++a.tenMinutes[static_cast<size_t>((m - a.startMinute) / 10)];
}

// The data behind the figures, and the calls a log check may take away.
void CheckCalls(const AnalysisInput& in, Analysis& a) {
    const ParsedLog& log = *in.log;
    const std::vector<QsoOutcome>& outcomes = *in.outcomes;
    const contest::Record& contest = *in.contest;
    a.scpChecked = in.scp != nullptr;
    a.scpNote = in.scpNote;
    // By name alone, as the log is: both builds write the same page, and the paths stand in the replay's summary.
    a.scpFile = std::filesystem::path(in.scpFile).filename().string();
    a.countryFile = std::filesystem::path(in.countryFile).filename().string();
    a.countryEdition = in.countryEdition;
    a.countryFileOld = in.countryFileOld;
    if (in.scp)
        a.unlistedCalls = UnlistedSingleCalls(log.qsos, *in.scp);
    if (!in.callsToCheck)
        return;
    a.conflicts = ConflictingExchanges(contest, log.qsos, outcomes);
    a.unlikely = UnlikelyExchanges(contest, log.qsos, outcomes);
    if (in.cty) {
        std::vector<UnlikelyExchange> zones = UnlikelyZones(contest, in.ownPrefix, log.qsos, outcomes, *in.cty);
        a.unlikely.insert(a.unlikely.end(), zones.begin(), zones.end());
        std::stable_sort(a.unlikely.begin(), a.unlikely.end(), [](const UnlikelyExchange& x, const UnlikelyExchange& y) {
            return x.qso.index < y.qso.index;
        });
    }
    for (UnlikelyExchange& u : a.unlikely) {
        const CountryEntity* entity = in.cty ? in.cty->EntityOf(u.qso.call) : nullptr;
        u.entity = entity ? entity->name : "";
    }
    a.doubtful = RankDoubtful(contest, in.ownPrefix, log.qsos, outcomes, a.unlistedCalls, a.unlikely, a.conflicts);
    const std::vector<contest::MultiplierKind>& kinds = contest.MultiplierKinds();
    for (DoubtfulQso& d : a.doubtful.qsos) {
        const CountryEntity* entity = in.cty ? in.cty->EntityOf(d.qso.call) : nullptr;
        for (AtRisk& r : d.atRisk) {
            if (entity && kinds[r.kind].of == contest::MultiplierKind::Of::country)
                r.entity = entity->name;
        }
    }
}

}  // namespace

Analysis Analyse(const AnalysisInput& in) {
    Analysis a;
    TakeEntry(in, a);
    const QsoPass pass = CountQsos(in, a);
    ListLeftOut(in, pass, a);
    CountTime(pass, a);
    CheckCalls(in, a);
    return a;
}

}  // namespace replay
