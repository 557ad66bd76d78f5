#pragma once
// The post-contest analysis page (stats-replay --analysis): what the log and the plug-in's answers say about
// the run, hour by hour. Everything is counted from the QSOs as the plug-in took them (QsoOutcome), so the
// page's QSOs and multipliers are the plug-in's own; the page is drawn from an Analysis as one self-contained
// HTML file with inline SVG pictures.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/ole_date_time.h"
#include "country_file.h"
#include "contest/record.h"
#include "log_types.h"

namespace replay {

constexpr const char* kAnalysisFileName = "analysis.html";

// The super-check-partial list: the calls known to be active in contests, one a line; '#' starts a comment.
class ScpList {
public:
    ScpList() = default;
    ScpList(const ScpList&) = delete;  // the calls are views into the list's own text
    ScpList& operator=(const ScpList&) = delete;
    bool Load(const std::string& path, std::string& error);
    void LoadFromText(const std::string& content);
    // The call is listed, or, for a portable form (DL/W1AW, W1AW/7, W1AW/P), its longest part is.
    bool Contains(const std::string& call) const;
    size_t Count() const { return calls_.size(); }

private:
    std::string content_;                  // the list, upper case
    std::vector<std::string_view> calls_;  // views into content_, sorted
};

// Times are whole minutes since the date-time origin, so a multiple of 60 is the top of a clock hour.
struct BestWindow {
    int qsos = 0;
    long long startMinute = 0;  // the window's first QSO
};
// The most QSOs in any `width` minutes [t, t + width), t being the minute of a QSO; the earliest on a tie.
BestWindow BestRate(const std::vector<long long>& sortedMinutes, int width);

// A run of empty clock minutes in the contest period, [from, to): from the first minute in which no QSO was
// logged to the next minute with one, or to the end. As the sponsors' log checking counts time, a clock minute
// is on the air when a QSO was logged in it and off otherwise, never both: QSOs at 10:00 and 10:30 leave the 29
// empty minutes 10:01 to 10:29.
struct OffPeriod {
    long long from = 0, to = 0;
    bool edge = false;  // before the first QSO or after the last: off time, and no break between QSOs
    long long Minutes() const { return to - from; }
};
// The breaks that are the rules' off time: the `blocks` longest breaks between QSOs (the earlier on a tie);
// every further break is operating time, and the time before the first QSO and after the last is off time that
// takes no block.
std::vector<bool> OffBlocks(const std::vector<OffPeriod>& off, size_t blocks);
// The off periods within [start, end), in time order: the empty minutes before the first QSO and after the last
// (however few), and every run of at least `threshold` empty minutes between two QSOs. No QSO: the whole period.
std::vector<OffPeriod> OffPeriods(const std::vector<long long>& sortedMinutes, long long start, long long end,
                                  int threshold);
// The runs of empty minutes between two QSOs one minute short of a break (`threshold` - 1 of them): operating
// time, which a QSO logged a minute later or earlier would have made a break.
std::vector<OffPeriod> NearBreaks(const std::vector<long long>& sortedMinutes, long long start, long long end,
                                  int threshold);

struct TimedBand {
    long long minute = 0;
    std::string band;
    int transmitter = -1;  // as LogQso::transmitter
};
// Band changes per clock hour, hours [firstHour, firstHour + hours): a QSO on another band than the QSO
// before it is one change in its own clock hour, so 20m, 15m, 20m is two. `qsos` in time order.
std::vector<int> BandChangesPerHour(const std::vector<TimedBand>& qsos, long long firstHour, size_t hours);

// A QSO of the log named on the page: where it is and what it holds.
struct QsoRef {
    int line = 0;
    std::string call, band, exchange;
    long long minute = 0;
    size_t index = 0;  // in the log's QSOs
};

// Stations whose QSOs carry different states or provinces (an older spelling and its code are the same), or in
// a contest with zones different zones (a maritime mobile station's aside); serial numbers are not compared.
// Each with all of its QSOs that carry what differs, in log order.
struct ExchangeConflict {
    std::string call;
    std::vector<QsoRef> qsos;
    std::string what;  // "MN and MD", "zones 24 and 25"
};
std::vector<ExchangeConflict> ConflictingExchanges(const contest::Record& contest, const std::vector<LogQso>& qsos,
                                                   const std::vector<QsoOutcome>& outcomes);
// A counted QSO whose exchange names a state or province that a station of the call's country does not send:
// a US call sending a Canadian province, a Canadian call a US state, a DX call either. The plug-in rightly
// counts it, for the other station may have been portable; the operator looks once more at the call and the
// exchange. In a contest with zones, also a zone that the country file or the QTH sent rules out for the call.
enum class ZoneBasis {
    none,     // not a zone: a state or province unlikely for the call
    country,  // a zone the call's country never has by the country file
    call,     // not the zone the country file's own entry for the call gives
    qth,      // not a zone of the W/VE QTH sent with it
};
struct UnlikelyExchange {
    QsoRef qso;
    std::string prefix;      // the call's DXCC prefix
    std::string entity;      // its name in the country file
    std::string code;        // the state or province the exchange names, under the code it counts as; the zone
    size_t country = 0;      // the location country `code` belongs to (contest::Record::LocationCountries)
    ZoneBasis zoneBasis = ZoneBasis::none;
    std::vector<int> zones;  // the zones the basis allows
    std::string qth;         // the QTH sent (ZoneBasis::qth)
};
// In log order; QSOs with no known prefix are not judged.
std::vector<UnlikelyExchange> UnlikelyExchanges(const contest::Record& contest, const std::vector<LogQso>& qsos,
                                                const std::vector<QsoOutcome>& outcomes);
// The counted QSOs whose zone is unlikely for the call, in log order. The country file gives each country's
// zone and the zones some of its prefixes and calls carry: a zone none of them names is unlikely, as is one other
// than a call's own entry gives; within a country of several zones it cannot say where a station is, so there
// only a W/VE station's QTH, whose zones are known, judges the zone. A maritime mobile station is not judged.
std::vector<UnlikelyExchange> UnlikelyZones(const contest::Record& contest, const std::string& ownPrefix,
                                            const std::vector<LogQso>& qsos, const std::vector<QsoOutcome>& outcomes,
                                            const CountryFile& cty);
// The CQ zones a W/VE QTH lies in, by the CQ zone list; empty for a code it does not know.
std::vector<int> QthZones(const std::string& qth);
// Calls that are in the log once and not in the list, in log order.
std::vector<QsoRef> UnlistedSingleCalls(const std::vector<LogQso>& qsos, const ScpList& scp);

// A multiplier that may be lost with a doubtful QSO: one no QSO outside the list gives too.
struct AtRisk {
    size_t kind = 0;          // as contest::MultiplierKey::kind
    std::string code;         // the key: a zone, a country's prefix, a state or province, a call's prefix
    std::string band;         // where the kind counts once per band, the band; else ""
    std::string entity;       // a country's name in the country file
    bool soleQso = false;     // this QSO alone gives it
    size_t restsOn = 0;       // else the doubtful QSOs that alone give it
};
// A counted QSO that may be lost when the logs are checked, with why and what it carries: every multiplier at
// risk with it, those it alone gives first.
struct DoubtfulQso {
    QsoRef qso;
    std::vector<std::string> why;
    std::vector<AtRisk> atRisk;
    bool soleQso = false;      // some multiplier of it is given by this QSO alone
    size_t restsOn = 0;        // most doubtful QSOs one of its multipliers rests on alone; 0: none at risk
    long long costIfLost = 0;  // the score less the score without this QSO alone
};
// The doubtful QSOs of a log: each counted QSO worked once with a call not in the list, with an exchange
// unlikely for the call, or with a station logged with different states or provinces; ranked by what is at
// risk: a multiplier given by this QSO alone first, then one that rests on doubtful QSOs alone, then points;
// within each the costliest loss first, then log order.
struct Doubtful {
    std::vector<DoubtfulQso> qsos;
    size_t multipliersAtRisk = 0;  // multipliers that rest on doubtful QSOs alone
    long long scoreIfLost = 0;     // the score if every doubtful QSO were lost
};
Doubtful RankDoubtful(const contest::Record& contest, const std::string& ownPrefix, const std::vector<LogQso>& qsos,
                      const std::vector<QsoOutcome>& outcomes, const std::vector<QsoRef>& unlisted,
                      const std::vector<UnlikelyExchange>& unlikely, const std::vector<ExchangeConflict>& conflicts);

// A QSO or line of the log the plug-in's score leaves out, in log order.
struct LeftOutQso {
    QsoRef qso;        // line only, for a line not read
    std::string what;  // "refused", "not counted", "not read", "outside the period"
    std::string reason;
};

struct HourRow {
    long long hour = 0;       // clock hour: minute / 60
    std::vector<int> byBand;  // counted QSOs, one per Analysis::bands
    int qsos = 0, cumulative = 0;
    std::vector<int> newMultipliers;  // per multiplier kind of the contest: first worked in this hour
    int cumulativeMultipliers = 0;
    int bandChanges = 0;                      // the station's, every transmitter together
    std::vector<int> transmitterBandChanges;  // each transmitter's, one per Analysis::transmitters
};

struct ContinentRow {
    std::string continent;  // as the country file gives it ("EU"); "" when the call has no entity
    int qsos = 0, newMultipliers = 0;
};

struct FirstQso {
    std::string code;  // the multiplier's key: a state/province as it counts, a DXCC prefix, a zone, a prefix
    std::string name;  // the entity's name (countries only)
    QsoRef qso;
};

struct AnalysisInput {
    const contest::Record* contest = nullptr;
    std::string pluginName;  // the plug-in that scored the log: "StatsCQWW"
    const ParsedLog* log = nullptr;
    const std::vector<QsoOutcome>* outcomes = nullptr;  // one per log->qsos
    std::string ownCall;
    std::string ownPrefix;  // the DXCC prefix the plug-in was given for the own call
    COleDateTime start, end;
    std::optional<long long> pluginScore;
    int offThreshold = 0;  // 0: the contest's shortest break
    const ScpList* scp = nullptr;  // null: no list could be read (scpNote says why)
    std::string scpNote, scpFile;
    const CountryFile* cty = nullptr;  // entity names
    std::string countryFile, countryEdition;  // the file and the date of its edition ("" when it names none)
    bool countryFileOld = false;              // older than the contest by more than a year
    bool callsToCheck = true;  // false for a compared log, whose page section of calls to double-check is not drawn
};

struct Analysis {
    const contest::Record* contest = nullptr;
    std::string pluginName, logName, ownCall;
    std::vector<std::pair<std::string, std::string>>
        category;  // LOCATION, CATEGORY-*, OPERATORS as the log gives
    bool multiOp = false;
    long long startMinute = 0, endMinute = 0;
    // The limits on operating time that bind this entry: its category's in the contest's year.
    const contest::TimeRule* timeRule = nullptr;

    size_t qsosRead = 0, counted = 0, linesSkipped = 0, outsidePeriod = 0;
    std::vector<std::pair<std::string, size_t>> rejected,
        notCounted;  // the plug-in's reason, count; most first
    std::optional<long long> claimedScore, pluginScore;
    long long score = 0;  // counted QSOs x multipliers, as this page counts them

    std::vector<std::string> bands;
    std::vector<HourRow> hours;
    // The transmitters the log's QSOs name (their ids, ascending), whose band changes are counted apart when
    // every QSO in the period names one; how many name none.
    std::vector<int> transmitters;
    size_t qsosWithoutTransmitter = 0;
    BestWindow best60, best10;
    int offThreshold = 0;
    std::vector<OffPeriod> off;         // the time before the first QSO and after the last, and every break
    std::vector<OffPeriod> nearBreaks;  // gaps one empty minute short of a break
    long long activeMinutes = 0;        // the period less every off period: the minutes QSOs were logged in
    long long operatingMinutes = 0;     // the rules' count: from the first QSO's minute to the last's, less the
                                        // longest breaks the rules take as off time
    std::vector<bool> offBlock;         // per off period: one of the rules' off-time blocks
    // Where the operating time passes the rules' limit: the first minute past it (0: within the limit) and the
    // counted QSOs from it on, which the sponsor's checking would not score.
    long long limitEndMinute = 0;
    size_t qsosPastLimit = 0;
    std::vector<int> tenMinutes;     // counted QSOs per 10 minutes of the period

    // Per multiplier kind of the contest: each multiplier with its first QSO, in the order first worked (per band
    // where the kind counts per band); their number is the kind's multipliers.
    std::vector<std::vector<FirstQso>> worked;
    size_t noMultiplierStateQsos = 0;  // counted QSOs of W/VE stations sending a state that is no multiplier
    std::vector<int> bandQsos, bandNewMultipliers;  // counted QSOs and multipliers first worked, per band
    std::vector<ContinentRow> continents;           // the same per continent, most QSOs first
    std::vector<std::string> callsWorked;           // the calls of counted QSOs, each once, sorted
    std::vector<QsoRef> unlistedCalls;
    bool scpChecked = false;
    std::string scpNote;
    std::vector<ExchangeConflict> conflicts;
    std::vector<UnlikelyExchange> unlikely;
    Doubtful doubtful;
    std::vector<LeftOutQso> leftOut;
    std::string countryFile, countryEdition, scpFile;  // the files by name
    bool countryFileOld = false;
};

Analysis Analyse(const AnalysisInput& input);

// The multipliers worked of the contest's first kind that names `of` (none when the contest has no such kind),
// and the multipliers of every kind together.
const std::vector<FirstQso>& WorkedOf(const Analysis& a, contest::MultiplierKind::Of of);
int TotalMultipliers(const Analysis& a);

// Stations set beside this one on the page (stats-replay --compare), each analysed from its own replay, and
// the compared logs that could not be used, with the reason.
struct LeftOut {
    std::string path, reason;
};
struct Comparison {
    std::vector<Analysis> stations;
    std::vector<LeftOut> leftOut;
};
// Four stations on one page: the own and three others.
constexpr size_t kMostComparedLogs = 3;

// What one station worked that the other did not: multipliers with their first QSO, and calls (each
// station's own call left out of the other's list), sorted.
struct Differences {
    std::vector<FirstQso> onlyFirst, onlySecond;  // locations first, then countries and call prefixes
    std::vector<std::string> callsOnlyFirst, callsOnlySecond;
};
Differences Compare(const Analysis& first, const Analysis& second);

// The page: one English HTML file, inline CSS and SVG, nothing fetched from anywhere.
std::string AnalysisPage(const Analysis& a, const Comparison& compared = {});

}  // namespace replay
