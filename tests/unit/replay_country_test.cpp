// DXCC prefixes from the country file: the hard cases of the published logs and the portable forms.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "contest/arrl_rtty_roundup.h"
#include "country_file.h"
#include "data_files.h"
#include "log_readers.h"
#include "temp_dir.h"

using namespace replay;

namespace {

const CountryFile& Cty() {
    static CountryFile cty;
    static bool loaded = [] {
        std::string error;
        bool ok = cty.Load(kDefaultCountryFile, error);
        EXPECT_TRUE(ok) << error << " (scripts/setup.sh installs it)";
        return ok;
    }();
    (void)loaded;
    return cty;
}

TEST(ReplayCountry, HardCasesOfThePublishedLogs) {
    struct Case {
        const char* call;
        const char* prefix;
    };
    const Case cases[] = {
        {"4U1WB", "K"},       // exact-call entry: the World Bank club station counts for the USA
        {"KG4IGC", "K"},      // KG4 with three letters: a US call, not Guantanamo
        {"KG4USN", "K"},
        {"KG4W", "K"},        // KG4 with one letter: a US call
        {"KG4AB", "KG4"},     // KG4 with exactly two letters: Guantanamo Bay
        {"KG4AC", "KG4"},     // an exact-call entry of Guantanamo
        {"KH7X/W7", "K"},     // operating in the 7th US call area
        {"AH6EZ/W7", "K"},
        {"XE2/N6KZB", "XE"},  // US operator in Mexico
        {"VY2/W5AJ", "VE"},   // US operator on Prince Edward Island
        {"W0PC/7", "K"},
        {"K6DTT/4", "K"},
        {"VY2MP", "VE"},
        {"W8888S", "K"},      // a bad call still has a US prefix
        {"KH6ZM", "KH6"},
        {"ZF2SS", "ZF"},
        {"AL7LO", "KL"},      // Alaska is DX in this contest
        {"9H1XT", "9H"},
        {"RN2FQ", "UA2"},     // Kaliningrad
        {"VE3IAY", "VE"},
        {"NR2C", "K"},
    };
    for (const Case& c : cases) EXPECT_EQ(Cty().PrefixOf(c.call), c.prefix) << c.call;
}

TEST(ReplayCountry, PortableFormsAndOperatingSuffixes) {
    struct Case {
        const char* call;
        const char* prefix;
    };
    const Case cases[] = {
        {"KH6/W1AW", "KH6"}, {"W1AW/KH6", "KH6"},  // the shorter part is the place
        {"W1AW/4", "K"},     {"DL1ABC/4", "DL"},   // a call area digit keeps the country
        {"W1AW/P", "K"},     {"W1AW/M", "K"},      {"W1AW/MM", "K"},  {"W1AW/AM", "K"}, {"W1AW/QRP", "K"},
        {"F/W1AW/P", "F"},   {"EA8/DL1ABC/QRP", "EA8"},
        {"w1aw", "K"},       {" W1AW ", "K"},      // case and blanks do not matter
        {"", ""},            {"/", ""},            {"123", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Cty().PrefixOf(c.call), c.prefix) << "'" << c.call << "'";
}

TEST(ReplayCountry, WaeOnlyEntitiesCountForTheirDxccEntity) {
    struct Case {
        const char* call;
        const char* prefix;
    };
    const Case cases[] = {
        {"IT9ABC", "I"},   // Sicily
        {"IG9ABC", "I"},   // African Italy
        {"TA1ABC", "TA"},  // European Turkey
        {"GM0AVR", "GM"},  // Shetland, an exact-call entry
        {"4U1VIC", "OE"},  // Vienna International Centre counts for Austria
        {"JW0BEA", "JW"},  // Bear Island
    };
    for (const Case& c : cases) EXPECT_EQ(Cty().PrefixOf(c.call), c.prefix) << c.call;
}

TEST(ReplayCountry, EveryCallOfThePublishedLogsResolves) {
    const char* files[] = {"ARRL-RTTY_2018_4U1WB.log", "ARRL-RTTY_2019_AA2IL.log", "ARRL-RTTY_2025_9H1XT.log",
                           "ARRL-RTTY_2025_AL7LO.log"};
    std::set<std::string> dxOf9h1xt;
    for (const char* f : files) {
        ParsedLog log;
        std::string error;
        ASSERT_TRUE(ReadLogFile(STATS_SOURCE_DIR "/tests/data/published-logs/" + std::string(f), contest::ArrlRttyRoundup(), log, error));
        for (const LogQso& q : log.qsos) {
            std::string prefix = Cty().PrefixOf(q.call);
            EXPECT_FALSE(prefix.empty()) << f << ":" << q.line << " " << q.call;
            if (std::string(f) == files[2]) dxOf9h1xt.insert(prefix);
        }
    }
    // 37 DXCC entities besides the W/VE stations, as the logs' README counts them.
    EXPECT_EQ(dxOf9h1xt.size(), 39u);
    EXPECT_EQ(dxOf9h1xt.count("K") + dxOf9h1xt.count("VE"), 2u);
    EXPECT_EQ(dxOf9h1xt.count("UA2"), 1u);
}

TEST(ReplayCountry, ReadsTheFileFormatWithOverrides) {
    const char* text =
        "United States:            05:  08:  NA:   37.60:    91.87:     5.0:  K:\n"
        "    AA,K,N,W,W6(3)[6],=W1AW/KG4,=AH6FF/3(5)[8],=KL7ABC<41.0/-70.0>{NA}~-5.0~,=W6ZZ(4);\n"
        "Guantanamo Bay:           08:  11:  NA:   20.00:    75.00:     5.0:  KG4:\n"
        "    KG4,=KG4AC;\n"
        "Sicily:                   15:  28:  EU:   37.50:   -14.00:    -1.0:  *IT9:\n"
        "    IT9;\n"
        "Italy:                    15:  28:  EU:   42.82:   -12.58:    -1.0:  I:\n"
        "    I,IZ(33)[37];\n";
    CountryFile cty;
    std::string error;
    ASSERT_TRUE(cty.LoadFromText(text, error)) << error;
    EXPECT_EQ(cty.EntityCount(), 4u);
    EXPECT_EQ(cty.PrefixOf("AH6FF/3"), "K");  // exact entry with zone overrides cut off
    EXPECT_EQ(cty.PrefixOf("KL7ABC"), "K");
    EXPECT_EQ(cty.PrefixOf("W1AW/KG4"), "K");  // exact entry beats the portable rule
    EXPECT_EQ(cty.PrefixOf("K1ABC/KG4"), "KG4");
    EXPECT_EQ(cty.PrefixOf("KG4XY"), "KG4");
    EXPECT_EQ(cty.PrefixOf("KG4XYZ"), "K");
    EXPECT_EQ(cty.PrefixOf("IZ1ABC"), "I");
    EXPECT_EQ(cty.PrefixOf("IT9ABC"), "I");  // a WAE-only entity answers with its DXCC entity
    EXPECT_EQ(cty.EntityOf("IT9ABC")->name, "Italy");
    EXPECT_EQ(cty.PrefixOf("DL1ABC"), "");
    EXPECT_EQ(cty.ExactCallsOf("K"), (std::vector<std::string>{"AH6FF/3", "KL7ABC", "W1AW/KG4", "W6ZZ"}));
    // CQ zones: a prefix's or an exact call's own, else the entity's.
    const std::pair<const char*, int> zones[] = {{"W6ABC", 3}, {"W1ABC", 5}, {"W6ZZ", 4}, {"W6ABC/4", 5},
                                                 {"IZ1ABC", 33}, {"I1ABC", 15}, {"KG4XY", 8}, {"KG4XYZ", 5},
                                                 {"DL1ABC", 0}};
    for (const auto& [call, zone] : zones) EXPECT_EQ(cty.CqZoneOf(call), zone) << call;

    EXPECT_FALSE(cty.LoadFromText("Broken:  05:  08:  NA:  1.0;\n", error));
    EXPECT_EQ(error, "not a country file in the cty.dat format (entity 1 is incomplete)");
    EXPECT_FALSE(cty.LoadFromText("  \n", error));
    EXPECT_EQ(error, "no entity in the country file");
    EXPECT_FALSE(cty.Load("/nonexistent/cty.dat", error));
    EXPECT_EQ(error, "cannot read the country file /nonexistent/cty.dat (install the package hamradio-files, or give "
                     "another with --cty FILE)");
}

// Without --cty or --scp the file beside the program wins over the installed one; anything else there that
// is not a file is passed over.
TEST(ReplayDataFiles, BesideTheProgramFirst) {
    TempWorkDir dir(false);
    const std::string here = dir.Path();
    WriteFileBytes(here + "/cty.dat", "x");
    std::filesystem::create_directory(here + "/MASTER.SCP");  // a folder of that name is no list
    const struct {
        std::string programDir;
        const char* name;
        std::string expected;
    } cases[] = {
        {here, kCountryFileName, (std::filesystem::path(here) / "cty.dat").string()},
        {here, kScpFileName, kDefaultScpFile},
        {here + "/nothere", kCountryFileName, kDefaultCountryFile},
        {"", kCountryFileName, kDefaultCountryFile},  // the program's folder unknown
    };
    for (const auto& c : cases) {
        const char* installed = std::string(c.name) == kScpFileName ? kDefaultScpFile : kDefaultCountryFile;
        EXPECT_EQ(DataFileBeside(c.programDir, c.name, installed), c.expected) << c.programDir << " " << c.name;
    }
}

}  // namespace
