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

std::vector<OffPeriod> OffPeriods(const std::vector<long long>& minutes, long long start, long long end,
                                  int threshold) {
    std::vector<OffPeriod> off;
    long long previous = start;
    auto gap = [&](long long from, long long to) {
        if (to - from >= threshold)
            off.push_back(OffPeriod{from, to});
    };
    for (long long m : minutes) {
        if (m < start || m >= end)
            continue;
        gap(previous, m);
        previous = m;
    }
    gap(previous, end);
    return off;
}

std::vector<bool> OffBlocks(const std::vector<OffPeriod>& off, size_t blocks) {
    std::vector<size_t> order(off.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
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
    std::vector<ExchangeConflict> conflicts;
    std::unordered_map<std::string, size_t> byCall;
    std::vector<std::set<std::string>> codes;
    for (size_t i = 0; i < qsos.size() && i < outcomes.size(); ++i) {
        if (!contest.SendsLocation(outcomes[i].prefix))
            continue;
        const std::string exchange = contest.NormaliseLocation(qsos[i].exchRcvd);
        if (exchange.empty() || AllDigits(exchange))
            continue;
        auto it = byCall.emplace(qsos[i].call, conflicts.size()).first;
        if (it->second == conflicts.size()) {
            conflicts.push_back(ExchangeConflict{qsos[i].call, {}});
            codes.emplace_back();
        }
        conflicts[it->second].qsos.push_back(RefOf(qsos, i));
        codes[it->second].insert(contest.CanonicalLocation(exchange));
    }
    std::vector<ExchangeConflict> different;
    for (size_t c = 0; c < conflicts.size(); ++c) {
        if (codes[c].size() > 1)
            different.push_back(std::move(conflicts[c]));
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
        if (!code.empty() && o.prefix != countries[country].prefix)
            unlikely.push_back(UnlikelyExchange{RefOf(qsos, i), o.prefix, "", code, country});
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
        add(u.qso.index, u.qso.exchange + " is unlikely for the call");
    for (const ExchangeConflict& c : conflicts) {
        std::set<std::string> seen;
        std::string codes;
        for (const QsoRef& q : c.qsos) {
            const std::string code = contest.CanonicalLocation(contest.NormaliseLocation(q.exchange));
            if (seen.insert(code).second)
                codes += (codes.empty() ? "" : " and ") + code;
        }
        for (const QsoRef& q : c.qsos)
            add(q.index, "logged with " + codes);
    }

    // Each counted QSO's credit, and how many QSOs (and doubtful QSOs) give each multiplier.
    const std::vector<contest::MultiplierKind>& kinds = contest.MultiplierKinds();
    std::vector<std::vector<std::string>> keysOf(n);
    std::vector<int> pointsOf(n, 0);
    std::map<std::string, std::pair<size_t, size_t>> givers;  // key: all QSOs, doubtful QSOs
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
            const std::string id = (kinds[key.kind].perBand ? qsos[i].band : std::string()) + "#" +
                                   std::to_string(key.kind) + "#" + key.code;
            auto& g = givers[id];
            ++g.first;
            g.second += why[i].empty() ? 0 : 1;
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
        DoubtfulQso q{RefOf(qsos, i), why[i], "", false, 0, 0};
        long long sole = 0;
        for (const std::string& id : keysOf[i]) {
            const auto& g = givers.at(id);
            q.multiplier = id.substr(id.rfind('#') + 1);
            sole += g.first == 1 ? 1 : 0;
            q.soleQso = q.soleQso || g.first == 1;
            if (g.first == g.second)
                q.restsOn = std::max(q.restsOn, g.second);
        }
        q.costIfLost = score - contest.Score(points - pointsOf[i], multipliers - sole);
        group.push_back(q.soleQso ? 0 : q.restsOn > 0 ? 1 : 2);
        d.qsos.push_back(std::move(q));
    }
    for (const auto& g : givers)
        d.multipliersAtRisk += g.second.first == g.second.second ? 1 : 0;
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
    a.off = OffPeriods(p.onAir, a.startMinute, a.endMinute, a.offThreshold);
    a.offBlock = OffBlocks(a.off, static_cast<size_t>(a.timeRule->mostOffBlocks));
    a.activeMinutes = a.operatingMinutes = a.endMinute - a.startMinute;
    for (size_t i = 0; i < a.off.size(); ++i) {
        a.activeMinutes -= a.off[i].Minutes();
        a.operatingMinutes -= a.offBlock[i] ? a.off[i].Minutes() : 0;
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
    for (UnlikelyExchange& u : a.unlikely) {
        const CountryEntity* entity = in.cty ? in.cty->EntityOf(u.qso.call) : nullptr;
        u.entity = entity ? entity->name : "";
    }
    a.doubtful = RankDoubtful(contest, in.ownPrefix, log.qsos, outcomes, a.unlistedCalls, a.unlikely, a.conflicts);
    for (DoubtfulQso& d : a.doubtful.qsos) {
        const CountryEntity* entity = in.cty ? in.cty->EntityOf(d.qso.call) : nullptr;
        if (entity && !d.multiplier.empty() && d.multiplier == outcomes[d.qso.index].prefix)
            d.multiplier += " (" + entity->name + ")";
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
