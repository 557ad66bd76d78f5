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
    for (const ModeRule& m : f.modes) {
        if (m.accepted) accepted.push_back(m.mode);
    }
    return accepted;
}

}  // namespace

Locations::Locations(std::vector<LocationCountry> countries) : countries_(std::move(countries)) {
    for (const LocationCountry& c : countries_) {
        std::vector<std::string> multipliers;
        for (const char* code : c.codes) {
            if (std::none_of(c.noMultiplier.begin(), c.noMultiplier.end(),
                             [code](const char* none) { return std::string(code) == none; })) {
                multipliers.push_back(code);
            }
        }
        tables_.push_back({LocationTable(std::vector<std::string>(c.codes.begin(), c.codes.end()),
                                         std::vector<LocationAlias>(c.aliases.begin(), c.aliases.end())),
                           std::move(multipliers)});
    }
}

const Locations::Country* Locations::Of(const std::string& prefix) const {
    for (size_t i = 0; i < countries_.size(); ++i) {
        if (prefix == countries_[i].prefix) return &tables_[i];
    }
    return nullptr;
}

bool Locations::IsLocation(const std::string& prefix, const std::string& code) const {
    const Country* c = Of(prefix);
    return c != nullptr && c->codes.Contains(code);
}

std::string Locations::Canonical(const std::string& code) const {
    for (const Country& c : tables_) {
        const std::string canonical = c.codes.Canonical(code);
        if (canonical != code) return canonical;
    }
    return code;
}

const std::vector<std::string>& Locations::Multipliers(const std::string& prefix) const {
    static const std::vector<std::string> none;
    const Country* c = Of(prefix);
    return c != nullptr ? c->multipliers : none;
}

bool Locations::IsMultiplier(const std::string& prefix, const std::string& code) const {
    if (!IsLocation(prefix, code)) return false;
    const std::vector<std::string>& codes = Multipliers(prefix);
    return std::find(codes.begin(), codes.end(), Canonical(code)) != codes.end();
}

Record::Record(const Facts& facts)
    : Facts(facts),
      acceptedBands_(std::vector<std::string>(facts.bands.begin(), facts.bands.end())),
      acceptedModes_(AcceptedModesOf(facts)) {}

bool Record::SendsLocation(const std::string& prefix) const {
    return LocationRules() != nullptr && LocationRules()->Sends(prefix);
}

bool Record::IsLocation(const std::string& prefix, const std::string& code) const {
    return LocationRules() != nullptr && LocationRules()->IsLocation(prefix, code);
}

std::string Record::CanonicalLocation(const std::string& code) const {
    return LocationRules() != nullptr ? LocationRules()->Canonical(code) : code;
}

const std::vector<std::string>& Record::LocationMultipliers(const std::string& prefix) const {
    static const std::vector<std::string> none;
    return LocationRules() != nullptr ? LocationRules()->Multipliers(prefix) : none;
}

const std::vector<LocationCountry>& Record::LocationCountries() const {
    static const std::vector<LocationCountry> none;
    return LocationRules() != nullptr ? LocationRules()->Countries() : none;
}

const char* Record::CabrilloModeCode(const std::string& mode) const {
    for (const ModeRule& m : modes) {
        if (mode == m.mode) return m.cabrilloCode;
    }
    return "??";
}

std::string Record::ModeFromCabrilloCode(const std::string& code) const {
    const std::string upper = text::ToUpper(code);
    for (const ModeRule& m : modes) {
        if (m.accepted && upper == m.cabrilloCode) return m.mode;
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
    for (const BandChangeRule& r : bandChangeRules) {
        if (AppliesIn(r, year) && op == r.categoryOperator &&
            (*r.categoryTransmitter == '\0' || transmitter == r.categoryTransmitter)) {
            return &r;
        }
    }
    return nullptr;
}

std::vector<const BandChangeRule*> Record::BandChangeRulesOf(int year) const {
    std::vector<const BandChangeRule*> rules;
    for (const BandChangeRule& r : bandChangeRules) {
        if (AppliesIn(r, year)) rules.push_back(&r);
    }
    return rules;
}

bool Record::Counts(MultiplierKind::Of of) const {
    for (const MultiplierKind& kind : MultiplierKinds()) {
        if (kind.of == of) return true;
    }
    return false;
}

bool Record::CountsMode(const std::string& mode, int year) const {
    for (const ModeRule& m : modes) {
        if (m.accepted && text::EqualsNoCase(mode, m.mode)) return year == 0 || AppliesIn(m, year);
    }
    return false;
}

const char* Record::CategoriesOf(int year) const {
    for (const CategoryRule& r : categoryRules) {
        if (AppliesIn(r, year)) return r.text;
    }
    return "";
}

const TimeRule& Record::TimeRuleOf(int year, const std::string& categoryOperator) const {
    const std::string op = text::ToUpper(text::Trim(categoryOperator));
    for (const TimeRule& r : timeRules) {
        if (AppliesIn(r, year) && (*r.categoryOperator == '\0' || op == r.categoryOperator)) return r;
    }
    // A record's last rule binds every entry; one without rules binds nothing.
    static const TimeRule none{0, 0, "", "every entrant", 100000 * 60, 0, 0, 30, "", "", ""};
    return timeRules.empty() ? none : timeRules[timeRules.size() - 1];
}

bool Record::IsRussianTextPrefix(const std::string& prefix) const {
    for (const char* p : russianTextPrefixes) {
        if (prefix == p) return true;
    }
    return false;
}

}  // namespace contest
