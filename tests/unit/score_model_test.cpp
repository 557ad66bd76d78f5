// The score model on hand-made logs: points, multipliers once per contest, dupes, bad QSOs, band order
// and the two rate windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "contest/arrl_rtty_roundup.h"
#include "contest/cq_ww_rtty.h"
#include "engine/engine.h"
#include "score_test_support.h"
#include "scoring/score_model.h"
#include "temp_dir.h"

namespace {

using scoretest::MakeQso;
using scoretest::QsoSpec;
using Strings = std::vector<std::string>;

void Log(Engine& e, const std::vector<QsoSpec>& qsos) {
    for (const QsoSpec& s : qsos) e.qsoLog.Append(MakeQso(s));
}

TEST(ScoreModel, TwentyPointsTimesFiveMultipliersIs100) {
    Engine e{contest::ArrlRttyRoundup()};
    e.bandsSeen = {"20m", "40m"};
    const char* const states[] = {"CT", "NY", "ON", "TX"};
    for (int i = 0; i < 12; ++i) {
        // K stations on 40m with four states between them; one VE station with a province.
        bool ve = i == 2;
        Log(e, {{"K1A", ve ? "VE" : "K", "40m", states[i % 4], 10, i}});
    }
    for (int i = 0; i < 8; ++i) Log(e, {{"DL1A", "DL", "20m", "", 11, i}});

    ScoreModel m = ComputeScoreModel(e);
    ASSERT_EQ(m.bands.size(), 2u);
    EXPECT_EQ(m.bands[0].band, "40m");
    EXPECT_EQ(m.bands[0].qsos, 12);
    EXPECT_EQ(m.bands[0].points, 12);
    EXPECT_EQ(m.bands[0].kQsos, 11);
    EXPECT_EQ(m.bands[0].veQsos, 1);
    EXPECT_EQ(m.bands[1].band, "20m");
    EXPECT_EQ(m.bands[1].qsos, 8);
    EXPECT_EQ(m.totals.points, 20);
    EXPECT_EQ(m.totals.dxcc, 1);  // DL: the USA and Canada count by their states and provinces
    EXPECT_EQ(m.totals.stateProvCount, 4);
    EXPECT_EQ(m.totals.score, 100);
    EXPECT_EQ(m.workedDxcc, (Strings{"K", "VE", "DL"}));  // but the windows show every worked prefix
    EXPECT_EQ(m.workedStateProv, (Strings{"CT", "NY", "ON", "TX"}));
    EXPECT_EQ(e.bandsSeen, (Strings{"20m", "40m"})) << "the engine is left as it was";
}

TEST(ScoreModel, OnlyCountedQsosScoreButDupesAreCountedPerBand) {
    Engine e{contest::ArrlRttyRoundup()};
    e.bandsSeen = {"40m", "80m", "15m"};
    Log(e, {
               {"K1AB", "K", "80m", "CT", 10, 0},
               {"K1AB", "K", "40m", "CT", 10, 1},                         // same station, other band: counts
               {"K1AB", "K", "40m", "CT", 10, 2, 1, 1},                   // dupe
               {"N2XX", "K", "40m", "", 10, 3, 1, 0, 1},                  // unacceptable state
               {"", "JA", "40m", "", 10, 4, 1, 1},                        // no call: not even its dupe flag
               {"VE3A", "VE", "20m", "ON", 10, 5},                        // band never seen: never counted
               {"4U1A", "", "80m", "", 10, 6},                            // an empty prefix is a prefix too
           });
    CInfo reserved = MakeQso({"JA1A", "JA", "80m", "", 10, 7});
    reserved.reserved = 1;
    e.qsoLog.Append(reserved);

    ScoreModel m = ComputeScoreModel(e);
    ASSERT_EQ(m.bands.size(), 3u);
    const BandStats& b80 = m.bands[0];
    const BandStats& b40 = m.bands[1];
    const BandStats& b15 = m.bands[2];
    EXPECT_EQ(b80.band, "80m");
    EXPECT_EQ(b80.qsos, 2);
    EXPECT_EQ(b80.kQsos, 1);
    EXPECT_EQ(b80.dupes, 0);
    EXPECT_EQ(b40.band, "40m");
    EXPECT_EQ(b40.qsos, 1);
    EXPECT_EQ(b40.kQsos, 1);
    EXPECT_EQ(b40.dupes, 1);
    EXPECT_EQ(b15.band, "15m");  // a band with nothing counted keeps its row of zeros
    EXPECT_EQ(b15.qsos + b15.points + b15.kQsos + b15.veQsos + b15.dupes, 0);

    EXPECT_EQ(m.totals.qsos, 3);
    EXPECT_EQ(m.totals.kQsos, 2);
    EXPECT_EQ(m.totals.veQsos, 0);
    EXPECT_EQ(m.totals.dupes, 1);
    EXPECT_EQ(m.totals.dxcc, 0);  // neither K nor the empty prefix is an entity
    EXPECT_EQ(m.totals.stateProvCount, 1);
    EXPECT_EQ(m.totals.score, 3 * 1);
    EXPECT_EQ(m.workedDxcc, (Strings{"K", ""}));
    EXPECT_EQ(m.workedStateProv, (Strings{"CT"}));
}

TEST(ScoreModel, EachStateOrProvinceCountsOnceWhateverItsSpelling) {
    struct Case {
        std::vector<const char*> codes;  // stored states/provinces, one counted QSO each
        int32_t multipliers;
        Strings worked;
    } cases[] = {
        {{"PE", "PEI"}, 1, {"PE"}},
        {{"NF", "LB", "NL"}, 1, {"NL"}},
        {{"NWT", "NT", "NU"}, 2, {"NT", "NU"}},
        {{"MD", "ME"}, 2, {"MD", "ME"}},
        // Alaska and Hawaii are accepted exchanges that count as DXCC entities only: QSOs, no multiplier.
        {{"AK", "HI", "WA"}, 1, {"WA"}},
        {{"AK"}, 0, {}},
    };
    for (const Case& c : cases) {
        Engine e{contest::ArrlRttyRoundup()};
        e.bandsSeen = {"20m"};
        for (const char* code : c.codes) {
            const bool canadian = std::string("PE PEI NF LB NL NWT NT NU").find(code) != std::string::npos;
            Log(e, {{canadian ? "VE1A" : "K1A", canadian ? "VE" : "K", "20m", code, 10, 0}});
        }
        ScoreModel m = ComputeScoreModel(e);
        EXPECT_EQ(m.totals.stateProvCount, c.multipliers) << c.codes[0];
        EXPECT_EQ(m.totals.score, static_cast<int32_t>(c.codes.size()) * c.multipliers) << c.codes[0];
        EXPECT_EQ(m.workedStateProv, c.worked) << c.codes[0];
    }
}

// The model counted from the log's tallies in one pass must agree with counting band by band over the
// records themselves, the order of the worked lists included, for logs of every kind of record.
TEST(ScoreModel, OnePassAgreesWithCountingBandByBand) {
    const char* const calls[] = {"K1AB", "VE3XY", "DL1A", "", "JA1A"};
    const char* const prefixes[] = {"K", "VE", "DL", "", "JA", "KH6"};
    const char* const bands[] = {"80m", "40m", "20M", "20m", "15m"};
    const char* const states[] = {"", "CT", "PEI", "PE", "NF", "NL"};
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        Engine e{contest::ArrlRttyRoundup()};
        e.bandsSeen = {"20m", "40m", "80m", "20M"};
        if (round % 5 == 0) e.bandsSeen.push_back("40m");  // a band twice gets two rows
        const int n = static_cast<int>(random() % 40);
        for (int i = 0; i < n; ++i) {
            QsoSpec q{calls[random() % 5], prefixes[random() % 6], bands[random() % 5], states[random() % 6],
                      10, static_cast<int>(random() % 60), static_cast<int>(random() % 2),
                      static_cast<int>(random() % 2)};
            // As AddData0 logs them: only a W/VE station's QSO carries a state or province, of its own country.
            if (std::string(q.prefix) == "K") q.stateProv = states[random() % 2];
            if (std::string(q.prefix) == "VE" && std::string(q.stateProv) == "CT") q.stateProv = "";
            if (std::string(q.prefix) != "K" && std::string(q.prefix) != "VE") q.stateProv = "";
            e.qsoLog.Append(MakeQso(q));
        }
        ScoreModel m = ComputeScoreModel(e);

        Strings dxcc, states2;
        int32_t qsos = 0, dupes = 0, multipliers = 0;
        for (const BandStats& row : m.bands) {  // in report order
            for (const CInfo& q : e.qsoLog) {
                if (q.band != row.band || q.call.empty()) continue;
                dupes += q.dupe;
                if (q.notCounted != 0) continue;
                ++qsos;
                if (std::find(dxcc.begin(), dxcc.end(), q.prefix) == dxcc.end()) {
                    dxcc.push_back(q.prefix);
                    multipliers += q.prefix != "K" && q.prefix != "VE" && !q.prefix.empty();
                }
                const std::string state = q.stateProv == "PEI" ? "PE" : q.stateProv == "NF" ? "NL" : q.stateProv;
                if (!state.empty() && std::find(states2.begin(), states2.end(), state) == states2.end()) {
                    states2.push_back(state);
                }
            }
        }
        ASSERT_EQ(m.workedDxcc, dxcc) << round;
        ASSERT_EQ(m.workedStateProv, states2) << round;
        ASSERT_EQ(m.totals.qsos, qsos) << round;
        ASSERT_EQ(m.totals.dupes, dupes) << round;
        ASSERT_EQ(m.totals.score, qsos * (multipliers + static_cast<int32_t>(states2.size()))) << round;
    }
}

// A contest that counts each kind per band keeps each band's zones, countries and QTHs apart, in the order they
// were met: what the windows show on that band. A maritime mobile station adds its zone alone.
TEST(ScoreModel, EachKindOfACqWwLogPerBand) {
    Engine e{contest::CqWwRtty()};
    e.ownPrefix = "DL";
    e.bandsSeen = {"20m", "40m"};
    Log(e, {{"W2AA", "K", "20m", "05 NY", 10, 0},
            {"VE3AA", "VE", "20m", "04 ON", 10, 1},
            {"DL1AA", "DL", "20m", "14", 10, 2},
            {"W2AA", "K", "40m", "05 NY", 10, 3},
            {"JA1ZZZ/MM", "JA", "40m", "25 /MM", 10, 4}});
    const ScoreModel m = ComputeScoreModel(e);
    ASSERT_EQ(m.bands.size(), 2u);
    const BandStats& b40 = m.bands[0];  // in report order
    const BandStats& b20 = m.bands[1];
    EXPECT_EQ(b20.zones, (Strings{"05", "04", "14"}));
    EXPECT_EQ(b20.countries, (Strings{"K", "VE", "DL"}));
    EXPECT_EQ(b20.locations, (Strings{"NY", "ON"}));
    EXPECT_EQ(b20.points, 3 + 3 + 1);
    EXPECT_EQ(b40.zones, (Strings{"05", "25"}));
    EXPECT_EQ(b40.countries, (Strings{"K"}));
    EXPECT_EQ(b40.locations, (Strings{"NY"}));
    EXPECT_EQ(b40.points, 3 + 3);
    EXPECT_EQ(m.totals.multipliers, (std::vector<int32_t>{5, 4, 3}));  // zones, countries, QTHs
    EXPECT_EQ(m.totals.score, 13 * 12);
}

TEST(ScoreModel, EmptyLogGivesNoRowsAndZeroScore) {
    Engine e{contest::ArrlRttyRoundup()};
    ScoreModel m = ComputeScoreModel(e);
    EXPECT_TRUE(m.bands.empty());
    EXPECT_EQ(m.totals.score, 0);
    EXPECT_EQ(m.totals.badQsos, 0);
    EXPECT_EQ(m.rates.hourQsos + m.rates.tenQsos, 0);
    EXPECT_TRUE(m.workedDxcc.empty());
    EXPECT_TRUE(m.workedStateProv.empty());
}

TEST(ScoreModel, BandsComeOutInDescendingZeroPaddedOrder) {
    struct Case {
        Strings in;
        Strings out;
    };
    const Case cases[] = {
        {{"20m", "80m", "10m", "40m"}, {"80m", "40m", "20m", "10m"}},
        {{"10m", "15m", "20m", "40m", "80m"}, {"80m", "40m", "20m", "15m", "10m"}},
        {{"15m", "160m", "80m"}, {"160m", "80m", "15m"}},  // compared padded, so the longer number wins
        {{"80M", "80m"}, {"80m", "80M"}},                  // byte order: lower case above upper case
        {{"40m"}, {"40m"}},
        {{}, {}},
        {{"a-band-name-longer-than-twenty", "80m"}, {"a-band-name-longer-than-twenty", "80m"}},
    };
    for (const Case& c : cases) {
        Strings bands = c.in;
        OrderBandsForReport(bands);
        EXPECT_EQ(bands, c.out);
    }
}

TEST(ScoreModel, RateWindowsCountBackFromTheLastRecord) {
    Engine e{contest::ArrlRttyRoundup()};
    e.bandsSeen = {"40m"};
    Log(e, {{"K1A", "K", "40m", "CT", 13, 55},
            {"K1B", "K", "40m", "CT", 14, 20},
            {"K1C", "K", "40m", "CT", 14, 51},
            {"K1D", "K", "40m", "CT", 14, 58}});
    ScoreModel m = ComputeScoreModel(e);
    EXPECT_EQ(m.rates.hourQsos, 3);  // 13:55 is 63 minutes before 14:58
    EXPECT_EQ(m.rates.hourPoints, 3);
    EXPECT_EQ(m.rates.tenQsos, 2);  // 14:51 and 14:58
    EXPECT_EQ(m.rates.tenPoints, 2);

    // A pending Cabrillo export leaves every rate at zero.
    e.cabrilloRequested = 1;
    m = ComputeScoreModel(e);
    EXPECT_EQ(m.rates.hourQsos + m.rates.hourPoints + m.rates.tenQsos + m.rates.tenPoints, 0);
    EXPECT_EQ(m.totals.qsos, 4);
}

TEST(ScoreModel, RateWindowEdgesAndTheReferenceRecord) {
    struct Case {
        const char* what;
        std::vector<QsoSpec> log;
        int hour;
        int ten;
    };
    const Case cases[] = {
        {"single QSO counts in both", {{"K1A", "K", "40m", "", 12, 0}}, 1, 1},
        {"exactly 10 and 60 minutes are outside",
         {{"K1A", "K", "40m", "", 12, 0}, {"K1B", "K", "40m", "", 12, 50}, {"K1C", "K", "40m", "", 13, 0}},
         2,
         1},
        {"a later QSO than the reference counts in both",
         {{"K1A", "K", "40m", "", 15, 0}, {"K1B", "K", "40m", "", 12, 0}},
         2,
         2},
        {"the reference is the last record even when it is not counted",
         {{"K1A", "K", "40m", "", 12, 0}, {"K1B", "K", "40m", "", 12, 55}, {"K1B", "K", "40m", "", 13, 30, 1, 1}},
         1,
         0},
    };
    for (const Case& c : cases) {
        Engine e{contest::ArrlRttyRoundup()};
        e.bandsSeen = {"40m"};
        Log(e, c.log);
        ScoreModel m = ComputeScoreModel(e);
        EXPECT_EQ(m.rates.hourQsos, c.hour) << c.what;
        EXPECT_EQ(m.rates.tenQsos, c.ten) << c.what;
    }
}

TEST(ScoreModel, QsoWithoutValidTimeIsInNoRateWindow) {
    Engine e{contest::ArrlRttyRoundup()};
    e.bandsSeen = {"40m"};
    Log(e, {{"K1A", "K", "40m", "", 12, 0}, {"K1B", "K", "40m", "", 12, 5}});
    CInfo noTime = MakeQso({"K1C", "K", "40m", "", 0, 0});
    noTime.time = COleDateTime::Null();
    e.qsoLog.Append(noTime);
    ScoreModel m = ComputeScoreModel(e);
    EXPECT_EQ(m.totals.qsos, 3);
    EXPECT_EQ(m.rates.hourQsos, 0);  // the reference itself has no time
}

TEST(ScoreModel, TimeOutsideTheDateRangeIsNoTimeForTheRates) {
    // The host hands the date-time by pointer: a valid status may come with a day count that is no date.
    struct Case {
        const char* what;
        double dt;
        bool last;  // the odd record is the rate reference
        int hour;
    };
    const Case cases[] = {
        {"huge day count as the reference", 1e300, true, 0},
        {"NaN as the reference", std::nan(""), true, 0},
        {"huge day count between two QSOs", 1e300, false, 2},
        {"NaN between two QSOs", std::nan(""), false, 2},
        {"negative huge day count between two QSOs", -1e300, false, 2},
    };
    for (const Case& c : cases) {
        Engine e{contest::ArrlRttyRoundup()};
        e.bandsSeen = {"40m"};
        CInfo odd = MakeQso({"K1X", "K", "40m", "", 12, 0});
        odd.time = COleDateTime(c.dt, COleDateTime::valid);
        Log(e, {{"K1A", "K", "40m", "", 12, 0}});
        if (!c.last) e.qsoLog.Append(odd);
        Log(e, {{"K1B", "K", "40m", "", 12, 5}});
        if (c.last) e.qsoLog.Append(odd);
        ScoreModel m = ComputeScoreModel(e);
        EXPECT_EQ(m.totals.qsos, 3) << c.what;
        EXPECT_EQ(m.rates.hourQsos, c.hour) << c.what;
        EXPECT_EQ(m.rates.tenQsos, c.hour) << c.what;
    }
}

TEST(ScoreModel, SpanMinutesRoundsByHalfASecond) {
    struct Case {
        double seconds;
        int64_t minutes;
    };
    const Case cases[] = {
        {0, 0},       {59.4, 0},     {59.6, 1},      {600, 10},        {599.6, 10},
        {599.4, 9},   {3599.5, 60},  {3599.4, 59},   {-30, 0},         {-59.6, -1},
        {-600, -10},  {86400, 1440}, {-86400, -1440},
    };
    for (const Case& c : cases) EXPECT_EQ(SpanMinutes(c.seconds / 86400.0), c.minutes) << c.seconds;
    // Ten minutes between two stored date-times, whatever the rounding of the day fractions.
    COleDateTime a = COleDateTime::FromFields(2020, 1, 4, 14, 48);
    COleDateTime b = COleDateTime::FromFields(2020, 1, 4, 14, 58);
    EXPECT_EQ(SpanMinutes(b.m_dt - a.m_dt), 10);
}

}  // namespace
