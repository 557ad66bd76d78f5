#include "contest/record.h"

#include <algorithm>
#include <cmath>

#include "common/text.h"

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

namespace contest {

LocationTable::LocationTable(std::vector<std::string> codes, std::vector<LocationAlias> aliases)
    : sorted_(std::move(codes)), aliases_(std::move(aliases)) {
    for (const LocationAlias& a : aliases_) sorted_.push_back(a.code);
    std::sort(sorted_.begin(), sorted_.end());
}

bool LocationTable::Contains(const std::string& code) const {
    return std::binary_search(sorted_.begin(), sorted_.end(), code);
}

std::string LocationTable::Canonical(const std::string& code) const {
    for (const LocationAlias& a : aliases_) {
        if (code == a.code) return a.canonical;
    }
    return code;
}

namespace {

// Cabrillo's own code for packet, which a contest's logs may write under another code.
const char* const kPacketCabrilloCode = "PK";
const char* const kPacketMode = "PACKET";

std::vector<std::string> AcceptedModesOf(const Facts& f) {
    std::vector<std::string> accepted;
    for (size_t i = 0; i < f.modeCount; ++i) {
        if (f.modes[i].accepted) accepted.push_back(f.modes[i].mode);
    }
    return accepted;
}

}  // namespace

Record::Record(const Facts& facts)
    : Facts(facts), acceptedBands_(facts.bands, facts.bandCount), acceptedModes_(AcceptedModesOf(facts)) {}

const char* Record::CabrilloModeCode(const std::string& mode) const {
    for (size_t i = 0; i < modeCount; ++i) {
        if (mode == modes[i].mode) return modes[i].cabrilloCode;
    }
    return "??";
}

std::string Record::ModeFromCabrilloCode(const std::string& code) const {
    const std::string upper = text::ToUpper(code);
    for (size_t i = 0; i < modeCount; ++i) {
        if (modes[i].accepted && upper == modes[i].cabrilloCode) return modes[i].mode;
    }
    return upper == kPacketCabrilloCode ? kPacketMode : code;
}

std::string Record::BadQsoFileName(const COleDateTime& contestEnd) const {
    return badQsoFilePrefix + contestEnd.Format(badQsoFileDateFormat) + badQsoFileSuffix;
}

COleDateTime Record::PeriodStartNear(const COleDateTime& t) const {
    DateTimeFields f;
    if (!t.GetFields(f)) return COleDateTime::Null();
    // Day counts are whole at midnight; 30 December 1899 was a Saturday, so day n is a Saturday when
    // n mod 7 == 0.
    double day = std::floor(t.m_dt);
    double saturday = day - std::fmod(std::fmod(day, 7.0) + 7.0, 7.0);
    double best = saturday + periodStartHour / 24.0;
    for (double candidate : {best - 7.0, best + 7.0}) {
        if (std::fabs(candidate - t.m_dt) < std::fabs(best - t.m_dt)) best = candidate;
    }
    DateTimeFields s;
    COleDateTime approx(best, COleDateTime::valid);
    if (!approx.GetFields(s)) return COleDateTime::Null();
    return COleDateTime::FromFields(s.year, s.month, s.day, periodStartHour, 0);
}

COleDateTime Record::PeriodEnd(const COleDateTime& start) const {
    DateTimeFields s;
    if (!start.GetFields(s)) return COleDateTime::Null();
    // Whole days and hours rebuilt from fields, so the end is exact to the minute.
    COleDateTime day(std::floor(start.m_dt + 1e-9) + (s.hour + periodHours) / 24, COleDateTime::valid);
    DateTimeFields e;
    if (!day.GetFields(e)) return COleDateTime::Null();
    return COleDateTime::FromFields(e.year, e.month, e.day, (s.hour + periodHours) % 24, s.minute);
}

COleDateTime Record::PeriodStartOf(int year) const {
    const COleDateTime first = COleDateTime::FromFields(year, periodMonth, periodFirstSaturday);
    DateTimeFields f;
    if (!first.GetFields(f)) return COleDateTime::Null();
    const COleDateTime saturday(std::floor(first.m_dt) + (6 - f.dayOfWeek), COleDateTime::valid);
    DateTimeFields s;
    if (!saturday.GetFields(s)) return COleDateTime::Null();
    return COleDateTime::FromFields(s.year, s.month, s.day, periodStartHour, 0);
}

bool Record::IsContestName(const std::string& text) const {
    return text::EqualsNoCase(text::Trim(text), cabrilloContest);
}

namespace {

template <typename Rule>
bool AppliesIn(const Rule& rule, int year) {
    return (rule.firstYear == 0 || year >= rule.firstYear) && (rule.lastYear == 0 || year <= rule.lastYear);
}

}  // namespace

const BandChangeRule* Record::BandChangeRuleOf(int year, const std::string& categoryOperator,
                                               const std::string& categoryTransmitter) const {
    const std::string op = text::ToUpper(text::Trim(categoryOperator));
    std::string transmitter = text::ToUpper(text::Trim(categoryTransmitter));
    if (transmitter.empty()) transmitter = "ONE";
    for (size_t i = 0; i < bandChangeRuleCount; ++i) {
        const BandChangeRule& r = bandChangeRules[i];
        if (AppliesIn(r, year) && op == r.categoryOperator &&
            (*r.categoryTransmitter == '\0' || transmitter == r.categoryTransmitter)) {
            return &r;
        }
    }
    return nullptr;
}

std::vector<const BandChangeRule*> Record::BandChangeRulesOf(int year) const {
    std::vector<const BandChangeRule*> rules;
    for (size_t i = 0; i < bandChangeRuleCount; ++i) {
        if (AppliesIn(bandChangeRules[i], year)) rules.push_back(&bandChangeRules[i]);
    }
    return rules;
}

const char* Record::CategoriesOf(int year) const {
    for (size_t i = 0; i < categoryRuleCount; ++i) {
        if (AppliesIn(categoryRules[i], year)) return categoryRules[i].text;
    }
    return "";
}

bool Record::IsRussianTextPrefix(const std::string& prefix) const {
    for (size_t i = 0; i < russianTextPrefixCount; ++i) {
        if (prefix == russianTextPrefixes[i]) return true;
    }
    return false;
}

}  // namespace contest
