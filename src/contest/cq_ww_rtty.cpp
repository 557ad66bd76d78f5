// The CQ WW RTTY's tables and rules, the words in quotation marks as the sponsor's published rules give them
// (exchange, points and multipliers as in its 2018 and 2022 editions): Baudot RTTY on 80, 40, 20, 15 and 10 m over 48 hours from Saturday 00:00
// UTC; a station once per band; 3 points between continents, 2 between countries of one continent, 1 within one
// country; the multipliers are the CQ zones, the countries (DXCC and WAE lists, IG9/IH9) and the W/VE QTHs
// (48 states, DC, 14 Canadian areas), each once per band.
#include "contest/cq_ww_rtty.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "common/text.h"
#include "contest/usa_locations.h"
#include "dxcc/continents.h"

namespace contest {

namespace {

// As the Roundup's: six per-band rows, row 0 the 160 m slot.
const char* const kBandTable[] = {"80m", "80m", "40m", "20m", "15m", "10m"};

// Baudot RTTY only.
const ModeRule kModes[] = {{"RTTY", "RY", true}};

const char* const kRussianTextPrefixes[] = {"UA", "UA2", "UA9", "CE9/KC4", "UR", "UN", "EU"};

// The 14 Canadian areas: Newfoundland (VO1) and Labrador (VO2) are two. Older spellings still sent on the air:
// NF is Newfoundland, VO1. A QTH counts only from a station of its own country: "ON" from a K station is no
// QTH, "MA" from a VE station none either.
const char* const kCanadianAreas[] = {"NL", "LB", "NB", "NS", "PE", "QC", "ON", "MB", "SK", "AB", "BC", "NT", "NU", "YT"};
const LocationAlias kCanadianAliases[] = {{"PEI", "PE"}, {"NF", "NL"}, {"NWT", "NT"}};

const char* const kZoneReason = "Zone is not acceptable";
const char* const kQthReason = "QTH is not acceptable";

constexpr int kLastZone = 40;
// What the Cabrillo file writes where no QTH was sent.
const char* const kNoQth = "DX";
// The mark a maritime mobile station's counted exchange carries: it is in no country, so it counts for its
// zone only, and its points go by continent alone.
const char* const kMaritimeMobile = "/MM";

// The band-change limits of the multi-operator categories. Until 2008 the sponsor's RTTY rules in their 2005
// words: six changes per clock hour for a single-transmitter entry, binding its run and its multiplier
// transmitter each ("by either transmitter"). From 2009 the RTTY rules in the words of the CW/SSB rules, eight
// per clock hour for each signal of a single- or two-transmitter entry; 2009 is the first year whose text was
// found in that layout (the 2008 text still follows the 2005 one), though neither copy's multi-operator section
// could be read, so the year of the change is the record's assumption.
const char* const kMultiOneBandChanges =
    "Multi-operator, single transmitter (MULTI-ONE): at most 8 band changes in a clock hour (00 through 59 minutes) "
    "for the run signal and for the multiplier signal each. The sponsor's RTTY rules (a 2019 copy) list among their "
    "differences from the CW/SSB rules \"Multi-Single: 8-band-changes per clock hour, rather than a 10-minute "
    "rule\", and \"Identical wording is used for both the RTTY and CW/SSB rules where the intent is the same\"; "
    "there \"The run and multiplier transmitters are governed by independent 10-minute rules\" and \"The log must "
    "indicate which station/signal (run or multiplier) made each QSO.\" The record takes this rule from 2009 on, "
    "the first year whose rules were found in the CW/SSB rules' layout.";
const BandChangeRule kBandChangeRules[] = {
    {0, 2008, "MULTI-OP", "ONE", "multi-operator, single transmitter", 6,
     "Multi-operator, single transmitter, in the sponsor's RTTY rules of 2005 (the record takes them for every year "
     "to 2008): \"Only one transmitted signal at any time. Limited to six band changes in any clock hour (0 through "
     "59 minutes). For example, a change from 20 meters to 40 meters and then back to 20 meters constitutes two "
     "band changes.\" \"Exception: One and only one other band may be used during the same time period if and "
     "only if the station worked is a new multiplier. Violation of the six-band-change rule by either transmitter "
     "will result in reclassification of the entry to the Multi-Multi category.\"",
     true},
    {0, 2008, "MULTI-OP", "UNLIMITED", "multi-operator, multi-transmitter", -1,
     "Multi-operator, multi-transmitter (Multi-Multi): no band-change limit; the 2005 rules move a single-"
     "transmitter entry that breaks its six-band-change rule to this category."},
    {2009, 0, "MULTI-OP", "ONE", "multi-operator, single transmitter", 8, kMultiOneBandChanges, true},
    {2009, 0, "MULTI-OP", "TWO", "multi-operator, two transmitters", 8,
     "Multi-operator, two transmitters (MULTI-TWO), in the words the RTTY rules share with the CW/SSB rules: \"A "
     "maximum of two transmitted signals on two different bands may be used at any time. The log must indicate "
     "which station/signal made each QSO. Each station/signal may make a maximum of 8 band changes in any clock "
     "hour (00 through 59 minutes).\"",
     true},
    {2009, 0, "MULTI-OP", "UNLIMITED", "multi-operator, multi-transmitter", -1,
     "Multi-operator, multi-transmitter (MULTI-UNLIMITED): \"Only one transmitted signal per band is permitted at "
     "any time\"; no band-change limit."},
};

// Every entrant may operate the whole period; breaks of 30 minutes are shown, none is required.
const TimeRule kTimeRules[] = {
    {0, 0, "", "every entrant", 48 * 60, 0, 0, 30, "\"All stations may operate the entire 48-hour contest period.\"",
     "No off time is required.",
     "A run of at least 30 empty clock minutes is shown as a break; the rules require none."},
};

Facts MakeFacts() {
    Facts f;
    f.name = "CQ WW RTTY";
    f.cabrilloContest = "CQ-WW-RTTY";
    f.dxccEntityCount = 346;  // the DXCC list with the WAE-only entities and IG9
    f.badQsoFilePrefix = "BadQSO_CQ-WW-RTTY_";
    f.badQsoFileTitle = "CQ-WW-RTTY Contest UBN file";
    f.periodStartHour = 0;
    f.periodHours = 48;
    // The last full weekend of September, as its dates of 1999 and 2009 to 2029 fall: the Saturday of the 23rd to
    // the 29th.
    f.periodMonth = 9;
    f.periodFirstSaturday = 23;
    f.timeRules = kTimeRules;
    f.multiOpBandChangesPerHour = 8;
    f.multiplierRules =
        "Multipliers, each \"on each band\": \"each different CQ Zone\" (\"The CQ Worked All Zones rules are the "
        "standard\"); \"each different country\" (\"The DXCC entity list, Worked All Europe (WAE) multiplier list "
        "plus IG9/IH9, and continental boundaries are the standards for defining country multipliers. Maritime "
        "mobile stations count only for a zone multiplier.\"); and each W/VE QTH, \"each continental US state (48), "
        "The District of Columbia and each Canadian call area (14)\"; Alaska (KL7) and Hawaii (KH6) count as "
        "countries only. QSO points: \"Contacts between stations on different continents count three (3) points. "
        "Contacts between stations on the same continent but in different countries count two (2) points. "
        "Contacts between stations in the same country count one (1) point.\"";
    f.bands = kBandTable;
    f.modes = kModes;
    f.russianTextPrefixes = kRussianTextPrefixes;
    f.bandChangeRules = kBandChangeRules;  // the page names no categories
    f.settingsFileName = "Plugins\\CQ-WW-RTTY.ini";
    f.windowName = "CQ-WW-RTTY";
    f.waeCountries = true;
    f.cabrilloExchangeWords = 2;  // "05 MA", "14 DX"
    return f;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }

// A received exchange in its parts: the zone and the QTH in either order, with or without a blank between
// them ("05 MA", "MA 05", "05MA"); upper case.
struct ExchangeParts {
    std::vector<std::string> numbers, words, others;
    std::string shown;  // the parts joined by one blank
};

ExchangeParts Split(const std::string& exchange) {
    ExchangeParts p;
    std::string token;
    auto flush = [&p, &token] {
        if (token.empty()) return;
        const bool digits = std::all_of(token.begin(), token.end(), IsDigit);
        const bool letters = std::all_of(token.begin(), token.end(), IsLetter);
        (digits ? p.numbers : letters ? p.words : p.others).push_back(token);
        p.shown += (p.shown.empty() ? "" : " ") + token;
        token.clear();
    };
    for (char c : text::ToUpper(exchange)) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f') {
            flush();
            continue;
        }
        // A zone run into its QTH is two parts.
        if (!token.empty() && IsDigit(token.back()) != IsDigit(c) && (IsLetter(c) || IsLetter(token.back()))) flush();
        token += c;
    }
    flush();
    return p;
}

// The zone of a part: "05" or "5" is 5; anything but 1 to 40, in one or two digits, is none (0).
int ZoneOf(const std::string& number) {
    if (number.empty() || number.size() > 2) return 0;
    const int zone = std::stoi(number);
    return zone >= 1 && zone <= kLastZone ? zone : 0;
}

bool IsMaritimeMobile(const std::string& call) {
    const std::string upper = text::ToUpper(text::Trim(call));
    const std::string mark = kMaritimeMobile;
    return upper.size() > mark.size() && upper.compare(upper.size() - mark.size(), mark.size(), mark) == 0;
}

class CqWwRttyRecord final : public Record {
public:
    static constexpr size_t kZoneKind = 0;
    static constexpr size_t kCountryKind = 1;
    static constexpr size_t kQthKind = 2;

    CqWwRttyRecord()
        : Record(MakeFacts()),
          locations_({UsaLocations(), {"VE", "Canadian call areas", "Canadian area", "a Canadian area",
                                       kCanadianAreas, {}, kCanadianAliases}}) {}

    const std::vector<MultiplierKind>& MultiplierKinds() const override {
        static const std::vector<MultiplierKind> kinds = {
            {"Zones", MultiplierKind::Of::zone, true, "zone", "zones"},
            {"Countries", MultiplierKind::Of::country, true, "country", "countries"},
            {"QTHs", MultiplierKind::Of::location, true, "QTH", "QTHs"},
        };
        return kinds;
    }

    // The counted exchange is "ZZ", "ZZ QTH" (a W/VE station) or "ZZ /MM" (a maritime mobile station). Points
    // by the two stations' countries and continents: a prefix whose continent is not known (none from the host,
    // or none for the own station) gives no points, as its place is not known. A maritime mobile station is in
    // no country, not even the own one: 2 points on the own continent (its prefix's), 3 on another.
    Credit CreditOf(const QsoView& q) const override {
        Credit c;
        const std::string counted(q.counted), prefix(q.prefix), ownPrefix(q.ownPrefix);
        const ExchangeParts parts = Split(counted);
        const std::string ownContinent = ContinentOf(ownPrefix);
        const std::string continent = ContinentOf(prefix);
        const bool maritime = counted.find(kMaritimeMobile) != std::string::npos;
        if (!maritime && !prefix.empty() && prefix == ownPrefix) {
            c.points = 1;
        } else if (!ownContinent.empty() && !continent.empty()) {
            c.points = ownContinent == continent ? 2 : 3;
        }
        const int zone = parts.numbers.empty() ? 0 : ZoneOf(parts.numbers.front());
        if (zone != 0) c.keys.push_back({kZoneKind, text::Format("%02d", zone)});
        if (!maritime && !prefix.empty()) c.keys.push_back({kCountryKind, prefix});
        if (!maritime && !parts.words.empty() && locations_.IsMultiplier(prefix, parts.words.front())) {
            c.keys.push_back({kQthKind, locations_.Canonical(parts.words.front())});
        }
        return c;
    }

    // Every station sends its zone, 1 to 40; a W/VE station also its QTH, one of the table; a maritime mobile
    // station, which counts for its zone alone, need not. A QTH from any other station is no part of its
    // exchange and is not tested.
    ExchangeVerdict JudgeExchange(const std::string& call, const std::string& prefix,
                                  const std::string& exchange) const override {
        ExchangeVerdict v;
        const ExchangeParts parts = Split(exchange);
        v.shown = parts.shown;
        const bool maritime = IsMaritimeMobile(call);
        if (parts.numbers.size() != 1 || !parts.others.empty() || ZoneOf(parts.numbers.front()) == 0) {
            v.reason = kZoneReason;
            return v;
        }
        v.counted = text::Format("%02d", ZoneOf(parts.numbers.front()));
        if (maritime) {
            v.counted += std::string(" ") + kMaritimeMobile;
        } else if (locations_.Sends(prefix)) {
            if (parts.words.size() != 1 || !locations_.IsLocation(prefix, parts.words.front())) {
                v.counted.clear();
                v.reason = kQthReason;
                return v;
            }
            v.counted += " " + locations_.Canonical(parts.words.front());
        }
        return v;
    }

    const std::vector<std::string>& ExchangeReasons() const override {
        static const std::vector<std::string> reasons = {kZoneReason, kQthReason};
        return reasons;
    }

    // "ZZ QTH", the zone in two digits, a W/VE QTH under the code it counts as ("PEI" is "PE") and "DX" where no
    // QTH was sent; an exchange that is not one number of one or two digits and at most one word, as logged.
    std::string CabrilloExchange(const std::string& exchange) const override {
        const ExchangeParts parts = Split(exchange);
        if (parts.numbers.size() != 1 || parts.numbers.front().size() > 2 || !parts.others.empty() ||
            parts.words.size() > 1) {
            return exchange;
        }
        const std::string qth = parts.words.empty() ? std::string(kNoQth) : locations_.Canonical(parts.words.front());
        return text::Format("%02d ", std::stoi(parts.numbers.front())) + qth;
    }

    const Locations* LocationRules() const override { return &locations_; }

    // The QTH part of an exchange: its letters, or "" where it has none.
    std::string NormaliseLocation(const std::string& exchange) const override {
        const ExchangeParts parts = Split(exchange);
        return parts.words.size() == 1 ? parts.words.front() : "";
    }

    bool ExchangeIsValid(const std::string& exchange, const std::string& prefix) const override {
        return JudgeExchange("", prefix, exchange).reason == nullptr;
    }

private:
    Locations locations_;
};

}  // namespace

const Record& CqWwRtty() {
    static const CqWwRttyRecord record;
    return record;
}

}  // namespace contest
