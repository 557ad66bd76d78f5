#pragma once
// A contest as one record: everything the contest decides, which the engine, the score, the windows, the
// replay, the analysis page and the checker read here and nowhere else. Its facts (names, bands and modes with
// their Cabrillo codes, the period, the limits by category and year with the words of their rules, the bad-QSO
// file's name) are data, set by name; its rules (which exchanges are valid, what a QSO is credited with) are the
// record's functions; what only some contests have (stations that send their location) is an optional part.
// Each contest's tables and rules stand in a file of their own beside this one; the registry finds a record by
// the set name a plug-in gives the host.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/ole_date_time.h"

// A list of texts, tested without regard to letter case, kept in table order.
class CaseInsensitiveTextSet {
public:
    CaseInsensitiveTextSet(const char* const* table, size_t count);
    explicit CaseInsensitiveTextSet(std::vector<std::string> entries) : entries_(std::move(entries)) {}

    bool Contains(const std::string& text) const;
    size_t Count() const { return entries_.size(); }
    const std::string& At(size_t index) const { return entries_.at(index); }

private:
    std::vector<std::string> entries_;
};

namespace contest {

// A constant table of the record: a view of a static array, set from the array itself.
template <typename T>
class Table {
public:
    constexpr Table() = default;
    template <size_t N>
    constexpr Table(const T (&array)[N]) : data_(array), size_(N) {}  // NOLINT: set from an array by design
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const T& operator[](size_t i) const { return data_[i]; }

private:
    const T* data_ = nullptr;
    size_t size_ = 0;
};

// The location codes a contest accepts, with the older spellings still sent on the air for some of them: each
// tested exactly, and each counting under its own code or, for an older spelling, under the code it stands for.
struct LocationAlias {
    const char* code;       // "PEI"
    const char* canonical;  // "PE"
};
class LocationTable {
public:
    LocationTable(std::vector<std::string> codes, std::vector<LocationAlias> aliases);
    bool Contains(const std::string& code) const;
    std::string Canonical(const std::string& code) const;

private:
    std::vector<std::string> sorted_;  // the codes and the older spellings
    std::vector<LocationAlias> aliases_;
};

// A country whose stations send their location, with its codes and the words the analysis page names them by.
struct LocationCountry {
    const char* prefix;     // "K"
    const char* locations;  // "US states and DC"
    const char* kind;       // "US state or DC"
    const char* one;        // "a US state"
    Table<const char*> codes;         // every code its stations may send, in table order
    Table<const char*> noMultiplier;  // of these, the codes that make a valid QSO without a multiplier (AK, HI)
    Table<LocationAlias> aliases;     // the older spellings its stations still send
};

// The optional part of a record whose W/VE stations send their location rather than a number: the countries,
// their codes and the multipliers they count as.
class Locations {
public:
    explicit Locations(std::vector<LocationCountry> countries);
    // A station of one of the countries, which sends its location.
    bool Sends(const std::string& prefix) const { return Of(prefix) != nullptr; }
    // A code the stations of the country `prefix` may send, compared exactly (the older spellings included). A
    // code of another country is none of its own ("ON" from a K station).
    bool IsLocation(const std::string& prefix, const std::string& code) const;
    // The code a location counts under ("PEI" is "PE"); every other code is itself.
    std::string Canonical(const std::string& code) const;
    // The location multipliers of a country, in table order, each under the code it counts as.
    const std::vector<std::string>& Multipliers(const std::string& prefix) const;
    // A location multiplier of the sender's own country.
    bool IsMultiplier(const std::string& prefix, const std::string& code) const;
    const std::vector<LocationCountry>& Countries() const { return countries_; }

private:
    struct Country {
        LocationTable codes;
        std::vector<std::string> multipliers;
    };
    const Country* Of(const std::string& prefix) const;

    std::vector<LocationCountry> countries_;
    std::vector<Country> tables_;
};

// The limits on operating time that bind the entries of one category in the contest years [firstYear,
// lastYear], with the words of their rules as the analysis page quotes them; times in minutes.
struct TimeRule {
    int firstYear = 0;                  // 0: every year up to lastYear
    int lastYear = 0;                   // 0: every year from firstYear on
    const char* categoryOperator = "";  // the Cabrillo CATEGORY-OPERATOR it binds ("SINGLE-OP"); "" for any
    const char* entry = "";             // the entries as the analysis page names them ("every entrant")
    int mostOperatingMinutes = 0;       // of the contest period
    int leastOffMinutes = 0;            // the off time that must be taken ...
    int mostOffBlocks = 0;              // ... in no more blocks than this: further breaks count as operating time
    int shortestOffMinutes = 30;        // a break shorter than this is operating time
    const char* operatingTime = "";
    const char* offBlocks = "";
    const char* shortestOff = "";
};

// A limit on band changes that binds the entries of one category in the contest years [firstYear, lastYear].
struct BandChangeRule {
    int firstYear;                    // as in TimeRule
    int lastYear;
    const char* categoryOperator;     // the Cabrillo CATEGORY-OPERATOR it binds ("MULTI-OP")
    const char* categoryTransmitter;  // and CATEGORY-TRANSMITTER ("TWO"); "" for any. A log that names none
                                      // has one transmitter
    const char* entry;                // the category as the analysis page names it
    int perClockHour;                 // -1: no limit
    const char* text;                 // the rule, in the sponsor's words where the record has them
    // The limit binds each transmitted signal apart (a two-transmitter entry's two, a single-transmitter
    // entry's run and multiplier signals): a change is one of the signal that made it, counted among that
    // signal's own QSOs, as the log's transmitter field tells them apart.
    bool perTransmitter = false;
};

// The entry categories of the contest years [firstYear, lastYear], as the analysis page states them.
struct CategoryRule {
    int firstYear, lastYear;  // as in TimeRule
    const char* text;
};

// A logged mode, its Cabrillo code, and whether the contest counts it: in the contest years [firstYear,
// lastYear] (as in TimeRule) where the rules of some years allow it and those of others do not.
struct ModeRule {
    const char* mode;
    const char* cabrilloCode;
    bool accepted;
    int firstYear = 0;
    int lastYear = 0;
};

// What a contest decides that is data; each record sets the fields by name.
struct Facts {
    const char* name = "";             // "ARRL RTTY Roundup"; the set name is this and " (C)"
    const char* cabrilloContest = "";  // the Cabrillo CONTEST text, also the short name in window titles
    int dxccEntityCount = 0;           // the DXCC list the extended window counts against
    // The bad-QSO file: prefix, the contest's end date in this format, suffix; and its first line.
    const char* badQsoFilePrefix = "";
    const char* badQsoFileDateFormat = "%d_%m_%Y";
    const char* badQsoFileSuffix = ".txt";
    const char* badQsoFileTitle = "";
    // The period: from Saturday at this UTC hour for this many hours.
    int periodStartHour = 0;
    int periodHours = 48;
    // The limits on operating time, by category and year: the first rule that binds an entry holds; the last
    // binds every entry.
    Table<TimeRule> timeRules;
    // The band changes in one clock hour at which the change-of-band light turns red where the entry names no
    // category (-1: never).
    int multiOpBandChangesPerHour = -1;
    // The multipliers in the words of the rules, as the analysis page quotes them.
    const char* multiplierRules = "";
    // The bands as the host names them, in the contest's table (a band may stand twice); the modes.
    Table<const char*> bands;
    Table<ModeRule> modes;
    // Own-station prefixes for which the windows show their Russian texts.
    Table<const char*> russianTextPrefixes;
    // The rules that changed over the years, each with the years it applies to.
    Table<BandChangeRule> bandChangeRules;
    Table<CategoryRule> categoryRules;
    // The plug-in's settings file, relative to the host's folder, and the name the control window's title
    // gives the contest ("Setup <name> <year>").
    const char* settingsFileName = "";
    const char* windowName = "";
    // The contest's countries are the DXCC entities and also the WAE-only ones (IT9, GM/s, ...): the tools
    // then resolve a call to the WAE entity, as the host does for such a contest.
    bool waeCountries = false;
    // The words of an exchange in a Cabrillo QSO line: 1 ("NY", "001"), 2 ("05 MA", "599 001" when the RST is
    // part of it).
    size_t cabrilloExchangeWords = 1;
    // When the contest falls: its period starts on the Saturday from this day of this month to six days later
    // (the Roundup's "first full weekend of January, but never on January 1": the 2nd to the 8th).
    int periodMonth = 1;
    int periodFirstSaturday = 1;
};

// What a counted QSO scores: its points and the multipliers it may add, each a key of a kind. A key counts
// once per contest, or once per band where its kind says so; keys of different kinds never meet ("OH" the
// state and "OH" the country are two).
struct MultiplierKind {
    // What the key names: a DXCC (or WAE) prefix, a state or province, a zone, a call's prefix.
    enum class Of { country, location, zone, callPrefix };
    const char* name;  // the report's column ("Zones")
    Of of;
    bool perBand;
    const char* one = "";   // one of them, as a page says it ("zone")
    const char* many = "";  // some of them, as a page counts them ("zones": "40 zones + 41 countries")
};
struct MultiplierKey {
    size_t kind = 0;
    std::string code;
    bool operator==(const MultiplierKey& o) const { return kind == o.kind && code == o.code; }
    bool operator<(const MultiplierKey& o) const { return kind != o.kind ? kind < o.kind : code < o.code; }
};
struct Credit {
    int points = 0;
    std::vector<MultiplierKey> keys;
};

// A QSO as the contest sees it, for its Credit rule: the own station and the worked one (calls as logged,
// prefixes as the host resolves them), band, mode and time as logged, and the received exchange as it counts
// (JudgeExchange's `counted`).
struct QsoView {
    std::string_view ownCall, ownPrefix;
    std::string_view call, prefix;
    std::string_view band, mode;
    COleDateTime time;
    std::string_view counted;
};

// What the contest makes of a received exchange: what the QSO counts with, or why it may not count.
struct ExchangeVerdict {
    std::string counted;           // kept with the QSO for the Credit rule; "" when it names nothing
    std::string shown;             // the exchange as a bad-QSO line and the tools name it
    const char* reason = nullptr;  // why the QSO may not count ("State/Province is not acceptable"), or null
};

class Record : public Facts {
public:
    explicit Record(const Facts& facts);
    virtual ~Record() = default;
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;

    std::string SetName() const { return std::string(name) + " (C)"; }
    const CaseInsensitiveTextSet& AcceptedBands() const { return acceptedBands_; }
    // The modes the contest counts in some year. CountsMode: this logged mode (any letter case) in the
    // contest of `year`; year 0, a contest whose year is not known, counts every mode of some year.
    const CaseInsensitiveTextSet& AcceptedModes() const { return acceptedModes_; }
    bool CountsMode(const std::string& mode, int year) const;
    // The Cabrillo mode of a logged mode (exact, case-sensitive name), "??" for a mode the table lacks; and
    // the way back for a log read from Cabrillo (any letter case): the first contest mode with the code,
    // "PK" is PACKET, any other code is itself.
    const char* CabrilloModeCode(const std::string& mode) const;
    std::string ModeFromCabrilloCode(const std::string& code) const;
    std::string BadQsoFileName(const COleDateTime& contestEnd) const;
    // The period start nearest to a time: for any QSO of the contest weekend the start of that weekend's
    // contest; a QSO made a little early, on Saturday morning, still finds the same Saturday.
    COleDateTime PeriodStartNear(const COleDateTime& t) const;
    COleDateTime PeriodEnd(const COleDateTime& start) const;
    // The start of the contest of `year`, by the rule of its weekend (periodMonth, periodFirstSaturday); null
    // for a year without dates. A period start of any other weekend (a July log's) is none of this contest.
    COleDateTime PeriodStartOf(int year) const;
    // A log's CONTEST text (Cabrillo's CONTEST:, ADIF's CONTEST_ID) names this contest: cabrilloContest, in
    // any letter case, blanks around it aside. The sponsors' Cabrillo 2.0 and 3.0 templates and the ADIF
    // list of contest IDs all spell it so; no older spelling is known.
    bool IsContestName(const std::string& text) const;
    bool IsRussianTextPrefix(const std::string& prefix) const;
    // The limits on operating time of an entry of the contest of `year` with this Cabrillo CATEGORY-OPERATOR
    // (any letter case): the first rule of the table that binds it.
    const TimeRule& TimeRuleOf(int year, const std::string& categoryOperator) const;
    // The band-change rule of an entry of the contest of `year` with these Cabrillo categories (any letter
    // case); null when the record holds none for it. Every band-change rule of that year, in table order; and
    // its entry categories ("" when the record holds none).
    const BandChangeRule* BandChangeRuleOf(int year, const std::string& categoryOperator,
                                           const std::string& categoryTransmitter) const;
    std::vector<const BandChangeRule*> BandChangeRulesOf(int year) const;
    const char* CategoriesOf(int year) const;

    // --- the rules -------------------------------------------------------------------------------------
    // The multiplier kinds, indexed as MultiplierKey::kind, in the order the score report shows them.
    virtual const std::vector<MultiplierKind>& MultiplierKinds() const = 0;
    // Some multiplier kind of the contest names keys of this sort (a contest whose stations send zones).
    bool Counts(MultiplierKind::Of of) const;
    // The one Credit rule: the points and multiplier keys of a QSO the plug-in counts. The plug-in's score, the
    // analysis page and the checker all score through it.
    virtual Credit CreditOf(const QsoView& qso) const = 0;
    // The credit depends on the worked call itself (a call's prefix is a multiplier), not only on the prefixes,
    // the band and the exchange: the score asks it for every QSO rather than once per kind of QSO.
    virtual bool CreditNeedsCall() const { return false; }
    // AddData0's test of the received exchange of a station with this call and prefix.
    virtual ExchangeVerdict JudgeExchange(const std::string& call, const std::string& prefix,
                                          const std::string& exchange) const = 0;
    // Every reason JudgeExchange gives, as a bad-QSO line says it.
    virtual const std::vector<std::string>& ExchangeReasons() const = 0;
    // An exchange as the Cabrillo file writes it, sent or received.
    virtual std::string CabrilloExchange(const std::string& exchange) const { return exchange; }
    // The score of the counted points and multipliers. 64-bit: a 32-bit reader keeps the low half, which is
    // the 32-bit product.
    virtual long long Score(long long points, long long multipliers) const { return points * multipliers; }
    // IsValidExchg0: 1 when the received exchange is acceptable from a station with this prefix, else 0; 0
    // whenever the host asks with `disable` set.
    int IsValidExchange(const std::string& exchange, const std::string& prefix, int disable) const {
        return disable == 0 && ExchangeIsValid(exchange, prefix) ? 1 : 0;
    }
    virtual bool ExchangeIsValid(const std::string& exchange, const std::string& prefix) const = 0;

    // --- the optional part: stations that send their location ------------------------------------------
    // Null for a contest whose stations send no location.
    virtual const Locations* LocationRules() const { return nullptr; }
    // The location a received exchange names, as AddData0 tests it: upper case, without the blanks around it
    // (and, where the exchange holds more, the location's part alone); "" in a contest without locations.
    virtual std::string NormaliseLocation(const std::string&) const { return ""; }
    // The same questions of the optional part, answered "none" where the contest has no locations.
    bool SendsLocation(const std::string& prefix) const;
    bool IsLocation(const std::string& prefix, const std::string& code) const;
    std::string CanonicalLocation(const std::string& code) const;
    const std::vector<std::string>& LocationMultipliers(const std::string& prefix) const;
    const std::vector<LocationCountry>& LocationCountries() const;

private:
    CaseInsensitiveTextSet acceptedBands_;
    CaseInsensitiveTextSet acceptedModes_;
};

}  // namespace contest
