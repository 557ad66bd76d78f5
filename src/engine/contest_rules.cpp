#include "engine/contest_rules.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "common/text.h"

namespace {

const char* const kBandTable[] = {"80m", "80m", "40m", "20m", "15m", "10m"};

struct ModeRule {
    const char* mode;
    const char* cabrilloCode;
    bool accepted;
};
// "DG" is any digital mode other than RTTY that the contest counts; BPSK62 and BPSK125 are not contest
// modes but keep the code of their family when a log holds them.
const ModeRule kModes[] = {
    {"RTTY", "RY", true}, {"BPSK31", "RY", true}, {"BPSK63", "RY", true},   {"AMTOR", "RY", true},
    {"PACKET", "RY", true}, {"FT8", "DG", true},  {"FT4", "DG", true},      {"BPSK62", "RY", false},
    {"BPSK125", "RY", false},
};

// The US states and DC, and the Canadian provinces and territories; the older spellings of four of them
// follow as aliases.
const char* const kUsStateTable[] = {
    "AK", "AL", "AR", "AZ", "CA", "CO", "CT", "DC", "DE", "FL", "GA", "HI", "IA", "ID", "IL", "IN", "KS",
    "KY", "LA", "MA", "MD", "ME", "MI", "MN", "MO", "MS", "MT", "NC", "ND", "NE", "NH", "NJ", "NM", "NV",
    "NY", "OH", "OK", "OR", "PA", "RI", "SC", "SD", "TN", "TX", "UT", "VA", "VT", "WA", "WI", "WV", "WY"};
const char* const kCanadianProvinceTable[] = {"ON", "QC", "NS", "NB", "MB", "BC", "SK",
                                              "AB", "NL", "NT", "YT", "NU", "PE"};

struct StateProvAlias {
    const char* code;
    const char* canonical;
};
// Alaska and Hawaii send their state like any US station, but count only as the DXCC entities KL7 and KH6.
const char* const kNoMultiplierStates[] = {"AK", "HI"};

// Newfoundland and Labrador was logged as two provinces, "NF" and "LB"; today both are the one "NL".
const StateProvAlias kStateProvAliases[] = {{"PEI", "PE"}, {"NF", "NL"}, {"LB", "NL"}, {"NWT", "NT"}};

// Cabrillo's own code for packet; this contest's logs write it as RY.
const char* const kPacketCabrilloCode = "PK";
const char* const kPacketMode = "PACKET";

const char* const kRussianTextPrefixes[] = {"UA", "UA2", "UA9", "CE9/KC4", "UR", "UN", "EU"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const ContestRules kArrlRttyRoundup = {
    "ARRL RTTY Roundup",  // name
    "ARRL-RTTY",          // cabrilloContest
    1,                    // pointsPerQso
    338,                  // dxccEntityCount
    "BadQSO_DezuvEZIR_",  // badQsoFilePrefix
    "%d_%m_%Y",           // badQsoFileDateFormat
    ".txt",               // badQsoFileSuffix
    "ARRL-RTTY-Roundup Contest UBN file",  // badQsoFileTitle
    18,                   // periodStartHour
    30,                   // periodHours
    rules::kOperatingLimits,
};

}  // namespace

const ContestRules& Contest() {
    return kArrlRttyRoundup;
}

std::string ContestRules::BadQsoFileName(const COleDateTime& contestEnd) const {
    return badQsoFilePrefix + contestEnd.Format(badQsoFileDateFormat) + badQsoFileSuffix;
}

COleDateTime ContestRules::PeriodStartNear(const COleDateTime& t) const {
    DateTimeFields f;
    if (!t.GetFields(f))
        return COleDateTime::Null();
    // Day counts are whole at midnight; 30 December 1899 was a Saturday, so day n is a Saturday when
    // n mod 7 == 0.
    double day = std::floor(t.m_dt);
    double saturday = day - std::fmod(std::fmod(day, 7.0) + 7.0, 7.0);
    double best = saturday + periodStartHour / 24.0;
    for (double candidate : {best - 7.0, best + 7.0}) {
        if (std::fabs(candidate - t.m_dt) < std::fabs(best - t.m_dt))
            best = candidate;
    }
    DateTimeFields s;
    COleDateTime approx(best, COleDateTime::valid);
    if (!approx.GetFields(s))
        return COleDateTime::Null();
    return COleDateTime::FromFields(s.year, s.month, s.day, periodStartHour, 0);
}

COleDateTime ContestRules::PeriodEnd(const COleDateTime& start) const {
    DateTimeFields s;
    if (!start.GetFields(s))
        return COleDateTime::Null();
    // Whole days and hours rebuilt from fields, so the end is exact to the minute.
    COleDateTime day(std::floor(start.m_dt + 1e-9) + (s.hour + periodHours) / 24, COleDateTime::valid);
    DateTimeFields e;
    if (!day.GetFields(e))
        return COleDateTime::Null();
    return COleDateTime::FromFields(e.year, e.month, e.day, (s.hour + periodHours) % 24, s.minute);
}

CaseInsensitiveTextSet::CaseInsensitiveTextSet(const char* const* table, size_t count)
    : entries_(table, table + count) {}

bool CaseInsensitiveTextSet::Contains(const std::string& text) const {
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    for (const std::string& entry : entries_) {
        if (entry.size() != text.size()) continue;
        size_t i = 0;
        while (i < text.size() && upper(entry[i]) == upper(text[i])) ++i;
        if (i == text.size()) return true;
    }
    return false;
}

const CaseInsensitiveTextSet& AcceptedBands() {
    static const CaseInsensitiveTextSet bands(kBandTable, sizeof kBandTable / sizeof kBandTable[0]);
    return bands;
}

const CaseInsensitiveTextSet& AcceptedModes() {
    static const CaseInsensitiveTextSet modes([] {
        std::vector<std::string> accepted;
        for (const ModeRule& m : kModes) {
            if (m.accepted) accepted.push_back(m.mode);
        }
        return accepted;
    }());
    return modes;
}

const char* const kRowBands[kBandRowCount] = {"160m", "80m", "40m", "20m", "15m", "10m"};
const int kRowBandStartMhz[kBandRowCount] = {1, 3, 7, 14, 21, 28};

namespace rules {

bool IsWve(const std::string& prefix) { return prefix == kUsaPrefix || prefix == kCanadaPrefix; }

bool IsDxccMultiplier(const std::string& prefix) { return !prefix.empty() && !IsWve(prefix); }

bool IsStateProvMultiplier(const std::string& code) {
    if (!IsStateProv(code)) return false;
    for (const char* none : kNoMultiplierStates) {
        if (code == none) return false;
    }
    return true;
}

const std::vector<std::string>& StateProvMultipliers(const std::string& wvePrefix) {
    static const std::vector<std::string> states = [] {
        std::vector<std::string> codes;
        for (const char* code : kUsStateTable) {
            if (IsStateProvMultiplier(code)) codes.push_back(code);
        }
        return codes;
    }();
    static const std::vector<std::string> provinces(std::begin(kCanadianProvinceTable),
                                                    std::end(kCanadianProvinceTable));
    static const std::vector<std::string> none;
    return wvePrefix == kUsaPrefix ? states : wvePrefix == kCanadaPrefix ? provinces : none;
}

bool IsStateProv(const std::string& code) {
    static const std::vector<std::string> sorted = [] {
        std::vector<std::string> codes(std::begin(kUsStateTable), std::end(kUsStateTable));
        codes.insert(codes.end(), std::begin(kCanadianProvinceTable), std::end(kCanadianProvinceTable));
        for (const StateProvAlias& a : kStateProvAliases) codes.push_back(a.code);
        std::sort(codes.begin(), codes.end());
        return codes;
    }();
    return code.size() <= 3 && std::binary_search(sorted.begin(), sorted.end(), code);
}

std::string CanonicalStateProv(const std::string& code) {
    for (const StateProvAlias& a : kStateProvAliases) {
        if (code == a.code) return a.canonical;
    }
    return code;
}

std::string NormaliseStateProv(const std::string& exchange) { return text::Trim(text::ToUpper(exchange)); }

bool IsRussianTextPrefix(const std::string& prefix) {
    for (const char* p : kRussianTextPrefixes) {
        if (prefix == p) return true;
    }
    return false;
}

int IsValidExchange(const std::string& exchange, const std::string& prefix, int disable) {
    if (disable != 0) return 0;
    if (exchange == "599") return 0;
    // A serial number of three or four digits is valid from W/VE stations and DX stations alike; from a
    // W/VE station a state/province code is valid too, "PEI" and "NWT" among them.
    if (exchange.size() == 3 || exchange.size() == 4) {
        bool digits = true;
        for (char c : exchange) digits = digits && IsDigit(c);
        if (digits) return 1;
    }
    if (!IsWve(prefix)) return 0;
    return IsStateProv(exchange) ? 1 : 0;
}

const RuleTexts kRuleTexts{
    "\"No entrant may operate more than 24 hours out of the 30-hour contest period.\"",
    "\"The six hours of off time must be taken in no more than two blocks.\"",
    "Off time is a break of at least 30 minutes (the general rules of the sponsor's contests); the two longest "
    "breaks are the off time, and every further break counts as operating time.",
    "Multi-operator entries: \"Limited to 6 band changes (maximum) in any clock hour. The clock hour is from "
    "zero through 59 minutes.\" A change from 20 meters to 15 meters and back to 20 meters is two band changes.",
    "Multipliers: \"Each US state (except KH6 and KL7) plus the District of Columbia\", the Canadian provinces "
    "and territories, and each DXCC entity; KH6 and KL7 \"count only as separate DXCC entities\".",
};

const char* CabrilloModeCode(const std::string& mode) {
    for (const ModeRule& m : kModes) {
        if (mode == m.mode) return m.cabrilloCode;
    }
    return "??";
}

std::string ModeFromCabrilloCode(const std::string& code) {
    const std::string upper = text::ToUpper(code);
    for (const ModeRule& m : kModes) {
        if (m.accepted && upper == m.cabrilloCode)
            return m.mode;
    }
    return upper == kPacketCabrilloCode ? kPacketMode : code;
}

}  // namespace rules
