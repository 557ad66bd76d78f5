// The analysis page's computations on hand-made logs whose answers can be counted by hand, and the page of a
// small log replayed through the real plug-in.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <tuple>

#include <filesystem>

#include "contest/arrl_rtty_roundup.h"
#include "contest/cq_ww_rtty.h"
#include "analysis.h"
#include "contest_dates.h"
#include "plugin/plugin_library.h"
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

// Time in whole clock minutes, as the sponsors' log checking counts it: a minute with a QSO is on the air, a break
// is a run of `threshold` empty minutes between two QSOs (10:00 and 10:30 leave 29, one short), and the empty
// minutes before the first QSO and after the last are off however few.
TEST(Analysis, OffTimeIsCountedInEmptyClockMinutes) {
    const long long start = At(18, 0), end = At(24 + 24, 0);
    using Runs = std::vector<std::tuple<long long, long long, bool>>;  // first empty minute, next on-air one, edge
    struct Case {
        std::vector<long long> minutes;
        int threshold;
        Runs off;
        Runs near;  // one empty minute short of a break
    } cases[] = {
        // 29 empty minutes are no break, 30 are: between QSOs at 10:00 and 10:30 or 10:31.
        {{At(18, 0), At(20, 0), At(20, 30), At(21, 0), At(21, 31), At(47, 59)},
         30,
         {{At(18, 1), At(20, 0), false}, {At(21, 1), At(21, 31), false}, {At(21, 32), At(47, 59), false}},
         {{At(20, 1), At(20, 30), false}, {At(20, 31), At(21, 0), false}}},
        // Before the first QSO and after the last: off however short.
        {{At(18, 1), At(47, 58)}, 30, {{start, At(18, 1), true}, {At(18, 2), At(47, 58), false}, {At(47, 59), end, true}},
         {}},
        {{At(18, 0), At(18, 45), At(47, 59)}, 60, {{At(18, 46), At(47, 59), false}}, {}},
        // QSOs in one minute, and outside the period, which do not shorten it; no QSO in it: all of it is off.
        {{At(18, 0), At(18, 0), At(47, 59)}, 30, {{At(18, 1), At(47, 59), false}}, {}},
        {{At(17, 59), At(48, 0)}, 30, {{start, end, true}}, {}},
        {{}, 30, {{start, end, true}}, {}},
    };
    auto runs = [](const std::vector<OffPeriod>& periods) {
        Runs got;
        for (const OffPeriod& p : periods)
            got.emplace_back(p.from, p.to, p.edge);
        return got;
    };
    for (const Case& c : cases) {
        EXPECT_EQ(runs(OffPeriods(c.minutes, start, end, c.threshold)), c.off) << c.minutes.size() << " QSOs";
        EXPECT_EQ(runs(NearBreaks(c.minutes, start, end, c.threshold)), c.near) << c.minutes.size() << " QSOs";
    }
    // The off blocks are the longest breaks between QSOs, the earlier on a tie; the ends take none.
    const std::vector<OffPeriod> off = {{start, At(23, 0), true}, {At(24, 0), At(25, 0)}, {At(26, 0), At(28, 0)},
                                        {At(30, 0), At(31, 0)}, {At(40, 0), end, true}};
    EXPECT_EQ(OffBlocks(off, 2), (std::vector<bool>{false, true, true, false, false}));
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
    auto span = [&](Qsos q, long long from, long long to) {  // every 20 minutes, and one at `to`
        q = between(std::move(q), from, to);
        if (std::get<0>(q.back()) != to)
            q.emplace_back(to, "20m", "W1AW", -1);
        return q;
    };
    // From the first QSO at 20:00 for `minutes`, never 30 empty minutes in a row: the operating time.
    auto onFor = [&](Qsos q, long long minutes) { return span(std::move(q), At(20, 20), At(20, 0) + minutes - 1); };
    // Breaks of 3 h and 2 h, then 1 h 30 more off: as a third break (operating time by the rules, 25 h), or as
    // a start 1 h 30 late, which takes no block (23 h 30).
    auto twoBreaks = [&](long long first, bool third) {
        Qsos q = span(span({}, first, At(22, 0)), At(25, 1), At(30, 1));
        return third ? span(span(std::move(q), At(32, 2), At(36, 2)), At(37, 33), At(47, 59))
                     : span(std::move(q), At(32, 2), At(47, 59));
    };
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
        // From 20:00 for 24 hours, the limit itself, and a minute more, whose QSO the checking does not score.
        {"SINGLE-OP", onFor(changes(1), 24 * 60),
         {"Within the rules on time: operating time by the rules 24 h 00 min",
          "Within a minute of the 24 hours: a QSO logged a minute earlier or later turns the verdict."},
         {": more than the"}},
        {"SINGLE-OP", onFor(changes(1), 24 * 60 + 1),
         {"<p class=\"flag\">Operating time by the rules 24 h 01 min: more than the 24 hours every entrant may "
          "operate. Its off time is 5 h 59 min of the 6 hours the rules require. The sponsor's checking scores the "
          "first 24 hours of operating time: the 1 counted QSO from 2019-01-06 20:00 on would not count.</p>",
          "Within a minute of the 24 hours"},
         {"Within the rules"}},
        // The limit binds MULTI-OP too.
        {"MULTI-OP", onFor(changes(1), 25 * 60), {"more than the 24 hours every entrant may operate, MULTI-OP included"},
         {"Within a minute"}},
        // 10:00 and 10:30 leave 29 empty minutes, no break; 10:30 and 11:01 leave 30, a break: both a minute
        // from the other verdict.
        {"SINGLE-OP", {{At(20, 0), "20m", "W1AW", -1}, {At(20, 30), "20m", "W1AW", -1}, {At(21, 1), "20m", "W1AW", -1}},
         {"<td>0 h 29 min</td><td class=\"l\">operating time: no break <span class=\"flag\">within a minute of the "
          "30-minute break</span></td>",
          "<td>0 h 30 min</td><td class=\"l\"><b>off time</b> <span class=\"flag\">within a minute of the 30-minute "
          "break</span></td>"},
         {}},
        // 6 h 30 off the air either way; the third break is operating time, the late start is not.
        {nullptr, twoBreaks(At(18, 0), true),
         {"<td>1 h 30 min</td><td class=\"l\">operating time</td>",
          "Operating time by the rules 25 h 00 min: more than the 24 hours",
          "the 4 counted QSOs from 2019-01-06 23:00 on would not count"},
         {"Within the rules"}},
        {"SINGLE-OP", twoBreaks(At(19, 30), false),
         {"<td>1 h 30 min</td><td class=\"l\"><b>off time</b>, before the first QSO</td>",
          "Within the rules on time: operating time by the rules 23 h 30 min, at most 24 hours; off time 6 h 30 min."},
         {": more than the", "Within a minute"}},
    };
    for (const Case& c : cases) {
        const std::string page = AnalysisPage(AnalyseLog(c.qsos, c.category, c.shift, *c.contest));
        for (const char* text : c.present)
            EXPECT_NE(page.find(text), std::string::npos) << text;
        for (const char* text : c.absent)
            EXPECT_EQ(page.find(text), std::string::npos) << text;
    }
}

// A CQ WW log with a QSO every 31 minutes: 57 breaks of 30 empty minutes, which the rules do not count (every
// entrant may operate the whole period). The bar numbers a break only where its number has room, none over
// another; the breaks are listed folded, and no operating time by off blocks is named or averaged over.
TEST(Analysis, ManyBreaksOfAContestWithoutOffTime) {
    Qsos qsos;
    for (long long m = At(18, 0); m < At(48, 0); m += 31)
        qsos.emplace_back(m, "20m", "W1AW", -1);
    const std::string page = AnalysisPage(AnalyseLog(qsos, "SINGLE-OP", 0, contest::CqWwRtty()));
    for (const char* text : {"<summary>All 58 breaks", "Within the rules on time: every entrant may operate the whole "
                             "48 hours.", "</span></td><td>0 h 59 min</td>"}) {
        EXPECT_NE(page.find(text), std::string::npos) << text;
    }
    EXPECT_EQ(page.find("longest break"), std::string::npos);
    EXPECT_EQ(page.find("Average over the operating time"), std::string::npos);
    // The labels over the wide bar (y 13.0), each about 6.2 px a character wide, stand apart.
    const std::string bar = page.substr(page.find("<section id=\"time\">"));
    const std::string label = "\" y=\"13.0\" text-anchor=\"middle\">";
    double lastRight = -1;
    size_t labels = 0;
    for (size_t at = bar.find(label); at != std::string::npos && at < bar.find("</svg>"); at = bar.find(label, at + 1)) {
        const double x = std::stod(bar.substr(bar.rfind('"', at - 1) + 1));
        const double half = 3.1 * static_cast<double>(bar.find('<', at) - at - label.size());
        EXPECT_GE(x - half, lastRight) << "label " << labels + 1 << " at " << x;
        lastRight = x + half;
        ++labels;
    }
    EXPECT_GT(labels, 20u);
    EXPECT_LT(labels, 58u);
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
             // The two times, each under its own name, in the minutes QSOs were logged in: 12 of them, 6 QSOs
             // counted; from the first QSO (18:14) to the last (20:25) less the two breaks of 60 empty minutes.
             "<b>Active time</b><br/><span class=\"note\">the clock minutes with a QSO logged",
             "</span></td><td>0 h 12 min</td><td class=\"l\">30.0 per hour</td>",
             "<b>Operating time by the rules</b><br/><span class=\"note\">from the first QSO's minute to the last's, "
             "less its 2 longest breaks of 30 empty minutes or more; at most 24 hours</span></td><td>0 h 12 min</td>",
             // The two breaks are the off time, in the bar and the table, and so is the time before the first QSO
             // and after the last, which is named, not numbered.
             ">1 off</text>", "<title>break 2, 19:22 to 20:22, 1 h 00 min: off time</title>",
             "off time: both ends and the 2 longest breaks</text>",
             "<td><span class=\"sw off\"></span>-</td><td class=\"l t\">Sat 18:00</td><td class=\"l t\">Sat "
             "18:13</td><td>0 h 14 min</td><td class=\"l\"><b>off time</b>, before the first QSO</td>",
             "<td><span class=\"sw off\"></span>1</td><td class=\"l t\">Sat 18:20</td><td class=\"l t\">Sat "
             "19:19</td><td>1 h 00 min</td>",
             "<td><span class=\"sw off\"></span>2</td>",
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
             "<tr class=\"risk\"><td>1</td><td class=\"l\"><span class=\"qso\"><b>K2XYZ</b> 15m<br/>Sat 20:24, "
             "line 15, ny</span></td><td class=\"l\"><b>NY</b>: the only QSO that gives it</td><td>-9</td><td "
             "class=\"l\">worked once, not in the call list</td></tr>",
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
                          int offMinutes = 0, const char* plugin = nullptr, const char* countryFile = nullptr) {
    ReplayOptions o;
    o.logPath = path;
    o.outDir = outDir;
    if (plugin)
        o.pluginPath = (std::filesystem::path(ProgramDirectory()) / PluginFileNameOf(plugin)).string();
    if (countryFile)
        o.countryFile = countryFile;
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

// The published DX log that the page once flagged for its seven breaks: it starts 4 h 52 min late and stops 3 h 23
// min early, which takes none of the two blocks; its two longest breaks between QSOs make 11 h 22 min.
TEST(Analysis, PublishedLogWithManyBreaksIsWithinTheTimeRules) {
    TempWorkDir dir;
    Replayed r = ReplayAndAnalyse(STATS_SOURCE_DIR "/tests/data/published-logs/ARRL-RTTY_2025_9H1XT.log", "out");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.analysis.off.size(), 7u);  // 5 breaks, the time before the first QSO and after the last
    EXPECT_EQ(r.analysis.operatingMinutes, 10 * 60 + 23);
    const std::string page = ReadFileBytes("out/analysis.html");
    for (const char* text : {"<td>4 h 52 min</td><td class=\"l\"><b>off time</b>, before the first QSO</td>",
                             "<td>6 h 18 min</td><td class=\"l\"><b>off time</b></td>",
                             "<td>5 h 04 min</td><td class=\"l\"><b>off time</b></td>",
                             "<td>1 h 04 min</td><td class=\"l\">operating time</td>",
                             "<p class=\"ok\">Within the rules on time: operating time by the rules 10 h 23 min"}) {
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
// flags it only over the 24 hours: with QSOs five hours apart it operates for the whole 30 hours when a break
// needs ten hours, and for 20 h 02 min when a break needs the rules' 30 empty minutes (its two longest breaks of
// 4 h 59 min off; each QSO's minute counts).
TEST(Analysis, ComparedStationsCountTheirTimeOnTheAirAsTheOwnLog) {
    TempWorkDir dir;
    WriteFileBytes("hand.log", kHandLog);
    std::string sparse = "START-OF-LOG: 3.0\nCALLSIGN: K9XX\n";
    for (const char* when : {"05 1800", "05 2300", "06 0400", "06 0900", "06 1400", "06 1900", "06 2359"})
        sparse += std::string("QSO: 14080 RY 2019-01-") + when + " K9XX 599 IL W1AW 599 CT\n";
    WriteFileBytes("sparse.log", sparse + "END-OF-LOG:\n");
    for (const auto& [offMinutes, cell] : std::vector<std::pair<int, std::string>>{
             {600, "<td class=\"flag\">30 h 00 min</td></tr>"},
             {30, "<td>20 h 02 min</td></tr>"},
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

namespace {

// A CQ WW log made by hand, line by line what the page must make of it (the country file below): JA1AAA's 24 is no
// zone of Japan's; W6AA's 05 is not CA's zone 3; R25EMW's own entry in the file says zone 17; UA9AA's 19 is one of
// Asiatic Russia's zones (a country of several, which the file cannot place a station in), VE2AA's 02 one of
// Quebec's two, K1ZZ's 01 Alaska's (no zone of the USA's, but the QTH places the station), and a maritime mobile
// station is not judged. JA1AAA is logged with zones 24 and 25.
const char* const kCqWwLog =
    "START-OF-LOG: 3.0\n"
    "CONTEST: CQ-WW-RTTY\n"
    "CALLSIGN: W1AW\n"
    "CATEGORY-OPERATOR: SINGLE-OP\n"
    "QSO: 14080 RY 2024-09-28 0000 W1AW 599 05 MA JA1AAA 599 24\n"      // 5
    "QSO: 14081 RY 2024-09-28 0010 W1AW 599 05 MA W6AA 599 05 CA\n"     // 6
    "QSO: 14082 RY 2024-09-28 0020 W1AW 599 05 MA R25EMW 599 16\n"      // 7
    "QSO: 14083 RY 2024-09-28 0030 W1AW 599 05 MA UA9AA 599 19\n"       // 8
    "QSO: 14084 RY 2024-09-28 0040 W1AW 599 05 MA K1AB 599 05 MA\n"     // 9
    "QSO: 7080 RY 2024-09-28 0100 W1AW 599 05 MA IG9AA 599 33\n"        // 10
    "QSO: 7081 RY 2024-09-28 0110 W1AW 599 05 MA JA1AAA 599 25\n"       // 11
    "QSO: 21080 RY 2024-09-28 0200 W1AW 599 05 MA VE2AA 599 02 QC\n"    // 12
    "QSO: 21081 RY 2024-09-28 0210 W1AW 599 05 MA W1MM/MM 599 08\n"     // 13
    "QSO: 21082 RY 2024-09-28 0220 W1AW 599 05 MA K1ZZ 599 01 AK\n"     // 14
    "END-OF-LOG:\n";
const char* const kCqWwCountryFile =
    "United States of America: 05: 08: NA: 37.60: 91.87: 5.0: K:\n    K,N,W,K6(3)[6],W6(3)[6],=N2NL/MM(7);\n"
    "Canada: 05: 09: NA: 44.35: 78.75: 5.0: VE:\n    VA,VE,VO2(2),VE7(3),VE8(1),VY0(2);\n"
    "Japan: 25: 45: AS: 36.40: -138.38: -9.0: JA:\n    JA,JE,JR;\n"
    "European Russia: 16: 29: EU: 53.65: -41.37: -4.0: UA:\n    R,U,=R25EMW(17)[19];\n"
    "Asiatic Russia: 17: 30: AS: 55.88: -84.08: -7.0: UA9:\n    R9,U9,UA9,R0(19)[33],UA0(19)[33];\n"
    "Italy: 15: 28: EU: 42.82: -12.58: -1.0: I:\n    I;\n"
    "African Italy: 33: 37: AF: 35.67: -12.67: -1.0: *IG9:\n    IG9,IH9;\n";

}  // namespace

// The CQ WW page in its own terms: zones unlikely for the call flagged by what the country file can tell, every
// multiplier a doubtful QSO puts at risk named with its band, the zones and countries band by band, and the new
// zones among each hour's new multipliers and the running total.
TEST(Analysis, CqWwPageJudgesZonesAndShowsEachBand) {
    TempWorkDir dir;
    WriteFileBytes("cqww.log", kCqWwLog);
    WriteFileBytes("cty.dat", kCqWwCountryFile);
    Replayed r = ReplayAndAnalyse("cqww.log", "out", {}, 0, "StatsCQWW", "cty.dat");
    ASSERT_EQ(r.code, 0) << r.err;
    const Analysis& a = r.analysis;
    ASSERT_GE(a.hours.size(), 3u);
    struct Hour {
        std::vector<int> newMultipliers;  // zones, countries, QTHs
        int cumulative;
    } hours[] = {{{4, 4, 2}, 10}, {{2, 2, 0}, 14}, {{3, 2, 1}, 20}};
    for (size_t h = 0; h < std::size(hours); ++h) {
        EXPECT_EQ(a.hours[h].newMultipliers, hours[h].newMultipliers) << h;
        EXPECT_EQ(a.hours[h].cumulativeMultipliers, hours[h].cumulative) << h;
    }
    EXPECT_EQ(TotalMultipliers(a), 20);

    const std::string page = ReadFileBytes("out/analysis.html");
    const std::string check = page.substr(page.find("<section id=\"check\">"));
    for (const char* text : {
             "<title>00:00 zones: 4</title>",
             // The grids: zone 24 on 20 m from line 5; Japan on 40 and 20 m.
             "<tr><th class=\"l\">20m</th>",
             "<td class=\"g1\" title=\"2024-09-28 00:00 20m JA1AAA, line 5\">&#10003;</td>",
             "<td>4 of 40</td></tr>",
             "<th class=\"l\">JA</th><td class=\"l\">Japan</td><td class=\"g0\"></td><td class=\"g1\" "
             "title=\"2024-09-28 01:10 40m JA1AAA, line 11\">&#10003;</td><td class=\"g1\" title=\"2024-09-28 "
             "00:00 20m JA1AAA, line 5\">&#10003;</td><td class=\"g0\"></td><td class=\"g0\"></td><td>2</td></tr>",
             // Zones unlikely for the call, and why.
             "<td class=\"l\">24 (zone 24)</td><td class=\"l\">JA (Japan): zone 25, by the country file</td>",
             "<td class=\"l\">05 CA (zone 05)</td><td class=\"l\">CA lies in zone 03</td>",
             "<td class=\"l\">16 (zone 16)</td><td class=\"l\">the country file's own entry for R25EMW: zone 17</td>",
             "<b>JA1AAA</b>: zones 24 and 25",
             // Every multiplier at risk with its band.
             "<b>zone 24 on 20m</b>: the only QSO that gives it<br/><b>JA (Japan) on 20m</b>: the only QSO that "
             "gives it",
             "<b>CA on 20m</b>: the only QSO that gives it</td>",
             "zone 24 is unlikely for the call; logged with zones 24 and 25",
         }) {
        EXPECT_NE(page.find(text), std::string::npos) << text;
    }
    // W6AA's zone and country are K1AB's too; the zones a country may have, and the sea, are not judged.
    for (const char* text : {"<b>zone 05 on 20m</b>", "<b>K (United States of America) on 20m</b>", ">UA9AA<",
                             ">VE2AA<", ">W1MM/MM<", ">K1ZZ<"}) {
        EXPECT_EQ(check.find(text), std::string::npos) << text;
    }
}

// The rules row of the page names the rules of the log's year, or says they were not found.
TEST(Analysis, PageStatesTheRulesOfItsYear) {
    struct Case {
        int year, day;  // the contest's Saturday in January
        const char* present;
        const char* absent;
    } cases[] = {
        {2013, 5, "Source: the sponsor's rules of 2006 to 2013.", "Unlimited"},
        {2014, 4, "Not found: no text of this year's rules was found.", "Source: the sponsor's rules of 2006 to 2013"},
        {2019, 5, "Categories: Single Operator, Single Operator Unlimited and Multioperator, Single Transmitter",
         "2006 to 2013"},
        {2023, 7, "Modes: RTTY alone", "FT8"},
        {2025, 4, "Multioperator Two Transmitter and Multioperator Multi-Transmitter", "2006 to 2013"},
    };
    for (const Case& c : cases) {
        const long long shift =
            WholeMinutes(COleDateTime::FromFields(c.year, 1, c.day)) - WholeMinutes(COleDateTime::FromFields(2019, 1, 5));
        const std::string page = AnalysisPage(AnalyseLog({{At(20, 0), "20m", "W1AW", -1}}, "SINGLE-OP", shift));
        const size_t row = page.find("<th class=\"l\">Rules of " + std::to_string(c.year) + "</th>");
        ASSERT_NE(row, std::string::npos) << c.year;
        const std::string cells = page.substr(row, page.find("</tr>", row) - row);
        EXPECT_NE(cells.find(c.present), std::string::npos) << c.year << ": " << cells;
        EXPECT_EQ(cells.find(c.absent), std::string::npos) << c.year << ": " << cells;
    }
}
