// The contest's rule tables and IsValidExchg0's algorithm.
#include <gtest/gtest.h>

#include <sstream>

#include "engine/contest_rules.h"

namespace {

TEST(ContestRules, BandTableKeepsEightyMetresTwiceInOrder) {
    const CaseInsensitiveTextSet& bands = AcceptedBands();
    ASSERT_EQ(bands.Count(), 6u);
    const char* expected[] = {"80m", "80m", "40m", "20m", "15m", "10m"};
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(bands.At(i), expected[i]) << i;
    ASSERT_EQ(AcceptedModes().Count(), 7u);
}

TEST(ContestRules, MembershipIgnoresCaseOnly) {
    struct Case {
        const CaseInsensitiveTextSet& rules;
        const char* text;
        bool accepted;
    } cases[] = {
        {AcceptedBands(), "80m", true},    {AcceptedBands(), "20M", true},     {AcceptedBands(), "10m", true},
        {AcceptedBands(), "160m", false},  {AcceptedBands(), "30m", false},    {AcceptedBands(), "", false},
        {AcceptedBands(), "20m ", false},  {AcceptedBands(), "20", false},     {AcceptedModes(), "RTTY", true},
        {AcceptedModes(), "rtty", true},   {AcceptedModes(), "BpSk63", true},  {AcceptedModes(), "AMTOR", true},
        {AcceptedModes(), "packet", true}, {AcceptedModes(), "BPSK62", false}, {AcceptedModes(), "CW", false},
        {AcceptedModes(), "", false},      {AcceptedModes(), "RTTY\t", false}, {AcceptedModes(), "FT8", true},
        {AcceptedModes(), "ft4", true},    {AcceptedModes(), "FT2", false},    {AcceptedModes(), "MFSK", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.rules.Contains(c.text), c.accepted) << '"' << c.text << '"';
    const char* none[] = {nullptr};
    EXPECT_FALSE(CaseInsensitiveTextSet(none, 0).Contains(""));
}

TEST(ContestRules, OnlyKAndVeAreWve) {
    for (const char* p : {"K", "VE"}) EXPECT_TRUE(rules::IsWve(p)) << p;
    for (const char* p : {"", "W", "k", "ve", "KH6", "KL7", "VE ", " K", "VY2", "DL"}) {
        EXPECT_FALSE(rules::IsWve(p)) << '"' << p << '"';
    }
}

TEST(ContestRules, StateProvinceCodesAndTheMultiplierEachCountsAs) {
    const std::string codes =
        "AK AL AR AZ CA CO CT DC DE FL GA HI IA ID IL IN KS KY LA MA MD ME MI MN MO MS MT NC ND NE NH NJ NM NV NY "
        "OH OK OR PA RI SC SD TN TX UT VA VT WA WI WV WY ON QC NS NB MB BC SK AB NL NT YT NU PE PEI NF LB NWT";
    std::istringstream in(codes);
    int count = 0;
    for (std::string code; in >> code; ++count) EXPECT_TRUE(rules::IsStateProv(code)) << code;
    EXPECT_EQ(count, 68);
    for (const char* code : {"", "ny", "Ny", "NY ", " NY", "PQ", "nf", "NFL", "XX", "P", "PEIX", "PR", "US"}) {
        EXPECT_FALSE(rules::IsStateProv(code)) << '"' << code << '"';
    }
    const char* const canonical[][2] = {{"PEI", "PE"}, {"PE", "PE"}, {"NF", "NL"}, {"LB", "NL"}, {"NL", "NL"},
                                        {"NWT", "NT"}, {"NT", "NT"}, {"MD", "MD"}, {"pei", "pei"}};
    for (const auto& c : canonical) EXPECT_EQ(rules::CanonicalStateProv(c[0]), c[1]) << c[0];
    // The multipliers: every accepted code once, under the code it counts as, by country.
    struct Country {
        const char* prefix;
        size_t count;
        const char* first;
    } countries[] = {{"K", 49, "AL"}, {"VE", 13, "ON"}, {"KH6", 0, nullptr}, {"", 0, nullptr}};
    for (const Country& c : countries) {
        const std::vector<std::string>& codes = rules::StateProvMultipliers(c.prefix);
        ASSERT_EQ(codes.size(), c.count) << c.prefix;
        if (c.first) {
            EXPECT_EQ(codes.front(), c.first);
        }
        for (const std::string& code : codes) EXPECT_TRUE(rules::IsStateProv(code) && rules::CanonicalStateProv(code) == code) << code;
    }
    // Accepted, yet no multiplier: the states whose stations count as the DXCC entities KL7 and KH6.
    for (const char* code : {"AK", "HI"}) {
        EXPECT_TRUE(rules::IsStateProv(code)) << code;
        EXPECT_FALSE(rules::IsStateProvMultiplier(code)) << code;
    }
    for (const char* code : {"AL", "WY", "DC", "PEI", "NF", "NU"}) EXPECT_TRUE(rules::IsStateProvMultiplier(code)) << code;
    EXPECT_FALSE(rules::IsStateProvMultiplier("XX"));
}

TEST(ContestRules, UsaCanadaAndTheUnknownAreNoDxccMultiplier) {
    for (const char* p : {"K", "VE", ""}) EXPECT_FALSE(rules::IsDxccMultiplier(p)) << '"' << p << '"';
    for (const char* p : {"KH6", "KL7", "VY2", "k", "W", "DL"}) EXPECT_TRUE(rules::IsDxccMultiplier(p)) << p;
}

TEST(ContestRules, AddDataNormalisesTheReceivedExchange) {
    struct Case {
        const char* exchange;
        const char* normalised;
    } cases[] = {{" ny ", "NY"}, {"\ton\r\n", "ON"}, {"pei", "PEI"}, {"n y", "N Y"}, {"", ""}, {"  ", ""}};
    for (const Case& c : cases) EXPECT_EQ(rules::NormaliseStateProv(c.exchange), c.normalised) << c.exchange;
}

TEST(ContestRules, RussianTextPrefixesMatchExactly) {
    for (const char* p : {"UA", "UA2", "UA9", "CE9/KC4", "UR", "UN", "EU"}) EXPECT_TRUE(rules::IsRussianTextPrefix(p));
    for (const char* p : {"", "ua", "UA1", "RA", "UA ", "CE9", "EW", "4K"}) EXPECT_FALSE(rules::IsRussianTextPrefix(p));
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
        {"NWT", "VE", 0, 1},   {"NF", "VE", 0, 1},     {"LB", "K", 0, 1},     {"NWT", "DL", 0, 0},
        {"PEI", "W", 0, 0},    {"nwt", "VE", 0, 0},   {"AK", "K", 0, 1},     {"HI", "K", 0, 1},
        {"", "K", 0, 0},       {"1a3", "DL", 0, 0},    {"12 4", "DL", 0, 0},  {"\xB1\xB2\xB3", "DL", 0, 0},
        {"001", "DL", 1, 0},   {"NY", "K", -1, 0},     {"XX", "K", 0, 0},     {"N", "K", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rules::IsValidExchange(c.exchange, c.prefix, c.disable), c.valid)
            << '"' << c.exchange << "\" from " << c.prefix << " disable " << c.disable;
    }
}

}  // namespace
