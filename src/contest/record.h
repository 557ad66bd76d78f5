#pragma once
// A contest as one record: everything the contest decides, which the engine, the score, the windows, the
// replay, the analysis page and the checker read here and nowhere else. Its facts (names, bands and modes with
// their Cabrillo codes, the period, the limits with the words of their rules, the bad-QSO file's name) are
// data; its rules (who sends a location, which exchanges are valid, what a QSO is credited with) are the
// record's functions. Each contest's tables and rules stand in a file of their own beside this one; the
// registry finds a record by the set name a plug-in gives the host.
#include <cstddef>
#include <string>
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

// The limits on operating time and band changes; times in minutes.
struct OperatingLimits {
    int mostOperatingMinutes;       // of the contest period; binds every entrant, multi-operator ones too
    int leastOffMinutes;            // the off time that must be taken ...
    int mostOffBlocks;              // ... in no more blocks than this: further breaks count as operating time
    int shortestOffMinutes;         // a break shorter than this is operating time
    int multiOpBandChangesPerHour;  // band changes in one clock hour, multi-operator entries only
};

// The words of the rules behind each limit and the multipliers, as the analysis page quotes them.
struct RuleTexts {
    const char* operatingTime;
    const char* offBlocks;
    const char* shortestOff;
    const char* bandChanges;
    const char* stateMultipliers;
};

// A limit on band changes that binds the entries of one category in the contest years [firstYear, lastYear].
struct BandChangeRule {
    int firstYear;                    // 0: every year up to lastYear
    int lastYear;                     // 0: every year from firstYear on
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
    int firstYear, lastYear;  // as in BandChangeRule
    const char* text;
};

// A logged mode, its Cabrillo code, and whether the contest counts it.
struct ModeRule {
    const char* mode;
    const char* cabrilloCode;
    bool accepted;
};

// What a contest decides that is data.
struct Facts {
    const char* name;             // "ARRL RTTY Roundup"; the set name is this and " (C)"
    const char* cabrilloContest;  // the Cabrillo CONTEST text, also the short name in window titles
    int dxccEntityCount;          // the DXCC list the extended window counts against
    // The bad-QSO file: prefix, the contest's end date in this format, suffix; and its first line.
    const char* badQsoFilePrefix;
    const char* badQsoFileDateFormat;
    const char* badQsoFileSuffix;
    const char* badQsoFileTitle;
    // The period: from Saturday at this UTC hour for this many hours.
    int periodStartHour;
    int periodHours;
    OperatingLimits limits;
    RuleTexts ruleTexts;
    // The bands as the host names them, in the contest's table (a band may stand twice); the modes.
    const char* const* bands;
    size_t bandCount;
    const ModeRule* modes;
    size_t modeCount;
    // Own-station prefixes for which the windows show their Russian texts.
    const char* const* russianTextPrefixes;
    size_t russianTextPrefixCount;
    // The rules that changed over the years, each with the years it applies to.
    const BandChangeRule* bandChangeRules;
    size_t bandChangeRuleCount;
    const CategoryRule* categoryRules;
    size_t categoryRuleCount;
    // The plug-in's settings file, relative to the host's folder, and the name the control window's title
    // gives the contest ("Setup <name> <year>").
    const char* settingsFileName;
    const char* windowName;
    // The contest's countries are the DXCC entities and also the WAE-only ones (IT9, GM/s, ...): the tools
    // then resolve a call to the WAE entity, as the host does for such a contest.
    bool waeCountries;
    // The words of an exchange in a Cabrillo QSO line: 1 ("NY", "001"), 2 ("05 MA").
    size_t cabrilloExchangeWords;
    // When the contest falls: its period starts on the Saturday from this day of this month to six days
    // later (the Roundup's "first full weekend of January, but never on January 1": the 2nd to the 8th).
    int periodMonth;
    int periodFirstSaturday;
};

// What a counted QSO scores: its points and the multipliers it may add, each a key of a kind. A key counts
// once per contest, or once per band where its kind says so; keys of different kinds never meet ("OH" the
// state and "OH" the country are two).
struct MultiplierKind {
    enum class Of { country, location, zone };  // what the key names: a DXCC prefix, a state or province, a zone
    const char* name;
    Of of;
    bool perBand;
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

// What the contest makes of a received exchange: what the QSO counts with, or why it may not count.
struct ExchangeVerdict {
    std::string counted;           // kept with the QSO for the Credit rule; "" when it names no location
    std::string shown;             // the exchange as a bad-QSO line and the tools name it
    const char* reason = nullptr;  // why the QSO may not count ("State/Province is not acceptable"), or null
};

// A country whose stations send their location, with the words the analysis page names its locations by.
struct LocationCountry {
    const char* prefix;     // "K"
    const char* locations;  // "US states and DC"
    const char* kind;       // "US state or DC"
    const char* one;        // "a US state"
};

class Record : public Facts {
public:
    explicit Record(const Facts& facts);
    virtual ~Record() = default;
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;

    std::string SetName() const { return std::string(name) + " (C)"; }
    const CaseInsensitiveTextSet& AcceptedBands() const { return acceptedBands_; }
    const CaseInsensitiveTextSet& AcceptedModes() const { return acceptedModes_; }
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
    // The one Credit rule: the points and multiplier keys of a QSO the plug-in counts, from the own station's
    // DXCC prefix, the worked station's (as the host resolves them) and the exchange as it counts
    // (JudgeExchange's `counted`). The plug-in's score, the analysis page and the checker all score through it.
    virtual Credit CreditOf(const std::string& ownPrefix, const std::string& prefix,
                            const std::string& counted) const = 0;
    // AddData0's test of the received exchange of a station with this call and prefix.
    virtual ExchangeVerdict JudgeExchange(const std::string& call, const std::string& prefix,
                                          const std::string& exchange) const = 0;
    // Every reason JudgeExchange gives, as a bad-QSO line says it.
    virtual const std::vector<std::string>& ExchangeReasons() const = 0;
    // An exchange as the Cabrillo file writes it, sent or received.
    virtual std::string CabrilloExchange(const std::string& exchange) const { return exchange; }
    // The score of the counted points and multipliers. 64-bit: a 32-bit reader keeps the low half, which is
    // the 32-bit product.
    virtual long long Score(long long points, long long multipliers) const = 0;

    // A station that sends its location (state, province) rather than a number.
    virtual bool SendsLocation(const std::string& prefix) const = 0;
    // The location a received exchange names, as AddData0 tests it: upper case, without the blanks around it
    // (and, where the exchange holds more, the location's part alone).
    virtual std::string NormaliseLocation(const std::string& exchange) const = 0;
    // A location code the stations of the country `prefix` may send, compared exactly (the older spellings
    // still sent on the air included): a US station's state, a Canadian station's province or area. A code of
    // another country is none of its own ("ON" from a K station).
    virtual bool IsLocation(const std::string& prefix, const std::string& code) const = 0;
    // The code a location counts under ("PEI" is "PE"); every other code is itself.
    virtual std::string CanonicalLocation(const std::string& code) const = 0;
    // The location multipliers of a country prefix, in table order, each under the code it counts as.
    virtual const std::vector<std::string>& LocationMultipliers(const std::string& prefix) const = 0;
    // The countries whose stations send a location, in table order.
    virtual const std::vector<LocationCountry>& LocationCountries() const = 0;
    // IsValidExchg0: 1 when the received exchange is acceptable from a station with this prefix, else 0; 0
    // whenever the host asks with `disable` set.
    int IsValidExchange(const std::string& exchange, const std::string& prefix, int disable) const {
        return disable == 0 && ExchangeIsValid(exchange, prefix) ? 1 : 0;
    }
    virtual bool ExchangeIsValid(const std::string& exchange, const std::string& prefix) const = 0;

private:
    CaseInsensitiveTextSet acceptedBands_;
    CaseInsensitiveTextSet acceptedModes_;
};

}  // namespace contest
