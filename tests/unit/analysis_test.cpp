// The analysis page's computations on hand-made logs whose answers can be counted by hand, and the page of a
// small log replayed through the real plug-in.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "contest/arrl_rtty_roundup.h"
#include "contest/cq_ww_rtty.h"
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
    std::vector<ExchangeConflict> conflicts = ConflictingExchanges(contest::ArrlRttyRoundup(), log, outcomes);
    ASSERT_EQ(conflicts.size(), 1u);
    EXPECT_EQ(conflicts[0].call, "W0TLE");
    std::vector<int> lines;
    for (const QsoRef& q : conflicts[0].qsos)
        lines.push_back(q.line);
    EXPECT_EQ(lines, (std::vector<int>{1, 2, 9}));
}

// What each doubtful QSO puts at risk, by hand: NY from one QSO alone, OH from two doubtful QSOs and nothing else,
// MA also from a QSO that is not doubtful (the boundary: its multiplier is not at risk), DL from a doubtful QSO
// and a QSO the plug-in did not count (which gives nothing). 6 counted QSOs x (NY OH MA DL) = 24.
TEST(Analysis, DoubtfulQsosRankedByWhatTheyPutAtRisk) {
    struct Row {
        const char *call, *prefix, *exchange;
        bool counted, doubtful;
    } rows[] = {
        {"K1MA", "K", "MA", true, true},     {"K2MA", "K", "MA", true, false}, {"K3OH", "K", "OH", true, true},
        {"K4OH", "K", "OH", true, true},     {"K5NY", "K", "NY", true, true},  {"DL1A", "DL", "001", true, true},
        {"DL2A", "DL", "002", false, true},
    };
    std::vector<LogQso> log;
    std::vector<QsoOutcome> outcomes;
    std::vector<QsoRef> unlisted;
    for (const Row& r : rows) {
        LogQso q;
        q.line = static_cast<int>(log.size()) + 1;
        q.call = r.call;
        q.band = "20m";
        q.exchRcvd = r.exchange;
        QsoOutcome o;
        o.prefix = r.prefix;
        o.added = true;
        o.reason = r.counted ? "" : "DUPE";
        if (r.doubtful)
            unlisted.push_back(QsoRef{q.line, q.call, q.band, q.exchRcvd, 0, log.size()});
        log.push_back(q);
        outcomes.push_back(o);
    }
    const Doubtful d = RankDoubtful(contest::ArrlRttyRoundup(), "K", log, outcomes, unlisted, {}, {});
    struct Expected {
        const char* call;
        bool sole;
        size_t restsOn;
        long long cost;
    } expected[] = {
        {"K5NY", true, 1, 24 - 5 * 3},  {"DL1A", true, 1, 24 - 5 * 3}, {"K3OH", false, 2, 24 - 5 * 4},
        {"K4OH", false, 2, 24 - 5 * 4}, {"K1MA", false, 0, 24 - 5 * 4},
    };
    ASSERT_EQ(d.qsos.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(d.qsos[i].qso.call, expected[i].call) << i;
        EXPECT_EQ(d.qsos[i].soleQso, expected[i].sole) << i;
        EXPECT_EQ(d.qsos[i].restsOn, expected[i].restsOn) << i;
        EXPECT_EQ(d.qsos[i].costIfLost, expected[i].cost) << i;
    }
    // All five lost: K2MA alone is left, with MA.
    EXPECT_EQ(d.multipliersAtRisk, 3u);
    EXPECT_EQ(d.scoreIfLost, 1);
}

// A log made of (minute, band, call, transmitter), every QSO counted from a W/VE station sending MA; its
// category is the operator field and, after a blank, the transmitter field. Its minutes are moved by `shift`.
using Qsos = std::vector<std::tuple<long long, const char*, const char*, int>>;
Analysis AnalyseLog(const Qsos& qsos, const char* category, long long shift = 0,
                    const contest::Record& contest = contest::ArrlRttyRoundup()) {
    ParsedLog log;
    std::vector<QsoOutcome> outcomes;
    log.fileName = "hand.log";
    if (category) {
        const std::string fields = category;
        log.header["CATEGORY-OPERATOR"] = fields.substr(0, fields.find(' '));
        if (fields.find(' ') != std::string::npos)
            log.header["CATEGORY-TRANSMITTER"] = fields.substr(fields.find(' ') + 1);
    }
    for (const auto& t : qsos) {
        LogQso q;
        q.line = static_cast<int>(log.qsos.size()) + 1;
        q.time = FromWholeMinutes(std::get<0>(t) + shift);
        q.band = std::get<1>(t);
        q.call = std::get<2>(t);
        q.transmitter = std::get<3>(t);
        q.exchRcvd = "MA";
        log.qsos.push_back(q);
        QsoOutcome o;
        o.prefix = "K";
        o.added = true;
        outcomes.push_back(o);
    }
    AnalysisInput in;
    in.contest = &contest;
    in.log = &log;
    in.outcomes = &outcomes;
    in.start = FromWholeMinutes(At(18, 0) + shift);
    in.end = FromWholeMinutes(At(48, 0) + shift);
    return Analyse(in);
}

// The rules' limits are flagged on the page exactly when broken: at most 24 hours on the air for every entrant,
// counted as the rules count it (the two longest breaks are the off time, every other break is operating
// time); the band changes in a clock hour of the multi-operator category as the rules of the log's year have it,
// counted on each transmitter's own QSOs where the rule binds each apart.
TEST(Analysis, PageFlagsTheLimitsOnlyWhenBroken) {
    const contest::Record* cqww = &contest::CqWwRtty();
    const char* bands[] = {"20m", "15m"};
    // `count` band changes in hour 20 (made by `transmitter`), then on the air for 24 hours or 25.
    auto changes = [&](int count, int transmitter = -1) {
        Qsos q;
        for (int i = 0; i <= count; ++i)
            q.emplace_back(At(20, i), bands[i % 2], "W1AW", transmitter);
        return q;
    };
    // Two transmitters in turn in hour 20, one changing between 20 and 15 m `first` times, the other between 40
    // and 10 m `second` times: every QSO is a change of the station. Named 0 and 1, or not named.
    auto two = [&](int first, int second, bool named) {
        Qsos q;
        for (int i = 0; i <= std::max(first, second); ++i) {
            if (i <= first) q.emplace_back(At(20, 2 * i), bands[i % 2], "W1AW", named ? 0 : -1);
            if (i <= second) q.emplace_back(At(20, 2 * i + 1), i % 2 ? "10m" : "40m", "W1AW", named ? 1 : -1);
        }
        return q;
    };
    auto between = [](Qsos q, long long from, long long to) {  // a QSO every 20 minutes
        for (long long m = from; m <= to; m += 20)
            q.emplace_back(m, "20m", "W1AW", -1);
        return q;
    };
    auto onFor = [&](Qsos q, int hours) { return between(std::move(q), At(20, 20), At(20, 0) + hours * 60); };
    // Off 3 h, 2 h 30 and 1 h: 6 h 30 in all, but the two longest make only 5 h 30.
    const Qsos threeBreaks = between(between(between({}, At(21, 0), At(30, 0)), At(32, 30), At(39, 50)),
                                     At(40, 50), At(47, 59));
    // Off 6 h in one block and six breaks of 40 minutes: all but one of them are operating time.
    Qsos manyBreaks = between({}, At(24, 0), At(26, 0));
    for (int k = 0; k < 5; ++k)
        manyBreaks = between(std::move(manyBreaks), At(26 + 4 * k, 40), At(30 + 4 * k, 0));
    manyBreaks = between(std::move(manyBreaks), At(46, 40), At(47, 59));
    // The contest of 2025, whose rules limit a multi-operator entry by its transmitters.
    const long long in2025 =
        WholeMinutes(COleDateTime::FromFields(2025, 1, 4)) - WholeMinutes(COleDateTime::FromFields(2019, 1, 5));
    struct Case {
        const char* category;
        Qsos qsos;
        std::vector<const char*> present, absent;
        long long shift = 0;
        const contest::Record* contest = &contest::ArrlRttyRoundup();
    } cases[] = {
        {"MULTI-OP", changes(6), {"No hour has more than 6 band changes, the 2019 limit for multi-operator"}, {"More than"}},
        {"MULTI-OP TWO", changes(7), {"More than 6 band changes, the 2019 limit for multi-operator entries, in 1 hour: "
                                      "Sat 20:00 (7)"}, {"No hour has more"}},
        {"SINGLE-OP", changes(7), {"No band-change limit binds this entry in 2019; the limits per clock hour are for "
                                   "multi-operator 6."}, {"More than"}},
        {"MULTI-OP", changes(10), {"No hour has more than 10 band changes, the 2025 limit for multi-operator, single "
                                   "transmitter entries."}, {"More than"}, in2025},
        {"MULTI-OP ONE", changes(11), {"More than 10 band changes"}, {"No hour has more"}, in2025},
        {"MULTI-OP TWO", changes(7), {"More than 6 band changes, the 2025 limit for multi-operator, two transmitters"},
         {"No hour has more"}, in2025},
        {"MULTI-OP UNLIMITED", changes(11), {"No band-change limit binds multi-operator, multi-transmitter entries in "
                                             "2025; the limits per clock hour are for multi-operator, single "
                                             "transmitter 10; multi-operator, two transmitters 6."}, {"More than"},
         in2025},
        // The CQ WW's eight on each transmitter; none for a multi-transmitter entry.
        {"MULTI-OP ONE", changes(8, 0), {"No hour has more than 8 band changes on any transmitter, the 2019 limit for "
                                         "each transmitter of multi-operator, single transmitter entries."},
         {"More than"}, 0, cqww},
        {"MULTI-OP TWO", two(8, 8, true), {"No hour has more than 8 band changes on any transmitter",
                                           "Most in one hour on one transmitter: 8; in all: 17."},
         {"More than", "fill=\"#B00020\""}, 0, cqww},
        {"MULTI-OP TWO", two(8, 9, true), {"More than 8 band changes, the 2019 limit for each transmitter of "
                                           "multi-operator, two transmitters entries, in 1 hour: Sat 20:00 "
                                           "(transmitter 1: 9)</p>"},
         {"No hour has more"}, 0, cqww},
        {"MULTI-OP TWO", two(8, 8, false), {"The log does not say which transmitter made each QSO (18 QSOs name "
                                            "none), so its band changes could not be counted per transmitter as the "
                                            "2019 limit for each transmitter of multi-operator, two transmitters "
                                            "entries (8) counts them"},
         {"More than", "No hour has more"}, 0, cqww},
        {"MULTI-OP UNLIMITED", changes(11, 0), {"No band-change limit binds multi-operator, multi-transmitter entries "
                                                "in 2019; the limits per clock hour are for multi-operator, single "
                                                "transmitter 8; multi-operator, two transmitters 8."},
         {"More than"}, 0, cqww},
        // Off 18:00-20:00 and 20:00 Sunday to the end: 24 hours on the air, the limit itself.
        {"SINGLE-OP", onFor(changes(1), 24), {"Within the rules on time: operating time by the rules 24 h 00 min"}, {": more than the"}},
        {"SINGLE-OP",
         onFor(changes(1), 25),
         {"<p class=\"flag\">Operating time by the rules 25 h 00 min: more than the 24 hours every entrant may "
          "operate. The 2 longest breaks make 5 h 00 min of the 6 hours of off time.</p>"},
         {"Within the rules"}},
        // The limit binds MULTI-OP too.
        {"MULTI-OP", onFor(changes(1), 25), {"more than the 24 hours every entrant may operate, MULTI-OP included"}, {}},
        {nullptr,
         threeBreaks,
         {"<td>23 h 30 min</td><td>6 h 30 min in 3 breaks</td>",
          "<td><b>24 h 30 min</b></td><td><span class=\"sw off\"></span>5 h 30 min in 2 blocks</td>",
          "Operating time by the rules 24 h 30 min: more than the 24 hours",
          "<td>1 h 00 min</td><td class=\"l\">operating time</td>"},
         {"Within the rules"}},
        {"SINGLE-OP",
         manyBreaks,
         {"10 h 00 min in 7 breaks", "Within the rules on time: operating time by the rules 23 h 20 min"},
         {": more than the"}},
    };
    for (const Case& c : cases) {
        const std::string page = AnalysisPage(AnalyseLog(c.qsos, c.category, c.shift, *c.contest));
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
    "QSO: 21082 RY 2019-01-05 2022 W1AW 599 CT W1QK 599 NS\n"     // 13: a US call sending a province
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
    WriteFileBytes("cty.dat",
                   "United States of America: 05: 08: NA: 37.60: 91.87: 5.0: K:\n    K,N,W,=VER20171201;\n"
                   "Canada: 05: 09: NA: 44.35: 78.75: 5.0: VE:\n    VA,VE,VO,VY;\n"
                   "Fed. Rep. of Germany: 14: 28: EU: 51.00: -10.00: -1.0: DL:\n    DA,DJ,DK,DL;\n"
                   "England: 14: 27: EU: 52.77: 1.47: 0.0: G:\n    G,M;\n");
    ReplayOptions o;
    o.logPath = "small.log";
    o.outDir = "out";
    o.analysis = true;
    o.scpFile = "calls.scp";
    o.countryFile = "cty.dat";
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
        {3, true, "State/Province is not acceptable (NS)"},
        {3, true, "State/Province is not acceptable (NY)"},
        {3, true, ""},
        {1, true, ""},
    };
    ASSERT_EQ(summary.outcomes.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(summary.outcomes[i].checkCode, expected[i].checkCode) << i;
        EXPECT_EQ(summary.outcomes[i].added, expected[i].added) << i;
        EXPECT_EQ(summary.outcomes[i].reason, expected[i].reason) << i;
    }
    // 6 counted QSOs x (MA, CT, NY, DL) = 24, the plug-in's score: a province from a US call and a state from a
    // Canadian one do not count, a state from a DX call (whose exchange is not tested) does.
    ASSERT_EQ(summary.pluginScore, 24);
    const std::string page = ReadFileBytes("out/analysis.html");
    for (const char* text : {
             "<td class=\"l\">Plug-in</td><td>6</td><td class=\"w\">3 states/provinces + 1 DXCC = "
             "4</td><td><b>24</b></td>",
             "<td>99</td>",
             "<td>-75</td>",
             "<li>1 QSO refused by the plug-in: WRONG BAND (30m)</li>",
             "<li>1 QSO logged, not counted: DUPE</li>",
             "<li>1 QSO logged, not counted: State/Province is not acceptable (XX)</li>",
             // Two counted QSOs on 20m at 18:14 and 18:15, two on 15m at 19:20 and 19:21.
             "<td class=\"l t\">Sat 18:00</td><td></td><td></td><td>2</td><td></td><td></td><td>2</td><td>2</td>",
             "<td class=\"l t\">Sat 19:00</td><td></td><td></td><td></td><td>2</td><td></td><td>2</td><td>4</td>",
             "<td class=\"l\">Best 10 minutes</td><td>2</td><td class=\"l\">2019-01-05 18:14</td>",
             "<div class=\"cell needed\">NJ</div>",
             "<div class=\"cell needed\">NS</div>",
             ">NY</div>",
             ">MA</div>",
             ">CT</div>",
             "<td class=\"l\">DL</td><td class=\"l\">Fed. Rep. of Germany</td><td class=\"l\">2019-01-05 "
             "18:15</td>",
             // The two times on the air, each under its own name.
             "<td class=\"l\">Active time (the contest period less every break of 30 minutes or more)</td>"
             "<td>0 h 23 min</td><td class=\"l\">15.7 per hour</td>",
             "<td class=\"l\">Operating time by the rules (the contest period less the 2 longest breaks, the off "
             "time; at most 24 hours)</td><td>1 h 24 min</td><td class=\"l\">4.3 per hour</td>",
             // The two longest breaks are the off time, in the bar and the table; two breaks of 1 h 01 min tie
             // and the earlier is off.
             ">1 off</text>", ">3 off</text>", ">2</text>", "off time: the 2 longest breaks</text>",
             "<td><span class=\"sw off\"></span>1</td>", "<td><span class=\"sw counted\"></span>2</td>",
             "<td><span class=\"sw off\"></span>3</td>",
             // Every QSO the score leaves out, with line, call and the plug-in's reason.
             "<tr><td>7</td><td class=\"l\">G3ABC</td><td class=\"l t\">2019-01-05 18:16</td><td class=\"l\">30m"
             "</td><td class=\"l\">002</td><td class=\"l\">refused</td><td class=\"l\">WRONG BAND (30m)</td>",
             "<tr><td>10</td><td class=\"l\">K1ABC</td><td class=\"l t\">2019-01-05 18:19</td><td class=\"l\">20m"
             "</td><td class=\"l\">MA</td><td class=\"l\">not counted</td><td class=\"l\">DUPE</td></tr>",
             // The data behind the figures, and the country file's age.
             "cty.dat, edition of 2017-12-01 <span class=\"flag\">more than a year before the contest",
             "<td class=\"l\">calls.scp</td>",
             // The doubtful QSOs: NY rests on K2XYZ alone; losing all three leaves 3 QSOs x (MA, CT, DL).
             "<tr class=\"risk\"><td class=\"l\">If the 3 doubtful QSOs were lost</td><td>3</td><td>3</td>"
             "<td>9</td></tr>",
             "<p class=\"risk\">Score at risk: 24 now, 9 if every doubtful QSO were lost (-15; 1 multiplier rests "
             "on them alone).</p>",
             "<tr class=\"risk\"><td>1</td><td>15</td><td class=\"l\">K2XYZ</td><td class=\"l t\">2019-01-05 20:24"
             "</td><td class=\"l\">15m</td><td class=\"l\">ny</td><td class=\"l\">worked once, not in the call "
             "list</td><td class=\"l\"><b>NY</b>: the only QSO that gives it</td><td>-9</td></tr>",
             // The exchanges a station of the call's country does not send, with what its prefix suggests.
             "<tr><td>16</td><td class=\"l\">DL3ABC</td><td class=\"l\">2019-01-05 20:25</td><td "
             "class=\"l\">15m</td><td class=\"l\">MA (a US state)</td><td class=\"l\">DL (Fed. Rep. of "
             "Germany): a serial number</td></tr>",
         }) {
        EXPECT_NE(page.find(text), std::string::npos) << text;
    }
    EXPECT_EQ(page.find("is not the"), std::string::npos);  // the page's count is the plug-in's
    EXPECT_EQ(page.find("on the air"), std::string::npos);  // no figure under a name of two meanings
    // Ranked: the sole multiplier, then points alone; K1ABC is listed and worked twice, K2XYZ's ny is a US state
    // from a US call; the QSOs not counted are at no risk.
    const std::string check = page.substr(page.find("<section id=\"check\">"));
    std::vector<size_t> at;
    for (const char* call : {">K2XYZ<", ">DL2ABC<", ">DL3ABC<"}) at.push_back(check.find(call));
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end()) && at.back() != std::string::npos);
    for (const char* call : {">K1ABC<", ">W1QK<", ">VE3XYZ<"}) EXPECT_EQ(check.find(call), std::string::npos) << call;
    EXPECT_EQ(check.find("ny (a US"), std::string::npos);
}

}  // namespace

namespace {

// A log counted by hand. Hour 18: MA, PE (sent as PEI, then as PE), a 30 m QSO the plug-in rejects, AK (a
// QSO, no multiplier), NL (sent as NF, then as LB), DL. Hour 19: NT (sent as NWT, then as NT), NL again, NY,
// PA, G.
const char* const kHandLog =
    "START-OF-LOG: 3.0\n"
    "CALLSIGN: W1AW\n"
    "CATEGORY-OPERATOR: SINGLE-OP\n"
    "QSO: 14080 RY 2019-01-05 1800 W1AW 599 CT K1ABC 599 MA\n"
    "QSO: 14080 RY 2019-01-05 1805 W1AW 599 CT VE1AA 599 PEI\n"
    "QSO: 14080 RY 2019-01-05 1807 W1AW 599 CT VY2AA 599 PE\n"
    "QSO: 10140 RY 2019-01-05 1810 W1AW 599 CT DL2ABC 599 001\n"
    "QSO: 14081 RY 2019-01-05 1814 W1AW 599 CT K7ABC 599 AK\n"
    "QSO: 7080 RY 2019-01-05 1830 W1AW 599 CT VO1AA 599 NF\n"
    "QSO: 7080 RY 2019-01-05 1840 W1AW 599 CT VO2AA 599 LB\n"
    "QSO: 7080 RY 2019-01-05 1850 W1AW 599 CT DL1ABC 599 002\n"
    "QSO: 14082 RY 2019-01-05 1905 W1AW 599 CT VE8AA 599 NWT\n"
    "QSO: 14082 RY 2019-01-05 1906 W1AW 599 CT VE8AB 599 NT\n"
    "QSO: 14082 RY 2019-01-05 1907 W1AW 599 CT VO1AB 599 NL\n"
    "QSO: 14083 RY 2019-01-05 1914 W1AW 599 CT W2AA 599 NY\n"
    "QSO: 14083 RY 2019-01-05 1915 W1AW 599 CT W3AA 599 PA\n"
    "QSO: 14083 RY 2019-01-05 1950 W1AW 599 CT G3ABC 599 003\n"
    "END-OF-LOG:\n";

// The log replayed through the plug-in (natively, and under wine through Stats.dll) and analysed as the page
// analyses it.
struct Replayed {
    int code = -1;
    std::string err;
    ReplaySummary summary;
    Analysis analysis;
};
Replayed ReplayAndAnalyse(const std::string& path, const std::string& outDir, std::vector<std::string> compare = {},
                          int offMinutes = 0) {
    ReplayOptions o;
    o.logPath = path;
    o.outDir = outDir;
    o.analysis = true;
    o.scpFile = "";
    o.compare = std::move(compare);
    o.offMinutes = offMinutes;
    Replayed r;
    std::ostringstream out, err;
    r.code = RunReplay(o, out, err, &r.summary);
    r.err = err.str();
    o.keepAnalysis = true;
    o.compare.clear();
    ReplaySummary kept;
    std::ostringstream out2, err2;
    if (RunReplay(o, out2, err2, &kept) == 0 && kept.analysis)
        r.analysis = *kept.analysis;
    return r;
}

}  // namespace

// Every figure of the page against the hand count: multipliers per hour and running (states, provinces and
// DXCC together, each older spelling once, AK none), the best windows at their exact edges, band changes
// without the rejected QSO, and the plug-in's own score and report.
TEST(Analysis, FiguresAgreeWithAHandCount) {
    TempWorkDir dir;
    WriteFileBytes("hand.log", kHandLog);
    Replayed r = ReplayAndAnalyse("hand.log", "out");
    ASSERT_EQ(r.code, 0) << r.err;
    // 13 QSOs counted x (MA PE NL NT NY PA + DL G): the AK QSO counts, Alaska adds nothing.
    EXPECT_EQ(r.summary.pluginScore, 13 * 8);
    EXPECT_NE(r.summary.report.find("Total\t 13\t 13\t 2\t 6\t 4\t 7\r\n"), std::string::npos) << r.summary.report;
    ASSERT_EQ(r.summary.outcomes.size(), 14u);
    EXPECT_TRUE(r.summary.outcomes[4].Counted());  // K7ABC sending AK

    const Analysis& a = r.analysis;
    ASSERT_EQ(a.hours.size(), 30u);
    struct Hour {
        int qsos, newStateProv, newDxcc, cumulativeMultipliers, bandChanges;
    } hours[] = {{7, 3, 1, 4, 1}, {6, 3, 1, 8, 1}, {0, 0, 0, 8, 0}};
    for (size_t h = 0; h < 3; ++h) {
        EXPECT_EQ(a.hours[h].qsos, hours[h].qsos) << h;
        EXPECT_EQ(a.hours[h].newMultipliers, (std::vector<int>{hours[h].newStateProv, hours[h].newDxcc})) << h;
        EXPECT_EQ(a.hours[h].cumulativeMultipliers, hours[h].cumulativeMultipliers) << h;
        EXPECT_EQ(a.hours[h].bandChanges, hours[h].bandChanges) << h;
    }
    EXPECT_EQ(a.noMultiplierStateQsos, 1u);
    EXPECT_EQ(a.bandQsos, (std::vector<int>{0, 3, 10, 0, 0}));  // 80, 40, 20, 15, 10 m
    EXPECT_EQ(a.bandNewMultipliers, (std::vector<int>{0, 2, 6, 0, 0}));

    const std::string page = ReadFileBytes("out/analysis.html");
    for (const char* text : {
             "<h3>US states and DC: 3 of 49</h3>",
             "<td class=\"l\">Plug-in</td><td>13</td><td class=\"w\">6 states/provinces + 2 DXCC = 8</td><td><b>104</b></td>",
             // [18:30, 19:30) holds 8; [18:07, 19:07) only 7, 19:07 being its first minute out.
             "<td class=\"l\">Best 60 minutes</td><td>8</td><td class=\"l\">2019-01-05 18:30</td><td "
             "class=\"l\">19:29</td><td>8 per hour</td>",
             // [19:05, 19:15) holds 4; [19:06, 19:16) ties and the earlier stands.
             "<td class=\"l\">Best 10 minutes</td><td>4</td><td class=\"l\">2019-01-05 19:05</td><td "
             "class=\"l\">19:14</td><td>24 per hour</td>",
             "<p>1 QSO with W/VE stations sending a state that is no multiplier (Alaska or Hawaii)",
             ">PE</div>",
             ">NL</div>",
             ">NT</div>",
         }) {
        EXPECT_NE(page.find(text), std::string::npos) << text;
    }
    for (const char* text : {">AK</div>", ">HI</div>", ">PEI</div>", ">NF</div>", ">LB</div>", ">NWT</div>"})
        EXPECT_EQ(page.find(text), std::string::npos) << text;
}

// The published DX log that the page once flagged for its seven breaks: its two longest make 11 h 24 min.
TEST(Analysis, PublishedLogWithManyBreaksIsWithinTheTimeRules) {
    TempWorkDir dir;
    Replayed r = ReplayAndAnalyse(STATS_SOURCE_DIR "/tests/data/published-logs/ARRL-RTTY_2025_9H1XT.log", "out");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.analysis.off.size(), 7u);
    EXPECT_EQ(r.analysis.operatingMinutes, 18 * 60 + 36);
    const std::string page = ReadFileBytes("out/analysis.html");
    for (const char* text : {"<td>6 h 19 min</td><td class=\"l\"><b>off time</b></td>",
                             "<td>5 h 05 min</td><td class=\"l\"><b>off time</b></td>",
                             "<td>4 h 52 min</td><td class=\"l\">operating time</td>",
                             "<p class=\"ok\">Within the rules on time: operating time by the rules 18 h 36 min"}) {
        EXPECT_NE(page.find(text), std::string::npos) << text;
    }
}

// What one station worked that the other did not: multipliers with their first QSO, calls without the other
// station's own call.
TEST(Analysis, CompareFindsWhatEachWorkedAlone) {
    Analysis a, b;
    a.ownCall = "W1AW";
    b.ownCall = "9H1XT";
    a.contest = b.contest = &contest::ArrlRttyRoundup();  // states/provinces, then DXCC
    a.worked = {{{"MA", "", {4, "K1ABC", "20m", "MA", 100}}, {"NL", "", {5, "VO1AA", "40m", "NF", 110}}},
                {{"DL", "Germany", {6, "DL1ABC", "20m", "001", 120}}}};
    b.worked = {{{"NL", "", {9, "VO2AA", "20m", "LB", 90}}},
                {{"G", "England", {7, "G3ABC", "15m", "003", 95}}, {"DL", "Germany", {8, "DL2ABC", "15m", "2", 99}}}};
    a.callsWorked = {"9H1XT", "DL1ABC", "K1ABC", "VO1AA"};
    b.callsWorked = {"DL2ABC", "G3ABC", "VO1AA", "VO2AA", "W1AW"};
    const Differences d = Compare(a, b);
    ASSERT_EQ(d.onlyFirst.size(), 1u);
    EXPECT_EQ(d.onlyFirst[0].code, "MA");
    ASSERT_EQ(d.onlySecond.size(), 1u);
    EXPECT_EQ(d.onlySecond[0].code, "G");
    EXPECT_EQ(d.onlySecond[0].qso.band, "15m");
    EXPECT_EQ(d.callsOnlyFirst, (std::vector<std::string>{"DL1ABC", "K1ABC"}));
    EXPECT_EQ(d.callsOnlySecond, (std::vector<std::string>{"DL2ABC", "G3ABC", "VO2AA"}));
}

// --compare replays each other log through the plug-in and sets it beside the own one; a log that cannot be
// read is named with its reason and left out, and the page is still written.
TEST(Analysis, ComparedLogsStandSideBySide) {
    TempWorkDir dir;
    WriteFileBytes("hand.log", kHandLog);
    WriteFileBytes("small.log", kSmallLog);
    WriteFileBytes("empty.log", "START-OF-LOG: 3.0\nCALLSIGN: K9XX\nEND-OF-LOG:\n");
    Replayed r = ReplayAndAnalyse("hand.log", "out", {"small.log", "missing.log", "empty.log"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("stats-replay: --compare missing.log left out: cannot read"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("stats-replay: --compare small.log: score: plug-in 24,"), std::string::npos) << r.err;
    const std::string page = ReadFileBytes("out/analysis.html");
    for (const char* text : {
             "<p class=\"note\">Set beside W1AW in <a href=\"#compare\">11. Side by side</a>.</p>",
             "<p class=\"flag\">Left out: missing.log: cannot read",
             "<p class=\"flag\">Left out: empty.log: ",
             "<tr><th class=\"l\">QSOs</th><td>13</td><td>6</td></tr>",
             "<tr><th class=\"l\">Score</th><td><b>104</b></td><td><b>24</b></td></tr>",
             // By band: 40 m and 20 m of the hand log beside 20 m and 15 m of the small one.
             "<tr><td class=\"l\">40m</td><td>3</td><td>2</td><td>0</td><td>0</td></tr>",
             "<tr><td class=\"l\">15m</td><td>0</td><td>0</td><td>4</td><td>2</td></tr>",
             // CT is the small log's alone, first worked 19:21 on 15 m (its NS from a US call does not count).
             "<h4>Worked by W1AW, not by W1AW: 1</h4>",
             "<td class=\"l\">CT</td><td class=\"l\">US state or DC</td><td class=\"l\">2019-01-05 19:21</td><td "
             "class=\"l\">15m</td>",
         }) {
        EXPECT_NE(page.find(text), std::string::npos) << text;
    }
    // Two stations on each chart: one polyline per station for the running totals, in the wide drawing and the
    // narrow one.
    const size_t compare = page.find("id=\"compare\"");
    ASSERT_NE(compare, std::string::npos);
    size_t lines = 0;
    for (size_t at = page.find("<polyline", compare); at != std::string::npos; at = page.find("<polyline", at + 1))
        ++lines;
    EXPECT_EQ(lines, 4u);
}

// A compared station's time on the air is counted with the own log's --off-time, and the side-by-side table
// flags it only over the 24 hours: with QSOs five hours apart it is on the air for the whole 30 hours when a
// break needs ten hours, and for 20 hours when a break needs the rules' 30 minutes (its two longest breaks off).
TEST(Analysis, ComparedStationsCountTheirTimeOnTheAirAsTheOwnLog) {
    TempWorkDir dir;
    WriteFileBytes("hand.log", kHandLog);
    std::string sparse = "START-OF-LOG: 3.0\nCALLSIGN: K9XX\n";
    for (const char* when : {"05 1800", "05 2300", "06 0400", "06 0900", "06 1400", "06 1900", "06 2359"})
        sparse += std::string("QSO: 14080 RY 2019-01-") + when + " K9XX 599 IL W1AW 599 CT\n";
    WriteFileBytes("sparse.log", sparse + "END-OF-LOG:\n");
    for (const auto& [offMinutes, cell] : std::vector<std::pair<int, std::string>>{
             {600, "<td class=\"flag\">30 h 00 min</td></tr>"},
             {30, "<td>20 h 00 min</td></tr>"},
         }) {
        const std::string out = "out-" + std::to_string(offMinutes);
        Replayed r = ReplayAndAnalyse("hand.log", out, {"sparse.log"}, offMinutes);
        ASSERT_EQ(r.code, 0) << r.err;
        const std::string page = ReadFileBytes(out + "/analysis.html");
        const size_t row = page.find("<th class=\"l\">Operating time by the rules</th>");
        ASSERT_NE(row, std::string::npos);
        const std::string cells = page.substr(row, page.find("</tr>", row) + 5 - row);
        EXPECT_NE(cells.find(cell), std::string::npos) << offMinutes << ": " << cells;
    }
}
