// What the replay passes where the host would: band names, frequencies, mode names, contest dates, and the
// command line that chooses them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "band_mode.h"
#include "contest_dates.h"
#include "contest/arrl_rtty_roundup.h"
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
    EXPECT_EQ(contest::ArrlRttyRoundup().ModeFromCabrilloCode("RY"), "RTTY");
    EXPECT_EQ(contest::ArrlRttyRoundup().ModeFromCabrilloCode("PK"), "PACKET");
    EXPECT_EQ(contest::ArrlRttyRoundup().ModeFromCabrilloCode("DG"), "FT8");
    EXPECT_EQ(contest::ArrlRttyRoundup().ModeFromCabrilloCode("dg"), "FT8");
    EXPECT_EQ(contest::ArrlRttyRoundup().ModeFromCabrilloCode("CW"), "CW");
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
        COleDateTime start = contest::ArrlRttyRoundup().PeriodStartNear(*first);
        EXPECT_EQ(start.Format("%Y-%m-%d %H%M"), c.start) << c.firstQso;
        EXPECT_EQ(contest::ArrlRttyRoundup().PeriodEnd(start).Format("%Y-%m-%d %H%M"), c.end) << c.firstQso;
    }
    EXPECT_FALSE(contest::ArrlRttyRoundup().PeriodStartNear(COleDateTime::Null()).IsValid());
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
    EXPECT_EQ(v.field->controlId, 1004);
    EXPECT_EQ(v.value, "op@example.org");
    ASSERT_TRUE(ParseHeaderOption("ADDRESS-STATE-PROVINCE=CT", v, error));
    EXPECT_EQ(v.field->controlId, 1011);
    ASSERT_TRUE(ParseHeaderOption("category-power=LOW", v, error));
    EXPECT_EQ(v.field->controlId, 1021);
    ASSERT_TRUE(ParseHeaderOption("NAME=a=b", v, error));
    EXPECT_EQ(v.value, "a=b");

    ASSERT_TRUE(ParseHeaderOption("SOAPBOX=first\nsecond\r\nthird", v, error));
    EXPECT_EQ(DialogText(v.value), "first\r\nsecond\r\nthird");

    EXPECT_FALSE(ParseHeaderOption("NAME", v, error));
    EXPECT_EQ(error, "--header wants KEY=VALUE, got 'NAME'");
    EXPECT_FALSE(ParseHeaderOption("COLOUR=red", v, error));
    EXPECT_EQ(error.rfind("unknown Cabrillo header field 'COLOUR'; known: CALLSIGN CONTEST LOCATION", 0), 0u);
    EXPECT_FALSE(ParseHeaderOption("NAME=Jo\nCATEGORY-POWER: QRP", v, error));
    EXPECT_EQ(error, "--header NAME: only SOAPBOX may hold several lines");
}

// Each dialog field takes --header first, then the log, then (CALLSIGN only) the own call; otherwise it is
// empty, and the summary line says which is which.
TEST(ReplayMapping, HeaderComposition) {
    HeaderValue power, name;
    std::string error;
    ASSERT_TRUE(ParseHeaderOption("CATEGORY-POWER=QRP", power, error));
    ASSERT_TRUE(ParseHeaderOption("NAME=Jo", name, error));
    std::map<std::string, std::string> fromLog = {{"CATEGORY-POWER", "LOW"}, {"LOCATION", "CT"}, {"CLUB", ""}};
    std::vector<HeaderValue> header = ComposeHeader({power, name}, fromLog, "W1AW", "--call");
    std::map<std::string, std::string> values, origins;
    for (const HeaderValue& v : header) {
        values[v.field->tag] = v.value;
        origins[v.field->tag] = v.origin;
    }
    EXPECT_EQ(header.size(), HeaderFields().size() - 1);  // CONTEST only when --header names it
    EXPECT_EQ(values.count("CONTEST"), 0u);
    EXPECT_EQ(values["CATEGORY-POWER"], "QRP");
    EXPECT_EQ(origins["CATEGORY-POWER"], "--header");
    EXPECT_EQ(values["LOCATION"], "CT");
    EXPECT_EQ(origins["LOCATION"], "the log");
    EXPECT_EQ(values["CALLSIGN"], "W1AW");
    EXPECT_EQ(origins["CALLSIGN"], "--call");
    EXPECT_EQ(values["CLUB"], "");  // an empty line in the log gives nothing
    EXPECT_EQ(origins["CLUB"], "");
    EXPECT_EQ(HeaderOriginLine(header),
              "Cabrillo header: from --call: CALLSIGN; from the log: LOCATION; from --header: CATEGORY-POWER NAME; "
              "empty: CATEGORY-OPERATOR CATEGORY-ASSISTED CATEGORY-BAND CATEGORY-MODE CATEGORY-OVERLAY "
              "CATEGORY-STATION CATEGORY-TRANSMITTER OPERATORS ADDRESS ADDRESS-CITY ADDRESS-STATE-PROVINCE "
              "ADDRESS-POSTALCODE ADDRESS-COUNTRY CLUB EMAIL SOAPBOX");
}

TEST(ReplayMapping, CommandLine) {
    ReplayOptions o;
    std::string error;
    ASSERT_EQ(ParseCommandLine({"--html", "--cabrillo", "--out=res", "--header", "NAME=Jo", "--check", "W1AW:40m:RTTY",
                                "--check=DL1ABC", "--call", "w1aw ", "--start", "2019-01-05 1830", "my.log"},
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
    ASSERT_TRUE(o.start.has_value());
    EXPECT_EQ(o.start->Format("%Y-%m-%d %H%M"), "2019-01-05 1830");
    EXPECT_FALSE(o.end.has_value());  // the replay ends the period by the contest's rules
    EXPECT_EQ(o.countryFile, kDefaultCountryFile);
    EXPECT_FALSE(o.analysis);
    EXPECT_EQ(o.scpFile, kDefaultScpFile);
    EXPECT_EQ(o.offMinutes, 0);  // the contest's own

    struct Case {
        std::vector<std::string> args;
        CommandLine result;
        const char* logOrError;  // the log path on run, the error otherwise
    };
    const Case cases[] = {
        {{}, CommandLine::error, "no log file given (see --help)"},
        {{"a.log", "b.log"}, CommandLine::error, "one log file at a time: a.log and b.log"},
        {{"--out"}, CommandLine::error, "--out needs a value"},
        {{"--out", "--html", "a.log"}, CommandLine::error, "--out needs a value"},
        {{"--frobnicate", "a.log"}, CommandLine::error, "unknown option --frobnicate (see --help)"},
        {{"-x", "a.log"}, CommandLine::error, "unknown option -x (see --help)"},
        {{"--html=yes", "a.log"}, CommandLine::error, "--html takes no value"},
        {{"--check", ":20m", "a.log"}, CommandLine::error, "--check wants CALL[:BAND:MODE]"},
        {{"--start", "soon", "a.log"}, CommandLine::error,
         "--start wants a date and time such as \"2019-01-05 1800\", got 'soon'"},
        {{"--start", "2019-01-00 1800", "a.log"}, CommandLine::error,
         "--start wants a date and time such as \"2019-01-05 1800\", got '2019-01-00 1800'"},
        {{"--end=2019-01-32", "a.log"}, CommandLine::error,
         "--end wants a date and time such as \"2019-01-05 1800\", got '2019-01-32'"},
        {{"--end=2020-02-29", "a.log"}, CommandLine::run, "a.log"},
        {{"--header", "FOO=1", "a.log"}, CommandLine::error, nullptr},
        {{"--off-time", "0", "a.log"}, CommandLine::error, "--off-time wants a number of minutes from 1 to 9999, got '0'"},
        {{"--off-time=10000", "a.log"}, CommandLine::error,
         "--off-time wants a number of minutes from 1 to 9999, got '10000'"},
        {{"a.log", "--help"}, CommandLine::help, nullptr},
        {{"-h"}, CommandLine::help, nullptr},
        {{"--version", "a.log"}, CommandLine::version, nullptr},
        {{"--html", "-"}, CommandLine::run, "-"},
        {{"--", "--html"}, CommandLine::run, "--html"},
        {{"--out", "-", "--", "-x"}, CommandLine::run, "-x"},
        {{"--", "a.log", "--html"}, CommandLine::error, "one log file at a time: a.log and --html"},
        {{"--compare", "-", "a.log"}, CommandLine::error, "--compare wants the file of another log, got '-'"},
        {{"--compare=b", "--compare=c", "--compare=d", "--compare=e", "a.log"}, CommandLine::error,
         "--compare: at most 3 other logs, four stations on one page"},
    };
    ReplayOptions analysis;
    ASSERT_EQ(ParseCommandLine({"--analysis", "--scp", "my.scp", "--off-time", "45", "--compare", "b.log",
                                "--compare=c.log", "--compare", "d.log", "a.log"},
                               analysis, error),
              CommandLine::run);
    EXPECT_TRUE(analysis.analysis && analysis.scpFile == "my.scp" && analysis.offMinutes == 45);
    EXPECT_EQ(analysis.compare, (std::vector<std::string>{"b.log", "c.log", "d.log"}));
    for (const Case& c : cases) {
        ReplayOptions co;
        error.clear();
        EXPECT_EQ(ParseCommandLine(c.args, co, error), c.result) << c.args.size() << " " << error;
        if (!c.logOrError) continue;
        EXPECT_EQ(c.result == CommandLine::run ? co.logPath : error, c.logOrError);
    }
}

// The tools score a log by the record of the set name the plug-in gives; a plug-in whose set no record knows,
// or that names none, is refused, never scored by another contest's rules.
TEST(ReplayMapping, APluginIsScoredByItsOwnContestOrRefused) {
    struct Case {
        GetSetNameFn setName;
        const char* contest;  // nullptr: refused
    } cases[] = {
        {[](int) -> const char* { return "CQ WPX RTTY (C)"; }, "CQ WPX RTTY"},
        {[](int) -> const char* { return "ARRL RTTY Roundup (C)"; }, "ARRL RTTY Roundup"},
        {[](int) -> const char* { return "ARRL RTTY Roundup"; }, nullptr},
        {[](int) -> const char* { return "CQ WW SSB (C)"; }, nullptr},
        {[](int) -> const char* { return nullptr; }, nullptr},
        {nullptr, nullptr},
    };
    for (const Case& c : cases) {
        PluginLibrary plugin;
        plugin.GetSetName = c.setName;
        std::string error;
        const contest::Record* contest = ContestOfPlugin(plugin, "x.dll", error);
        EXPECT_EQ(contest ? std::string(contest->name) : "", c.contest ? c.contest : "");
        EXPECT_EQ(error.empty(), c.contest != nullptr) << error;
    }
}

// Every option the parser knows and every header field --header takes is in --help and in the README.
TEST(ReplayMapping, EveryOptionIsDocumented) {
    std::ifstream in(STATS_SOURCE_DIR "/README.md");
    std::stringstream readme;
    readme << in.rdbuf();
    ASSERT_FALSE(readme.str().empty());
    const std::string usage = UsageText("Stats", &contest::ArrlRttyRoundup());
    std::vector<std::string> names = OptionNames();
    EXPECT_EQ(names.size(), 18u);
    for (const std::string& name : names) {
        EXPECT_NE(usage.find("  " + name), std::string::npos) << name;
        EXPECT_NE(readme.str().find("`" + name), std::string::npos) << name;
    }
    size_t row = readme.str().find("| `--header KEY=VALUE` |");
    ASSERT_NE(row, std::string::npos);
    std::string headerRow = readme.str().substr(row, readme.str().find('\n', row) - row);
    for (const HeaderField& f : HeaderFields()) {
        EXPECT_NE(usage.find(std::string(" ") + f.tag), std::string::npos) << f.tag;
        EXPECT_NE(headerRow.find(std::string(" ") + f.tag), std::string::npos) << f.tag;
    }
}

}  // namespace
