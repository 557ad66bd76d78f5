// The contests' records: their tables, their Credit rules, how they judge an exchange and IsValidExchg0's
// algorithm.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <tuple>

#include "contest/arrl_rtty_roundup.h"
#include "contest/cq_ww_rtty.h"
#include "contest/cq_wpx_rtty.h"
#include "dxcc/continents.h"
#include "country_file.h"

namespace {

const contest::Record& R = contest::ArrlRttyRoundup();

TEST(ContestRules, BandTableKeepsEightyMetresTwiceInOrder) {
    const CaseInsensitiveTextSet& bands = R.AcceptedBands();
    ASSERT_EQ(bands.Count(), 6u);
    const char* expected[] = {"80m", "80m", "40m", "20m", "15m", "10m"};
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(bands.At(i), expected[i]) << i;
    ASSERT_EQ(R.AcceptedModes().Count(), 7u);
}

TEST(ContestRules, MembershipIgnoresCaseOnly) {
    struct Case {
        const CaseInsensitiveTextSet& rules;
        const char* text;
        bool accepted;
    } cases[] = {
        {R.AcceptedBands(), "80m", true},    {R.AcceptedBands(), "20M", true},     {R.AcceptedBands(), "10m", true},
        {R.AcceptedBands(), "160m", false},  {R.AcceptedBands(), "30m", false},    {R.AcceptedBands(), "", false},
        {R.AcceptedBands(), "20m ", false},  {R.AcceptedBands(), "20", false},     {R.AcceptedModes(), "RTTY", true},
        {R.AcceptedModes(), "rtty", true},   {R.AcceptedModes(), "BpSk63", true},  {R.AcceptedModes(), "AMTOR", true},
        {R.AcceptedModes(), "packet", true}, {R.AcceptedModes(), "BPSK62", false}, {R.AcceptedModes(), "CW", false},
        {R.AcceptedModes(), "", false},      {R.AcceptedModes(), "RTTY\t", false}, {R.AcceptedModes(), "FT8", true},
        {R.AcceptedModes(), "ft4", true},    {R.AcceptedModes(), "FT2", false},    {R.AcceptedModes(), "MFSK", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.rules.Contains(c.text), c.accepted) << '"' << c.text << '"';
    const char* none[] = {nullptr};
    EXPECT_FALSE(CaseInsensitiveTextSet(none, 0).Contains(""));
}

TEST(ContestRules, EachYearCountsItsOwnModes) {
    // RTTY alone from 2023; FT8 from 2019 (left out in 2018), FT4 from 2020; a year not known counts them all.
    struct Case {
        const char* mode;
        int year;
        bool counts;
    } cases[] = {
        {"RTTY", 2025, true},  {"rtty", 0, true},      {"BPSK31", 2022, true}, {"bpsk31", 2023, false},
        {"PACKET", 2013, true}, {"AMTOR", 2024, false}, {"FT8", 2018, false},   {"FT8", 2019, true},
        {"FT8", 2022, true},   {"ft8", 2023, false},   {"FT4", 2019, false},   {"FT4", 2020, true},
        {"FT8", 0, true},      {"BPSK62", 2010, false}, {"BPSK62", 0, false},  {"CW", 0, false},
    };
    for (const Case& c : cases) EXPECT_EQ(R.CountsMode(c.mode, c.year), c.counts) << c.mode << ' ' << c.year;
}

TEST(ContestRules, OnlyKAndVeAreWve) {
    for (const char* p : {"K", "VE"}) EXPECT_TRUE(R.SendsLocation(p)) << p;
    for (const char* p : {"", "W", "k", "ve", "KH6", "KL7", "VE ", " K", "VY2", "DL"}) {
        EXPECT_FALSE(R.SendsLocation(p)) << '"' << p << '"';
    }
}

TEST(ContestRules, StateProvinceCodesAndTheMultiplierEachCountsAs) {
    // Each country's own codes: a state from a K station, a province from a VE station, never the other's.
    const char* const states =
        "AK AL AR AZ CA CO CT DC DE FL GA HI IA ID IL IN KS KY LA MA MD ME MI MN MO MS MT NC ND NE NH NJ NM NV NY "
        "OH OK OR PA RI SC SD TN TX UT VA VT WA WI WV WY";
    const char* const provinces = "ON QC NS NB MB BC SK AB NL NT YT NU PE PEI NF LB NWT";
    int count = 0;
    for (const auto& [own, other, codes] : {std::tuple{"K", "VE", states}, std::tuple{"VE", "K", provinces}}) {
        std::istringstream in(codes);
        for (std::string code; in >> code; ++count) {
            EXPECT_TRUE(R.IsLocation(own, code)) << code;
            EXPECT_FALSE(R.IsLocation(other, code)) << code << " from " << other;
            EXPECT_FALSE(R.IsLocation("DL", code)) << code;
        }
    }
    EXPECT_EQ(count, 68);
    for (const char* code : {"", "ny", "Ny", "NY ", " NY", "PQ", "nf", "NFL", "XX", "P", "PEIX", "PR", "US"}) {
        EXPECT_FALSE(R.IsLocation("K", code) || R.IsLocation("VE", code)) << '"' << code << '"';
    }
    const char* const canonical[][2] = {{"PEI", "PE"}, {"PE", "PE"}, {"NF", "NL"}, {"LB", "NL"}, {"NL", "NL"},
                                        {"NWT", "NT"}, {"NT", "NT"}, {"MD", "MD"}, {"pei", "pei"}};
    for (const auto& c : canonical) EXPECT_EQ(R.CanonicalLocation(c[0]), c[1]) << c[0];
    // The multipliers: every accepted code once, under the code it counts as, by country.
    struct Country {
        const char* prefix;
        size_t count;
        const char* first;
    } countries[] = {{"K", 49, "AL"}, {"VE", 13, "ON"}, {"KH6", 0, nullptr}, {"", 0, nullptr}};
    for (const Country& c : countries) {
        const std::vector<std::string>& codes = R.LocationMultipliers(c.prefix);
        ASSERT_EQ(codes.size(), c.count) << c.prefix;
        if (c.first) {
            EXPECT_EQ(codes.front(), c.first);
        }
        for (const std::string& code : codes) {
            EXPECT_TRUE(R.IsLocation(c.prefix, code) && R.CanonicalLocation(code) == code) << code;
        }
    }
}

// The one Credit rule: one point a QSO; a W/VE station's state or province under the code it counts as (AK and
// HI none: those stations count only as KL7 and KH6), any other station's DXCC entity, an unknown prefix none.
TEST(ContestRules, CreditOfAQso) {
    struct Case {
        const char* prefix;
        const char* exchange;
        const char* key;  // "kind code", or "" for none
    } cases[] = {
        {"K", "CT", "0 CT"},    {"K", " ny ", "0 NY"},  {"VE", "PEI", "0 PE"}, {"VE", "pe", "0 PE"},
        {"VE", "NF", "0 NL"},   {"VE", "LB", "0 NL"},   {"VE", "NWT", "0 NT"}, {"K", "AK", ""},
        {"K", "HI", ""},        {"K", "XX", ""},        {"K", "001", ""},      {"DL", "001", "1 DL"},
        {"KH6", "HI", "1 KH6"}, {"KL7", "AK", "1 KL7"}, {"k", "CT", "1 k"},    {"", "CT", ""},
        {"VY2", "PE", "1 VY2"}, {"W", "NY", "1 W"},     {"K", "ON", ""},       {"VE", "MA", ""},
        {"VE", "NY", ""},
    };
    for (const Case& c : cases) {
        const contest::Credit credit = R.CreditOf({"", "DL", "", c.prefix, "", "", {}, c.exchange});
        EXPECT_EQ(credit.points, 1) << c.prefix;
        const std::string key =
            credit.keys.empty() ? "" : std::to_string(credit.keys[0].kind) + " " + credit.keys[0].code;
        EXPECT_EQ(key, c.key) << c.prefix << " " << c.exchange;
        EXPECT_LE(credit.keys.size(), 1u);
    }
    ASSERT_EQ(R.MultiplierKinds().size(), 2u);
    EXPECT_FALSE(R.MultiplierKinds()[0].perBand || R.MultiplierKinds()[1].perBand);  // each once per contest
    EXPECT_EQ(R.Score(320, 57), 18240);
}

TEST(ContestRules, AddDataNormalisesTheReceivedExchange) {
    struct Case {
        const char* exchange;
        const char* normalised;
    } cases[] = {{" ny ", "NY"}, {"\ton\r\n", "ON"}, {"pei", "PEI"}, {"n y", "N Y"}, {"", ""}, {"  ", ""}};
    for (const Case& c : cases) EXPECT_EQ(R.NormaliseLocation(c.exchange), c.normalised) << c.exchange;
}

// The band-change limit of an entry by the contest's year and its Cabrillo categories: the last year of the old
// rule and the first of the new one, a log that names no transmitter, letter case; and whether it binds each
// transmitter apart (the Roundup's never, the CQ WW's those of one and of two transmitters).
TEST(ContestRules, BandChangeLimitByYearAndCategory) {
    const contest::Record& C = contest::CqWwRtty();
    struct Case {
        int year;
        const char *op, *transmitter;
        int limit;  // -1: no limit; -2: no rule
        const contest::Record* record = &R;
        bool apart = false;
    } cases[] = {
        {2024, "MULTI-OP", "ONE", 6},       {2025, "MULTI-OP", "ONE", 10},     {2025, "multi-op", "", 10},
        {2024, "MULTI-OP", "TWO", 6},       {2025, "MULTI-OP", "two", 6},      {2025, "MULTI-OP", "UNLIMITED", -1},
        {2019, "MULTI-OP", "UNLIMITED", 6}, {2025, "MULTI-OP", "LIMITED", -2}, {2025, "SINGLE-OP", "ONE", -2},
        {2006, "SINGLE-OP", "", -2},
        {2008, "MULTI-OP", "ONE", 6, &C, true},        {2009, "MULTI-OP", "ONE", 8, &C, true},
        {2024, "Multi-Op", "", 8, &C, true},           {2009, "MULTI-OP", "TWO", 8, &C, true},
        {2008, "MULTI-OP", "UNLIMITED", -1, &C},       {2009, "MULTI-OP", "UNLIMITED", -1, &C},
        {2008, "MULTI-OP", "TWO", -2, &C},             {2024, "SINGLE-OP", "ONE", -2, &C},
    };
    for (const Case& c : cases) {
        const contest::BandChangeRule* rule = c.record->BandChangeRuleOf(c.year, c.op, c.transmitter);
        SCOPED_TRACE(std::string(c.record->name) + " " + std::to_string(c.year) + " " + c.op + " " + c.transmitter);
        EXPECT_EQ(rule ? rule->perClockHour : -2, c.limit);
        EXPECT_EQ(rule && rule->perTransmitter, c.apart);
    }
    EXPECT_EQ(R.BandChangeRulesOf(2024).size(), 1u);
    EXPECT_EQ(R.BandChangeRulesOf(2025).size(), 3u);
    EXPECT_EQ(C.BandChangeRulesOf(2008).size(), 2u);
    EXPECT_EQ(C.BandChangeRulesOf(2009).size(), 3u);
    EXPECT_NE(std::string(R.CategoriesOf(2025)).find("Single Operator Unlimited"), std::string::npos);
    EXPECT_NE(std::string(R.CategoriesOf(2017)).find("Single Operator Unlimited"), std::string::npos);
    EXPECT_EQ(std::string(R.CategoriesOf(2013)).find("Unlimited"), std::string::npos);
}

// When each contest falls, at the edges of its rule: the Roundup on the Saturday of 2 to 8 January ("never on
// January 1", so 2005, 2011 and 2022 start on the 8th), the CQ WW on the Saturday of 23 to 29 September (the
// last full weekend: 2017 and 2023 on the 23rd, as 30 September and 1 October are no full weekend of it);
// and the CONTEST names a log gives them.
TEST(ContestRules, ContestWeekendAndName) {
    const contest::Record& C = contest::CqWwRtty();
    struct Case {
        const contest::Record& record;
        int year;
        const char* start;
    } cases[] = {
        {R, 2005, "2005-01-08 1800"}, {R, 2011, "2011-01-08 1800"}, {R, 2017, "2017-01-07 1800"},
        {R, 2018, "2018-01-06 1800"}, {R, 2019, "2019-01-05 1800"}, {R, 2022, "2022-01-08 1800"},
        {R, 2025, "2025-01-04 1800"}, {R, 2026, "2026-01-03 1800"}, {C, 2017, "2017-09-23 0000"},
        {C, 2018, "2018-09-29 0000"}, {C, 2023, "2023-09-23 0000"}, {C, 2024, "2024-09-28 0000"},
        {C, 2029, "2029-09-29 0000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.record.PeriodStartOf(c.year).Format("%Y-%m-%d %H%M"), c.start) << c.record.name << " " << c.year;
    }
    struct Name {
        const contest::Record& record;
        const char* text;
        bool names;
    } names[] = {{R, "ARRL-RTTY", true},  {R, " arrl-rtty ", true}, {R, "ARRL-RTTY-RU", false},
                 {R, "CQ-WW-RTTY", false}, {R, "", false},           {C, "CQ-WW-RTTY", true},
                 {C, "cq-ww-rtty", true},  {C, "ARRL-RTTY", false}};
    for (const Name& n : names) EXPECT_EQ(n.record.IsContestName(n.text), n.names) << n.record.name << " '" << n.text << "'";
}

TEST(ContestRules, RussianTextPrefixesMatchExactly) {
    for (const char* p : {"UA", "UA2", "UA9", "CE9/KC4", "UR", "UN", "EU"}) EXPECT_TRUE(R.IsRussianTextPrefix(p));
    for (const char* p : {"", "ua", "UA1", "RA", "UA ", "CE9", "EW", "4K"}) EXPECT_FALSE(R.IsRussianTextPrefix(p));
}

TEST(ContestRules, ExchangeValidationInItsOrder) {
    struct Case {
        const char* exchange;
        const char* prefix;
        int disable;
        int valid;
    } cases[] = {
        {"599", "DL", 0, 0},   {"599", "K", 0, 0},     {"0599", "DL", 0, 1},  {"001", "DL", 0, 1},
        {"1234", "K", 0, 1},   {"12345", "DL", 0, 0},  {"12", "K", 0, 0},     {"59", "VE", 0, 0},
        {"NY", "K", 0, 1},     {"ny", "K", 0, 0},      {"NY", "W", 0, 0},     {"NY", "DL", 0, 0},
        {"ON", "VE", 0, 1},    {"PE", "VE", 0, 1},     {"PEI", "VE", 0, 1},   {"NY ", "K", 0, 0},
        {"NWT", "VE", 0, 1},   {"NF", "VE", 0, 1},     {"LB", "K", 0, 0},     {"NWT", "DL", 0, 0},
        {"LB", "VE", 0, 1},    {"ON", "K", 0, 0},      {"MA", "VE", 0, 0},    {"NWT", "K", 0, 0},
        {"PEI", "W", 0, 0},    {"nwt", "VE", 0, 0},   {"AK", "K", 0, 1},     {"HI", "K", 0, 1},
        {"", "K", 0, 0},       {"1a3", "DL", 0, 0},    {"12 4", "DL", 0, 0},  {"\xB1\xB2\xB3", "DL", 0, 0},
        {"001", "DL", 1, 0},   {"NY", "K", -1, 0},     {"XX", "K", 0, 0},     {"N", "K", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(R.IsValidExchange(c.exchange, c.prefix, c.disable), c.valid)
            << '"' << c.exchange << "\" from " << c.prefix << " disable " << c.disable;
    }
}

// The CQ WW RTTY's exchange: a zone of 1 to 40 from everyone, and from a W/VE station also its QTH (48 states,
// DC, the 14 Canadian areas; AK and HI accepted without a QTH multiplier), in either order, with or without a
// blank; a maritime mobile station needs no QTH. What counts is kept as "ZZ", "ZZ QTH" or "ZZ /MM".
TEST(ContestRules, CqWwJudgesTheReceivedExchange) {
    const contest::Record& C = contest::CqWwRtty();
    struct Case {
        const char *call, *prefix, *exchange, *counted, *shown, *reason;
        int valid;  // IsValidExchg0
    } cases[] = {
        {"DL1AA", "DL", "14", "14", "14", nullptr, 1},
        {"DL1AA", "DL", "05", "05", "05", nullptr, 1},
        {"DL1AA", "DL", "5", "05", "5", nullptr, 1},
        {"DL1AA", "DL", "14 DX", "14", "14 DX", nullptr, 1},
        {"JA1AA", "JA", "40", "40", "40", nullptr, 1},
        {"JA1AA", "JA", "41", "", "41", "Zone is not acceptable", 0},
        {"JA1AA", "JA", "0", "", "0", "Zone is not acceptable", 0},
        {"JA1AA", "JA", "00", "", "00", "Zone is not acceptable", 0},
        {"JA1AA", "JA", "025", "", "025", "Zone is not acceptable", 0},
        {"JA1AA", "JA", "599", "", "599", "Zone is not acceptable", 0},
        {"JA1AA", "JA", "25 26", "", "25 26", "Zone is not acceptable", 0},
        {"JA1AA", "JA", "2-5", "", "2-5", "Zone is not acceptable", 0},
        {"W1AW", "K", "05 ma", "05 MA", "05 MA", nullptr, 1},
        {"W1AW", "K", "MA 05", "05 MA", "MA 05", nullptr, 1},
        {"W1AW", "K", "05MA", "05 MA", "05 MA", nullptr, 1},
        {"W3AA", "K", " 05  DC ", "05 DC", "05 DC", nullptr, 1},
        {"W1AW", "K", "05", "", "05", "QTH is not acceptable", 0},
        {"W1AW", "K", "05 XX", "", "05 XX", "QTH is not acceptable", 0},
        {"W1AW", "K", "05 MA NH", "", "05 MA NH", "QTH is not acceptable", 0},
        {"W1AW", "K", "41 MA", "", "41 MA", "Zone is not acceptable", 0},
        {"W1AW", "K", "01 AK", "01 AK", "01 AK", nullptr, 1},
        {"W1AW/MM", "K", "08", "08 /MM", "08", nullptr, 1},
        {"DL1AA/mm", "DL", "14", "14 /MM", "14", nullptr, 1},
        {"VE3AA", "VE", "04 ON", "04 ON", "04 ON", nullptr, 1},
        {"VO1AA", "VE", "05 NF", "05 NL", "05 NF", nullptr, 1},
        {"VY2AA", "VE", "05 PEI", "05 PE", "05 PEI", nullptr, 1},
        {"VE8AA", "VE", "01 NWT", "01 NT", "01 NWT", nullptr, 1},
        {"VE1AA", "VE", "05 PQ", "", "05 PQ", "QTH is not acceptable", 0},
        {"W1AW", "K", "05 ON", "", "05 ON", "QTH is not acceptable", 0},
        {"W1AW", "K", "05 NF", "", "05 NF", "QTH is not acceptable", 0},
        {"VE3AA", "VE", "04 MA", "", "04 MA", "QTH is not acceptable", 0},
        {"VE3AA", "VE", "04 AK", "", "04 AK", "QTH is not acceptable", 0},
        {"W1AW/VE3", "VE", "04 ON", "04 ON", "04 ON", nullptr, 1},
        {"KL7AA", "KL", "01", "01", "01", nullptr, 1},
        {"KH6AA", "KH6", "31 HI", "31", "31 HI", nullptr, 1},
        {"", "", "", "", "", "Zone is not acceptable", 0},
    };
    for (const Case& c : cases) {
        const contest::ExchangeVerdict v = C.JudgeExchange(c.call, c.prefix, c.exchange);
        SCOPED_TRACE(std::string(c.call) + " \"" + c.exchange + "\"");
        EXPECT_EQ(v.counted, c.counted);
        EXPECT_EQ(v.shown, c.shown);
        EXPECT_EQ(v.reason ? std::string(v.reason) : "", c.reason ? std::string(c.reason) : "");
        if (std::string(c.call).find('/') == std::string::npos) {
            EXPECT_EQ(C.IsValidExchange(c.exchange, c.prefix, 0), c.valid);
        }
    }
    EXPECT_EQ(C.IsValidExchange("14", "DL", 1), 0);
    EXPECT_EQ(C.ExchangeReasons().size(), 2u);
    // The QTH multipliers: the 48 states and DC, the 14 Canadian areas.
    EXPECT_EQ(C.LocationMultipliers("K").size(), 49u);
    EXPECT_EQ(C.LocationMultipliers("VE").size(), 14u);
    for (const char* none : {"AK", "HI"}) {
        const auto& states = C.LocationMultipliers("K");
        EXPECT_EQ(std::find(states.begin(), states.end(), none), states.end()) << none;
    }
    ASSERT_EQ(C.MultiplierKinds().size(), 3u);
    for (const contest::MultiplierKind& kind : C.MultiplierKinds()) EXPECT_TRUE(kind.perBand) << kind.name;
}

// The WPX prefix of a call: the first part up to its last digit, a portable designator in its place (a digit
// alone changes the call area), a 0 after two letters where there is no digit, and the operating marks dropped;
// and the WPX RTTY's serial number, digits that are not all 0.
TEST(ContestRules, WpxPrefixesAndSerialNumbers) {
    const char* const prefixes[][2] = {
        {"N8BJQ", "N8"},       {"WD8ABC", "WD8"},   {"HG19ABC", "HG19"},   {"LY1000A", "LY1000"},
        {"3DA0XY", "3DA0"},    {"2E0ABC", "2E0"},   {"9A1AA", "9A1"},      {"OE25X", "OE25"},
        {"N8BJQ/KH9", "KH9"},  {"KH6/W1ABC", "KH6"}, {"PA/N8BJQ", "PA0"},  {"N8BJQ/PA", "PA0"},
        {"K1TEO/8", "K8"},     {"WD8ABC/4", "WD4"}, {"KH6XXX/W8", "W8"},   {"VP2E/W1AW", "VP2"},
        {"XEFTJW", "XE0"},     {"RAEM", "RA0"},     {"W1AW/MM", "W1"},     {"w1aw/p", "W1"},
        {"W1AW/QRP", "W1"},    {"N8BJQ/KH9/P", "KH9"}, {"K1AB9", "K1"},    {"", ""},
        {"/", ""},             {"W1AW/M", "W1"},
    };
    for (const auto& c : prefixes) EXPECT_EQ(contest::WpxPrefix(c[0]), c[1]) << c[0];
    const contest::Record& W = contest::CqWpxRtty();
    for (const char* good : {"001", "1", "1234", "00012"}) EXPECT_EQ(W.IsValidExchange(good, "DL", 0), 1) << good;
    for (const char* bad : {"0", "000", "", "5NN", "12A", "-1"}) EXPECT_EQ(W.IsValidExchange(bad, "DL", 0), 0) << bad;
}

// The Cabrillo file's exchange, sent or received: "ZZ QTH", "DX" where no QTH was sent; an exchange without
// one zone stays as logged.
TEST(ContestRules, CqWwCabrilloExchange) {
    const contest::Record& C = contest::CqWwRtty();
    const char* const cases[][2] = {{"05 MA", "05 MA"}, {"5 ma", "05 MA"}, {"14", "14 DX"}, {"MA 05", "05 MA"},
                                    {"14 DX", "14 DX"}, {"41", "41 DX"},   {"", ""},         {"05 MA NH", "05 MA NH"},
                                    {"abc", "abc"},     {"1 2", "1 2"},       {"05 pei", "05 PE"}, {"1 NWT", "01 NT"}};
    for (const auto& c : cases) EXPECT_EQ(C.CabrilloExchange(c[0]), c[1]) << c[0];
    EXPECT_EQ(R.CabrilloExchange(" ny "), " ny ");
}

// Points are counted by continent: every entity of the country file, WAE-only ones included, is on the continent
// the file gives it, whichever prefix the tools or the host name it by.
TEST(ContestRules, ContinentOfEveryEntityOfTheCountryFile) {
    replay::CountryFile cty;
    std::string error;
    ASSERT_TRUE(cty.Load(replay::kDefaultCountryFile, error, true)) << error;
    for (const replay::CountryEntity& e : cty.Entities()) {
        EXPECT_EQ(ContinentOf(e.primaryPrefix), e.continent) << e.name << " " << e.primaryPrefix;
    }
    EXPECT_EQ(cty.EntityCount(), static_cast<size_t>(contest::CqWwRtty().dxccEntityCount));
    // The WAE-only entities stand for themselves in the CQ WW, for their DXCC entity in the Roundup.
    for (const char* call : {"IT9AA", "4U1VIC", "IG9AA", "TA1AA"}) {
        EXPECT_NE(cty.PrefixOf(call), "") << call;
        EXPECT_EQ(cty.PrefixOf(call), call == std::string("4U1VIC") ? "4U1V" : std::string(call).substr(0, 3)) << call;
    }
    for (const char* key : {"1A0", "IT", "VK0", "E4", "SU", "KH5K"}) EXPECT_NE(ContinentOf(key), "") << key;
    for (const char* none : {"", "k", "DL ", "XX9X"}) EXPECT_EQ(ContinentOf(none), "") << none;
}

}  // namespace
