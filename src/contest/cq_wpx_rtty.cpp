// The CQ WPX RTTY's tables and rules, the words in quotation marks as the sponsor's published rules give them
// (the 2020 edition, and the prefix rules as its 2026 edition words them): Baudot RTTY on 80, 40, 20, 15 and 10 m
// over 48 hours from Saturday 00:00 UTC; RST and a serial number; a station once per band; 1, 2 or 3 points by
// country and continent, doubled on 80 and 40 m; the multipliers are the prefixes worked, each once.
#include "contest/cq_wpx_rtty.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "common/text.h"
#include "dxcc/continents.h"

namespace contest {

namespace {

// As the other contests': six per-band rows, row 0 the 160 m slot.
const char* const kBandTable[] = {"80m", "80m", "40m", "20m", "15m", "10m"};
// The bands whose points count double.
const char* const kLowBands[] = {"80m", "40m"};

const ModeRule kModes[] = {{"RTTY", "RY", true}};

const char* const kRussianTextPrefixes[] = {"UA", "UA2", "UA9", "CE9/KC4", "UR", "UN", "EU"};

const char* const kSerialReason = "Serial number is not acceptable";

// The operating time: single operators 30 of the 48 hours, in off times of an hour or more; multi-operator
// stations the whole period.
const TimeRule kTimeRules[] = {
    {0, 0, "MULTI-OP", "multi-operator", 48 * 60, 0, 0, 60,
     "\"Multi-operator stations may operate the full 48 hours.\"", "No off time is required.",
     "A break of at least 60 minutes is shown as off time; the rules require none of a multi-operator station."},
    {0, 0, "", "single operator", 30 * 60, 18 * 60, 1000, 60,
     "\"Single Operator stations may operate 30 of the 48 hours\"",
     "Off times may be taken in any number of blocks: every break of an hour or more is off time.",
     "\"off times must be a minimum of 60 minutes during which no QSO is logged\": 60 empty clock minutes, as "
     "the log checking counts them (a clock minute with a QSO counts as on); the time before the first QSO and "
     "after the last is off time too."},
};

// The band-change limit found in the sponsor's rules (the 2015 edition); no per-hour limit of a single-
// transmitter entry was found.
const BandChangeRule kBandChangeRules[] = {
    {0, 0, "MULTI-OP", "TWO", "multi-operator, two transmitters", 8,
     "Two-Transmitter (MULTI-TWO), in the sponsor's 2015 rules: \"A maximum of two transmitted signals is permitted "
     "at any time on two different bands. [...] The log must indicate which transmitter made each QSO [...]. Each "
     "transmitter may make a maximum of eight (8) band changes in any clock hour (00 through 59 minutes).\"",
     true},
    {0, 0, "MULTI-OP", "UNLIMITED", "multi-operator, multi-transmitter", -1,
     "Multi-Transmitter (MULTI-UNLIMITED): no band-change limit."},
};

Facts MakeFacts() {
    Facts f;
    f.name = "CQ WPX RTTY";
    f.cabrilloContest = "CQ-WPX-RTTY";
    f.dxccEntityCount = 340;  // the DXCC entities of the country file
    f.badQsoFilePrefix = "BadQSO_CQ-WPX-RTTY_";
    f.badQsoFileTitle = "CQ-WPX-RTTY Contest UBN file";
    f.periodStartHour = 0;
    f.periodHours = 48;
    // The second full weekend of February (its dates of 2004, 2009, 2015, 2020 and 2025 fall so): the Saturday of
    // the 8th to the 14th.
    f.periodMonth = 2;
    f.periodFirstSaturday = 8;
    f.timeRules = kTimeRules;
    f.multiOpBandChangesPerHour = -1;
    f.multiplierRules =
        "Multipliers: \"The prefix multiplier is the number of valid prefixes worked. Each PREFIX is counted only "
        "once regardless of the band or number of times the same prefix is worked.\" \"A PREFIX is the "
        "letter/numeral combination which forms the first part of the amateur call. [...] In cases of portable "
        "operation, the portable designator will then become the prefix. [...] Portable designators without "
        "numbers will be assigned a zero (0) after the second letter of the portable designator to form the "
        "prefix. [...] All calls without numbers will be assigned a zero (0) after the first two letters to form "
        "the prefix. [...] Maritime mobile, mobile, /A, /E, /J, /P, or other license class identifiers do not count "
        "as prefixes.\" QSO points: \"Contacts between stations on different continents are worth three (3) points "
        "on 28, 21, and 14 MHz and six (6) points on 7 and 3.5 MHz. Contacts between stations on the same continent, "
        "but different countries, are worth two (2) points on 28, 21, and 14 MHz and four (4) points on 7 and 3.5 "
        "MHz. Contacts between stations in the same country are worth 1 point on 28, 21, and 14 MHz and two (2) "
        "points on 7 and 3.5 MHz.\"";
    f.bands = kBandTable;
    f.modes = kModes;
    f.russianTextPrefixes = kRussianTextPrefixes;
    f.bandChangeRules = kBandChangeRules;
    f.settingsFileName = "Plugins\\CQ-WPX-RTTY.ini";
    f.windowName = "CQ-WPX-RTTY";
    return f;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }
bool HasDigit(const std::string& s) { return std::any_of(s.begin(), s.end(), IsDigit); }

// The parts after a slash that say how a station operates, not where: they are no prefix.
bool IsOperatingMark(const std::string& part) {
    static const char* const kMarks[] = {"MM", "M", "AM", "A", "E", "J", "P", "QRP"};
    return std::any_of(std::begin(kMarks), std::end(kMarks), [&part](const char* m) { return part == m; });
}

// The first part of a call or designator: up to its last digit that only letters follow ("3DA0XY" is "3DA0",
// "LY1000A" is "LY1000"), or, without such a digit, up to its first run of digits; without a digit, its first
// two letters and 0.
std::string FirstPart(const std::string& s) {
    if (!HasDigit(s)) return s.substr(0, std::min<size_t>(2, s.size())) + (s.empty() ? "" : "0");
    size_t last = s.find_last_of("0123456789");
    if (last + 1 < s.size() && std::all_of(s.begin() + static_cast<std::ptrdiff_t>(last) + 1, s.end(), IsLetter)) {
        return s.substr(0, last + 1);
    }
    const size_t first = s.find_first_of("0123456789");
    size_t end = first;
    while (end < s.size() && IsDigit(s[end])) ++end;
    return s.substr(0, end);
}

}  // namespace

std::string WpxPrefix(const std::string& callIn) {
    std::string call;
    for (char c : text::ToUpper(text::Trim(callIn))) {
        if (IsLetter(c) || IsDigit(c) || c == '/') call += c;
    }
    std::vector<std::string> parts;
    for (const std::string& p : text::Split(call, '/')) {
        if (!p.empty() && !IsOperatingMark(p)) parts.push_back(p);
    }
    if (parts.empty()) return "";
    if (parts.size() == 1) return FirstPart(parts[0]);
    // The home call is the longer part; the other is where the station operates. Of two as long, the first is the
    // designator, as a designator before the call is the usual form ("VP2E/W1AW").
    const size_t home = parts[0].size() > parts[1].size() ? 0 : 1;
    const std::string& designator = parts[1 - home];
    // A designator of a digit alone is the own prefix's call area: K1TEO/8 is K8.
    if (std::all_of(designator.begin(), designator.end(), IsDigit)) {
        const std::string own = FirstPart(parts[home]);
        size_t letters = 0;
        while (letters < own.size() && !(IsDigit(own[letters]) && letters > 0)) ++letters;
        return own.substr(0, letters) + designator;
    }
    return FirstPart(designator);
}

namespace {

class CqWpxRttyRecord final : public Record {
public:
    static constexpr size_t kPrefixKind = 0;

    CqWpxRttyRecord() : Record(MakeFacts()) {}

    const std::vector<MultiplierKind>& MultiplierKinds() const override {
        static const std::vector<MultiplierKind> kinds = {
            {"Prefixes", MultiplierKind::Of::callPrefix, false, "prefix", "prefixes"},
        };
        return kinds;
    }

    // Points by the two stations' countries and continents, doubled on 80 and 40 m: a prefix whose continent is
    // not known (none from the host, or none for the own station) gives no points. The multiplier is the worked
    // call's WPX prefix.
    Credit CreditOf(const QsoView& q) const override {
        Credit c;
        const std::string prefix(q.prefix), ownPrefix(q.ownPrefix);
        const std::string ownContinent = ContinentOf(ownPrefix);
        const std::string continent = ContinentOf(prefix);
        if (!prefix.empty() && prefix == ownPrefix) {
            c.points = 1;
        } else if (!ownContinent.empty() && !continent.empty()) {
            c.points = ownContinent == continent ? 2 : 3;
        }
        if (std::any_of(std::begin(kLowBands), std::end(kLowBands), [&q](const char* b) { return q.band == b; })) {
            c.points *= 2;
        }
        const std::string wpx = WpxPrefix(std::string(q.call));
        if (!wpx.empty()) c.keys.push_back({kPrefixKind, wpx});
        return c;
    }
    bool CreditNeedsCall() const override { return true; }

    // The serial number: digits, at least 1 ("001", "1234"); anything else is a bad QSO.
    ExchangeVerdict JudgeExchange(const std::string&, const std::string&, const std::string& exchange) const override {
        ExchangeVerdict v;
        v.shown = text::Trim(exchange);
        const bool digits = !v.shown.empty() && std::all_of(v.shown.begin(), v.shown.end(), IsDigit);
        if (digits && v.shown.find_first_not_of('0') != std::string::npos) {
            v.counted = v.shown;
        } else {
            v.reason = kSerialReason;
        }
        return v;
    }

    const std::vector<std::string>& ExchangeReasons() const override {
        static const std::vector<std::string> reasons = {kSerialReason};
        return reasons;
    }

    bool ExchangeIsValid(const std::string& exchange, const std::string& prefix) const override {
        return JudgeExchange("", prefix, exchange).reason == nullptr;
    }
};

}  // namespace

const Record& CqWpxRtty() {
    static const CqWpxRttyRecord record;
    return record;
}

}  // namespace contest
