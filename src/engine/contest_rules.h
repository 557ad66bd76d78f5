#pragma once
// The contest's rules in one place: engine, scoring, windows, replay and analysis read every fact of the
// ARRL RTTY Roundup from here and from nowhere else. The ContestRules record: names, points and score,
// the DXCC entity count, the bad-QSO file's name, the period and the operating limits; beside it the
// tables: bands with their table order, status rows and MHz; modes with their Cabrillo codes both ways; the
// W/VE prefixes and which prefixes are DXCC multipliers; the state/province codes with the older spellings
// of some of them; the own-station prefixes that switch the windows to Russian captions; the limits on
// operating time and band changes, each with the words of the rule it comes from.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/ole_date_time.h"

namespace rules {
// The limits on operating time and band changes; times in minutes.
struct OperatingLimits {
    int mostOperatingMinutes;       // of the contest period; binds every entrant, multi-operator ones too
    int leastOffMinutes;            // the off time that must be taken ...
    int mostOffBlocks;              // ... in no more blocks than this: further breaks count as operating time
    int shortestOffMinutes;         // a break shorter than this is operating time
    int multiOpBandChangesPerHour;  // band changes in one clock hour, multi-operator entries only
};
constexpr OperatingLimits kOperatingLimits{24 * 60, 6 * 60, 2, 30, 6};

}  // namespace rules

// The contest as one record; Contest() is its one instance.
struct ContestRules {
    const char* name;             // "ARRL RTTY Roundup"
    const char* cabrilloContest;  // the Cabrillo CONTEST text, also the short name in window titles
    int pointsPerQso;
    int dxccEntityCount;  // the DXCC list the extended window counts against
    // The bad-QSO file: prefix, the contest's end date in this format, suffix.
    const char* badQsoFilePrefix;
    const char* badQsoFileDateFormat;
    const char* badQsoFileSuffix;
    const char* badQsoFileTitle;  // the file's first line
    // The period: from Saturday at this UTC hour for this many hours.
    int periodStartHour;
    int periodHours;
    // Operating time, off time and band changes (see rules::kOperatingLimits).
    rules::OperatingLimits limits;

    // Points times multipliers. 64-bit: a 32-bit reader keeps the low half, which is the 32-bit product.
    long long Score(long long points, long long multipliers) const { return points * multipliers; }
    std::string BadQsoFileName(const COleDateTime& contestEnd) const;
    // The period start nearest to a time: for any QSO of the contest weekend the start of that weekend's
    // contest; a QSO made a little early, on Saturday morning, still finds the same Saturday.
    COleDateTime PeriodStartNear(const COleDateTime& t) const;
    COleDateTime PeriodEnd(const COleDateTime& start) const;
};
const ContestRules& Contest();

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

// "80m" stands twice: the six per-band rows follow this table, and row 0 is the 160 m slot.
const CaseInsensitiveTextSet& AcceptedBands();
// RTTY, BPSK31, BPSK63, AMTOR, PACKET, FT8, FT4.
const CaseInsensitiveTextSet& AcceptedModes();

// The status windows' six band rows, by position: the band a logged QSO must have to show in the row, and
// the whole MHz that a frequency on the band starts with. Row 0 is the 160 m slot, which no accepted QSO
// fills; the reset labels the rows after AcceptedBands().
constexpr size_t kBandRowCount = 6;
extern const char* const kRowBands[kBandRowCount];
extern const int kRowBandStartMhz[kBandRowCount];

namespace rules {

// The prefixes of the W/VE stations, who send their state or province.
constexpr const char* kUsaPrefix = "K";
constexpr const char* kCanadaPrefix = "VE";

// W/VE station: the prefix is exactly "K" (USA) or exactly "VE" (Canada). Everything else is DX.
bool IsWve(const std::string& prefix);
// A prefix that counts as a DXCC multiplier: any entity but the USA and Canada, whose stations count by
// their state or province instead; an empty (unknown) prefix is no entity.
bool IsDxccMultiplier(const std::string& prefix);
// An accepted state/province code, compared exactly; the older spellings still sent on the air ("PEI",
// "NF", "LB", "NWT") included, and AK and HI, which are accepted exchanges but no multiplier.
bool IsStateProv(const std::string& code);
// An accepted code that is a state/province multiplier: every one but AK and HI, whose stations count only
// as the DXCC entities KL7 and KH6.
bool IsStateProvMultiplier(const std::string& code);
// The code a state/province counts under as a multiplier: "PEI" is "PE", "NF" and "LB" are "NL" and
// "NWT" is "NT"; every other code is itself.
std::string CanonicalStateProv(const std::string& code);
// The state/province multipliers of a W/VE prefix in table order, each under the code it counts as: for "K"
// the 48 states below Canada and DC, for "VE" the provinces and territories; none for any other prefix.
const std::vector<std::string>& StateProvMultipliers(const std::string& wvePrefix);
// The received exchange as AddData0 tests it: upper case, blanks trimmed at both ends.
std::string NormaliseStateProv(const std::string& exchange);
bool IsRussianTextPrefix(const std::string& prefix);

// IsValidExchg0: 1 when the received exchange is acceptable from a station with this prefix, else 0.
int IsValidExchange(const std::string& exchange, const std::string& prefix, int disable);

// The Cabrillo mode of a logged mode (exact, case-sensitive name): "RY" for RTTY and the other keyboard
// modes, "DG" for FT8 and FT4, "??" for anything else.
const char* CabrilloModeCode(const std::string& mode);
// The way back, for a log read from Cabrillo (any letter case): the first contest mode with the code ("RY"
// is RTTY, "DG" FT8), "PK" is PACKET; any other code is itself.
std::string ModeFromCabrilloCode(const std::string& code);

// The words of the rules behind each limit and the multipliers, as the analysis page quotes them.
struct RuleTexts {
    const char* operatingTime;
    const char* offBlocks;
    const char* shortestOff;
    const char* bandChanges;
    const char* stateMultipliers;
};
extern const RuleTexts kRuleTexts;

}  // namespace rules
