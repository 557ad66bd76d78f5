// The checker: its matching rules over hand-made logs, its outputs, the records its workers send, and the
// whole program against a simulated contest whose errors are known and against a hostile folder.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>

#if !defined(_WIN32)
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "contest/arrl_rtty_roundup.h"
#include "contest/cq_ww_rtty.h"
#include "check.h"
#include "common/text.h"
#include "contest_simulator.h"
#include "contest_dates.h"
#include "contest_terms.h"
#include "country_file.h"
#include "cross_check.h"
#include "intake.h"
#include "outputs.h"
#include "plugin/plugin_library.h"
#include "temp_dir.h"
#include "worker.h"

namespace {

using check::Verdict;

TEST(CheckCalls, OneEditApartAndStation) {
    struct Case {
        const char* a;
        const char* b;
        bool oneEdit;
    } cases[] = {
        {"W1ABC", "W1ABD", true},  {"W1ABC", "W1AB", true},    {"W1ABC", "W1ABCD", true}, {"W1ABC", "W1BAC", true},
        {"W1ABC", "W1ABC", false}, {"W1ABC", "W1BCA", false},  {"W1ABC", "W1A", false},   {"W1ABC", "K1ABD", false},
        {"K1A", "1KA", true},      {"W1ABC", "XW1ABC", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(check::OneEditApart(c.a, c.b), c.oneEdit) << c.a << " " << c.b;
        EXPECT_EQ(check::OneEditApart(c.b, c.a), c.oneEdit) << c.b << " " << c.a;
    }
    EXPECT_EQ(check::StationOf("W1ABC/4"), "W1ABC");
    EXPECT_EQ(check::StationOf("KH6/W1ABC"), "W1ABC");
    EXPECT_EQ(check::StationOf("W1ABC/QRP"), "W1ABC");
}

TEST(CheckCalls, SameExchange) {
    struct Case {
        const char *a, *b;
        bool same;
    } cases[] = {{"PE", "PEI", true}, {"nwt", "NT", true}, {"007", "7", true},  {"ny", "NY", true},
                 {"0", "000", true},  {"8", "7", false},   {"NS", "PEI", false}, {"NY", "NJ", false},
                 {"0", "", false}};
    for (const Case& c : cases) EXPECT_EQ(check::SameExchange(contest::ArrlRttyRoundup(), c.a, c.b), c.same) << c.a << " " << c.b;
}

// What a counted QSO is worth, through the contest's Credit rule: AK and HI from a W/VE station are valid QSOs
// without a state multiplier, as the plug-in has them; the older spellings count as their codes; a key names its
// kind (and its band, where the contest counts it per band), so Ohio the state and a DXCC prefix "OH" never meet.
// In the CQ WW RTTY the points are the own station's: 1 in its country, 2 on its continent, 3 beyond, none from
// a station whose continent is not known; a maritime mobile station is in no country, not even the own one, and
// counts for its zone only.
TEST(CheckCalls, CreditOfACountedQso) {
    const contest::Record& roundup = contest::ArrlRttyRoundup();
    const contest::Record& cqww = contest::CqWwRtty();
    struct Case {
        const contest::Record& contest;
        const char *own, *call, *prefix, *rcvd, *multipliers;
        int points;
    } cases[] = {
        {roundup, "K", "W1AW", "K", "NY", "#0##NY", 1},        {roundup, "K", "W1AW", "K", "ak", "", 1},
        {roundup, "K", "W1AW", "K", "HI", "", 1},              {roundup, "K", "VY2AA", "VE", "PEI", "#0##PE", 1},
        {roundup, "K", "VO2AA", "VE", "LB", "#0##NL", 1},      {roundup, "K", "KL7AA", "KL", "5", "#1##KL", 1},
        {roundup, "K", "KH6AA", "KH6", "12", "#1##KH6", 1},    {roundup, "K", "W1AW", "K", "XX", "", 1},
        {roundup, "DL", "OH1AA", "OH", "12", "#1##OH", 1},     {roundup, "", "W8AA", "K", "OH", "#0##OH", 1},
        {cqww, "K", "DL1AA", "DL", "14", "#0#20m#14|#1#20m#DL", 3},
        {cqww, "K", "W6AA", "K", "3 ca", "#0#20m#03|#1#20m#K|#2#20m#CA", 1},
        {cqww, "K", "VO1AA", "VE", "05 NF", "#0#20m#05|#1#20m#VE|#2#20m#NL", 2},
        {cqww, "K", "VO2AA", "VE", "LB 02", "#0#20m#02|#1#20m#VE|#2#20m#LB", 2},
        {cqww, "K", "W1AW", "K", "01 AK", "#0#20m#01|#1#20m#K", 1},
        {cqww, "K", "KL7AA", "KL", "01", "#0#20m#01|#1#20m#KL", 2},
        {cqww, "K", "KH6AA", "KH6", "31", "#0#20m#31|#1#20m#KH6", 3},
        {cqww, "K", "W1AW/MM", "K", "08", "#0#20m#08", 2},
        {cqww, "JA", "JA1ZZZ/MM", "JA", "25", "#0#20m#25", 2},
        {cqww, "JA", "W1MM/MM", "K", "08", "#0#20m#08", 3},
        {cqww, "JA", "JA1AA", "JA", "25", "#0#20m#25|#1#20m#JA", 1},
        {cqww, "I", "IT9AA", "IT9", "15", "#0#20m#15|#1#20m#IT9", 2},
        {cqww, "I", "IG9AA", "IG9", "33", "#0#20m#33|#1#20m#IG9", 3},
        {cqww, "OE", "4U1VIC", "4U1V", "15", "#0#20m#15|#1#20m#4U1V", 2},
        {cqww, "", "DL1AA", "DL", "14", "#0#20m#14|#1#20m#DL", 0},
        {cqww, "K", "XX9XX", "", "24", "#0#20m#24", 0},
        {cqww, "K", "VE3AA", "VE", "40 ON", "#0#20m#40|#1#20m#VE|#2#20m#ON", 2},
    };
    for (const Case& c : cases) {
        const check::QsoCredit credit = check::CreditQso(c.contest, c.own, c.call, c.prefix, c.rcvd, "20m");
        std::string multipliers;
        for (const std::string& m : credit.multipliers) multipliers += (multipliers.empty() ? "" : "|") + m;
        EXPECT_EQ(multipliers, c.multipliers) << c.contest.name << ": " << c.call << " " << c.rcvd;
        EXPECT_EQ(credit.points, c.points) << c.contest.name << ": " << c.own << " works " << c.call;
    }
}

// A contest by hand: logs by own call, QSOs by (log, call, band, minute, exchanges), in the contest period
// [0, 100000) unless a QSO's minute is outside it.
struct HandQso {
    const char* logger;
    const char* call;
    int band;
    long long minute;
    const char* rcvd = "NY";
    const char* sent = "NY";
    bool counted = true;
    const char* prefix = "K";
};

struct HandContest {
    check::CallTable calls;
    std::vector<check::CheckLog> logs;
    std::vector<std::string> owners;

    explicit HandContest(const std::vector<HandQso>& qsos) {
        for (const HandQso& q : qsos) {
            size_t li = 0;
            while (li < owners.size() && owners[li] != q.logger) ++li;
            if (li == owners.size()) {
                owners.push_back(q.logger);
                logs.emplace_back();
                logs.back().station = calls.Intern(check::StationOf(q.logger));
                logs.back().periodEnd = 100000;
            }
            check::CheckQso c;
            c.line = static_cast<int>(logs[li].qsos.size()) + 1;
            c.minute = q.minute;
            c.band = static_cast<uint8_t>(q.band);
            // As the plug-in does: a QSO outside the period it was given is left out for its time alone.
            const bool inPeriod = q.minute >= 0 && q.minute < 100000;
            c.counted = q.counted && inPeriod;
            c.timeOnly = q.counted && !inPeriod;
            c.call = calls.Intern(q.call);
            c.station = calls.Intern(check::StationOf(q.call));
            if (*q.sent) c.exchSent = calls.Intern(q.sent);
            c.exchRcvd = calls.Intern(q.rcvd);
            const check::QsoCredit credit =
                check::CreditQso(contest::ArrlRttyRoundup(), "K", q.call, q.prefix, q.rcvd, "20m");
            c.points = static_cast<uint8_t>(credit.points);
            if (!credit.multipliers.empty()) c.multipliers[0] = calls.Intern(credit.multipliers[0]);
            logs[li].qsos.push_back(c);
        }
    }
    check::CrossCheckResult Check(check::CrossCheckOptions o = {}) const {
        if (!o.contest) o.contest = &contest::ArrlRttyRoundup();
        return CrossCheck(logs, calls, o);
    }
};

TEST(CrossCheck, VerdictOfTheFirstQso) {
    constexpr long long kYear5983 = 5983LL * 525960;  // past what 32 bits of minutes hold
    struct Case {
        const char* name;
        std::vector<HandQso> qsos;
        Verdict verdict;
        const char* detail = "";  // busted call: the right call; busted exchange: what was sent
        int window = 3;
    } cases[] = {
        {"exactly the window apart", {{"W1AA", "K2BB", 1, 100}, {"K2BB", "W1AA", 1, 103}}, Verdict::confirmed},
        {"one minute more", {{"W1AA", "K2BB", 1, 100}, {"K2BB", "W1AA", 1, 104}}, Verdict::notInLog},
        {"exactly a wider window apart", {{"W1AA", "K2BB", 1, 100}, {"K2BB", "W1AA", 1, 95}}, Verdict::confirmed, "", 5},
        {"a minute past a wider window", {{"W1AA", "K2BB", 1, 100}, {"K2BB", "W1AA", 1, 94}}, Verdict::notInLog, "", 5},
        {"other band", {{"W1AA", "K2BB", 1, 100}, {"K2BB", "W1AA", 2, 100}}, Verdict::notInLog},
        {"busted call that is a call in the set",
         {{"W1AA", "K2BC", 1, 100}, {"K2BB", "W1AA", 1, 101}, {"K2BC", "N3CC", 1, 50}}, Verdict::bustedCall, "K2BB"},
        {"busted call of a station without a log",
         {{"W1AA", "K2BX", 1, 100}, {"K2BB", "W1AA", 1, 98}}, Verdict::bustedCall, "K2BB"},
        // Each kind of bust, the station's log and a bystander's log of a call one edit from the busted one.
        {"a letter added", {{"W1AA", "K2ABCD", 1, 100}, {"K2ABC", "W1AA", 1, 100}, {"K2ABD", "N3CC", 1, 50}},
         Verdict::bustedCall, "K2ABC"},
        {"a letter dropped", {{"W1AA", "K2AC", 1, 100}, {"K2ABC", "W1AA", 1, 100}, {"K2AD", "N3CC", 1, 50}},
         Verdict::bustedCall, "K2ABC"},
        {"the last letter dropped", {{"W1AA", "K2AB", 1, 100}, {"K2ABC", "W1AA", 1, 100}}, Verdict::bustedCall, "K2ABC"},
        {"two letters swapped", {{"W1AA", "K2BAC", 1, 100}, {"K2ABC", "W1AA", 1, 100}}, Verdict::bustedCall, "K2ABC"},
        {"a look-alike digit for a letter", {{"W1AA", "K2AB5", 1, 100}, {"K2ABS", "W1AA", 1, 100}},
         Verdict::bustedCall, "K2ABS"},
        {"two letters changed is no bust", {{"W1AA", "K2AXY", 1, 100}, {"K2ABC", "W1AA", 1, 100}}, Verdict::unique},
        {"no bust of a station this log worked then too",
         {{"W1AA", "K2BC", 1, 100}, {"W1AA", "K2BB", 1, 98}, {"K2BB", "W1AA", 1, 98}}, Verdict::unique},
        {"the other side busted this call: this side stands",
         {{"W1AA", "K2BB", 1, 100}, {"K2BB", "W1AB", 1, 100}}, Verdict::confirmed},
        {"the other side worked the station one edit away", {{"W1AA", "K2BB", 1, 100}, {"K2BB", "W1AB", 1, 100},
         {"W1AB", "K2BB", 1, 101}}, Verdict::notInLog},
        {"the other side added a letter to this call", {{"W1AA", "K2BB", 1, 100}, {"K2BB", "W1AAX", 1, 100}},
         Verdict::confirmed},
        {"the other side dropped a letter of this call", {{"W1ABC", "K2BB", 1, 100}, {"K2BB", "W1AC", 1, 100}},
         Verdict::confirmed},
        {"the other side dates it a day later", {{"W1AA", "K2BB", 1, 2000}, {"K2BB", "W1AA", 1, 2000 + 1440 + 3}},
         Verdict::confirmed},
        {"the other side dates it a day earlier", {{"W1AA", "K2BB", 1, 2000}, {"K2BB", "W1AA", 1, 2000 - 1440}},
         Verdict::confirmed},
        {"a day and a minute past the window", {{"W1AA", "K2BB", 1, 2000}, {"K2BB", "W1AA", 1, 2000 + 1440 + 4}},
         Verdict::notInLog},
        {"a QSO with the own call", {{"W1AA", "W1AA", 1, 100}, {"K2BB", "W1AA", 1, 100}}, Verdict::ownCall},
        {"a QSO with the own call portable", {{"W1AA/4", "W1AA", 1, 100}, {"K2BB", "W1AA", 1, 100}}, Verdict::ownCall},
        {"portable logger with the home call", {{"W1AA", "K2BB", 1, 100}, {"K2BB/4", "W1AA", 1, 100}},
         Verdict::confirmed},
        {"portable call logged, the home call's log", {{"W1AA", "K2BB/4", 1, 100}, {"K2BB", "W1AA", 1, 100}},
         Verdict::confirmed},
        {"PEI sent, PE copied", {{"W1AA", "VY2BB", 1, 100, "PE"}, {"VY2BB", "W1AA", 1, 100, "NY", "PEI"}},
         Verdict::confirmed},
        {"NS copied, PEI sent", {{"W1AA", "VY2BB", 1, 100, "NS"}, {"VY2BB", "W1AA", 1, 100, "NY", "PEI"}},
         Verdict::bustedExchange, "PEI"},
        {"sent in lower case", {{"W1AA", "K2BB", 1, 100, "NY"}, {"K2BB", "W1AA", 1, 100, "NY", "ny"}},
         Verdict::confirmed},
        {"the other log has no sent exchange", {{"W1AA", "K2BB", 1, 100, "NY"}, {"K2BB", "W1AA", 1, 100, "NY", ""}},
         Verdict::confirmed},
        {"serial 007 copied as 7", {{"W1AA", "DL1CC", 1, 100, "7"}, {"DL1CC", "W1AA", 1, 100, "NY", "007"}},
         Verdict::confirmed},
        {"serial 8 copied, 7 sent", {{"W1AA", "DL1CC", 1, 100, "8"}, {"DL1CC", "W1AA", 1, 100, "NY", "7"}},
         Verdict::bustedExchange, "7"},
        {"nobody else logged it", {{"W1AA", "ZZ9ZZ", 1, 100}, {"K2BB", "N3CC", 1, 100}}, Verdict::unique},
        {"others logged it, no log", {{"W1AA", "ZZ9ZZ", 1, 100}, {"K2BB", "ZZ9ZZ", 3, 400}}, Verdict::uncheckable},
        {"the plug-in's dupe is not checked again",
         {{"W1AA", "K2BB", 1, 150, "NY", "NY", false}, {"K2BB", "W1AA", 1, 100}}, Verdict::notChecked},
        {"after the period", {{"W1AA", "K2BB", 1, 100000}, {"K2BB", "W1AA", 1, 100000}}, Verdict::outsidePeriod},
        {"the last minute of the period", {{"W1AA", "K2BB", 1, 99999}, {"K2BB", "W1AA", 1, 99999}},
         Verdict::confirmed},
        {"in the year 5983", {{"W1AA", "K2BB", 1, kYear5983}, {"K2BB", "W1AA", 1, kYear5983}}, Verdict::outsidePeriod},
    };
    for (const Case& c : cases) {
        HandContest contest(c.qsos);
        const auto results = contest.Check({nullptr, c.window, check::Penalty::none});
        const check::QsoResult& r = results.logs[0].qsos[0];
        EXPECT_EQ(r.verdict, c.verdict) << c.name << ": " << check::VerdictName(r.verdict);
        if (r.verdict == Verdict::bustedCall && c.verdict == Verdict::bustedCall) {
            EXPECT_EQ(contest.calls.Text(r.rightCall), c.detail) << c.name;
        }
        if (c.verdict == Verdict::bustedExchange) {
            EXPECT_EQ(contest.calls.Text(r.sent), c.detail) << c.name;
        }
    }
}

// A clock off by more than one minute is recognised from five matches and applied; by one minute it is not. A
// QSO the plug-in left out for its time alone, made in the period by the corrected clock, counts.
TEST(CrossCheck, ClockOffset) {
    struct Case {
        int ahead;
        size_t matches;
        long long recognised;
        Verdict verdict;
        int first = 100;  // the first QSO's minute by the right clock; the period starts at minute 0
        size_t counted = 6, kept = 6;
    } cases[] = {{10, 6, 10, Verdict::confirmed}, {-10, 6, -10, Verdict::confirmed}, {2, 6, 2, Verdict::confirmed},
                 {1, 6, 0, Verdict::confirmed},   {10, check::kMinMatchesForOffset - 1, 0, Verdict::notInLog, 100, 4, 0},
                 {-10, 6, -10, Verdict::confirmed, 5, 5, 6}, {10, 6, 10, Verdict::outsidePeriod, -5, 6, 5},
                 // Whole hours and minutes, a wrong time zone, up to the edge of the search.
                 {60, 6, 60, Verdict::confirmed},  {-90, 6, -90, Verdict::confirmed}, {180, 6, 180, Verdict::confirmed},
                 {-300, 6, -300, Verdict::confirmed, 100, 0, 6}, {187, 6, 187, Verdict::confirmed},
                 {check::kOffsetSearchMinutes, 6, check::kOffsetSearchMinutes, Verdict::confirmed},
                 {check::kOffsetSearchMinutes + 1, 6, 0, Verdict::notInLog, 100, 6, 0}};
    const char* partners[] = {"K2BB", "K3CC", "K4DD", "K5EE", "K6FF", "K7GG"};
    for (const Case& c : cases) {
        std::vector<HandQso> qsos;
        for (size_t i = 0; i < c.matches; ++i) {
            qsos.push_back({"W1AA", partners[i], 1, c.first + 20 * static_cast<int>(i) + c.ahead});
            qsos.push_back({partners[i], "W1AA", 1, std::max(c.first + 20 * static_cast<int>(i), 0)});
        }
        const auto results = HandContest(qsos).Check();
        SCOPED_TRACE(std::to_string(c.ahead) + " from minute " + std::to_string(c.first));
        EXPECT_EQ(results.logs[0].clockOffset, c.recognised) << c.ahead;
        EXPECT_EQ(results.logs[0].qsos[0].verdict, c.verdict) << c.ahead;
        EXPECT_EQ(results.logs[0].counted, c.counted);
        EXPECT_EQ(results.logs[0].kept, c.kept);
        for (size_t i = 1; i < results.logs.size(); ++i) EXPECT_EQ(results.logs[i].clockOffset, 0) << c.ahead;
    }
    // Five hours behind: the plug-in left the first QSO with K2BB out for its time and counted the second on the
    // band; the check counts the first and takes the second for the dupe it is.
    std::vector<HandQso> behind;
    for (size_t i = 0; i < 6; ++i) {
        behind.push_back({"W1AA", partners[i], 1, 100 + 20 * static_cast<long long>(i) - 300});
        behind.push_back({partners[i], "W1AA", 1, 100 + 20 * static_cast<long long>(i)});
    }
    behind.push_back({"W1AA", "K2BB", 1, 10});
    behind.push_back({"W1AA", "K3CC", 2, 20});
    const auto results = HandContest(behind).Check();
    const check::LogResult& w1aa = results.logs[0];
    EXPECT_EQ(w1aa.qsos[0].verdict, Verdict::confirmed);
    EXPECT_EQ(w1aa.qsos[6].verdict, Verdict::dupe);
    EXPECT_EQ(w1aa.qsos[6].otherLine, 1);
    EXPECT_EQ(w1aa.qsos[7].verdict, Verdict::notInLog);
    EXPECT_EQ(w1aa.kept, 6u);
}

TEST(CrossCheck, CheckedPointsAndMultipliers) {
    // W1AA's first three QSOs against the other logs, and what remains of them.
    struct Case {
        const char* name;
        std::vector<HandQso> qsos;
        check::Penalty penalty;
        size_t kept, multipliers;
        long long points;
    } cases[] = {
        {"a not-in-log QSO takes its multiplier with it",
         {{"W1AA", "K2BB", 1, 100, "NY"}, {"W1AA", "K3CC", 1, 110, "OH"}, {"W1AA", "K4DD", 1, 120, "CA"},
          {"K2BB", "W1AA", 1, 100, "NY", "NY"}, {"K3CC", "W1AA", 1, 110, "NY", "OH"}, {"K4DD", "N9XX", 1, 120}},
         check::Penalty::none, 2, 2, 2},
        {"one-extra: the not-in-log QSO costs one more",
         {{"W1AA", "K2BB", 1, 100, "NY"}, {"W1AA", "K3CC", 1, 110, "OH"}, {"W1AA", "K4DD", 1, 120, "CA"},
          {"K2BB", "W1AA", 1, 100, "NY", "NY"}, {"K3CC", "W1AA", 1, 110, "NY", "OH"}, {"K4DD", "N9XX", 1, 120}},
         check::Penalty::oneExtra, 2, 2, 1},
        {"one-extra: a busted call costs one more",
         {{"W1AA", "K2BX", 1, 100, "NY"}, {"W1AA", "K3CC", 1, 110, "OH"}, {"W1AA", "K4DD", 1, 120, "CA"},
          {"K2BB", "W1AA", 1, 100, "NY", "NY"}, {"K3CC", "W1AA", 1, 110, "NY", "OH"}, {"K4DD", "W1AA", 1, 120, "NY", "CA"}},
         check::Penalty::oneExtra, 2, 2, 1},
        {"a busted exchange leaves the checked QSOs",
         {{"W1AA", "K2BB", 1, 100, "NY"}, {"W1AA", "K3CC", 1, 110, "OH"}, {"K2BB", "W1AA", 1, 100, "NY", "NY"},
          {"K3CC", "W1AA", 1, 110, "NY", "IN"}},
         check::Penalty::none, 1, 1, 1},
        {"a busted exchange costs no more with one-extra",
         {{"W1AA", "K2BB", 1, 100, "NY"}, {"W1AA", "K3CC", 1, 110, "OH"}, {"K2BB", "W1AA", 1, 100, "NY", "NY"},
          {"K3CC", "W1AA", 1, 110, "NY", "IN"}},
         check::Penalty::oneExtra, 1, 1, 1},
        {"PEI and PE are one multiplier",
         {{"W1AA", "VY2BB", 1, 100, "PEI", "PEI", true, "VE"}, {"W1AA", "VY2CC", 2, 110, "PE", "PE", true, "VE"},
          {"VY2BB", "W1AA", 1, 100, "NY", "PEI"}, {"VY2CC", "W1AA", 2, 110, "NY", "PE"}},
         check::Penalty::none, 2, 1, 2},
        {"AK from a W/VE station is a QSO without a multiplier",
         {{"W1AA", "K2BB", 1, 100, "AK"}, {"K2BB", "W1AA", 1, 100, "NY", "AK"}}, check::Penalty::none, 1, 0, 1},
        {"never below nothing", {{"W1AA", "K2BB", 1, 100}, {"K2BB", "N9XX", 1, 300}}, check::Penalty::oneExtra, 0, 0,
         0},
    };
    for (const Case& c : cases) {
        const auto r = HandContest(c.qsos).Check({nullptr, 3, c.penalty}).logs[0];
        EXPECT_EQ(r.kept, c.kept) << c.name;
        EXPECT_EQ(r.keptMultipliers, c.multipliers) << c.name;
        EXPECT_EQ(r.keptPoints, c.points) << c.name;
        EXPECT_EQ(check::CheckedScore(contest::ArrlRttyRoundup(), r), c.points * static_cast<long long>(c.multipliers)) << c.name;
    }
}

// A log whose CALLSIGN header names another station than its QSO lines is checked as the call its partners
// logged, by its lines where they cannot tell; no partner loses a QSO for it and no phantom log goes missing.
TEST(CrossCheck, HeaderCallOtherThanTheQsoLines) {
    struct Case {
        const char *header, *lines, *partnersLogged, *checkedAs;
        size_t linesVotes, headerVotes;
    } cases[] = {
        {"K2KX", "K2KS", "K2KS", "K2KS", 3, 0},  // the header typed wrong
        {"K2KS", "K2KX", "K2KS", "K2KS", 0, 3},  // the logging program set up with another call
        {"K2KS/4", "K2KX", "K2KS", "K2KS", 0, 3},
        {"K2KX", "K2KS", "K2KS/4", "K2KS", 3, 0},
        {"K2KX", "K2KS", "N9XX", "K2KS", 0, 0},   // nobody logged either: the lines
    };
    for (const Case& c : cases) {
        std::vector<HandQso> qsos;
        const char* partners[] = {"W1AA", "K3CC", "K4DD"};
        for (int i = 0; i < 3; ++i) {
            qsos.push_back({c.lines, partners[i], 1, 100 + 10 * i});
            qsos.push_back({partners[i], c.partnersLogged, 1, 100 + 10 * i});
        }
        HandContest contest(qsos);
        contest.logs[0].linesStation = contest.logs[0].station;
        contest.logs[0].station = contest.calls.Intern(check::StationOf(c.header));
        const auto results = contest.Check();
        const check::LogResult& r = results.logs[0];
        SCOPED_TRACE(std::string(c.header) + " / " + c.lines);
        EXPECT_EQ(contest.calls.Text(r.station), c.checkedAs);
        EXPECT_EQ(contest.calls.Text(r.headerStation), check::StationOf(c.header));
        EXPECT_EQ(r.linesVotes, c.linesVotes);
        EXPECT_EQ(r.headerVotes, c.headerVotes);
        if (c.partnersLogged[0] == 'N') continue;
        for (size_t li = 1; li < 4; ++li) EXPECT_EQ(results.logs[li].qsos[0].verdict, Verdict::confirmed) << li;
        EXPECT_EQ(results.logs[0].qsos[0].verdict, Verdict::confirmed);
        EXPECT_TRUE(results.missing.empty());
    }
    // Header and lines agree: nothing is noted.
    HandContest same({{"K2KS", "W1AA", 1, 100}, {"W1AA", "K2KS", 1, 100}});
    EXPECT_EQ(same.Check().logs[0].headerStation, check::CallTable::kNone);
}

// The options that change what the check takes away.
TEST(CheckCommandLine, PenaltyAndWindow) {
    struct Case {
        std::vector<std::string> args;
        check::CommandLine result;
        check::Penalty penalty;
        int window;
        const char* error;
    } cases[] = {
        {{"logs"}, check::CommandLine::run, check::Penalty::none, 3, ""},
        {{"--penalty", "one-extra", "logs"}, check::CommandLine::run, check::Penalty::oneExtra, 3, ""},
        {{"--penalty", "one-extra", "--penalty", "none", "logs"}, check::CommandLine::run, check::Penalty::none, 3, ""},
        {{"--penalty", "two", "logs"}, check::CommandLine::error, check::Penalty::none, 3,
         "--penalty wants none or one-extra, got 'two'"},
        {{"--window", "1440", "logs"}, check::CommandLine::run, check::Penalty::none, 1440, ""},
        {{"--window", "1441", "logs"}, check::CommandLine::error, check::Penalty::none, 3,
         "--window wants minutes from 0 to 1440, got '1441'"},
    };
    for (const Case& c : cases) {
        check::CheckOptions o;
        std::vector<std::string> worker;
        std::string error;
        EXPECT_EQ(check::ParseCommandLine(c.args, o, worker, error), c.result) << c.args[0];
        EXPECT_EQ(o.crossCheck.penalty, c.penalty) << c.args[1];
        EXPECT_EQ(o.crossCheck.windowMinutes, c.window) << c.args[1];
        EXPECT_EQ(error, c.error);
    }
}

TEST(CrossCheck, LogsOfAnotherPeriodDoNotMeet) {
    HandContest contest({{"W1AA", "K2BB", 1, 100}, {"K2BB", "N9XX", 1, 100}});
    contest.logs[1].periodStart = 525600;
    contest.logs[1].periodEnd = 525600 + 1800;
    EXPECT_EQ(contest.Check().logs[0].qsos[0].verdict, Verdict::unique);
}

// VE3XX sent ON on the air and its log says QC: the copies of ON stand, a copy of anything else is held
// against ON, and VE3XX is named. Two copies make no consensus.
TEST(CrossCheck, SentExchangeConsensus) {
    std::vector<HandQso> qsos;
    const char* copiers[] = {"K2BB", "K3CC", "K4DD", "K5EE"};
    const char* copied[] = {"ON", "ON", "on", "NS"};
    for (int i = 0; i < 4; ++i) {
        qsos.push_back({copiers[i], "VE3XX", 1, 100 + 10 * i, copied[i], "NY"});
        qsos.push_back({"VE3XX", copiers[i], 1, 100 + 10 * i, "NY", "QC"});
    }
    HandContest contest(qsos);
    const auto results = contest.Check();
    const check::Consensus& k = results.logs[1].consensus;
    ASSERT_NE(k.copied, check::CallTable::kNone);
    EXPECT_EQ(contest.calls.Text(k.copied), "ON");
    EXPECT_EQ(contest.calls.Text(k.logged), "QC");
    EXPECT_EQ(k.agreeing, 3u);
    EXPECT_EQ(k.copies, 4u);
    const Verdict expected[] = {Verdict::confirmed, Verdict::confirmed, Verdict::confirmed, Verdict::bustedExchange};
    for (size_t li = 0; li < contest.owners.size(); ++li) {
        for (int i = 0; i < 4; ++i) {
            if (contest.owners[li] != copiers[i]) continue;
            const check::QsoResult& r = results.logs[li].qsos[0];
            EXPECT_EQ(r.verdict, expected[i]) << copiers[i];
            EXPECT_EQ(r.byConsensus, i < 3) << copiers[i];
            if (i == 3) {
                EXPECT_EQ(contest.calls.Text(r.sent), "ON");
            }
        }
    }
    qsos.resize(4);
    const auto two = HandContest(qsos).Check();
    EXPECT_EQ(two.logs[1].consensus.copied, check::CallTable::kNone);
    EXPECT_EQ(two.logs[0].qsos[0].verdict, Verdict::bustedExchange);

    // A consensus needs three copies and two thirds of all: exactly two thirds makes one, half does not.
    struct Share {
        int agreeing, others;
        bool consensus;
    } shares[] = {{4, 2, true}, {3, 3, false}, {3, 2, false}, {6, 3, true}, {5, 3, false}};
    for (const Share& sh : shares) {
        static const char* const kCopiers[] = {"K0CC", "K1CC", "K2CC", "K3CC", "K4CC", "K5CC", "K6CC", "K7CC", "K8CC"};
        std::vector<HandQso> many;
        for (int i = 0; i < sh.agreeing + sh.others; ++i) {
            many.push_back({kCopiers[i], "VE3XX", 1, 100 + 10 * i, i < sh.agreeing ? "ON" : "NS"});
        }
        for (int i = 0; i < sh.agreeing + sh.others; ++i) many.push_back({"VE3XX", many[i].logger, 1, 100 + 10 * i, "NY", "QC"});
        HandContest contest(many);
        const auto results = contest.Check();
        const size_t ve = static_cast<size_t>(sh.agreeing + sh.others);
        ASSERT_EQ(contest.owners[ve], "VE3XX");
        EXPECT_EQ(results.logs[ve].consensus.copied != check::CallTable::kNone, sh.consensus)
            << sh.agreeing << " of " << sh.agreeing + sh.others;
        EXPECT_EQ(results.logs[0].qsos[0].verdict, sh.consensus ? Verdict::confirmed : Verdict::bustedExchange)
            << sh.agreeing << " of " << sh.agreeing + sh.others;
    }
}

// A number sent makes a consensus where it is a zone (JA1XX logged 24 sent and sent 25), never where it is a
// serial number, which differs from QSO to QSO.
TEST(CrossCheck, AZoneMakesAConsensusASerialNumberNone) {
    std::vector<HandQso> qsos;
    const char* copiers[] = {"DL1AA", "DL2BB", "DL3CC", "DL4DD"};
    const char* copied[] = {"25", "25", "025", "26"};
    for (int i = 0; i < 4; ++i) {
        qsos.push_back({copiers[i], "JA1XX", 1, 100 + 10 * i, copied[i], "14"});
        qsos.push_back({"JA1XX", copiers[i], 1, 100 + 10 * i, "14", "24"});
    }
    const HandContest hand(qsos);
    for (const contest::Record* rules : {&contest::CqWwRtty(), &contest::ArrlRttyRoundup()}) {
        SCOPED_TRACE(rules->name);
        check::CrossCheckOptions o;
        o.contest = rules;
        const auto results = hand.Check(o);
        const bool zones = rules == &contest::CqWwRtty();
        const check::Consensus& k = results.logs[1].consensus;
        EXPECT_EQ(k.copied == check::CallTable::kNone, !zones);
        if (zones) EXPECT_EQ(hand.calls.Text(k.copied), "25");
        EXPECT_EQ(results.logs[0].qsos[0].verdict, zones ? Verdict::confirmed : Verdict::bustedExchange);
        EXPECT_EQ(results.logs[0].qsos[0].byConsensus, zones);
    }
}

TEST(CrossCheck, MissingLogsAndToxicShare) {
    // ZZ9ZZ sent no log and three logs hold it; YY9YY only two. K2BB's log lacks both QSOs W1AA and K3CC made
    // with it.
    // XX9XX is held three times, by one log.
    HandContest contest({{"W1AA", "ZZ9ZZ", 1, 100}, {"W1AA", "YY9YY", 1, 110}, {"W1AA", "K2BB", 2, 120},
                         {"K2BB", "ZZ9ZZ", 1, 100}, {"K2BB", "YY9YY", 3, 130}, {"K3CC", "ZZ9ZZ", 2, 200},
                         {"K3CC", "ZZ9ZZ", 3, 210}, {"K3CC", "K2BB", 2, 220}, {"K3CC", "XX9XX", 1, 300},
                         {"K3CC", "XX9XX", 2, 300}, {"K3CC", "XX9XX", 3, 300}});
    const auto results = contest.Check();
    ASSERT_EQ(results.missing.size(), 1u);
    EXPECT_EQ(contest.calls.Text(results.missing[0].station), "ZZ9ZZ");
    EXPECT_EQ(results.missing[0].logs, 3u);
    EXPECT_EQ(results.missing[0].qsos, 4u);
    EXPECT_EQ(results.logs[1].problems, 2u);  // K2BB: the two not-in-log QSOs of the others
    EXPECT_EQ(results.logs[1].matchable, 2u);
    EXPECT_EQ(results.logs[0].problems, 1u);
    EXPECT_EQ(results.logs[0].matchable, 1u);
}

// Which logs take part: one log at a time by its CONTEST and the weekend its QSOs are of, and a cut upload;
// then the logs of one station (as old as each other: the first found; two years are two contests; W1AA/4 is
// W1AA) and logs with the same QSOs under two calls, from ten. StatsCheck.MessyFolders has the rest: --use, the
// latest file, a link, CONTEST naming another contest, a log of the Roundup checked as a CQ WW log.
TEST(CheckIntake, WhichLogsTakePart) {
    const std::string plugin = (std::filesystem::path("p") / PluginFileNameOf("Stats")).string();
    auto beside = [](const char* name) { return (std::filesystem::path("p") / PluginFileNameOf(name)).string(); };
    const std::string july = "QSOs of 2026-07-11: not a weekend of this contest (the ARRL-RTTY of 2026 starts "
                             "2026-01-03 1800 UTC)";
    struct Log {
        const char* path;
        const char* call;
        const char* start;  // the log's contest period, as the plug-in's record finds it
        const char* contest = "ARRL-RTTY";
        long long fileTime = 1;
        bool named = false;
        int qsos = 3;
        int cutAfterLine = 0;
        bool otherQsos = false;  // its last QSO is not the others'
    };
    struct Case {
        const char* name;
        std::vector<Log> logs;
        std::vector<std::string> decisions;  // per log: why it is set apart, else its warnings
    } cases[] = {
        {"the contest's weekend", {{"a", "W1AA", "2025-01-04 1800"}}, {""}},
        {"another name on the contest's weekend", {{"a", "W1AA", "2025-01-04 1800", "NAQP-RTTY"}},
         {"CONTEST: NAQP-RTTY is not ARRL-RTTY, but its QSOs are of the contest's weekend: checked as a log of it"}},
        {"a week late, no CONTEST", {{"a", "W1AA", "2025-01-11 1800", ""}},
         {"QSOs of 2025-01-11: not a weekend of this contest (the ARRL-RTTY of 2025 starts 2025-01-04 1800 UTC)"}},
        {"July under another name", {{"a", "W1AA", "2026-07-11 1800", "NAQP-RTTY"}}, {"CONTEST: NAQP-RTTY; " + july}},
        {"a CQ WW log by its weekend", {{"a", "W1AA", "2024-09-28 1800", ""}},
         {"CQ-WW-RTTY log: check it with --plugin " + beside("StatsCQWW")}},
        {"cut short", {{"a", "W1AA", "2025-01-04 1800", "ARRL-RTTY", 1, false, 3, 42}},
         {"no END-OF-LOG: line: the log may have been cut short in the upload (its last line is 42)"}},
        {"cut short in July", {{"a", "W1AA", "2026-07-11 1800", "ARRL-RTTY", 1, false, 3, 42}}, {july}},
        {"as old", {{"a", "W1AA", "2025-01-04 1800"}, {"b", "W1AA", "2025-01-04 1800"}},
         {"", "replaced by a, another log of W1AA as old as it (the first found is kept; name the one to keep with "
              "--use)"}},
        {"two years", {{"a", "W1AA", "2019-01-05 1800", "ARRL-RTTY", 2}, {"b", "W1AA", "2025-01-04 1800"}}, {"", ""}},
        {"a portable call", {{"a", "W1AA/4", "2025-01-04 1800", "ARRL-RTTY", 1}, {"b", "W1AA", "2025-01-04 1800", "ARRL-RTTY", 2}},
         {"replaced by b, a later log of W1AA (by file time)", ""}},
        {"a copy under another call",
         {{"a", "W1AA", "2025-01-04 1800", "ARRL-RTTY", 1, false, 10}, {"b", "K2BB", "2025-01-04 1800", "ARRL-RTTY", 1, false, 10}},
         {"the same 10 QSOs as K2BB's log b: a copy under another call?",
          "the same 10 QSOs as W1AA's log a: a copy under another call?"}},
        {"nine QSOs make no copy",
         {{"a", "W1AA", "2025-01-04 1800", "ARRL-RTTY", 1, false, 9}, {"b", "K2BB", "2025-01-04 1800", "ARRL-RTTY", 1, false, 9}},
         {"", ""}},
        {"one QSO otherwise",
         {{"a", "W1AA", "2025-01-04 1800", "ARRL-RTTY", 1, false, 10},
          {"b", "K2BB", "2025-01-04 1800", "ARRL-RTTY", 1, false, 10, 0, true}},
         {"", ""}},
    };
    for (const Case& c : cases) {
        check::CallTable calls;
        std::vector<check::LogInfo> infos(c.logs.size());
        std::vector<check::CheckLog> logs(c.logs.size());
        std::vector<check::IntakeLog> intake;
        for (size_t i = 0; i < c.logs.size(); ++i) {
            const Log& l = c.logs[i];
            infos[i].path = l.path;
            infos[i].call = l.call;
            if (*l.contest) infos[i].header["CONTEST"] = l.contest;
            infos[i].cutAfterLine = l.cutAfterLine;
            logs[i].station = calls.Intern(check::StationOf(l.call));
            int y = 0, mo = 0, d = 0, h = 0;
            ASSERT_EQ(std::sscanf(l.start, "%d-%d-%d %d", &y, &mo, &d, &h), 4);
            logs[i].periodStart = replay::WholeMinutes(COleDateTime::FromFields(y, mo, d, h / 100, 0));
            for (int q = 0; q < l.qsos; ++q) {
                check::CheckQso qso;
                qso.minute = logs[i].periodStart + 10 * q + (l.otherQsos && q + 1 == l.qsos);
                qso.band = 2;
                qso.call = calls.Intern("K" + std::to_string(q) + "XX");
                logs[i].qsos.push_back(qso);
            }
            intake.push_back({&infos[i], &logs[i], l.fileTime, l.named});
        }
        const auto decisions = check::DecideIntake(contest::ArrlRttyRoundup(), plugin, intake, calls);
        ASSERT_EQ(decisions.size(), c.decisions.size()) << c.name;
        for (size_t i = 0; i < decisions.size(); ++i) {
            std::string said = decisions[i].setApart;
            for (const std::string& w : decisions[i].warnings) said += (said.empty() ? "" : " | ") + w;
            EXPECT_EQ(said, c.decisions[i]) << c.name << ": " << c.logs[i].path;
            EXPECT_EQ(decisions[i].replaced, said.rfind("replaced by", 0) == 0) << c.name;
        }
    }
}

// The outputs of a contest of three logs in two categories.
TEST(CheckOutputs, ResultsInOrderUnderTheirHeaders) {
    // W1AA: two confirmed (NY, OH) and K2BC busted for K2BB; K2BB: two confirmed; K3CC: one confirmed, one
    // not in log, ZZ1ZZ unique.
    // W1AA's fourth QSO is a dupe the plug-in did not count: it takes nothing away in the check.
    HandContest contest({{"W1AA", "K2BB", 1, 100}, {"W1AA", "K3CC", 1, 110, "OH"}, {"W1AA", "K2BC", 2, 300},
                         {"W1AA", "K3CC", 1, 150, "OH", "NY", false},
                         {"K2BB", "W1AA", 1, 100}, {"K2BB", "W1AA", 2, 300}, {"K3CC", "W1AA", 1, 110, "NY", "OH"},
                         {"K3CC", "K2BB", 3, 320, "NY", "OH"}, {"K3CC", "ZZ1ZZ", 1, 400, "NY", "OH"}});
    const auto results = contest.Check();
    std::vector<check::LogInfo> infos(3);
    const char* locations[] = {"=HYPERLINK(\"x\")", "NY, NJ", "OH"};
    const char* operators[] = {"SINGLE-OP", "SINGLE-OP", "MULTI-OP"};
    for (size_t i = 0; i < 3; ++i) {
        infos[i].call = contest.owners[i];
        infos[i].reportName = contest.owners[i] + ".lcr.txt";
        infos[i].header = {{"LOCATION", locations[i]}, {"CATEGORY-OPERATOR", operators[i]}};
        infos[i].qsos = contest.logs[i].qsos.size();
    }
    // Scores a person reads have thousands separators from 1,000 on; the CSV's stay plain digits.
    infos[0].claimedScore = 13992;
    infos[0].pluginScore = 1000;
    infos[1].pluginScore = 999;
    check::CheckedContest c;
    c.contest = &contest::ArrlRttyRoundup();
    c.infos = &infos;
    c.logs = &contest.logs;
    c.results = &results;
    c.calls = &contest.calls;
    EXPECT_EQ(check::ResultsCsv(c),
              "call,category_operator,category_power,category_assisted,location,claimed_score,qsos,plugin_score,"
              "checked_qsos,not_in_log,busted_call,busted_exchange,unique,outside_period,checked_score,contest,year\r\n"
              "K3CC,MULTI-OP,,,OH,,3,,2,1,0,0,1,0,2,ARRL-RTTY,1899\r\n"
              "W1AA,SINGLE-OP,,,\"'=HYPERLINK(\"\"x\"\")\",13992,4,1000,2,0,1,0,0,0,4,ARRL-RTTY,1899\r\n"
              "K2BB,SINGLE-OP,,,\"NY, NJ\",,2,999,2,0,0,0,0,0,2,ARRL-RTTY,1899\r\n");
    EXPECT_NE(check::LogCheckReport(c, 0).find("; score claimed 13,992, plug-in 1,000, checked 4\r\n"),
              std::string::npos);
    // The toxic logs, the highest share first: one of K3CC's two matches failed (K2BB lacks its QSO), one of
    // three of W1AA's (its busted call) and of K2BB's (the QSO it lacks).
    EXPECT_EQ(check::ToxicLogsCsv(c), "call,matches,failed,share,stands_out\r\n"
                                      "K3CC,2,1,0.5000,no\r\nW1AA,3,1,0.3333,no\r\nK2BB,3,1,0.3333,no\r\n");
    // Stations without a log: one whose file could not be read (under its call or a portable form of it) is no
    // station that sent none; a replaced log says nothing of its station.
    check::CrossCheckResult withMissing = results;
    withMissing.missing = {{contest.calls.Intern("ZZ1ZZ"), 0, 4, 5}, {contest.calls.Intern("YY1YY"), 0, 3, 3},
                           {contest.calls.Intern("XX1XX"), 0, 3, 3}};
    c.results = &withMissing;
    c.leftOut = {{"logs/zz1zz.log", "logs/zz1zz.log is UTF-16 text", false, "zz1zz"},
                 {"logs/yy.log", "lost: its worker ended by signal 9 (SIGKILL) while scoring it", true, "YY1YY/P"},
                 {"logs/xx-v1.log", "replaced by logs/xx.log, a later log of XX1XX (by file time)", false, "XX1XX", true},
                 {"logs/a\nb", "a pipe (FIFO): not opened"}};
    EXPECT_EQ(check::MissingLogsCsv(c), "call,logs,qsos,year,status\r\n"
                                        "ZZ1ZZ,4,5,1899,log not checked: is UTF-16 text\r\n"
                                        "YY1YY,3,3,1899,log not checked: lost: its worker ended by signal 9 (SIGKILL) "
                                        "while scoring it\r\n"
                                        "XX1XX,3,3,1899,sent no log\r\n");
    EXPECT_EQ(check::FilesNotCheckedCsv(c),
              "file,call,reason\r\n"
              "logs/zz1zz.log,zz1zz,logs/zz1zz.log is UTF-16 text\r\n"
              "logs/yy.log,YY1YY/P,lost: its worker ended by signal 9 (SIGKILL) while scoring it\r\n"
              "logs/xx-v1.log,XX1XX,\"replaced by logs/xx.log, a later log of XX1XX (by file time)\"\r\n"
              "logs/a\\x0Ab,,a pipe (FIFO): not opened\r\n");
    infos[1].warnings = {"no END-OF-LOG: line: the log may have been cut short in the upload (its last line is 9)"};
    EXPECT_NE(check::LogCheckReport(c, 1).find("Clock offset: none recognised\r\nWarning: no END-OF-LOG: line: the "
                                               "log may have been cut short in the upload (its last line is 9)\r\n"),
              std::string::npos);
    const std::string listed = check::ResultsHtml(c, "Check");
    EXPECT_NE(listed.find("<tr><td>ZZ1ZZ</td><td class=\"n\">1899</td><td class=\"n\">4</td><td class=\"n\">5</td>"
                          "<td>log not checked: is UTF-16 text</td></tr>"),
              std::string::npos);
    EXPECT_NE(listed.find("<h2>Logs to look at</h2>\r\n<ul>\r\n<li><a href=\"K2BB.lcr.txt\">K2BB</a>: no END-OF-LOG:"),
              std::string::npos);
    c.results = &results;
    c.leftOut.clear();
    const std::string html = check::ResultsHtml(c, "Check <&>");
    EXPECT_NE(html.find("<title>Check &lt;&amp;&gt;</title>"), std::string::npos);
    EXPECT_NE(html.find("<h3>MULTI-OP</h3>"), std::string::npos);
    // Ranks start again at 1 in each category, highest checked score first; each call links to its report, the
    // sent exchange stands beside a LOCATION that says otherwise, and the busted call took one point.
    const size_t single = html.find("<h3>SINGLE-OP</h3>");
    ASSERT_NE(single, std::string::npos);
    const size_t w1aa = html.find("<td class=\"n\">1</td><td><a href=\"W1AA.lcr.txt\">W1AA</a></td><td class=\"n\">"
                                  "<b>4</b></td><td class=\"n lost\">1, 0</td><td>NY <span class=\"note\">(LOCATION: "
                                  "=HYPERLINK(&quot;x&quot;))</span></td><td class=\"n\">13,992</td><td class=\"n\">4"
                                  "</td><td class=\"n\">1,000</td>", single);
    const size_t k2bb = html.find("<td class=\"n\">2</td><td><a href=\"K2BB.lcr.txt\">K2BB</a></td>", single);
    EXPECT_NE(w1aa, std::string::npos) << html;
    EXPECT_NE(k2bb, std::string::npos);
    EXPECT_LT(w1aa, k2bb);
    EXPECT_NE(html.find("<td class=\"n\">999</td>", k2bb), std::string::npos);
    // A list with nothing in it says so in one line instead of a bare header; one with rows is a table.
    EXPECT_NE(html.find("the sponsor may ask for their logs.</p>\r\n<p class=\"note\">None.</p>\r\n"), std::string::npos);
    EXPECT_NE(html.find("held against it.</p>\r\n<p class=\"note\">None.</p>\r\n</body>"), std::string::npos);
    EXPECT_EQ(html.find("<th>logs holding it</th>"), std::string::npos);
    EXPECT_NE(listed.find("the sponsor may ask for their logs.</p>\r\n<div class=\"wide\"><table><tr><th>call</th>"),
              std::string::npos);

    // K3CC's log of a later contest: each contest ranked apart, the latest first, and a lone log said to be so.
    std::vector<check::CheckLog> logs = contest.logs;
    logs[2].periodStart = replay::WholeMinutes(COleDateTime::FromFields(2025, 1, 4, 18, 0));
    logs[2].periodEnd = logs[2].periodStart + 30 * 60;
    c.logs = &logs;
    infos[2].header["CATEGORY-OPERATOR"] = "SINGLE-OP";
    infos[2].reportName = "K3CC #1.lcr.txt";
    const std::string years = check::ResultsHtml(c, "Check");
    EXPECT_EQ(check::ContestYears(c), "1899 and 2025");
    const size_t later = years.find("<h2>2025: 2025-01-04 18:00 to 2025-01-06 00:00 UTC, 1 log</h2>");
    const size_t earlier = years.find("<h2>1899: ");
    ASSERT_NE(later, std::string::npos) << years;
    EXPECT_LT(later, earlier);
    EXPECT_NE(years.find("The only log of this contest", later), std::string::npos);
    EXPECT_NE(years.find("<td class=\"n\">1</td><td><a href=\"K3CC%20%231.lcr.txt\">K3CC</a>", later),
              std::string::npos);
    EXPECT_NE(years.find("<td class=\"n\">1</td><td><a href=\"W1AA.lcr.txt\">", earlier), std::string::npos);
}

// results.html beside a call: the exchange its station sent most, as its Cabrillo line writes it, said once where
// the LOCATION header says the same and with the header where that says otherwise; over a year's ranking, a note
// where its logs share no QSO, and none where one QSO was held against another log, even one that lacks it.
TEST(CheckOutputs, SentExchangeAndYearNotes) {
    const contest::Record& roundup = contest::ArrlRttyRoundup();
    const contest::Record& cqww = contest::CqWwRtty();
    check::CheckedContest c;
    auto page = [&c](const contest::Record& rules, const HandContest& contest, std::vector<check::LogInfo>& infos) {
        const auto results = contest.Check();
        for (size_t i = 0; i < infos.size(); ++i) infos[i].call = infos[i].reportName = contest.owners[i];
        c.contest = &rules;
        c.infos = &infos;
        c.logs = &contest.logs;
        c.results = &results;
        c.calls = &contest.calls;
        return check::ResultsHtml(c, "Check");
    };
    struct Sent {
        const contest::Record& contest;
        const char *sent, *location, *cell;
    } sent[] = {
        {roundup, "NY", "ny", "NY"},
        {roundup, "PEI", "PE", "PE"},
        {roundup, "NY", "ENY", "NY <span class=\"note\">(LOCATION: ENY)</span>"},
        {roundup, "123", "DX", "serial no."},
        {cqww, "14 DX", "DX", "14 DX"},
        {cqww, "14", "DX", "14 DX"},
        {cqww, "3", "", "03 DX"},
        {cqww, "05 MA", "NY", "05 MA <span class=\"note\">(LOCATION: NY)</span>"},
    };
    for (const Sent& t : sent) {
        HandContest contest({{"W1AA", "K2BB", 1, 100, "NY", t.sent}});
        std::vector<check::LogInfo> infos(1);
        if (*t.location) infos[0].header = {{"LOCATION", t.location}};
        const std::string html = page(t.contest, contest, infos);
        EXPECT_NE(html.find(std::string("</td><td>") + t.cell + "</td><td class=\"n\">"), std::string::npos)
            << t.contest.name << ": " << t.sent << " beside " << t.location << "\n" << html;
    }
    const std::string kNoShared = "<p class=\"note\">These logs share no QSO with each other, so nothing could be "
                                  "cross-checked between them: each QSO is unique or not checkable.</p>";
    struct Year {
        std::vector<HandQso> qsos;
        bool note;
    } years[] = {
        {{{"W1AA", "ZZ1ZZ", 1, 100}, {"K2BB", "YY1YY", 1, 100}}, true},
        {{{"W1AA", "ZZ1ZZ", 1, 100}, {"K2BB", "W1AA", 1, 100}}, false},  // not in W1AA's log: checked
    };
    for (const Year& y : years) {
        HandContest contest(y.qsos);
        std::vector<check::LogInfo> infos(2);
        const std::string html = page(roundup, contest, infos);
        EXPECT_EQ(html.find(kNoShared) != std::string::npos, y.note) << html;
        EXPECT_EQ(html.find("The only log of this contest"), std::string::npos);
    }
}

// A log's report: the summary's clock and own-call lines, and the sections of this round, each entry with
// its line quoted as the file holds it.
TEST(CheckOutputs, LogReportSummaryAndSections) {
    std::vector<HandQso> qsos;
    // W1AA's clock is ten minutes behind; it also logs itself and K9KS, whose header says K9KX.
    const char* partners[] = {"K2BB", "K3CC", "K4DD", "K5EE", "K6FF"};
    for (int i = 0; i < 5; ++i) {
        qsos.push_back({"W1AA", partners[i], 1, 90 + 20 * i});
        qsos.push_back({partners[i], "W1AA", 1, 100 + 20 * i});
    }
    qsos.push_back({"W1AA", "W1AA", 2, 300});
    qsos.push_back({"W1AA", "K9KS", 1, 390});
    qsos.push_back({"K9KS", "W1AA", 1, 400});
    // VE3XX sent ON and logs QC: three copies of ON keep K2BB's; N8DD dates its QSO with K5EE a day off.
    for (int i = 0; i < 3; ++i) {
        qsos.push_back({partners[i], "VE3XX", 3, 500 + 10 * i, "ON"});
        qsos.push_back({"VE3XX", partners[i], 3, 500 + 10 * i, "NY", "QC"});
    }
    qsos.push_back({"K5EE", "N8DD", 4, 3000});
    qsos.push_back({"N8DD", "K5EE", 4, 3000 + 1440});
    HandContest contest(qsos);
    const size_t k9ks = 6, k2bb = 1, k5ee = 4;
    ASSERT_EQ(contest.owners[k9ks], "K9KS");
    contest.logs[k9ks].linesStation = contest.logs[k9ks].station;
    contest.logs[k9ks].station = contest.calls.Intern("K9KX");
    const auto results = contest.Check();
    std::vector<check::LogInfo> infos(contest.owners.size());
    for (size_t i = 0; i < infos.size(); ++i) {
        infos[i].call = infos[i].linesCall = contest.owners[i];
        infos[i].path = contest.owners[i] + ".log";
    }
    infos[k9ks].headerCall = "K9KX";
    check::CheckedContest c;
    c.contest = &contest::ArrlRttyRoundup();
    c.infos = &infos;
    c.logs = &contest.logs;
    c.results = &results;
    c.calls = &contest.calls;
    const auto quoted = check::QuotedLines(c);
    for (size_t li = 0; li < quoted.size(); ++li) {
        c.quotes.emplace_back();
        for (int line : quoted[li]) c.quotes.back()[line] = "QSO line " + std::to_string(line) + " of " + contest.owners[li];
    }
    const std::string w1aa = check::LogCheckReport(c, 0);
    EXPECT_NE(w1aa.find("\r\nClock offset: 10 minutes behind (applied)\r\n"), std::string::npos) << w1aa;
    EXPECT_NE(w1aa.find("\r\nQSOs with the own call (not counted: a station does not work itself, and its own log "
                        "would confirm them): 1\r\n     6  QSO line 6 of W1AA\r\n"),
              std::string::npos) << w1aa;
    EXPECT_EQ(results.logs[0].kept, 6u);
    const std::string k9 = check::LogCheckReport(c, k9ks);
    EXPECT_NE(k9.find("\r\nClock offset: none recognised\r\nOwn call: the CALLSIGN header says K9KX, its QSO lines "
                      "K9KS: checked as K9KS (the partners' logs hold 1 of its QSOs with K9KS, 0 with K9KX)\r\n"),
              std::string::npos) << k9;
    const std::string k2 = check::LogCheckReport(c, k2bb);
    EXPECT_NE(k2.find("\r\nExchanges kept by consensus (the other log's sent exchange is likely wrong): 1\r\n"
                      "     2  QSO line 2 of K2BB   (3 of 3 copied ON; its log says QC)\r\n"
                      "        other log VE3XX.log:1: QSO line 1 of VE3XX\r\n"),
              std::string::npos) << k2;
    const std::string k5 = check::LogCheckReport(c, k5ee);
    EXPECT_NE(k5.find("\r\nMatched with a QSO the other log dates a day off (at the same time of day): 1\r\n"
                      "     2  QSO line 2 of K5EE\r\n        other log N8DD.log:1: QSO line 1 of N8DD\r\n"),
              std::string::npos) << k5;
}

TEST(CheckOutputs, CsvFieldsNeverFormulas) {
    struct Case {
        const char *in, *out;
    } cases[] = {{"W1AW", "W1AW"},          {"=1+1", "'=1+1"},        {"+1", "'+1"},        {"-2", "'-2"},
                 {"@SUM(A1)", "'@SUM(A1)"}, {"\tx", "'\tx"},          {"\rx", "\"'\rx\""},  {"a,b", "\"a,b\""},
                 {"say \"hi\"", "\"say \"\"hi\"\"\""}, {"a\nb", "\"a\nb\""}, {"", ""}, {"1-2", "1-2"}};
    for (const Case& c : cases) EXPECT_EQ(check::CsvField(c.in), c.out) << c.in;
}

TEST(CheckOutputs, ReportNamesNeverCollide) {
    struct Case {
        std::vector<std::string> calls, names;
    } cases[] = {
        {{"C", "C", "C-2"}, {"C.lcr.txt", "C-3.lcr.txt", "C-2.lcr.txt"}},
        {{"W1AW/4", "w1aw_4"}, {"W1AW_4.lcr.txt", "w1aw_4-2.lcr.txt"}},
        {{"NUL", "com1.x", "", ".."}, {"_NUL.lcr.txt", "_com1.x.lcr.txt", "NOCALL.lcr.txt", "_..lcr.txt"}},
        {{std::string(300, 'A'), std::string(299, 'A')},
         {std::string(64, 'A') + ".lcr.txt", std::string(64, 'A') + "-2.lcr.txt"}},
        {{"A\x1b[2JB"}, {"A_[2JB.lcr.txt"}},
    };
    for (const Case& c : cases) EXPECT_EQ(check::ReportFileNames(c.calls), c.names) << c.calls[0];
}

TEST(CheckOutputs, PrintableText) {
    struct Case {
        const char *in, *out;
    } cases[] = {{"W1AW.log", "W1AW.log"},
                 {"x\nA41ZZ.log", "x\\x0AA41ZZ.log"},
                 {"\x1b]0;owned\x07", "\\x1B]0;owned\\x07"},
                 {"caf\xc3\xa9", "caf\xc3\xa9"},
                 {"\xc2\x9b" "31m", "\\x9B31m"},
                 {"del\x7f", "del\\x7F"}};
    for (const Case& c : cases) EXPECT_EQ(check::Printable(c.in), c.out) << c.in;
}

// What a worker sends back holds any bytes, and a record cut short is no record.
TEST(CheckWorker, RecordsRoundTrip) {
    check::WorkerLog w;
    w.index = 7;
    w.format = "Cabrillo";
    w.ownCall = "W1AW";
    w.claimedScore = 12;
    w.header = {{"LOCATION", "a\nb:3:c"}};
    w.skipped = {{14, "frequency '-14080' is not a frequency in kHz"}};
    w.cutAfterLine = 77;
    w.qsos.push_back({9, 5983LL * 525960, 2, "K2BB", "NY", "12:3\n", true, "K", ""});
    std::ostringstream out;
    check::WriteWorkerLog(out, w);
    check::WriteWorkerLog(out, w);
    const std::string bytes = out.str();
    std::istringstream in(bytes);
    check::WorkerLog back;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(check::ReadWorkerLog(in, back));
        EXPECT_EQ(back.index, 7u);
        EXPECT_EQ(back.header, w.header);
        EXPECT_FALSE(back.pluginScore);
        EXPECT_EQ(back.claimedScore, 12);
        ASSERT_EQ(back.skipped.size(), 1u);
        EXPECT_EQ(back.skipped[0].reason, w.skipped[0].reason);
        EXPECT_EQ(back.cutAfterLine, 77);
        ASSERT_EQ(back.qsos.size(), 1u);
        EXPECT_EQ(back.qsos[0].minute, w.qsos[0].minute);
        EXPECT_EQ(back.qsos[0].exchRcvd, "12:3\n");
    }
    EXPECT_FALSE(check::ReadWorkerLog(in, back));
    std::istringstream cut(bytes.substr(0, bytes.size() / 2 - 3));
    EXPECT_FALSE(check::ReadWorkerLog(cut, back));

    const std::vector<std::pair<size_t, std::string>> list = {{0, "x\nA41ZZ.log"}, {3, "-"}, {4, "5:W1AW"}};
    std::stringstream listBytes;
    check::WriteWorkList(listBytes, list);
    std::vector<std::pair<size_t, std::string>> listBack;
    ASSERT_TRUE(check::ReadWorkList(listBytes, listBack));
    EXPECT_EQ(listBack, list);
}

// The program itself runs natively here; under wine the Windows build's workers are run by hand (README).
#if !defined(_WIN32)
std::string BinDir() {
    const char* dir = std::getenv("STATS_BIN_DIR");
    return dir ? dir : STATS_BIN_DIR;
}

int ExitCode(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

sim::SimOptions Options(uint32_t seed, int loggers, int silent, int qsosPerLog) {
    sim::SimOptions o;
    o.seed = seed;
    o.loggers = loggers;
    o.silent = silent;
    o.qsosPerLog = qsosPerLog;
    return o;
}

// The contest written into `folder`; empty (and the reason printed) when it cannot be simulated.
sim::SimContest Simulated(const sim::SimOptions& o, const std::string& folder) {
    std::string error;
    const sim::SimContest contest = sim::Simulate(o, replay::kDefaultScpFile, replay::kDefaultCountryFile, error);
    if (!error.empty()) ADD_FAILURE() << error;
    sim::WriteLogs(contest, folder);
    return contest;
}

// Whatever is no regular file is named and never opened; the checker's own files in --out are no logs.
TEST(StatsCheck, CollectsRegularFilesOnly) {
    TempWorkDir dir(false);
    namespace fs = std::filesystem;
    const fs::path d = dir.Path();
    fs::create_directories(d / "logs/sub");
    for (const char* f : {"logs/a.log", "logs/sub/b.log", "logs/results.csv", "logs/W1AW.lcr.txt", "logs/.hidden"}) {
        WriteFileBytes((d / f).string(), "x");
    }
    ASSERT_EQ(mkfifo((d / "logs/pipe").c_str(), 0600), 0);
    fs::create_symlink("nowhere", d / "logs/dangling");
    fs::create_symlink("loop", d / "logs/loop");
    fs::create_symlink("sub", d / "logs/folder-link");
    fs::create_symlink("a.log", d / "logs/c-link.log");
    std::vector<check::LeftOut> leftOut;
    const auto files = check::CollectLogFiles(
        {(d / "logs").string(), (d / "missing.log").string(), (d / "logs/pipe").string()}, leftOut,
        (d / "logs").string());
    EXPECT_EQ(files, (std::vector<std::string>{(d / "logs/a.log").string(), (d / "logs/c-link.log").string(),
                                               (d / "logs/sub/b.log").string()}));
    std::string named;
    for (const auto& l : leftOut) named += fs::path(l.path).filename().string() + ": " + l.reason + "\n";
    EXPECT_EQ(named,
              "dangling: a link to nothing, or to itself: No such file or directory\n"
              "folder-link: a link to a folder: not followed\n"
              "loop: a link to nothing, or to itself: Too many levels of symbolic links\n"
              "pipe: a pipe (FIFO): not opened\n"
              "missing.log: no such file or folder\n"
              "pipe: a pipe (FIFO): not opened\n");
}

// The program end to end on simulated contests of both plug-ins, several seeds: each injected error found, and
// nothing else reported. The first contest has the first simulations' errors at 3 % each and the logs that
// make the manager's reports; the others follow the error model of real logs (UseRealErrorModel) at twice its
// published rates, so that every kind is injected often enough to be scored.
TEST(StatsCheck, FindsTheInjectedErrorsOfASimulatedContest) {
    struct Run {
        const contest::Record& contest;
        uint32_t seed;
        bool realErrors;
    } runs[] = {{contest::ArrlRttyRoundup(), 7, false}, {contest::ArrlRttyRoundup(), 21, true},
                {contest::ArrlRttyRoundup(), 22, true},  {contest::CqWwRtty(), 23, true},
                {contest::CqWwRtty(), 24, true}};
    for (const Run& run : runs) {
        SCOPED_TRACE(std::string(run.contest.name) + ", seed " + std::to_string(run.seed));
        TempWorkDir dir(false);
        sim::SimOptions o = Options(run.seed, 60, 30, 150);
        o.contest = &run.contest;
        if (run.realErrors) {
            sim::UseRealErrorModel(o);
            for (double* rate : {&o.bustedCallRate, &o.bustedExchangeRate, &o.missingRate, &o.dupeRate,
                                 &o.missingExchangeRate}) {
                *rate *= 2;
            }
        } else {
            o.bustedCallRate = o.bustedExchangeRate = o.missingRate = 0.03;
            o.dupeRate = 0.02;
            o.wrongSentLogs = 2;
            o.popularSilent = 1;
            o.bustingLogs = 2;
        }
        const sim::SimContest contest = Simulated(o, dir.Path() + "/logs");
        ASSERT_FALSE(contest.logs.empty());
        const std::string plugin = BinDir() + "/" + (&run.contest == &contest::CqWwRtty() ? "libStatsCQWW.so" : "libStats.so");
        const std::string command = BinDir() + "/stats-check --jobs 2 --no-progress --plugin " + plugin + " --out " +
                                    dir.Path() + "/out " + dir.Path() + "/logs 2>" + dir.Path() + "/err.txt";
        ASSERT_EQ(std::system(command.c_str()), 0) << ReadFileBytes(dir.Path() + "/err.txt");
        const sim::CheckScore s = sim::ScoreReports(contest, dir.Path() + "/out", check::kMinLogsForMissing);
        struct Kind {
            const char* name;
            const sim::KindScore* score;
            bool injected;  // in every run of its kind
        } kinds[] = {{"busted call", &s.bustedCall, true},
                     {"busted exchange", &s.bustedExchange, true},
                     {"not in log", &s.notInLog, true},
                     {"dupe", &s.dupe, true},
                     {"clock", &s.clock, true},
                     {"missing exchange", &s.missingExchange, run.realErrors},
                     {"header call", &s.headerCall, run.realErrors},
                     {"sent-exchange consensus", &s.consensus, !run.realErrors},
                     {"toxic log", &s.toxic, !run.realErrors},
                     {"missing log", &s.missing, true},
                     {"popular missing log", &s.popular, !run.realErrors}};
        for (const Kind& k : kinds) {
            if (k.injected) {
                EXPECT_GT(k.score->truth, 0u) << k.name;
            }
            EXPECT_GE(k.score->Precision(), 0.95) << k.name << ": " << k.score->right << " of " << k.score->found << " found";
            EXPECT_GE(k.score->Recall(), 0.95) << k.name << ": " << k.score->right << " of " << k.score->truth << " injected";
        }
        const std::string csv = ReadFileBytes(dir.Path() + "/out/results.csv");
        EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), o.loggers + 1);
        // The log whose header names another call is named on standard error too, as the call it was checked as.
        for (int li : contest.headerCall) {
            EXPECT_NE(ReadFileBytes(dir.Path() + "/err.txt").find(": the CALLSIGN header says "), std::string::npos);
            EXPECT_NE(csv.find("\r\n" + contest.calls[li] + ","), std::string::npos) << contest.calls[li];
        }
    }
}

// Names a shell or a terminal would misread, a log of another year's QSO, QSO lines that cannot be read.
TEST(StatsCheck, HostileFolder) {
    TempWorkDir dir(false);
    const std::string logs = dir.Path() + "/logs";
    sim::SimOptions o = Options(3, 10, 3, 30);
    o.bustedCallRate = o.bustedExchangeRate = o.missingRate = o.dupeRate = 0;
    o.clockOffLogs = 0;
    const sim::SimContest contest = Simulated(o, logs);
    ASSERT_FALSE(contest.logs.empty());
    // The first log as a file "x" and again under "x\n<second call>.log"; the second log gets a QSO of another
    // year and four lines that cannot be read.
    std::filesystem::rename(logs + "/" + contest.calls[0] + ".log", logs + "/x");
    std::string second = contest.logs[1];
    // One of its QSOs with the first station logged with a portable form of its call.
    const size_t worked = second.find(" " + contest.calls[0] + " ");
    ASSERT_NE(worked, std::string::npos);
    second.replace(worked + 1, contest.calls[0].size(), contest.calls[0] + "/4");
    const size_t end = second.find("END-OF-LOG");
    second.insert(end, "QSO: 14080 RY 2019-01-05 1900 " + contest.calls[1] + " 599 NY W1AW 599 CT\r\n"
                       "QSO: -14080 RY 2025-01-04 1900 X 599 NY W1AW 599 CT\r\n"
                       "QSO: 18446744073709551616 RY 2025-01-04 1900 X 599 NY W1AW 599 CT\r\n"
                       "QSO: abc RY 2025-01-04 1900 X 599 NY W1AW 599 CT\r\n" + std::string(70000, 'Q') + "\r\n");
    std::filesystem::remove(logs + "/" + contest.calls[1] + ".log");
    WriteFileBytes(logs + "/x\n" + contest.calls[1] + ".log", second);
    WriteFileBytes(logs + "/-", contest.logs[2]);
    ASSERT_EQ(mkfifo((logs + "/\x1b]0;x\x07.log").c_str(), 0600), 0);
    std::filesystem::remove(logs + "/" + contest.calls[2] + ".log");
    const std::string out = dir.Path() + "/out";
    const std::string command = "cd " + logs + " && " + BinDir() + "/stats-check --no-progress --out " + out +
                                " . -- - nothere.log 2>" + dir.Path() + "/err.txt";
    EXPECT_EQ(ExitCode(std::system(command.c_str())), 1);
    const std::string err = ReadFileBytes(dir.Path() + "/err.txt");
    EXPECT_NE(err.find("nothere.log: no such file or folder (left out)"), std::string::npos) << err;
    EXPECT_NE(err.find("/\\x1B]0;x\\x07.log: a pipe (FIFO): not opened (left out)"), std::string::npos) << err;
    EXPECT_EQ(err.find('\x1b'), std::string::npos);
    // Every log scored as itself: the second log's report names its own file and the lines it did not use, and
    // its QSO with the first station's portable call is in the first log.
    const std::string report = ReadFileBytes(out + "/" + contest.calls[1] + ".lcr.txt");
    EXPECT_NE(report.find("Outside the contest period (not counted): 1\r\n"), std::string::npos) << report;
    // The summary first: the scores come before the lists.
    EXPECT_LT(report.find("\r\n\r\nQSOs "), report.find("Not in log: "));
    EXPECT_NE(report.find("Lines not used: 4\r\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Not in log: 0\r\n"), std::string::npos) << report;
    EXPECT_NE(report.find("frequency '-14080' is not a frequency in kHz"), std::string::npos);
    EXPECT_NE(report.find("frequency 'abc' is not a frequency in kHz"), std::string::npos);
    EXPECT_NE(report.find("line of 70000 bytes, longer than any log line"), std::string::npos);
    const std::string first = ReadFileBytes(out + "/" + contest.calls[0] + ".lcr.txt");
    EXPECT_NE(first.find("Not in log: 0\r\n"), std::string::npos) << first;
    EXPECT_NE(first.find(" (./x)"), std::string::npos) << first;
    EXPECT_TRUE(FileExists(out + "/" + contest.calls[2] + ".lcr.txt"));
    // The other logs meet the second log though one of its QSOs is of another year.
    EXPECT_NE(ReadFileBytes(out + "/results.csv").find("\r\n" + contest.calls[1] + ","), std::string::npos);
    for (size_t i = 0; i < 3; ++i) {
        const std::string r = ReadFileBytes(out + "/" + contest.calls[i] + ".lcr.txt");
        EXPECT_NE(r.find("Unique calls: 0\r\n"), std::string::npos) << contest.calls[i] << "\n" << r;
    }
    // --out as the folder of logs, twice: the first run's outputs are not read as logs the second time.
    const std::string inPlace = BinDir() + "/stats-check --no-progress --out " + logs + " " + logs + " 2>" +
                                dir.Path() + "/err2.txt";
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(ExitCode(std::system(inPlace.c_str())), 1);  // the pipe
        const std::string again = ReadFileBytes(dir.Path() + "/err2.txt");
        EXPECT_EQ(again.find(".lcr.txt"), std::string::npos) << again;
        EXPECT_EQ(again.find("results"), again.rfind("results in ")) << again;
    }
}

// A simulated log with another own call, in its header and in every QSO line (the call's column).
std::string WithOwnCall(const std::string& log, const std::string& call) {
    std::string out;
    for (const std::string& line : text::Split(log, '\n')) {
        if (line.empty()) continue;
        std::string l = line;
        if (l.rfind("CALLSIGN: ", 0) == 0) l = "CALLSIGN: " + call + "\r";
        if (l.rfind("QSO: ", 0) == 0) l.replace(30, 10, text::Format("%-10s", call.c_str()));
        out += l + "\n";
    }
    return out;
}

std::string Redated(const std::string& log, const std::string& saturday, const std::string& sunday) {
    return text::ReplaceAll(text::ReplaceAll(log, " 2025-01-04 ", " " + saturday + " "), " 2025-01-05 ", " " + sunday + " ");
}

// Folders as a manager gets them: each case adds files to a copy of a clean simulated contest, or changes one
// of its logs, and the check sets apart, replaces or names them; where it says so, the others' ranking and
// missing logs stay exactly those of the clean folder. A complete run removes an earlier run's partial lists.
TEST(StatsCheck, MessyFolders) {
    namespace fs = std::filesystem;
    TempWorkDir dir(false);
    const sim::SimContest contest = Simulated(Options(21, 12, 4, 40), dir.Path() + "/clean");
    ASSERT_FALSE(contest.logs.empty());
    const std::vector<std::string>& calls = contest.calls;
    auto run = [&](const std::string& logs, const std::string& out, const std::string& args) {
        const std::string command = BinDir() + "/stats-check --no-progress " + args + " --out " + out + " " + logs +
                                    " 2>" + out + ".err";
        return ExitCode(std::system(command.c_str()));
    };
    const std::string cleanOut = dir.Path() + "/clean-out";
    fs::create_directories(cleanOut);
    for (const char* stale : {"results-partial.csv", "results-partial.html", "missing-logs-partial.csv",
                              "toxic-logs-partial.csv"}) {
        WriteFileBytes(cleanOut + "/" + stale, "an earlier run's");
    }
    ASSERT_EQ(run(dir.Path() + "/clean", cleanOut, ""), 0) << ReadFileBytes(cleanOut + ".err");
    for (const fs::directory_entry& e : fs::directory_iterator(cleanOut)) {
        EXPECT_EQ(e.path().filename().string().find("partial"), std::string::npos) << e.path();
    }
    const std::string ranking = ReadFileBytes(cleanOut + "/results.csv");
    const std::string missing = ReadFileBytes(cleanOut + "/missing-logs.csv");
    ASSERT_NE(missing.find("\r\n"), missing.size() - 2) << "no missing log in the clean contest";

    const std::string first = calls[0];
    auto submissions = [&](const std::string& folder) {
        const fs::path log = folder + "/" + first + ".log";
        const auto time = fs::last_write_time(log);
        WriteFileBytes(folder + "/" + first + "-v2.log",
                       text::ReplaceAll(contest.logs[0], "CALLSIGN:", "SOAPBOX: corrected\r\nCALLSIGN:"));
        fs::last_write_time(folder + "/" + first + "-v2.log", time + std::chrono::hours(1));
        WriteFileBytes(folder + "/" + first + ".cbr", contest.logs[0]);
        fs::last_write_time(folder + "/" + first + ".cbr", time - std::chrono::hours(1));
        fs::create_symlink(first + ".log", folder + "/" + first + "-link.log");
    };
    size_t copiedQsos = 0;
    for (const std::string& line : text::Split(contest.logs[4], '\n')) copiedQsos += line.rfind("QSO: ", 0) == 0;
    struct Case {
        const char* name;
        std::function<void(const std::string& folder)> mess;
        std::string args;
        int exit;
        std::vector<std::string> said;     // in the messages, with the folder for "@"
        std::vector<std::string> notSaid;
        bool sameRanking;                  // results.csv and missing-logs.csv as the clean folder's
        std::vector<std::pair<std::string, std::string>> outputs;  // an output file and a text it holds
    } cases[] = {
        {"three stations' July logs",
         [&](const std::string& f) {
             for (int i = 0; i < 3; ++i) {
                 WriteFileBytes(f + "/july-" + std::to_string(i) + ".log",
                                WithOwnCall(Redated(contest.logs[i], "2026-07-11", "2026-07-12"), "N" + std::to_string(i) + "JUL"));
             }
         },
         "", 1,
         {"@/july-0.log: QSOs of 2026-07-11: not a weekend of this contest (the ARRL-RTTY of 2026 starts 2026-01-03 "
          "1800 UTC) (left out)"},
         {}, true, {{"files-not-checked.csv", "@/july-2.log,N2JUL,QSOs of 2026-07-11"}}},
        {"a CQ WW log",
         [&](const std::string& f) {
             fs::copy_file(std::string(STATS_SOURCE_DIR) + "/tests/data/cq-ww-rtty/K1HW-hand-worked.log", f + "/k1hw.log");
         },
         "", 1, {"@/k1hw.log: CQ-WW-RTTY log: check it with --plugin " + BinDir() + "/libStatsCQWW.so (left out)"}, {},
         true, {}},
        {"an original, a corrected v2, a .cbr copy and a link: the latest is checked", submissions, "", 1,
         {"@/" + first + ".log: replaced by @/" + first + "-v2.log, a later log of " + first + " (by file time)",
          "@/" + first + ".cbr: replaced by @/" + first + "-v2.log, a later log of ",
          "@/" + first + "-link.log: replaced by @/" + first + "-v2.log, a later log of "},
         {}, true, {{first + ".lcr.txt", "Log check of " + first + " (@/" + first + "-v2.log)"}}},
        {"the same: the one named with --use is checked", submissions, "--use @/" + first + ".log", 1,
         {"@/" + first + "-v2.log: replaced by @/" + first + ".log, the log of " + first + " named with --use",
          "@/" + first + "-link.log: replaced by @/" + first + ".log, the same file of " + first + " (a link to it)"},
         {}, true, {{first + ".lcr.txt", "Log check of " + first + " (@/" + first + ".log)"}}},
        {"a log in UTF-16",
         [&](const std::string& f) {
             std::string wide = "\xFF\xFE";
             for (char ch : contest.logs[1]) wide += std::string(1, ch) + '\0';
             WriteFileBytes(f + "/" + calls[1] + ".log", wide);
         },
         "", 1, {"@/" + calls[1] + ".log is UTF-16 text"}, {}, false,
         {{"missing-logs.csv", "\r\n" + calls[1] + ","}, {"missing-logs.csv", ",\"log not checked: is UTF-16 text"}}},
        {"the same stations' logs of 2019 beside them",
         [&](const std::string& f) {
             for (size_t i = 0; i < calls.size(); ++i) {
                 WriteFileBytes(f + "/2019-" + calls[i] + ".log", Redated(contest.logs[i], "2019-01-05", "2019-01-06"));
             }
         },
         "", 0, {}, {"another log", "replaced", "copy"}, false,
         {{"results.csv", "\r\n" + calls[0] + ","}, {"results.csv", ",ARRL-RTTY,2019\r\n"},
          {"results.csv", ",ARRL-RTTY,2025\r\n"}}},
        {"a Cabrillo 2.0 header",
         [&](const std::string& f) {
             std::string log;
             for (const std::string& line : text::Split(contest.logs[2], '\n')) {
                 if (line.rfind("CATEGORY-", 0) == 0 || line.rfind("LOCATION:", 0) == 0 || line.empty()) continue;
                 log += line + "\n";
             }
             log = text::ReplaceAll(log, "START-OF-LOG: 3.0", "START-OF-LOG: 2.0\r\nCATEGORY: SINGLE-OP-ASSISTED ALL QRP"
                                                               "\r\nARRL-SECTION: ENY");
             WriteFileBytes(f + "/" + calls[2] + ".log", log);
         },
         "", 0, {}, {}, false, {{"results.csv", "\r\n" + calls[2] + ",SINGLE-OP,QRP,ASSISTED,ENY,"}}},
        {"an upload cut short",
         [&](const std::string& f) {
             const std::string& log = contest.logs[3];
             WriteFileBytes(f + "/" + calls[3] + ".log", log.substr(0, log.rfind("QSO: ") + 20));
         },
         "", 0, {"@/" + calls[3] + ".log: no END-OF-LOG: line: the log may have been cut short in the upload"}, {}, false,
         {{calls[3] + ".lcr.txt", "\r\nWarning: no END-OF-LOG: line: the log may have been cut short in the upload"}}},
        {"a log copied under another call",
         [&](const std::string& f) { WriteFileBytes(f + "/N9CPY.log", WithOwnCall(contest.logs[4], "N9CPY")); }, "", 0,
         {"@/N9CPY.log: the same " + std::to_string(copiedQsos) + " QSOs as " + calls[4] + "'s log @/" + calls[4] +
          ".log: a copy under another call?"},
         {}, false, {{"N9CPY.lcr.txt", "\r\nWarning: the same "}}},
        {"Roundup logs checked with the CQ WW plug-in", [](const std::string&) {},
         "--plugin " + BinDir() + "/libStatsCQWW.so", 2,
         {"@/" + calls[0] + ".log: ARRL-RTTY log: check it with --plugin " + BinDir() + "/libStats.so (left out)"}, {},
         false, {}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = dir.Path() + "/messy-" + std::to_string(++n), out = folder + "-out";
        fs::copy(dir.Path() + "/clean", folder);
        c.mess(folder);
        auto at = [&](const std::string& t) { return text::ReplaceAll(t, "@", folder); };
        EXPECT_EQ(run(folder, out, at(c.args)), c.exit);
        const std::string err = ReadFileBytes(out + ".err");
        for (const std::string& said : c.said) EXPECT_NE(err.find(at(said)), std::string::npos) << at(said) << "\n" << err;
        for (const std::string& said : c.notSaid) EXPECT_EQ(err.find(said), std::string::npos) << said << "\n" << err;
        if (c.sameRanking) {
            EXPECT_EQ(ReadFileBytes(out + "/results.csv"), ranking);
            EXPECT_EQ(ReadFileBytes(out + "/missing-logs.csv"), missing);
        }
        for (const auto& [file, text] : c.outputs) {
            const std::string bytes = ReadFileBytes(out + "/" + file);
            EXPECT_NE(bytes.find(at(text)), std::string::npos) << file << ": " << at(text) << "\n" << bytes;
        }
    }
}

// Stops and deaths: a worker killed loses one log, the results say they are partial and the exit is 3; the
// checker stopped ends its workers and removes its work folder.
TEST(StatsCheck, WorkerKilledAndCheckerStopped) {
    TempWorkDir dir(false);
    const sim::SimOptions o = Options(11, 300, 50, 300);
    ASSERT_FALSE(Simulated(o, dir.Path() + "/logs").logs.empty());
    const std::string program = BinDir() + "/stats-check";
    // The checker's workers: the processes whose parent it is.
    auto workersOf = [](pid_t checker) {
        std::vector<pid_t> found;
        for (const auto& e : std::filesystem::directory_iterator("/proc")) {
            const std::string stat = ReadFileBytes(e.path().string() + "/stat");
            const size_t paren = stat.rfind(')');
            if (paren == std::string::npos) continue;
            int parent = 0;
            if (std::sscanf(stat.c_str() + paren + 2, "%*c %d", &parent) == 1 && parent == checker) {
                found.push_back(static_cast<pid_t>(std::atoi(e.path().filename().c_str())));
            }
        }
        return found;
    };
    auto run = [&](const std::string& out, auto act) {
        const pid_t pid = fork();
        if (pid == 0) {
            const std::string err = out + ".err";
            freopen(err.c_str(), "w", stderr);
            execl(program.c_str(), program.c_str(), "--jobs", "2", "--no-progress", "--out", out.c_str(),
                  (dir.Path() + "/logs").c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        std::vector<pid_t> workers;
        for (int i = 0; i < 2000 && workers.empty(); ++i) {
            usleep(2000);
            workers = workersOf(pid);
        }
        EXPECT_FALSE(workers.empty());
        act(pid, workers);
        int status = 0;
        waitpid(pid, &status, 0);
        return status;
    };
    const std::string killed = dir.Path() + "/killed";
    const int status = run(killed, [](pid_t, const std::vector<pid_t>& workers) {
        usleep(100000);
        kill(workers[0], SIGKILL);
    });
    EXPECT_EQ(ExitCode(status), 3) << ReadFileBytes(killed + ".err");
    const std::string err = ReadFileBytes(killed + ".err");
    EXPECT_NE(err.find(": lost: its worker ended by signal 9 (SIGKILL) while scoring it"), std::string::npos) << err;
    EXPECT_NE(err.find(std::to_string(o.loggers - 1) + " of " + std::to_string(o.loggers) + " logs checked"),
              std::string::npos) << err;
    EXPECT_FALSE(FileExists(killed + "/results.csv"));
    EXPECT_NE(ReadFileBytes(killed + "/results-partial.html").find("PARTIAL: 1 log(s) were lost"), std::string::npos);
    // Every list over all logs says it is partial; the lost log's station, which others worked, did send one.
    EXPECT_FALSE(FileExists(killed + "/missing-logs.csv"));
    EXPECT_FALSE(FileExists(killed + "/toxic-logs.csv"));
    EXPECT_TRUE(FileExists(killed + "/toxic-logs-partial.csv"));
    const size_t lost = err.find(": lost: ");
    ASSERT_NE(lost, std::string::npos);
    const std::string lostCall = std::filesystem::path(err.substr(0, lost)).stem().string();
    const std::string missing = ReadFileBytes(killed + "/missing-logs-partial.csv");
    const size_t row = missing.find("\r\n" + lostCall + ",");
    ASSERT_NE(row, std::string::npos) << lostCall << "\n" << missing;
    const std::string line = missing.substr(row + 2, missing.find("\r\n", row + 2) - row - 2);
    const std::vector<std::string> fields = text::Split(line, ',');
    ASSERT_EQ(fields.size(), 5u);
    EXPECT_EQ(fields[4], "log not checked: lost: its worker ended by signal 9 (SIGKILL) while scoring it");

    // Its work folder: the private folder its workers work in (on the memory file system where there is one),
    // known by a worker's current folder; other checkers (other tests, other users) may come and go meanwhile.
    const std::string stopped = dir.Path() + "/stopped";
    std::vector<pid_t> stoppedWorkers;
    std::filesystem::path workFolder;
    const int stopStatus = run(stopped, [&](pid_t checker, const std::vector<pid_t>& workers) {
        stoppedWorkers = workers;
        for (int i = 0; i < 1000 && workFolder.empty(); ++i) {
            std::error_code ec;
            const std::filesystem::path cwd = std::filesystem::read_symlink("/proc/" + std::to_string(workers[0]) + "/cwd", ec);
            for (std::filesystem::path p = cwd; !p.empty() && p != p.parent_path(); p = p.parent_path()) {
                const std::string name = p.filename().string();
                if (name.rfind("stats-check.", 0) == 0 || name == ".work") workFolder = p;
            }
            if (workFolder.empty()) usleep(2000);
        }
        usleep(100000);
        kill(checker, SIGTERM);
    });
    EXPECT_TRUE(WIFSIGNALED(stopStatus) && WTERMSIG(stopStatus) == SIGTERM);
    ASSERT_FALSE(workFolder.empty());
    EXPECT_FALSE(std::filesystem::exists(workFolder)) << workFolder << " stays";
    EXPECT_FALSE(std::filesystem::exists(stopped + "/.work"));
    for (pid_t w : stoppedWorkers) EXPECT_NE(kill(w, 0), 0) << "worker " << w << " still runs";
}
#endif

}  // namespace

#if !defined(_WIN32)
namespace {

// The published logs checked together: each scored, none of a contest another one is of, so nothing is
// taken away and the checked score is the plug-in's.
TEST(StatsCheck, PublishedLogsTogether) {
    TempWorkDir dir(false);
    const std::string logs = std::string(STATS_SOURCE_DIR) + "/tests/data/published-logs/";
    const std::string command = BinDir() + "/stats-check --no-progress --out " + dir.Path() + "/out " + logs +
                                "ARRL-RTTY_2018_4U1WB.log " + logs + "ARRL-RTTY_2019_AA2IL.log " + logs +
                                "ARRL-RTTY_2025_9H1XT.log " + logs + "ARRL-RTTY_2025_AL7LO.log 2>" + dir.Path() +
                                "/err.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFileBytes(dir.Path() + "/err.txt");
    const std::string csv = ReadFileBytes(dir.Path() + "/out/results.csv");
    EXPECT_NE(csv.find("\r\nAA2IL,SINGLE-OP,LOW,ASSISTED,SDG,,698,47610,690,0,0,0,690,0,47610,ARRL-RTTY,2019\r\n"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find("\r\n9H1XT,SINGLE-OP,HIGH,ASSISTED,DX,,309,22248,309,0,0,0,295,0,22248,ARRL-RTTY,2025\r\n"),
              std::string::npos)
        << csv;
    for (const char* call : {"4U1WB", "AA2IL", "9H1XT", "AL7LO"}) {
        EXPECT_TRUE(FileExists(dir.Path() + "/out/" + call + ".lcr.txt")) << call;
    }
    // Two logs of one call: the later file is checked, the other named as replaced.
    WriteFileBytes(dir.Path() + "/again.log", ReadFileBytes(logs + "ARRL-RTTY_2018_4U1WB.log"));
    const std::string twice = BinDir() + "/stats-check --no-progress --out " + dir.Path() + "/out4 " + logs +
                              "ARRL-RTTY_2018_4U1WB.log " + dir.Path() + "/again.log 2>" + dir.Path() + "/err4.txt";
    ASSERT_EQ(ExitCode(std::system(twice.c_str())), 1);
    EXPECT_NE(ReadFileBytes(dir.Path() + "/err4.txt").find("ARRL-RTTY_2018_4U1WB.log: replaced by " + dir.Path() +
                                                          "/again.log, a later log of 4U1WB (by file time) (left out)"),
              std::string::npos);
    EXPECT_TRUE(FileExists(dir.Path() + "/out4/4U1WB.lcr.txt"));
    EXPECT_FALSE(FileExists(dir.Path() + "/out4/4U1WB-2.lcr.txt"));
    // Checked twice with its output inside the folder of logs: the second run does not take the reports for logs.
    std::filesystem::create_directories(dir.Path() + "/logs");
    WriteFileBytes(dir.Path() + "/logs/a.log", ReadFileBytes(logs + "ARRL-RTTY_2018_4U1WB.log"));
    const std::string inside = BinDir() + "/stats-check --no-progress --out " + dir.Path() + "/logs/check-out " +
                               dir.Path() + "/logs 2>/dev/null";
    ASSERT_EQ(std::system(inside.c_str()), 0);
    ASSERT_EQ(std::system(inside.c_str()), 0);
    // A folder with something that is no log in it: named, left out, and the exit code says so.
    const std::string folder = BinDir() + "/stats-check --no-progress --out " + dir.Path() + "/out2 " + logs +
                               " 2>" + dir.Path() + "/err2.txt";
    EXPECT_EQ(ExitCode(std::system(folder.c_str())), 1);
    EXPECT_NE(ReadFileBytes(dir.Path() + "/err2.txt").find("README.md is neither a Cabrillo nor an ADIF log (left out)"),
              std::string::npos);
    // Nothing that can be read: 2, and no results; a country file that is none: 2, with its cause, once.
    const std::string none = BinDir() + "/stats-check --no-progress --out " + dir.Path() + "/out3 " + logs +
                             "README.md 2>/dev/null";
    EXPECT_EQ(ExitCode(std::system(none.c_str())), 2);
    EXPECT_FALSE(FileExists(dir.Path() + "/out3/results.csv"));
    const std::string noCty = BinDir() + "/stats-check --no-progress --cty " + logs + "README.md --out " +
                              dir.Path() + "/out5 " + logs + "ARRL-RTTY_2018_4U1WB.log 2>" + dir.Path() + "/err5.txt";
    EXPECT_EQ(ExitCode(std::system(noCty.c_str())), 2);
    EXPECT_EQ(ReadFileBytes(dir.Path() + "/err5.txt"),
              "stats-check: " + logs + "README.md: not a country file in the cty.dat format (entity 1 is "
              "incomplete)\n");
}

}  // namespace
#endif
