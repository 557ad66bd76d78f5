// The analysis page's computations on hand-made logs whose answers can be counted by hand, and the page of a
// small log replayed through the real plug-in.
#include <gtest/gtest.h>

#include <sstream>

#include "analysis.h"
#include "contest_dates.h"
#include "replay.h"
#include "temp_dir.h"

using namespace replay;

namespace {

// Minutes of 2019-01-05 (the Saturday of that year's contest) at hh:mm; an hour past 23 is the next day.
long long At(int hour, int minute) {
    return WholeMinutes(COleDateTime::FromFields(2019, 1, 5)) + hour * 60 + minute;
}

TEST(Analysis, BestWindowsSlideAcrossTheHour) {
    struct Case {
        std::vector<long long> minutes;
        int width;
        int qsos;
        long long start;
    } cases[] = {
        // 14:56 to 15:05 holds five; 15:06 is the first minute after it, so 14:58 to 15:07 ties and the
        // earlier window stands.
        {{At(14, 50), At(14, 56), At(14, 58), At(15, 0), At(15, 1), At(15, 5), At(15, 6), At(15, 30)},
         10,
         5,
         At(14, 56)},
        {{At(14, 50), At(14, 56), At(14, 58), At(15, 0), At(15, 1), At(15, 5), At(15, 6), At(15, 30)},
         60,
         8,
         At(14, 50)},
        // Exactly 60 minutes apart: not in one window.
        {{At(14, 0), At(15, 0)}, 60, 1, At(14, 0)},
        {{At(14, 0), At(14, 59)}, 60, 2, At(14, 0)},
        // Three QSOs in one minute.
        {{At(9, 0), At(9, 30), At(9, 30), At(9, 30)}, 10, 3, At(9, 30)},
        {{}, 60, 0, 0},
    };
    for (const Case& c : cases) {
        BestWindow best = BestRate(c.minutes, c.width);
        EXPECT_EQ(best.qsos, c.qsos) << c.minutes.size() << " QSOs, width " << c.width;
        EXPECT_EQ(best.startMinute, c.start) << c.minutes.size() << " QSOs, width " << c.width;
    }
}

TEST(Analysis, OffPeriodsStartAtTheThreshold) {
    const long long start = At(18, 0), end = At(24 + 24, 0);
    struct Case {
        std::vector<long long> minutes;
        int threshold;
        std::vector<std::pair<long long, long long>> off;
    } cases[] = {
        // 29 minutes is on the air, 30 is off: at the start, between QSOs and before the end.
        {{At(18, 29), At(18, 58), At(19, 27), At(47, 30)}, 30, {{At(19, 27), At(47, 30)}, {At(47, 30), end}}},
        {{At(18, 30), At(18, 59)}, 30, {{start, At(18, 30)}, {At(18, 59), end}}},
        {{At(18, 0), At(47, 59)}, 30, {{At(18, 0), At(47, 59)}}},
        {{At(18, 0), At(18, 45), At(47, 59)}, 60, {{At(18, 45), At(47, 59)}}},
        // QSOs outside the period do not shorten it; no QSO in it: all of it is off.
        {{At(17, 59), At(48, 0)}, 30, {{start, end}}},
        {{}, 30, {{start, end}}},
    };
    for (const Case& c : cases) {
        std::vector<OffPeriod> off = OffPeriods(c.minutes, start, end, c.threshold);
        std::vector<std::pair<long long, long long>> got;
        for (const OffPeriod& p : off)
            got.emplace_back(p.from, p.to);
        EXPECT_EQ(got, c.off) << c.minutes.size() << " QSOs, threshold " << c.threshold;
    }
}

TEST(Analysis, BandChangesCountEachMoveInItsClockHour) {
    struct Case {
        std::vector<TimedBand> qsos;
        std::vector<int> perHour;  // hours 14 and 15
    } cases[] = {
        {{{At(14, 1), "20m"}, {At(14, 2), "15m"}, {At(14, 3), "20m"}}, {2, 0}},
        {{{At(14, 1), "20m"}, {At(14, 2), "20m"}, {At(14, 40), "20m"}}, {0, 0}},
        // Back to the band of the hour before: a change in the new hour.
        {{{At(14, 58), "20m"}, {At(15, 1), "40m"}, {At(15, 2), "40m"}}, {0, 1}},
        {{{At(13, 59), "15m"}, {At(14, 0), "20m"}, {At(15, 59), "10m"}, {At(16, 0), "15m"}}, {1, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BandChangesPerHour(c.qsos, At(14, 0) / 60, 2), c.perHour) << c.qsos.size() << " QSOs";
    }
}

TEST(Analysis, ScpListFindsCallsAndTheHomeCallOfPortableForms) {
    ScpList scp;
    scp.LoadFromText("# a comment\r\nW1AW\r\nDL1ABC\n  k2xyz \nAA1A\n#W9NOT\n");
    EXPECT_EQ(scp.Count(), 4u);
    const std::pair<const char*, bool> cases[] = {
        {"W1AW", true},   {"w1aw", true},       {"K2XYZ", true},   {"W1AW/7", true},   {"DL/W1AW", true},
        {"W1AW/P", true}, {"DL1ABC/QRP", true}, {"W1AX", false},   {"W9NOT", false},   {"", false},
        {"W1A", false},   {"W1AWX", false},     {"7/W1AX", false}, {"AA1A/KH6", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scp.Contains(c.first), c.second) << '"' << c.first << '"';

    std::vector<LogQso> log(4);
    const char* calls[] = {"W1AW", "N0NEW", "N0TWO", "N0TWO"};
    for (size_t i = 0; i < 4; ++i) {
        log[i].line = static_cast<int>(i) + 10;
        log[i].call = calls[i];
    }
    std::vector<QsoRef> unlisted = UnlistedSingleCalls(log, scp);
    ASSERT_EQ(unlisted.size(), 1u);  // N0TWO is in the log twice: no single busted call
    EXPECT_EQ(unlisted[0].call, "N0NEW");
    EXPECT_EQ(unlisted[0].line, 11);
}

TEST(Analysis, ConflictingStatesAreListedWithTheirLines) {
    struct Row {
        const char* call;
        const char* prefix;
        const char* band;
        const char* exchange;
    } rows[] = {
        {"W0TLE", "K", "20m", "MN"},  {"W0TLE", "K", "40m", "md"},    {"VO1AA", "VE", "20m", "NF"},
        {"VO1AA", "VE", "40m", "NL"}, {"DL1ABC", "DL", "20m", "001"}, {"DL1ABC", "DL", "40m", "002"},
        {"K1ABC", "K", "20m", "MA"},  {"K1ABC", "K", "40m", "123"},   {"W0TLE", "K", "80m", "MN"},
    };
    std::vector<LogQso> log;
    std::vector<QsoOutcome> outcomes;
    for (const Row& r : rows) {
        LogQso q;
        q.line = static_cast<int>(log.size()) + 1;
        q.call = r.call;
        q.band = r.band;
        q.exchRcvd = r.exchange;
        log.push_back(q);
        QsoOutcome o;
        o.prefix = r.prefix;
        outcomes.push_back(o);
    }
    // NF and NL are one province; serial numbers differ by nature.
    std::vector<ExchangeConflict> conflicts = ConflictingExchanges(log, outcomes);
    ASSERT_EQ(conflicts.size(), 1u);
    EXPECT_EQ(conflicts[0].call, "W0TLE");
    std::vector<int> lines;
    for (const QsoRef& q : conflicts[0].qsos)
        lines.push_back(q.line);
    EXPECT_EQ(lines, (std::vector<int>{1, 2, 9}));
}

// A log made of (minute, band, call), every QSO counted from a W/VE station sending MA.
Analysis AnalyseLog(const std::vector<std::tuple<long long, const char*, const char*>>& qsos,
                    const char* category) {
    ParsedLog log;
    std::vector<QsoOutcome> outcomes;
    log.fileName = "hand.log";
    if (category)
        log.header["CATEGORY-OPERATOR"] = category;
    for (const auto& t : qsos) {
        LogQso q;
        q.line = static_cast<int>(log.qsos.size()) + 1;
        q.time = FromWholeMinutes(std::get<0>(t));
        q.band = std::get<1>(t);
        q.call = std::get<2>(t);
        q.exchRcvd = "MA";
        log.qsos.push_back(q);
        QsoOutcome o;
        o.prefix = "K";
        o.added = true;
        outcomes.push_back(o);
    }
    AnalysisInput in;
    in.log = &log;
    in.outcomes = &outcomes;
    in.start = FromWholeMinutes(At(18, 0));
    in.end = FromWholeMinutes(At(48, 0));
    return Analyse(in);
}

// The rules' limits are flagged on the page exactly when broken: 24 hours on the air and two off blocks for a
// single operator, six band changes in a clock hour for MULTI-OP.
TEST(Analysis, PageFlagsTheLimitsOnlyWhenBroken) {
    const char* bands[] = {"20m", "15m"};
    auto changes = [&](int count) {  // `count` band changes in hour 20, then on the air for 24 hours or 25
        std::vector<std::tuple<long long, const char*, const char*>> q;
        for (int i = 0; i <= count; ++i)
            q.emplace_back(At(20, i), bands[i % 2], "W1AW");
        return q;
    };
    auto onFor = [&](std::vector<std::tuple<long long, const char*, const char*>> q, int hours) {
        for (long long m = At(20, 20); m <= At(20, 0) + hours * 60; m += 20)
            q.emplace_back(m, "20m", "W1AW");
        return q;
    };
    struct Case {
        const char* category;
        std::vector<std::tuple<long long, const char*, const char*>> qsos;
        std::vector<const char*> present, absent;
    } cases[] = {
        {"MULTI-OP", changes(6), {"No hour has more than 6 band changes."}, {"More than 6 band changes"}},
        {"MULTI-OP", changes(7), {"More than 6 band changes in 1 hour: Sat 20:00 (7)"}, {"No hour has more"}},
        {"SINGLE-OP", changes(7), {"is for MULTI-OP entries"}, {"More than 6 band changes"}},
        // Off 18:00-20:00 and from the last QSO to the end: 24 hours on the air in two blocks is allowed.
        {"SINGLE-OP",
         onFor(changes(1), 24),
         {"Within the single-operator limits on time."},
         {"more than the 24", "the rules allow"}},
        {"SINGLE-OP",
         onFor(changes(1), 25),
         {"On the air 25 h 00 min: more than the 24 hours"},
         {"blocks: the rules"}},
        {"MULTI-OP",
         onFor(changes(1), 25),
         {"MULTI-OP: the whole period may be operated."},
         {"more than the 24", "the rules allow"}},
        {nullptr,
         onFor({{At(18, 0), "20m", "W1AW"}, {At(19, 0), "20m", "W1AW"}}, 3),
         {"Off time in 3 blocks: the rules allow at most 2."},
         {}},
    };
    for (const Case& c : cases) {
        const std::string page = AnalysisPage(AnalyseLog(c.qsos, c.category));
        for (const char* text : c.present)
            EXPECT_NE(page.find(text), std::string::npos) << text;
        for (const char* text : c.absent)
            EXPECT_EQ(page.find(text), std::string::npos) << text;
    }
}

const char* const kSmallLog =
    "START-OF-LOG: 3.0\n"
    "CALLSIGN: W1AW\n"
    "CATEGORY-OPERATOR: SINGLE-OP\n"
    "CLAIMED-SCORE: 99\n"
    "QSO: 14080 RY 2019-01-05 1814 W1AW 599 CT K1ABC 599 MA\n"    // 5: new
    "QSO: 14081 RY 2019-01-05 1815 W1AW 599 CT DL1ABC 599 001\n"  // 6: new
    "QSO: 10140 RY 2019-01-05 1816 W1AW 599 CT G3ABC 599 002\n"   // 7: 30m
    "QSO: 7080 CW 2019-01-05 1817 W1AW 599 CT K2ABC 599 NY\n"     // 8: CW
    "QSO: 14082 RY 2019-01-05 1818 W1AW 599 CT VE3ABC 599 XX\n"   // 9: no such province
    "QSO: 14083 RY 2019-01-05 1819 W1AW 599 CT K1ABC 599 MA\n"    // 10: dupe of line 5
    "QSO: 21080 RY 2019-01-05 1920 W1AW 599 CT DL2ABC 599 002\n"  // 11: DL worked before
    "QSO: 21081 RY 2019-01-05 1921 W1AW 599 CT W1AW 599 CT\n"     // 12: new state
    "QSO: 21082 RY 2019-01-05 2022 W1AW 599 CT W1QK 599 NS\n"     // 13: a US call, the log's only NS
    "QSO: 21083 RY 2019-01-05 2023 W1AW 599 CT VE3XYZ 599 NY\n"   // 14: a Canadian call sending a state
    "QSO: 21084 RY 2019-01-05 2024 W1AW 599 CT K2XYZ 599 ny\n"    // 15: NY from a US call
    "QSO: 21085 RY 2019-01-05 2025 W1AW 599 CT DL3ABC 599 MA\n"   // 16: a DX call sending a state
    "END-OF-LOG:\n";

// The replay asks CheckCall0 before each AddData0 and keeps every answer with its QSO; the page counts what
// the plug-in counted and agrees with its score.
TEST(Analysis, ReplayKeepsThePluginsAnswersAndThePageAgreesWithItsScore) {
    TempWorkDir dir;
    WriteFileBytes("small.log", kSmallLog);
    WriteFileBytes("calls.scp", "K1ABC\nW1AW\nDL1ABC\n");
    ReplayOptions o;
    o.logPath = "small.log";
    o.outDir = "out";
    o.analysis = true;
    o.scpFile = "calls.scp";
    std::ostringstream out, err;
    ReplaySummary summary;
    ASSERT_EQ(RunReplay(o, out, err, &summary), 0) << err.str();

    struct Expected {
        int checkCode;
        bool added;
        const char* reason;
    } expected[] = {
        {2, true, ""},
        {2, true, ""},
        {4, false, "WRONG BAND (30m)"},
        {4, false, "WRONG MODE (CW)"},
        {3, true, "State/Province is not acceptable (XX)"},
        {0, true, "DUPE"},
        {1, true, ""},
        {3, true, ""},
        {3, true, ""},
        {3, true, ""},
        {3, true, ""},
        {1, true, ""},
    };
    ASSERT_EQ(summary.outcomes.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(summary.outcomes[i].checkCode, expected[i].checkCode) << i;
        EXPECT_EQ(summary.outcomes[i].added, expected[i].added) << i;
        EXPECT_EQ(summary.outcomes[i].reason, expected[i].reason) << i;
    }
    // 8 counted QSOs x (MA, CT, NS, NY, DL) = 40, the plug-in's score: it counts the unlikely exchanges.
    ASSERT_EQ(summary.pluginScore, 40);
    const std::string page = ReadFileBytes("out/analysis.html");
    for (const char* text : {
             "<td class=\"l\">Plug-in</td><td>8</td><td>4 states/provinces + 1 DXCC = "
             "5</td><td><b>40</b></td>",
             "<td>99</td>",
             "<td>-59</td>",
             "<li>1 QSO refused by the plug-in: WRONG BAND (30m)</li>",
             "<li>1 QSO logged, not counted: DUPE</li>",
             "<li>1 QSO logged, not counted: State/Province is not acceptable (XX)</li>",
             // Two counted QSOs on 20m at 18:14 and 18:15, two on 15m at 19:20 and 19:21.
             "<td class=\"l\">Sat 18:00</td><td></td><td></td><td>2</td><td></td><td></td><td>2</td><td>2</td>",
             "<td class=\"l\">Sat 19:00</td><td></td><td></td><td></td><td>2</td><td></td><td>2</td><td>4</td>",
             "<td class=\"l\">Best 10 minutes</td><td>4</td><td class=\"l\">2019-01-05 20:22</td>",
             "<div class=\"cell needed\">NJ</div>",
             ">NS</div>",
             ">MA</div>",
             ">CT</div>",
             "<td class=\"l\">DL</td><td class=\"l\">Fed. Rep. of Germany</td><td class=\"l\">2019-01-05 "
             "18:15</td>",
             // Worked once and unlisted: the two rejected, the province that is none, DL2ABC.
             "<td>7</td><td class=\"l\">G3ABC</td>",
             "<td>11</td><td class=\"l\">DL2ABC</td>",
             // The exchanges a station of the call's country does not send, each with what its prefix
             // suggests; only NS rests on such a QSO alone (K2XYZ sent NY, DL1ABC gave DL).
             "<p class=\"flag\">3 counted QSOs carry a state or province unlikely for the call; 1 multiplier "
             "rests on such QSOs alone: see",
             "<tr><td>13</td><td class=\"l\">W1QK</td><td class=\"l\">2019-01-05 20:22</td><td "
             "class=\"l\">15m</td><td class=\"l\">NS (a Canadian province)</td><td class=\"l\">K (United States of "
             "America): a US state</td><td class=\"l\"><span class=\"flag\">NS rests on this QSO "
             "alone</span></td></tr>",
             "<tr><td>14</td><td class=\"l\">VE3XYZ</td><td class=\"l\">2019-01-05 20:23</td><td "
             "class=\"l\">15m</td><td class=\"l\">NY (a US state)</td><td class=\"l\">VE (Canada): a Canadian "
             "province</td><td class=\"l\">NY, also from other QSOs</td></tr>",
             "<tr><td>16</td><td class=\"l\">DL3ABC</td><td class=\"l\">2019-01-05 20:25</td><td "
             "class=\"l\">15m</td><td class=\"l\">MA (a US state)</td><td class=\"l\">DL (Fed. Rep. of "
             "Germany): a serial number</td><td class=\"l\">DL, also from other QSOs</td></tr>",
         }) {
        EXPECT_NE(page.find(text), std::string::npos) << text;
    }
    EXPECT_EQ(page.find("is not the"), std::string::npos);  // the page's count is the plug-in's
    EXPECT_EQ(page.find("K1ABC</td>"), std::string::npos);  // listed, and worked twice
    EXPECT_EQ(page.find("<td>15</td><td class=\"l\">K2XYZ</td><td class=\"l\">2019-01-05 20:24</td><td "
                        "class=\"l\">15m</td><td class=\"l\">ny (a US"),
              std::string::npos);
}

}  // namespace
