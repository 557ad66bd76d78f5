// What the replay passes where the host would: band names, frequencies, mode names, contest dates, and the
// command line that chooses them.
#include <gtest/gtest.h>

#include "band_mode.h"
#include "contest_dates.h"
#include "header_fields.h"
#include "replay.h"

using namespace replay;

namespace {

TEST(ReplayMapping, BandFromFrequency) {
    struct Case {
        unsigned long long hz;
        const char* band;
    };
    const Case cases[] = {
        {1800000, "160m"},  {1838000, "160m"},  {3499999, ""},     {3500000, "80m"},   {4000000, "80m"},
        {4000001, ""},      {5357000, "60m"},   {7000000, "40m"},  {7080000, "40m"},   {7300000, "40m"},
        {10140000, "30m"},  {14000000, "20m"},  {14350000, "20m"}, {14350001, ""},     {18100000, "17m"},
        {21080000, "15m"},  {24920000, "12m"},  {28000000, "10m"}, {29700000, "10m"},  {29700001, ""},
        {50313000, "6m"},   {144174000, "2m"},  {432100000, "70cm"}, {0, ""},          {13999999, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(BandFromFrequencyHz(c.hz), c.band) << c.hz;
}

TEST(ReplayMapping, BandNamesAndEdges) {
    EXPECT_EQ(NormaliseBandName("20M"), "20m");
    EXPECT_EQ(NormaliseBandName(" 70CM "), "70cm");
    EXPECT_EQ(NormaliseBandName("3cm"), "3cm");  // unknown: as written
    EXPECT_EQ(BandLowerEdgeHz("40M").value_or(0), 7000000u);
    EXPECT_EQ(BandLowerEdgeHz("160m").value_or(0), 1800000u);
    EXPECT_FALSE(BandLowerEdgeHz("11m").has_value());
}

TEST(ReplayMapping, DecimalFrequencies) {
    struct Case {
        const char* text;
        int scale;
        long long expected;  // -1: not a number
    };
    const Case cases[] = {
        {"14080", 3, 14080000},    {"14080.5", 3, 14080500}, {"14.0825", 6, 14082500}, {"14.08250049", 6, 14082500},
        {"14.0825005", 6, 14082501}, {"7", 6, 7000000},      {".5", 3, 500},           {" 3.5 ", 6, 3500000},
        {"", 3, -1},               {"14,080", 3, -1},        {"-14", 3, -1},           {"14.0.1", 6, -1},
        {"1e6", 3, -1},            {".", 3, -1},
    };
    for (const Case& c : cases) {
        auto v = ParseScaledDecimal(c.text, c.scale);
        if (c.expected < 0) {
            EXPECT_FALSE(v.has_value()) << c.text;
        } else {
            EXPECT_EQ(v.value_or(0), static_cast<unsigned long long>(c.expected)) << c.text;
        }
    }
}

TEST(ReplayMapping, ModeNames) {
    struct Case {
        const char* mode;
        const char* submode;
        const char* host;
    };
    const Case adif[] = {
        {"RTTY", "", "RTTY"},     {"rtty", "", "RTTY"},       {"PSK", "PSK31", "BPSK31"}, {"PSK", "psk63", "BPSK63"},
        {"PSK31", "", "BPSK31"},  {"PSK63", "", "BPSK63"},    {"PSK", "PSK125", "PSK125"}, {"PSK", "", "PSK"},
        {"AMTOR", "", "AMTOR"},   {"TOR", "AMTORFEC", "AMTOR"}, {"TOR", "GTOR", "GTOR"},  {"PKT", "", "PACKET"},
        {"FT8", "", "FT8"},       {"MFSK", "FT4", "FT4"},     {"CW", "", "CW"},
    };
    for (const Case& c : adif) EXPECT_EQ(HostModeFromAdif(c.mode, c.submode), c.host) << c.mode << "/" << c.submode;
    EXPECT_EQ(HostModeFromCabrillo("RY"), "RTTY");
    EXPECT_EQ(HostModeFromCabrillo("PK"), "PACKET");
    EXPECT_EQ(HostModeFromCabrillo("DG"), "FT8");
    EXPECT_EQ(HostModeFromCabrillo("dg"), "FT8");
    EXPECT_EQ(HostModeFromCabrillo("CW"), "CW");
}

TEST(ReplayMapping, ContestStartIsTheWeekendsSaturday) {
    struct Case {
        const char* firstQso;
        const char* start;
        const char* end;
    };
    const Case cases[] = {
        {"2018-01-06 1801", "2018-01-06 1800", "2018-01-08 0000"},  // Saturday during the contest
        {"2019-01-06 2359", "2019-01-05 1800", "2019-01-07 0000"},  // Sunday evening
        {"2025-01-04 1200", "2025-01-04 1800", "2025-01-06 0000"},  // Saturday morning, a little early
        {"2025-01-04 1800", "2025-01-04 1800", "2025-01-06 0000"},
        {"2024-12-31 2359", "2024-12-28 1800", "2024-12-30 0000"},  // across the year end
        {"2025-01-03 2000", "2025-01-04 1800", "2025-01-06 0000"},  // Friday night
    };
    for (const Case& c : cases) {
        auto first = ParseDateTimeOption(c.firstQso);
        ASSERT_TRUE(first.has_value()) << c.firstQso;
        COleDateTime start = ContestStartNear(*first);
        EXPECT_EQ(start.Format("%Y-%m-%d %H%M"), c.start) << c.firstQso;
        EXPECT_EQ(ContestEndFor(start).Format("%Y-%m-%d %H%M"), c.end) << c.firstQso;
    }
    EXPECT_FALSE(ContestStartNear(COleDateTime::Null()).IsValid());
}

TEST(ReplayMapping, DateTimeOptions) {
    struct Case {
        const char* text;
        const char* expected;  // "" when rejected
    };
    const Case cases[] = {
        {"2019-01-05 1800", "2019-01-05 1800"}, {"2019-01-05 18:00", "2019-01-05 1800"},
        {"2019-01-05T18:00Z", "2019-01-05 1800"}, {"20190105 1800", "2019-01-05 1800"},
        {"2019-01-05", "2019-01-05 0000"},      {"2019-02-30 1800", ""},
        {"2019-01-05 25:00", ""},               {"yesterday", ""},
        {"2019-01-05 18", ""},
    };
    for (const Case& c : cases) {
        auto t = ParseDateTimeOption(c.text);
        EXPECT_EQ(t ? t->Format("%Y-%m-%d %H%M") : std::string(), c.expected) << c.text;
    }
}

TEST(ReplayMapping, HeaderOptions) {
    HeaderValue v;
    std::string error;
    ASSERT_TRUE(ParseHeaderOption("e-mail=op@example.org", v, error));
    EXPECT_STREQ(v.field->tag, "EMAIL");
    EXPECT_STREQ(v.field->settingsKey, "Email");
    EXPECT_EQ(v.field->controlId, 1004);
    EXPECT_EQ(v.value, "op@example.org");
    ASSERT_TRUE(ParseHeaderOption("ADDRESS-STATE-PROVINCE=CT", v, error));
    EXPECT_STREQ(v.field->settingsKey, "Address_St_Prov");
    EXPECT_EQ(v.field->controlId, 1011);
    ASSERT_TRUE(ParseHeaderOption("CATEGORY-POWER=LOW", v, error));
    EXPECT_EQ(v.field->settingsKey, nullptr);  // only the dialog sets it
    EXPECT_EQ(v.field->controlId, 1021);
    ASSERT_TRUE(ParseHeaderOption("NAME=a=b", v, error));
    EXPECT_EQ(v.value, "a=b");

    ASSERT_TRUE(ParseHeaderOption("SOAPBOX=first\nsecond\r\nthird", v, error));
    EXPECT_EQ(SettingsText(v), "first<CR><LF>second<CR><LF>third");
    EXPECT_EQ(DialogText(v.value), "first\r\nsecond\r\nthird");

    EXPECT_FALSE(ParseHeaderOption("NAME", v, error));
    EXPECT_EQ(error, "--header wants KEY=VALUE, got 'NAME'");
    EXPECT_FALSE(ParseHeaderOption("COLOUR=red", v, error));
    EXPECT_EQ(error.rfind("unknown Cabrillo header field 'COLOUR'; known: CALLSIGN CONTEST OPERATORS", 0), 0u);
}

TEST(ReplayMapping, CommandLine) {
    ReplayOptions o;
    std::string error;
    ASSERT_EQ(ParseCommandLine({"--html", "--cabrillo", "--out=res", "--header", "NAME=Jo", "--check", "W1AW:40m:RTTY",
                                "--check=DL1ABC", "--call", "w1aw ", "--start", "2019-01-05 1800", "my.log"},
                               o, error),
              CommandLine::run)
        << error;
    EXPECT_TRUE(o.html);
    EXPECT_TRUE(o.cabrillo);
    EXPECT_FALSE(o.windows);
    EXPECT_EQ(o.outDir, "res");
    EXPECT_EQ(o.logPath, "my.log");
    ASSERT_EQ(o.headers.size(), 1u);
    EXPECT_EQ(o.headers[0].value, "Jo");
    EXPECT_EQ(o.checks, (std::vector<std::string>{"W1AW:40m:RTTY", "DL1ABC"}));
    EXPECT_EQ(o.ownCall, "W1AW");
    ASSERT_TRUE(o.end.has_value());  // --start alone: 30 hours from it
    EXPECT_EQ(o.end->Format("%Y-%m-%d %H%M"), "2019-01-07 0000");
    EXPECT_EQ(o.countryFile, kDefaultCountryFile);

    struct Bad {
        std::vector<std::string> args;
        const char* error;
    };
    const Bad bad[] = {
        {{}, "no log file given (see --help)"},
        {{"a.log", "b.log"}, "one log file at a time: a.log and b.log"},
        {{"--out"}, "--out needs a value"},
        {{"--frobnicate", "a.log"}, "unknown option --frobnicate (see --help)"},
        {{"--html=yes", "a.log"}, "--html takes no value"},
        {{"--check", ":20m", "a.log"}, "--check wants CALL[:BAND:MODE]"},
        {{"--start", "soon", "a.log"}, "--start wants a date and time such as \"2019-01-05 1800\", got 'soon'"},
        {{"--header", "FOO=1", "a.log"}, nullptr},
    };
    for (const Bad& b : bad) {
        ReplayOptions bo;
        EXPECT_EQ(ParseCommandLine(b.args, bo, error), CommandLine::error);
        if (b.error) {
            EXPECT_EQ(error, b.error);
        }
    }
    ReplayOptions ho;
    EXPECT_EQ(ParseCommandLine({"a.log", "--help"}, ho, error), CommandLine::help);
}

}  // namespace
