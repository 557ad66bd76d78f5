// The ARRL RTTY Roundup's tables and rules: RTTY and the keyboard and FT modes on 80, 40, 20, 15 and 10 m over
// 30 hours from Saturday 18:00 UTC; one point a QSO; a station once per band whatever the mode; the multipliers
// are the US states and DC, the Canadian provinces and territories and the DXCC entities other than the USA
// and Canada, each once per contest.
#include "contest/arrl_rtty_roundup.h"

#include <algorithm>
#include <iterator>

#include "common/text.h"
#include "contest/usa_locations.h"

namespace contest {

namespace {

// "80m" stands twice: the six per-band rows of the reset follow this table, and row 0 is the 160 m slot.
const char* const kBandTable[] = {"80m", "80m", "40m", "20m", "15m", "10m"};

// "DG" is any digital mode other than RTTY that the contest counts; BPSK62 and BPSK125 are not contest
// modes but keep the code of their family when a log holds them.
const ModeRule kModes[] = {
    {"RTTY", "RY", true},   {"BPSK31", "RY", true}, {"BPSK63", "RY", true}, {"AMTOR", "RY", true},
    {"PACKET", "RY", true}, {"FT8", "DG", true},    {"FT4", "DG", true},    {"BPSK62", "RY", false},
    {"BPSK125", "RY", false},
};

const char* const kRussianTextPrefixes[] = {"UA", "UA2", "UA9", "CE9/KC4", "UR", "UN", "EU"};

// The Canadian provinces and territories. Newfoundland and Labrador was logged as two provinces, "NF" and
// "LB"; today both are the one "NL", and PEI and NWT are older spellings of PE and NT.
const char* const kCanadianProvinces[] = {"ON", "QC", "NS", "NB", "MB", "BC", "SK", "AB", "NL", "NT", "YT", "NU", "PE"};
const LocationAlias kCanadianAliases[] = {{"PEI", "PE"}, {"NF", "NL"}, {"LB", "NL"}, {"NWT", "NT"}};

// The multi-operator band-change rule as the sponsor's rules gave it until the categories changed.
const char* const kMultiOpBandChanges =
    "Multi-operator entries: \"Limited to 6 band changes (maximum) in any clock hour. The clock hour is from zero "
    "through 59 minutes.\" A change from 20 meters to 15 meters and back to 20 meters is two band changes.";

// The record knows the rules of a year from the sponsor's published rules (2006 to 2013, the same in these
// points) and, for 2025, from a published summary of that year's rules, whose words it does not quote; the
// years between are taken to follow the earlier rules until the record learns better.
const BandChangeRule kBandChangeRules[] = {
    {0, 2024, "MULTI-OP", "", "multi-operator", 6, kMultiOpBandChanges},
    {2025, 0, "MULTI-OP", "ONE", "multi-operator, single transmitter", 10,
     "Multi-operator, single transmitter: at most 10 band changes in a clock hour (minute 0 to 59); a change from "
     "20 meters to 15 meters and back is two (the 2025 rules as a published summary gives them, not the "
     "sponsor's words)."},
    {2025, 0, "MULTI-OP", "TWO", "multi-operator, two transmitters", 6,
     "Multi-operator, two transmitters: at most 6 band changes in a clock hour (minute 0 to 59), two signals at "
     "most, on different bands (the 2025 rules as a published summary gives them, not the sponsor's words)."},
    {2025, 0, "MULTI-OP", "UNLIMITED", "multi-operator, multi-transmitter", -1,
     "Multi-operator, multi-transmitter: one signal per band at most, and no band-change limit stated (the 2025 "
     "rules as a published summary gives them, not the sponsor's words)."},
};

const CategoryRule kCategoryRules[] = {
    {0, 2024,
     "Single Operator (low or high power) and Multioperator, Single Transmitter, which a single operator who uses "
     "spotting assistance enters too (the sponsor's rules of 2006 to 2013)"},
    {2025, 0,
     "Single Operator and Single Operator Unlimited (QRP, low or high power), Multioperator Single Transmitter (low "
     "or high power), Multioperator Two Transmitter and Multioperator Multi-Transmitter (high power) (the 2025 "
     "rules as a published summary gives them)"},
};

// The operating time: one rule for every entrant.
const TimeRule kTimeRules[] = {
    {0, 0, "", "every entrant", 24 * 60, 6 * 60, 2, 30,
     "\"No entrant may operate more than 24 hours out of the 30-hour contest period.\"",
     "\"The six hours of off time must be taken in no more than two blocks.\"",
     "Off time is a break of at least 30 minutes (the general rules of the sponsor's contests); the two longest "
     "breaks are the off time, and every further break counts as operating time."},
};

Facts MakeFacts() {
    Facts f;
    f.name = "ARRL RTTY Roundup";
    f.cabrilloContest = "ARRL-RTTY";
    f.dxccEntityCount = 340;  // the DXCC entities of the country file
    f.badQsoFilePrefix = "BadQSO_DezuvEZIR_";
    f.badQsoFileTitle = "ARRL-RTTY-Roundup Contest UBN file";
    f.periodStartHour = 18;
    f.periodHours = 30;
    // "First full weekend of January, but never on January 1" (the sponsor's rules of 2002 to 2017; the dates of
    // 1999 and 2018 to 2025 fall so too): the Saturday of the 2nd to the 8th.
    f.periodMonth = 1;
    f.periodFirstSaturday = 2;
    f.timeRules = kTimeRules;
    f.multiOpBandChangesPerHour = 6;
    f.multiplierRules =
        "Multipliers: \"Each US state (except KH6 and KL7) plus the District of Columbia\", the Canadian provinces "
        "and territories, and each DXCC entity; KH6 and KL7 \"count only as separate DXCC entities\".";
    f.bands = kBandTable;
    f.modes = kModes;
    f.russianTextPrefixes = kRussianTextPrefixes;
    f.bandChangeRules = kBandChangeRules;
    f.categoryRules = kCategoryRules;
    f.settingsFileName = "Plugins\\ARRL-RTTY.ini";
    f.windowName = "ARRL-RTTY-Roundup";
    f.waeCountries = false;  // WAE-only entities count for their DXCC entity
    return f;
}

// A W/VE station's exchange that is no state or province of the table.
const char* const kStateProvReason = "State/Province is not acceptable";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

class ArrlRttyRoundupRecord final : public Record {
public:
    static constexpr size_t kStateProvKind = 0;
    static constexpr size_t kDxccKind = 1;

    ArrlRttyRoundupRecord()
        : Record(MakeFacts()),
          locations_({UsaLocations(), {"VE", "Canadian provinces and territories", "Canadian province",
                                       "a Canadian province", kCanadianProvinces, {}, kCanadianAliases}}) {}

    const std::vector<MultiplierKind>& MultiplierKinds() const override {
        static const std::vector<MultiplierKind> kinds = {
            {"State/Province", MultiplierKind::Of::location, false, "state or province", "states/provinces"},
            {"DXCC", MultiplierKind::Of::country, false, "DXCC entity", "DXCC"},
        };
        return kinds;
    }

    // One point a QSO. A W/VE station's QSO adds its state or province, under the code it counts as (AK and
    // HI add nothing: those stations count only as the DXCC entities KL7 and KH6); any other station's adds
    // its DXCC entity. An unknown prefix adds nothing.
    Credit CreditOf(const QsoView& q) const override {
        Credit c;
        c.points = 1;
        const std::string prefix(q.prefix);
        if (locations_.Sends(prefix)) {
            const std::string code = NormaliseLocation(std::string(q.counted));
            if (locations_.IsMultiplier(prefix, code)) c.keys.push_back({kStateProvKind, locations_.Canonical(code)});
        } else if (!prefix.empty()) {
            c.keys.push_back({kDxccKind, prefix});
        }
        return c;
    }

    // A W/VE station's state or province, normalised, is kept when it is one of its own country's (a K station
    // sends a US state, a VE station a Canadian province: a W station signing /VE3 is Canadian); any other makes
    // the QSO a bad one. A DX station's serial number is not tested.
    ExchangeVerdict JudgeExchange(const std::string&, const std::string& prefix,
                                  const std::string& exchange) const override {
        ExchangeVerdict v;
        if (!locations_.Sends(prefix)) return v;
        v.shown = NormaliseLocation(exchange);
        if (locations_.IsLocation(prefix, v.shown)) {
            v.counted = v.shown;
        } else {
            v.reason = kStateProvReason;
        }
        return v;
    }

    const std::vector<std::string>& ExchangeReasons() const override {
        static const std::vector<std::string> reasons = {kStateProvReason};
        return reasons;
    }

    const Locations* LocationRules() const override { return &locations_; }

    std::string NormaliseLocation(const std::string& exchange) const override {
        return text::Trim(text::ToUpper(exchange));
    }

    bool ExchangeIsValid(const std::string& exchange, const std::string& prefix) const override {
        if (exchange == "599") return false;
        // A serial number of three or four digits is valid from W/VE stations and DX stations alike; from a
        // W/VE station a state/province code of its own country is valid too, "PEI" and "NWT" among them.
        if (exchange.size() == 3 || exchange.size() == 4) {
            bool digits = true;
            for (char c : exchange) digits = digits && IsDigit(c);
            if (digits) return true;
        }
        return locations_.IsLocation(prefix, exchange);
    }

private:
    Locations locations_;
};

}  // namespace

const Record& ArrlRttyRoundup() {
    static const ArrlRttyRoundupRecord record;
    return record;
}

}  // namespace contest
