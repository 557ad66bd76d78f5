// stats-replay against the real plug-in (libStats.so natively, Stats.dll under wine): what it passes shows in
// the plug-in's bad-QSO file and answers, and what it cannot use is reported, never lost.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "common/text.h"
#include "plugin/plugin_library.h"
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
                             "small.log:6: refused by the plug-in: G3ABC 30m RTTY: WRONG BAND\n",
                             "small.log:7: refused by the plug-in: K2ABC 40m CW: WRONG MODE\n",
                             "small.log:8: logged by the plug-in, not counted: VE3ABC 20m RTTY: State/Province is not "
                             "acceptable (XX)\n",
                             "small.log:9: logged by the plug-in, not counted: K1ABC 20m RTTY: DUPE\n"}) {
        EXPECT_NE(r.err.find(line), std::string::npos) << line << "\n--- in ---\n" << r.err;
    }
    // The summary tells what the plug-in refused from what it logged and does not count, each by its reason.
    const std::string summary = r.err.substr(r.err.find("stats-replay: small.log (Cabrillo)"));
    EXPECT_EQ(summary.substr(0, summary.find("stats-replay: score")),
              "stats-replay: small.log (Cabrillo): 8 QSOs read: 4 counted, 2 logged but not counted, 2 refused by the "
              "plug-in; 2 lines skipped, 1 prefix not resolved, 0 QSOs outside the contest period 2019-01-05 1800 to "
              "2019-01-07 0000\n"
              "stats-replay: refused by the plug-in (AddData0 answered 0): 1 WRONG BAND (30m), 1 WRONG MODE (CW)\n"
              "stats-replay: logged by the plug-in, not counted: 1 DUPE, 1 State/Province is not acceptable (XX)\n");
    // The report went out exactly as the plug-in returned it, and into the output folder too.
    EXPECT_EQ(r.out, r.summary.report);
    EXPECT_EQ(ReadFileBytes("out/report.txt"), r.summary.report);
    // The replay came back to where it started, and the plug-in started no status windows.
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), dir.Path()));
    EXPECT_NE(ReadFileBytes("out/Plugins/ARRL-RTTY.ini").find("Start=0"), std::string::npos);
}

// The summary sets the plug-in's score beside the log's claim, the difference named the right way round; and
// names the period, which --start alone makes 30 hours long to the minute.
TEST(ReplayRun, SummaryNamesThePeriodAndSetsTheScoreBesideTheClaim) {
    TempWorkDir dir;
    const std::string log = kSmallLog;
    const std::string claimLine = "CLAIMED-SCORE: 99\n";
    for (const auto& [claim, said] : std::vector<std::pair<std::string, std::string>>{
             {"99", "score: plug-in 8, log claims 99 (the plug-in's is 91 lower)\n"},
             {"5", "score: plug-in 8, log claims 5 (the plug-in's is 3 higher)\n"},
             {"8", "score: plug-in 8, log claims 8 (the same)\n"},
             {"", "score: plug-in 8, log claims nothing\n"},
         }) {
        std::string text = log;
        text.replace(text.find(claimLine), claimLine.size(), claim.empty() ? "" : "CLAIMED-SCORE: " + claim + "\n");
        WriteFileBytes("claim.log", text);
        ReplayOptions o;
        o.logPath = "claim.log";
        o.outDir = "out-" + claim;
        o.start = COleDateTime::FromFields(2019, 1, 5, 18, 10);
        ReplayRunResult r = Replay(o);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.err.find("stats-replay: " + said), std::string::npos) << claim << "\n" << r.err;
        EXPECT_NE(r.err.find(" outside the contest period 2019-01-05 1810 to 2019-01-07 0010\n"), std::string::npos)
            << r.err;
    }
}

TEST(ReplayRun, AnswersCheckCallAfterTheReplay) {
    TempWorkDir dir;
    ReplayOptions o = SmallLogOptions();
    o.checks = {"K1ABC:20m:RTTY", "k1abc:20M:PACKET", "K1ABC:40m:FT8", "DL9XYZ:15m:RTTY", "JA1ABC:20m:RTTY", "K1ABC:30m:RTTY",
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
    EXPECT_EQ(a.summary.rejected, 3u);  // the 30 m, the CW and the FT8 QSO (no mode of the 2026 contest)
    EXPECT_EQ(a.summary.prefixesUnresolved, 0u);
    EXPECT_EQ(a.summary.report, b.summary.report);
    std::string badQso = ReadFileBytes("cab/BadQSO_DezuvEZIR_05_01_2026.txt");
    EXPECT_EQ(badQso, ReadFileBytes("adi/BadQSO_DezuvEZIR_05_01_2026.txt"));
    // Three rejected QSOs, one bad state and four dupes.
    size_t lines = 0;
    for (char c : badQso) lines += c == '\n';
    EXPECT_EQ(lines, 1u + 3u + 1u + 4u);
    EXPECT_NE(badQso.find("  FT8  2026-01-04 1901  W1EG  599  CT  VE2DXY  -05  QC   WRONG MODE !!!\r\n"), std::string::npos);
    EXPECT_EQ(a.summary.pluginScore, a.summary.claimedScore);
}

TEST(ReplayRun, PublishedLogsScoreByTheContestRules) {
    struct Case {
        const char* file;
        const char* totals;  // QSOs, points, multipliers by kind (and K, VE QSOs in the Roundup)
        int dupes;
        long long score;
        const char* plugin = "Stats";
        size_t rejected = 0;
        const char* cabrillo = nullptr;  // the Cabrillo file the plug-in must write, from the same folder
        const char* pageText = "";       // and a text the analysis page must hold
        const char* scoreLine = "";      // and the report's score line
    } cases[] = {
        // 506 QSOs less 4 dupes and WP2B, whom today's country file puts in the USA, so its serial number is
        // a bad state; NF counts as NL; 18 entities besides the USA and Canada.
        {"published-logs/ARRL-RTTY_2018_4U1WB.log", "Total\t 501\t 501\t 18\t 53\t 444\t 26\r\n", 4, 501 * (18 + 53)},
        // 542 RTTY and 156 FT8 QSOs less 8 dupes, one per station and band whatever the mode: KP4KE 15m,
        // KB6C 40m, AE6JV 80m, WB4MM 40m (the repeated line), W0TLE 20m, P49X 20m, AF6SA 20m, WB5BHS 40m.
        {"published-logs/ARRL-RTTY_2019_AA2IL.log", "Total\t 690\t 690\t 17\t 52\t 625\t 27\r\n", 8, 690 * (17 + 52)},
        {"published-logs/ARRL-RTTY_2025_9H1XT.log", "Total\t 309\t 309\t 37\t 35\t 99\t 6\r\n", 0, 309 * (37 + 35)},
        // An Alaska station: KH6ZM and ZF2SS are its two entities.
        {"published-logs/ARRL-RTTY_2025_AL7LO.log", "Total\t 64\t 64\t 2\t 28\t 56\t 6\r\n", 0, 64 * (2 + 28)},
        // The CQ WW RTTY log worked by hand (tests/data/cq-ww-rtty/README.md): 58 QSOs, 132 points, 40 zones,
        // 41 countries and 25 QTHs, band by band; one QSO on 30 m refused.
        {"cq-ww-rtty/K1HW-hand-worked.log", "Total\t 58\t 132\t 40\t 41\t 25\r\n", 2, 132 * (40 + 41 + 25),
         "StatsCQWW", 1, "cq-ww-rtty/K1HW-hand-worked.cbr",
         "<h3>CQ zones by band: 40 over the bands</h3>",
         "\r\nScore = 132 *( 40 + 41 + 25) = 13992 \r\n"},
        // Four more worked by hand at the rules' edges (the same README): QSOs outside the period, corrected
        // resends, maritime mobile stations, W/VE QTHs of the other country, the WAE-only countries.
        {"cq-ww-rtty/JA1HW-hand-worked.log", "Total\t 54\t 138\t 41\t 48\t 9\r\n", 4, 138 * (41 + 48 + 9),
         "StatsCQWW", 1, nullptr, "", "\r\nScore = 138 *( 41 + 48 + 9) = 13524 \r\n"},
        {"cq-ww-rtty/IT9HW-hand-worked.log", "Total\t 54\t 136\t 32\t 49\t 11\r\n", 4, 136 * (32 + 49 + 11),
         "StatsCQWW", 1},
        {"cq-ww-rtty/VE3HW-hand-worked.log", "Total\t 54\t 115\t 33\t 36\t 23\r\n", 2, 115 * (33 + 36 + 23),
         "StatsCQWW", 1},
        {"cq-ww-rtty/KH6HW-hand-worked.log", "Total\t 51\t 131\t 38\t 44\t 13\r\n", 4, 131 * (38 + 44 + 13),
         "StatsCQWW", 1},
        // The CQ WPX RTTY logs worked by hand (tests/data/cq-wpx-rtty/README.md): prefixes of every kind of call and
        // portable designator, points doubled on 80 and 40 m.
        {"cq-wpx-rtty/N1HW-hand-worked.log", "Total\t 35\t 116\t 26\r\n", 1, 116 * 26, "StatsWPX", 1, nullptr,
         "<h3>Prefixes, each counted once</h3>", "\r\nScore = 116 *( 26) = 3016 \r\n"},
        {"cq-wpx-rtty/DL1HW-hand-worked.log", "Total\t 35\t 110\t 31\r\n", 1, 110 * 31, "StatsWPX", 1, nullptr,
         "<td class=\"l\">RA0</td>", "\r\nScore = 110 *( 31) = 3410 \r\n"},
    };
    TempWorkDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ReplayOptions o;
        o.logPath = STATS_SOURCE_DIR "/tests/data/" + std::string(c.file);
        o.outDir = std::filesystem::path(c.file).filename().string();
        o.pluginPath = (std::filesystem::path(ProgramDirectory()) / PluginFileNameOf(c.plugin)).string();
        o.analysis = true;
        o.cabrillo = c.cabrillo != nullptr;
        ReplayRunResult r = Replay(o);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.summary.report.find(c.totals), std::string::npos) << r.summary.report;
        // The analysis page counts the same QSOs and multipliers as the plug-in.
        const std::string page = ReadFileBytes(o.outDir + "/analysis.html");
        const std::string score = text::Format("<b>%d,%03d</b>", int(c.score / 1000), int(c.score % 1000));
        EXPECT_NE(page.find(score), std::string::npos) << score;
        EXPECT_EQ(page.find("is not the"), std::string::npos);
        EXPECT_NE(page.find(c.pageText), std::string::npos) << c.pageText;
        EXPECT_NE(r.summary.report.find(c.scoreLine), std::string::npos) << c.scoreLine;
        // It names the plug-in that scored the log, as the file holds it on either system.
        EXPECT_NE(page.find(std::string(" scored by the ") + c.plugin + " plug-in; "), std::string::npos);
        EXPECT_NE(r.summary.report.find("Dupe\t " + std::to_string(c.dupes) + "\r\n"), std::string::npos);
        EXPECT_EQ(r.summary.pluginScore, c.score);
        EXPECT_EQ(r.summary.rejected, c.rejected);
        if (c.cabrillo) {
            const std::string expected = ReadFileBytes(STATS_SOURCE_DIR "/tests/data/" + std::string(c.cabrillo));
            EXPECT_EQ(ReadFileBytes(o.outDir + "/K1HW.cbr"), expected);
        }
    }
}

std::vector<HeaderValue> HeaderOptions(std::initializer_list<const char*> options) {
    std::vector<HeaderValue> values;
    for (const char* h : options) {
        HeaderValue v;
        std::string error;
        EXPECT_TRUE(ParseHeaderOption(h, v, error)) << error;
        values.push_back(v);
    }
    return values;
}

// The Cabrillo header comes from the log and --header, the same on both builds (this test runs natively and
// under wine against the same bytes); what the log lacks is empty, whatever an earlier station stored in
// the same output folder.
TEST(ReplayRun, CabrilloHeaderComesFromTheLogAndNotFromAnEarlierRun) {
    TempWorkDir dir;
    WriteFileBytes("first.log",
                   "START-OF-LOG: 3.0\nCALLSIGN: W1AW\nLOCATION: CT\nCATEGORY-POWER: LOW\nOPERATORS: W1AW K1XX\n"
                   "NAME: Hiram Maxim\nCLUB: Old Club\nEMAIL: hpm@example.org\n"
                   "QSO: 14080 RY 2019-01-05 1814 W1AW 599 CT K1ABC 599 MA\nEND-OF-LOG:\n");
    ReplayOptions first;
    first.logPath = "first.log";
    first.outDir = "out";
    first.cabrillo = true;
    first.headers = HeaderOptions({"CATEGORY-POWER=QRP", "CALLSIGN=W1AW/P", "SOAPBOX=line one\nline two",
                                   "ADDRESS-CITY=Newington", "CATEGORY-OVERLAY=ROOKIE"});
    ReplayRunResult a = Replay(first);
    ASSERT_EQ(a.code, 0) << a.err;
    std::string cbr = ReadFileBytes("out/W1AW.cbr");  // named after the own call, whatever the header says
    for (const char* line : {"LOCATION: CT\r\n", "CALLSIGN: W1AW/P\r\n", "CLUB: Old Club\r\n", "CATEGORY-POWER: QRP\r\n",
                             "OPERATORS: W1AW K1XX\r\n", "ADDRESS-CITY: Newington\r\n",
                             "SOAPBOX: line one\r\nSOAPBOX: line two\r\n",
                             "QSO: 14080 RY 2019-01-05 1814 W1AW/P        599 CT     K1ABC         599 MA\r\n"}) {
        EXPECT_NE(cbr.find(line), std::string::npos) << line << "\n--- in ---\n" << cbr;
    }
    EXPECT_NE(a.err.find("stats-replay: Cabrillo header: from --header: CALLSIGN CATEGORY-OVERLAY CATEGORY-POWER "
                         "ADDRESS-CITY SOAPBOX; from the log: LOCATION OPERATORS NAME CLUB EMAIL; empty: "),
              std::string::npos)
        << a.err;
#if defined(_WIN32)
    // The replay filled the dialog's edit and combo boxes as an operator would, and closed the message box.
    EXPECT_NE(a.err.find("[Cabrillo header] 20 field(s) filled, OK pressed\n"), std::string::npos) << a.err;
    EXPECT_NE(a.err.find("[Output] File produced: W1AW.cbr\n"), std::string::npos) << a.err;
#endif

    // A second station in the same folder, with a header of its own lowercase call only.
    WriteFileBytes("second.log", "START-OF-LOG: 3.0\nCALLSIGN: k2xyz\n"
                                 "QSO: 7080 RY 2019-01-05 1900 K2XYZ 599 NY DL1ABC 599 001\nEND-OF-LOG:\n");
    ReplayOptions second = first;
    second.logPath = "second.log";
    second.headers.clear();
    ReplayRunResult b = Replay(second);
    ASSERT_EQ(b.code, 0) << b.err;
    EXPECT_EQ(ReadFileBytes("out/K2XYZ.cbr"),
              "START-OF-LOG: 3.0\r\nLOCATION: \r\nCALLSIGN: K2XYZ\r\nCLUB: \r\nCONTEST: ARRL-RTTY\r\n"
              "CATEGORY-OPERATOR: \r\nCATEGORY-ASSISTED: \r\nCATEGORY-BAND: \r\nCATEGORY-MODE: \r\n"
              "CATEGORY-POWER: \r\nCATEGORY-STATION: \r\nCATEGORY-TRANSMITTER: \r\nCLAIMED-SCORE: 1\r\n"
              "OPERATORS: \r\nNAME: \r\nADDRESS: \r\nADDRESS-CITY: \r\nADDRESS-STATE-PROVINCE: \r\n"
              "ADDRESS-POSTALCODE: \r\nADDRESS-COUNTRY: \r\nSOAPBOX: \r\nCREATED-BY: Tolv Tolv\r\nEMAIL: \r\n"
              "QSO:  7080 RY 2019-01-05 1900 K2XYZ         599 NY     DL1ABC        599 001\r\n"
              "END-OF-LOG:\r\n");
    EXPECT_NE(b.err.find("stats-replay: Cabrillo header: from the log: CALLSIGN; empty: LOCATION CATEGORY-OPERATOR "),
              std::string::npos)
        << b.err;
}

// What a contester must hear about: calls of any case are one station, QSOs outside the contest period and
// QSOs without a received exchange are named, rejections are counted by reason, and an old country file is
// said once.
TEST(ReplayRun, SurprisesAreNamed) {
    TempWorkDir dir;
    WriteFileBytes("s.log", "START-OF-LOG: 3.0\nCALLSIGN: W1AW\n"
                            "QSO: 14080 RY 2019-01-05 1800 W1AW 599 CT k1abc 599 MA\n"  // 3: first minute
                            "QSO: 14081 RY 2019-01-05 1815 w1aw 599 CT K1ABC 599 MA\n"  // 4: dupe of 3
                            "QSO: 14082 RY 2019-01-05 1816 W1AW 599 CT K2ABC 599\n"     // 5: no exchange
                            "QSO: 14083 RY 2019-01-05 1759 W1AW 599 CT K3ABC 599 NY\n"  // 6: a minute early
                            "QSO: 14084 RY 2019-01-07 0000 W1AW 599 CT K4ABC 599 NY\n"  // 7: the end itself
                            "QSO: 14085 RY 2019-01-06 2359 W1AW 599 CT K5ABC 599 NY\n"  // 8: last minute
                            "QSO: 7080 CW 2019-01-05 1817 W1AW 599 CT K6ABC 599 NY\n"   // 9
                            "QSO: 7081 CW 2019-01-05 1818 W1AW 599 CT K7ABC 599 NY\n"   // 10
                            "QSO: 7082 RY 2019-01-05 1819\n"                           // 11: skipped
                            "END-OF-LOG:\n");
    const std::string countries = "United States:05:08:NA:43.00:87.90:5.0:K:\n    K,W,=VER%s;\n"
                                  "Fed. Rep. of Germany:14:28:EU:51.00:-10.00:-1.0:DL:\n    DL;\n";
    struct Case {
        const char* edition;
        bool old;
    };
    // The contest starts 2019-01-05 18:00: one edition a whole year (and 18 hours) before it, one a day more.
    for (const Case& c : {Case{"20180105", false}, Case{"20180104", true}}) {
        SCOPED_TRACE(c.edition);
        WriteFileBytes("cty.dat", text::Format(countries.c_str(), c.edition));
        ReplayOptions o;
        o.logPath = "s.log";
        o.outDir = c.edition;
        o.countryFile = "cty.dat";
        ReplayRunResult r = Replay(o);
        ASSERT_EQ(r.code, 0) << r.err;
        const std::string oldCty = "stats-replay: the country file cty.dat is of 2018-01-04, more than a year before "
                                   "the contest: calls issued since may get no or a wrong prefix; give a newer one with "
                                   "--cty FILE\n";
        EXPECT_EQ(r.err.find(oldCty) != std::string::npos, c.old) << r.err;
        if (c.old) continue;
        EXPECT_EQ(ReadFileBytes(std::string(c.edition) + "/BadQSO_DezuvEZIR_07_01_2019.txt"),
                  "ARRL-RTTY-Roundup Contest UBN file\r\n"
                  "QSO:  14081  RTTY  2019-01-05 1815  W1AW  599  CT  K1ABC  599  MA   DUPE !!!\r\n"
                  "QSO:  14082  RTTY  2019-01-05 1816  W1AW  599  CT  K2ABC  599     NO RX NUMBER !!!\r\n"
                  "QSO:  14083  RTTY  2019-01-05 1759  W1AW  599  CT  K3ABC  599  NY   OUTSIDE CONTEST PERIOD !!!\r\n"
                  "QSO:  14084  RTTY  2019-01-07 0000  W1AW  599  CT  K4ABC  599  NY   OUTSIDE CONTEST PERIOD !!!\r\n"
                  "QSO:  7080  CW  2019-01-05 1817  W1AW  599  CT  K6ABC  599  NY   WRONG MODE !!!\r\n"
                  "QSO:  7081  CW  2019-01-05 1818  W1AW  599  CT  K7ABC  599  NY   WRONG MODE !!!\r\n");
        for (const char* line :
             {"s.log:5: note: no received exchange for K2ABC (passed on empty)\n",
              "s.log:6: logged by the plug-in, not counted: K3ABC 20m RTTY: OUTSIDE CONTEST PERIOD\n",
              "s.log:7: logged by the plug-in, not counted: K4ABC 20m RTTY: OUTSIDE CONTEST PERIOD\n",
              "s.log:5: refused by the plug-in: K2ABC 20m RTTY: NO RX NUMBER\n",
              "stats-replay: s.log (Cabrillo): 8 QSOs read: 2 counted, 3 logged but not counted, 3 refused by the "
              "plug-in; 1 line skipped, 0 prefixes not resolved, 2 QSOs outside the contest period 2019-01-05 1800 "
              "to 2019-01-07 0000\n",
              "stats-replay: refused by the plug-in (AddData0 answered 0): 2 WRONG MODE (CW), 1 NO RX NUMBER\n",
              "stats-replay: logged by the plug-in, not counted: 2 OUTSIDE CONTEST PERIOD, 1 DUPE\n"}) {
            EXPECT_NE(r.err.find(line), std::string::npos) << line << "\n--- in ---\n" << r.err;
        }
        EXPECT_EQ(r.summary.outsidePeriod, 2u);
        EXPECT_EQ(r.err.find("K5ABC"), std::string::npos) << r.err;
    }
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
    auto input = [](const char* name, const std::string& bytes) {
        if (*name) WriteFileBytes(name, bytes);
        ReplayOptions o;
        o.logPath = *name ? name : "folder";
        return o;
    };
    std::filesystem::create_directory("folder");
    const Case cases[] = {
        {"log", missingLog, "stats-replay: cannot read nothere.log: no such file\n"},
        {"folder", input("", ""), "stats-replay: cannot read folder: it is a folder\n"},
        {"empty", input("empty.log", ""), "stats-replay: empty.log is empty: no QSOs to replay\n"},
        {"binary", input("binary.log", std::string("QSO:\x89PNG\0\0\x1a", 10)),
         "stats-replay: binary.log is binary (a zero byte at byte 9), not a Cabrillo or ADIF log\n"},
        {"UTF-16", input("wide.log", std::string("\xFF\xFEQ\0S\0O\0:\0", 10)),
         "stats-replay: wide.log is UTF-16 text, which the readers do not decode: save it as ASCII or UTF-8 and "
         "replay it again\n"},
        {"UTF-16 without BOM", input("wide2.log", std::string("Q\0S\0O\0:\0 \0", 10)),
         "stats-replay: wide2.log is UTF-16 text, "},
        {"header only", input("header.log", "START-OF-LOG: 3.0\nCALLSIGN: W1AW\nEND-OF-LOG:\n"),
         "stats-replay: header.log (Cabrillo) holds no QSO that can be read: nothing to replay\n"},
        {"ADIF header only", input("header.adi", "log\n<ADIF_VER:5>3.1.4<EOH>\n"),
         "stats-replay: header.adi (ADIF) holds no QSO that can be read: nothing to replay\n"},
        {"no QSO readable", input("bad.log", "START-OF-LOG: 3.0\nQSO: 14080 RY 2019-01-05\nnonsense\n"),
         "stats-replay: bad.log (Cabrillo) holds no QSO that can be read: 2 line(s) not used, the first, line 2: "
         "QSO line has 3 fields, expected 10 (freq mode date time mycall rst exch call rst exch)\n"},
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
    EXPECT_FALSE(FileExists("stats-out"));  // nothing was started, nothing written
}

}  // namespace
