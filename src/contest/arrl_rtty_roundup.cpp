// The ARRL RTTY Roundup's tables and rules: RTTY (and up to 2022 the keyboard and FT modes) on 80, 40, 20, 15 and 10 m over
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
// modes but keep the code of their family when a log holds them. The years are those of kCategoryRules: the
// keyboard modes up to 2022, FT8 from 2019 (it "was excluded in 2018"), FT4 from 2020, RTTY alone from 2023.
const int kLastYearOfOtherModes = 2022;
const ModeRule kModes[] = {
    {"RTTY", "RY", true},
    {"BPSK31", "RY", true, 0, kLastYearOfOtherModes},
    {"BPSK63", "RY", true, 0, kLastYearOfOtherModes},
    {"AMTOR", "RY", true, 0, kLastYearOfOtherModes},
    {"PACKET", "RY", true, 0, kLastYearOfOtherModes},
    {"FT8", "DG", true, 2019, kLastYearOfOtherModes},
    {"FT4", "DG", true, 2020, kLastYearOfOtherModes},
    {"BPSK62", "RY", false},
    {"BPSK125", "RY", false},
};

const char* const kRussianTextPrefixes[] = {"UA", "UA2", "UA9", "CE9/KC4", "UR", "UN", "EU"};

// The Canadian provinces and territories. Newfoundland and Labrador was logged as two provinces, "NF" and
// "LB"; today both are the one "NL", and PEI and NWT are older spellings of PE and NT.
const char* const kCanadianProvinces[] = {"ON", "QC", "NS", "NB", "MB", "BC", "SK", "AB", "NL", "NT", "YT", "NU", "PE"};
const LocationAlias kCanadianAliases[] = {{"PEI", "PE"}, {"NF", "NL"}, {"LB", "NL"}, {"NWT", "NT"}};

// The rules of each year as the record found them: the sponsor's rules of 2006 to 2013 (published for 2006,
// 2008, 2011 and 2013, the same in these points), the 2017 rules as published, what the sponsor wrote of 2018
// to 2020 and 2023 in its announcements and rules notes, and a published summary of the 2025 rules. No text of
// the 2014, 2015, 2022 and 2024 rules was found: the page says so for those years rather than guess.
const char* const kMultiOpBandChanges =
    "Multi-operator entries: \"Limited to 6 band changes (maximum) in any clock hour. The clock hour is from zero "
    "through 59 minutes.\" A change from 20 meters to 15 meters and back to 20 meters is two band changes (the "
    "sponsor's rules of 2006 to 2013).";
const char* const kMultiOpBandChanges2017 =
    "Multi-operator entries: \"Multioperator stations are limited to 6 band changes (maximum) in any clock hour\", "
    "the clock hour from minute 0 to 59, and 20 meters to 15 meters and back two changes (the sponsor's rules of "
    "2017). No text of the rules of 2014 to 2016 or of 2018 to 2024 stating another limit was found: the record "
    "takes these 6 for every year from 2014 to 2024, until the 2025 rules change them.";

const BandChangeRule kBandChangeRules[] = {
    {0, 2013, "MULTI-OP", "", "multi-operator", 6, kMultiOpBandChanges},
    {2014, 2024, "MULTI-OP", "", "multi-operator", 6, kMultiOpBandChanges2017},
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

// The entry categories and modes of each year, with where the record found them.
const CategoryRule kCategoryRules[] = {
    {0, 2013,
     "Categories: Single Operator (low or high power, no spotting assistance) and Multioperator, Single "
     "Transmitter, which a single operator who uses spotting assistance enters too. Modes: Baudot RTTY, ASCII, "
     "AMTOR, PSK31 and Packet. Source: the sponsor's rules of 2006 to 2013."},
    {2014, 2015,
     "Not found: no text of this year's rules was found. The 2013 rules put a single operator who uses spotting "
     "assistance in Multioperator, Single Transmitter; the 2016 rules give such an operator Single Operator "
     "Unlimited. Which of the two this year's rules have is not known."},
    {2016, 2016,
     "Categories: Single Operator, Single Operator Unlimited and Multioperator, Single Transmitter, the only "
     "multi-operator category. Modes: not found for this year. Source: a discussion of this year's rules on the "
     "RTTY contesters' mailing list (December 2015), which names these categories."},
    {2017, 2017,
     "Categories: Single Operator (no spotting assistance or multi-channel decoders), Single Operator Unlimited "
     "(both low or high power) and Multioperator, Single Transmitter (low or high power, 6 band changes in a "
     "clock hour); every entrant one signal at a time. Modes: Baudot RTTY, ASCII, AMTOR, PSK31, PSK63 and Packet. "
     "Source: the sponsor's rules of 2017 as published."},
    {2018, 2018,
     "Categories: not found for this year. Modes: digital modes, but not FT8, which the sponsor's announcement "
     "of the 2019 rules says \"was excluded in 2018\". Source: that announcement."},
    {2019, 2019,
     "Categories: Single Operator, Single Operator Unlimited and Multioperator, Single Transmitter; an FT8 or "
     "PSK entrant whose software decodes several signals at once enters Single Operator Unlimited or "
     "Multioperator. Modes: the digital modes, FT8 (WSJT-X 2.0 or later, no automatic QSOs) among them for the "
     "first time, logged as DG beside RY for RTTY. Source: the sponsor's announcement of the 2019 rules and its "
     "letter to that year's entrants quoting them."},
    {2020, 2020,
     "Categories: not found for this year, but for QRP, a power class new this year. Modes: the digital modes, "
     "FT4 and FT8 among them. Source: a published summary of the changes from 2018 to 2021 (December 2020), not "
     "the sponsor's words."},
    {2021, 2021,
     "Categories: Single Operator (no spotting assistance) and Single Operator Unlimited, in three by mode (RTTY, "
     "digital, mixed), in QRP, low or high power; the multi-operator categories not found for this year. Modes: "
     "RTTY, PSK, FT4, FT8, ASCII, AMTOR and Packet. Source: published summaries of the 2021 rules, not the "
     "sponsor's words."},
    {2022, 2022, "Not found: no text of this year's rules was found."},
    {2023, 2024,
     "Categories: not found for these years. Modes: RTTY alone: \"Beginning with the January, 2023 RTTY "
     "Roundup, only contacts using Radioteletype (RTTY) mode are allowed\", the other digital modes going to a "
     "contest of their own. Source: that note of the sponsor's rules, as published in 2023; no text of the 2024 "
     "rules was found, and the record takes the note for it."},
    {2025, 0,
     "Categories: Single Operator and Single Operator Unlimited (QRP, low or high power), Multioperator Single "
     "Transmitter (low or high power, 10 band changes in a clock hour), Multioperator Two Transmitter and "
     "Multioperator Multi-Transmitter (high power). Modes: Baudot RTTY alone. Source: a published summary of the "
     "2025 rules, not the sponsor's words."},
};

// The operating time: one rule for every entrant. Time is counted as the sponsor's log checking counts it.
const TimeRule kTimeRules[] = {
    {0, 0, "", "every entrant", 24 * 60, 6 * 60, 2, 30,
     "\"No entrant may operate more than 24 hours out of the 30-hour contest period.\"",
     "\"The six hours of off time must be taken in no more than two blocks.\"",
     "A break is at least 30 empty clock minutes (the general rules of the sponsor's contests); a clock minute "
     "with a QSO counts as on, one without as off, as the log checking counts it. The operating time runs from "
     "the first QSO to the last less the two longest breaks between them; every further break counts as "
     "operating time, and starting late or stopping early takes off time without using a block (the sponsor's "
     "contest advisory committee, 2013). The checking scores the first 24 hours of operating time."},
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
