// stats-replay against the real plug-in (libStats.so natively, Stats.dll under wine): what it passes shows in
// the plug-in's bad-QSO file and answers, and what it cannot use is reported, never lost.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "plugin_library.h"
#include "replay.h"
#include "temp_dir.h"

using namespace replay;

namespace {

const char* const kSmallLog =
    "START-OF-LOG: 3.0\n"
    "CALLSIGN: W1AW\n"
    "CLAIMED-SCORE: 99\n"
    "QSO: 14080 RY 2019-01-05 1814 W1AW 599 CT K1ABC 599 MA\n"        // 4: W
    "QSO: 14081 RY 2019-01-05 1815 W1AW 599 CT DL1ABC 599 001\n"      // 5: DX
    "QSO: 10140 RY 2019-01-05 1816 W1AW 599 CT G3ABC 599 002\n"       // 6: 30m, not a contest band
    "QSO: 7080 CW 2019-01-05 1817 W1AW 599 CT K2ABC 599 NY\n"         // 7: not a contest mode
    "QSO: 14082 RY 2019-01-05 1818 W1AW 599 CT VE3ABC 599 XX\n"       // 8: no such province
    "QSO: 14083 RY 2019-01-05 1819 W1AW 599 CT K1ABC 599 MA\n"        // 9: dupe of line 4
    "QSO: 14084 RY 2019-01-05 1820 W1AW 599 CT DL2ABC 599 ZZ\n"       // 10: DX: the exchange is not checked
    "this line is garbage\n"                                          // 11
    "QSO: 14085 RY 2019-01-05 1821 W1AW 599 CT 599 005\n"             // 12: the call is missing
    "QSO: 21080 RY 2019-01-05 1822 W1AW 599 CT 0ABC 599 006\n"        // 13: no country has this prefix
    "END-OF-LOG:\n";

struct ReplayRunResult {
    int code = -1;
    std::string out, err;
    ReplaySummary summary;
};

ReplayRunResult Replay(ReplayOptions o) {
    std::ostringstream out, err;
    ReplayRunResult r;
    r.code = RunReplay(o, out, err, &r.summary);
    r.out = out.str();
    r.err = err.str();
    return r;
}

ReplayOptions SmallLogOptions() {
    WriteFileBytes("small.log", kSmallLog);
    ReplayOptions o;
    o.logPath = "small.log";
    o.outDir = "out";
    return o;
}

TEST(ReplayRun, PassesEachQsoAsTheHostWould) {
    TempWorkDir dir;
    ReplayRunResult r = Replay(SmallLogOptions());
    ASSERT_EQ(r.code, 0) << r.err;
    // Own call, call, time, frequency, mode, reports and exchanges arrive in their places: the bad-QSO lines
    // show them; the band reaches the band check, the prefix the W/VE test.
    EXPECT_EQ(ReadFileBytes("out/BadQSO_DezuvEZIR_07_01_2019.txt"),
              "ARRL-RTTY-Roundup Contest UBN file\r\n"
              "QSO:  10140  RTTY  2019-01-05 1816  W1AW  599  CT  G3ABC  599  002   WRONG BAND !!!\r\n"
              "QSO:  7080  CW  2019-01-05 1817  W1AW  599  CT  K2ABC  599  NY   WRONG MODE !!!\r\n"
              "QSO:  14082  RTTY  2019-01-05 1818  W1AW  599  CT  VE3ABC  599  XX  XX  State/Province is not "
              "acceptable !!!\r\n"
              "QSO:  14083  RTTY  2019-01-05 1819  W1AW  599  CT  K1ABC  599  MA   DUPE !!!\r\n");
    EXPECT_EQ(r.summary.qsosRead, 8u);
    EXPECT_EQ(r.summary.added, 6u);
    EXPECT_EQ(r.summary.rejected, 2u);
    EXPECT_EQ(r.summary.linesSkipped, 2u);
    EXPECT_EQ(r.summary.prefixesUnresolved, 1u);
    ASSERT_TRUE(r.summary.claimedScore.has_value());
    EXPECT_EQ(*r.summary.claimedScore, 99);

    // Every line not scored is named with its file and line.
    for (const char* line : {"small.log:11: skipped: not a Cabrillo line (no TAG: at its start)\n",
                             "small.log:12: skipped: QSO line has 9 fields, expected 10",
                             "small.log:13: no DXCC prefix for 0ABC (passed as \"\")\n",
                             "small.log:6: rejected by the plug-in: G3ABC 30m RTTY\n",
                             "small.log:7: rejected by the plug-in: K2ABC 40m CW\n",
                             "stats-replay: small.log (Cabrillo): 8 QSOs read, 6 added, 2 rejected by the plug-in, "
                             "2 lines skipped, 1 prefixes not resolved\n"}) {
        EXPECT_NE(r.err.find(line), std::string::npos) << line << "\n--- in ---\n" << r.err;
    }
    // The report went out exactly as the plug-in returned it, and into the output folder too.
    EXPECT_EQ(r.out, r.summary.report);
    EXPECT_EQ(ReadFileBytes("out/report.txt"), r.summary.report);
    // The replay came back to where it started, and the plug-in started no status windows.
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), dir.Path()));
    EXPECT_NE(ReadFileBytes("out/Plugins/ARRL-RTTY.ini").find("Start=0"), std::string::npos);
}

TEST(ReplayRun, AnswersCheckCallAfterTheReplay) {
    TempWorkDir dir;
    ReplayOptions o = SmallLogOptions();
    o.checks = {"K1ABC:20m:RTTY", "K1ABC:20M:PACKET", "K1ABC:40m:FT8", "DL9XYZ:15m:RTTY", "JA1ABC:20m:RTTY", "K1ABC:30m:RTTY",
                "JA1ABC"};
    ReplayRunResult r = Replay(o);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.summary.checkCodes, (std::vector<int>{0, 0, 1, 1, 2, 4, 2}));
    std::string answers = r.out.substr(r.summary.report.size());
    EXPECT_EQ(answers,
              "CheckCall0 K1ABC 20m RTTY (prefix K): 0 dupe: this call is in the log on this band\n"
              "CheckCall0 K1ABC 20m PACKET (prefix K): 0 dupe: this call is in the log on this band\n"
              "CheckCall0 K1ABC 40m FT8 (prefix K): 1 worked before: the log holds a QSO with this multiplier "
              "(or rules failure for host 2.19/2.20)\n"
              "CheckCall0 DL9XYZ 15m RTTY (prefix DL): 1 worked before: the log holds a QSO with this multiplier "
              "(or rules failure for host 2.19/2.20)\n"
              "CheckCall0 JA1ABC 20m RTTY (prefix JA): 2 new\n"
              "CheckCall0 K1ABC 30m RTTY (prefix K): 4 rules failure: band or mode not allowed in this contest\n"
              "CheckCall0 JA1ABC 15m RTTY (prefix JA): 2 new\n");  // band and mode of the last QSO
}

TEST(ReplayRun, HostVersionReachesThePlugin) {
    TempWorkDir dir;
    ReplayOptions o = SmallLogOptions();
    o.hostVersion = "2.20";
    o.checks = {"K1ABC:30m:RTTY"};
    ReplayRunResult r = Replay(o);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.summary.checkCodes, std::vector<int>{1});  // the rules failure code of host 2.20
}

TEST(ReplayRun, CabrilloAndAdifOfTheSameQsosScoreAlike) {
    TempWorkDir dir;
    ReplayOptions cab;
    cab.logPath = STATS_SOURCE_DIR "/examples/arrl-rtty-sample.log";
    cab.outDir = "cab";
    ReplayOptions adi = cab;
    adi.logPath = STATS_SOURCE_DIR "/examples/arrl-rtty-sample.adi";
    adi.outDir = "adi";
    ReplayRunResult a = Replay(cab), b = Replay(adi);
    ASSERT_EQ(a.code, 0) << a.err;
    ASSERT_EQ(b.code, 0) << b.err;
    EXPECT_EQ(a.summary.qsosRead, 328u);
    EXPECT_EQ(b.summary.qsosRead, 328u);
    EXPECT_EQ(a.summary.rejected, 2u);  // the 30 m and the CW QSO
    EXPECT_EQ(a.summary.prefixesUnresolved, 0u);
    EXPECT_EQ(a.summary.report, b.summary.report);
    std::string badQso = ReadFileBytes("cab/BadQSO_DezuvEZIR_05_01_2026.txt");
    EXPECT_EQ(badQso, ReadFileBytes("adi/BadQSO_DezuvEZIR_05_01_2026.txt"));
    // Two rejected QSOs, one bad state and five dupes, one of them in FT8 after RTTY on the same band.
    size_t lines = 0;
    for (char c : badQso) lines += c == '\n';
    EXPECT_EQ(lines, 1u + 2u + 1u + 5u);
    EXPECT_NE(badQso.find("  FT8  2026-01-04 1901  W1EG  599  CT  VE2DXY  -05  QC   DUPE !!!\r\n"), std::string::npos);
    EXPECT_EQ(a.summary.pluginScore, a.summary.claimedScore);
}

TEST(ReplayRun, PublishedLogsScoreByTheContestRules) {
    struct Case {
        const char* file;
        const char* totals;  // QSOs, points, DXCC, states/provinces, K, VE
        int dupes;
        long long score;
    } cases[] = {
        // 506 QSOs less 4 dupes and WP2B, whom today's country file puts in the USA, so its serial number is
        // a bad state; NF counts as NL; 18 entities besides the USA and Canada.
        {"ARRL-RTTY_2018_4U1WB.log", "Total\t 501\t 501\t 18\t 53\t 444\t 26\r\n", 4, 501 * (18 + 53)},
        // 542 RTTY and 156 FT8 QSOs less 8 dupes, one per station and band whatever the mode: KP4KE 15m,
        // KB6C 40m, AE6JV 80m, WB4MM 40m (the repeated line), W0TLE 20m, P49X 20m, AF6SA 20m, WB5BHS 40m.
        {"ARRL-RTTY_2019_AA2IL.log", "Total\t 690\t 690\t 17\t 52\t 625\t 27\r\n", 8, 690 * (17 + 52)},
        {"ARRL-RTTY_2025_9H1XT.log", "Total\t 309\t 309\t 37\t 35\t 99\t 6\r\n", 0, 309 * (37 + 35)},
        // An Alaska station: KH6ZM and ZF2SS are its two entities.
        {"ARRL-RTTY_2025_AL7LO.log", "Total\t 64\t 64\t 2\t 28\t 56\t 6\r\n", 0, 64 * (2 + 28)},
    };
    TempWorkDir dir;
    for (const Case& c : cases) {
        ReplayOptions o;
        o.logPath = STATS_SOURCE_DIR "/tests/data/published-logs/" + std::string(c.file);
        o.outDir = c.file;
        ReplayRunResult r = Replay(o);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.summary.report.find(c.totals), std::string::npos) << c.file << "\n" << r.summary.report;
        EXPECT_NE(r.summary.report.find("Dupe\t " + std::to_string(c.dupes) + "\r\n"), std::string::npos) << c.file;
        EXPECT_EQ(r.summary.pluginScore, c.score) << c.file;
        EXPECT_EQ(r.summary.rejected, 0u) << c.file;
    }
}

TEST(ReplayRun, HeaderFieldsReachTheSettingsFile) {
    TempWorkDir dir;
    ReplayOptions o = SmallLogOptions();
    o.cabrillo = true;
    for (const char* h : {"NAME=Jo Smith", "ADDRESS-CITY=Newington", "EMAIL=jo@example.org", "SOAPBOX=line one\nline two"}) {
        HeaderValue v;
        std::string error;
        ASSERT_TRUE(ParseHeaderOption(h, v, error)) << error;
        o.headers.push_back(v);
    }
    ReplayRunResult r = Replay(o);
    ASSERT_EQ(r.code, 0) << r.err;
    // Natively they are written before the reset; on Windows the header dialog, filled in by the replay,
    // stores them when OK is pressed.
    std::string ini = ReadFileBytes("out/Plugins/ARRL-RTTY.ini");
    for (const char* entry : {"Name=Jo Smith\r\n", "Address_City=Newington\r\n", "Email=jo@example.org\r\n",
                              "SoapBox=line one<CR><LF>line two\r\n"}) {
        EXPECT_NE(ini.find(entry), std::string::npos) << entry << "\n--- in ---\n" << ini;
    }
}

TEST(ReplayRun, FieldsOnlyTheDialogSetsReachTheCabrilloFileOnWindows) {
    TempWorkDir dir;
    ReplayOptions o = SmallLogOptions();
    o.cabrillo = true;
    for (const char* h : {"CATEGORY-POWER=LOW", "LOCATION=CT", "CALLSIGN=W1AW/P", "CLUB=Test Club"}) {
        HeaderValue v;
        std::string error;
        ASSERT_TRUE(ParseHeaderOption(h, v, error)) << error;
        o.headers.push_back(v);
    }
    ReplayRunResult r = Replay(o);
    ASSERT_EQ(r.code, 0) << r.err;
    std::string cbr = ReadFileBytes("out/W1AW.cbr");  // named after the own call, whatever the dialog says
    EXPECT_NE(cbr.find("CLUB: Test Club\r\n"), std::string::npos) << cbr;
#if defined(_WIN32)
    // The replay filled the dialog's edit and combo boxes as an operator would, and closed the message box.
    EXPECT_NE(r.err.find("[Cabrillo header] 4 field(s) filled, OK pressed\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("[Output] File produced: W1AW.cbr\n"), std::string::npos) << r.err;
    for (const char* line : {"CATEGORY-POWER: LOW\r\n", "LOCATION: CT\r\n", "CALLSIGN: W1AW/P\r\n",
                             "QSO: 14080 RY 2019-01-05 1814 W1AW/P        599 CT     K1ABC         599 MA\r\n"}) {
        EXPECT_NE(cbr.find(line), std::string::npos) << line << "\n--- in ---\n" << cbr;
    }
#else
    // Without the dialog they keep their defaults, and the replay says so.
    EXPECT_NE(cbr.find("CATEGORY-POWER: HIGH\r\n"), std::string::npos) << cbr;
    EXPECT_NE(cbr.find("CALLSIGN: W1AW\r\n"), std::string::npos) << cbr;
    EXPECT_NE(r.err.find("stats-replay: CATEGORY-POWER can only be set in the header dialog of the Windows build; "
                         "it keeps its default\n"),
              std::string::npos)
        << r.err;
#endif
}

TEST(ReplayRun, WhatCannotBeUsedIsOneLineAndExitCodeTwo) {
    TempWorkDir dir;
    WriteFileBytes("small.log", kSmallLog);
    struct Case {
        const char* what;
        ReplayOptions options;
        std::string error;
    };
    ReplayOptions missingLog;
    missingLog.logPath = "nothere.log";
    ReplayOptions missingCty = missingLog;
    missingCty.logPath = "small.log";
    missingCty.countryFile = "nothere.dat";
    ReplayOptions missingPlugin = missingCty;
    missingPlugin.countryFile = kDefaultCountryFile;
    missingPlugin.pluginPath = "nothere.so";
    const Case cases[] = {
        {"log", missingLog, "stats-replay: cannot read nothere.log: no such file\n"},
        {"cty", missingCty,
         "stats-replay: cannot read the country file nothere.dat (install the package hamradio-files, or give "
         "another with --cty FILE)\n"},
        {"plugin", missingPlugin, "stats-replay: cannot load the plug-in "},
    };
    for (const Case& c : cases) {
        ReplayRunResult r = Replay(c.options);
        EXPECT_EQ(r.code, 2) << c.what;
        EXPECT_EQ(r.err.rfind(c.error, 0), 0u) << c.what << ": " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << c.what << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << c.what;
    }
    EXPECT_FALSE(FileExists("stats-out"));  // nothing was started
}

}  // namespace
