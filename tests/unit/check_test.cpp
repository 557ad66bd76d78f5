// The checker: its matching rules over hand-made logs, and the whole program against a simulated contest
// whose errors are known.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

#include "contest/arrl_rtty_roundup.h"
#include "contest_simulator.h"
#include "country_file.h"
#include "cross_check.h"
#include "temp_dir.h"

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
    const contest::Record& c = contest::ArrlRttyRoundup();
    EXPECT_TRUE(check::SameExchange(c, "PE", "PEI"));
    EXPECT_TRUE(check::SameExchange(c, "nwt", "NT"));
    EXPECT_TRUE(check::SameExchange(c, "007", "7"));
    EXPECT_FALSE(check::SameExchange(c, "8", "7"));
    EXPECT_FALSE(check::SameExchange(c, "NS", "PEI"));
    EXPECT_FALSE(check::SameExchange(c, "NY", "NJ"));
}

// A contest by hand: logs by own call, QSOs by (log, call, band, minute, exchanges).
struct HandQso {
    const char* logger;
    const char* call;
    int band;
    int minute;
    const char* rcvd = "NY";
    const char* sent = "NY";
    bool counted = true;
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
            }
            check::CheckQso c;
            c.line = static_cast<int>(logs[li].qsos.size()) + 1;
            c.minute = q.minute;
            c.band = static_cast<uint8_t>(q.band);
            c.counted = q.counted;
            c.call = calls.Intern(q.call);
            c.station = calls.Intern(check::StationOf(q.call));
            c.exchSent = q.sent;
            c.exchRcvd = q.rcvd;
            c.multiplier = calls.Intern(q.rcvd);
            c.points = q.counted ? 1 : 0;
            logs[li].qsos.push_back(c);
        }
    }
    std::vector<check::LogResult> Check(check::CrossCheckOptions o = {}) const {
        o.contest = &contest::ArrlRttyRoundup();
        return CrossCheck(logs, calls, o);
    }
};

TEST(CrossCheck, VerdictOfTheFirstQso) {
    struct Case {
        const char* name;
        std::vector<HandQso> qsos;
        Verdict verdict;
        const char* detail;  // busted call: the right call; busted exchange: what was sent
    } cases[] = {
        {"exactly the window apart", {{"W1AA", "K2BB", 1, 100}, {"K2BB", "W1AA", 1, 103}}, Verdict::confirmed, ""},
        {"one minute more", {{"W1AA", "K2BB", 1, 100}, {"K2BB", "W1AA", 1, 104}}, Verdict::notInLog, ""},
        {"other band", {{"W1AA", "K2BB", 1, 100}, {"K2BB", "W1AA", 2, 100}}, Verdict::notInLog, ""},
        {"busted call that is a call in the set",
         {{"W1AA", "K2BC", 1, 100}, {"K2BB", "W1AA", 1, 101}, {"K2BC", "N3CC", 1, 50}},
         Verdict::bustedCall, "K2BB"},
        {"busted call of a station without a log",
         {{"W1AA", "K2BX", 1, 100}, {"K2BB", "W1AA", 1, 98}}, Verdict::bustedCall, "K2BB"},
        {"the other side busted this call: this side stands",
         {{"W1AA", "K2BB", 1, 100}, {"K2BB", "W1AB", 1, 100}}, Verdict::confirmed, ""},
        {"portable call with the home call", {{"W1AA", "K2BB", 1, 100}, {"K2BB/4", "W1AA", 1, 100}},
         Verdict::confirmed, ""},
        {"PEI sent, PE copied", {{"W1AA", "VY2BB", 1, 100, "PE"}, {"VY2BB", "W1AA", 1, 100, "NY", "PEI"}},
         Verdict::confirmed, ""},
        {"NS copied, PEI sent", {{"W1AA", "VY2BB", 1, 100, "NS"}, {"VY2BB", "W1AA", 1, 100, "NY", "PEI"}},
         Verdict::bustedExchange, "PEI"},
        {"serial 007 copied as 7", {{"W1AA", "DL1CC", 1, 100, "7"}, {"DL1CC", "W1AA", 1, 100, "NY", "007"}},
         Verdict::confirmed, ""},
        {"serial 8 copied, 7 sent", {{"W1AA", "DL1CC", 1, 100, "8"}, {"DL1CC", "W1AA", 1, 100, "NY", "7"}},
         Verdict::bustedExchange, "7"},
        {"nobody else logged it", {{"W1AA", "ZZ9ZZ", 1, 100}, {"K2BB", "N3CC", 1, 100}}, Verdict::unique, ""},
        {"others logged it, no log", {{"W1AA", "ZZ9ZZ", 1, 100}, {"K2BB", "ZZ9ZZ", 3, 400}}, Verdict::uncheckable,
         ""},
        {"the plug-in's dupe is not checked again",
         {{"W1AA", "K2BB", 1, 150, "NY", "NY", false}, {"K2BB", "W1AA", 1, 100}}, Verdict::notChecked, ""},
    };
    for (const Case& c : cases) {
        HandContest contest(c.qsos);
        const auto results = contest.Check();
        const check::QsoResult& r = results[0].qsos[0];
        EXPECT_EQ(r.verdict, c.verdict) << c.name << ": " << check::VerdictName(r.verdict);
        if (r.verdict == Verdict::bustedCall && c.verdict == Verdict::bustedCall) {
            ASSERT_NE(r.rightCall, check::CallTable::kNone) << c.name;
            EXPECT_EQ(contest.calls.Text(r.rightCall), c.detail) << c.name;
        }
        if (c.verdict == Verdict::bustedExchange) {
            EXPECT_EQ(r.sent, c.detail) << c.name;
        }
    }
}

TEST(CrossCheck, ClockTenMinutesOffIsRecognisedAndApplied) {
    std::vector<HandQso> qsos;
    const char* partners[] = {"K2BB", "K3CC", "K4DD", "K5EE", "K6FF", "K7GG"};
    for (int i = 0; i < 6; ++i) {
        qsos.push_back({"W1AA", partners[i], 1, 100 + 20 * i + 10});  // its clock is 10 minutes ahead
        qsos.push_back({partners[i], "W1AA", 1, 100 + 20 * i});
        qsos.push_back({partners[i], "N9XX", 2, 300});
    }
    HandContest contest(qsos);
    const auto results = contest.Check();
    EXPECT_EQ(results[0].clockOffset, 10);
    for (const auto& q : results[0].qsos) EXPECT_EQ(q.verdict, Verdict::confirmed);
    for (size_t i = 1; i < results.size(); ++i) {
        EXPECT_EQ(results[i].clockOffset, 0);
        EXPECT_EQ(results[i].qsos[0].verdict, Verdict::confirmed);
    }
    // With fewer matches than the median needs, nothing is applied and the QSOs are not in the other logs.
    qsos.resize(3 * (check::kMinMatchesForOffset - 1));
    const auto few = HandContest(qsos).Check();
    EXPECT_EQ(few[0].clockOffset, 0);
    EXPECT_EQ(few[0].qsos[0].verdict, Verdict::notInLog);
}

TEST(CrossCheck, CheckedPointsAndPenalty) {
    // W1AA: two confirmed (NY, OH), one not in log (CA); the NIL takes its multiplier with it.
    std::vector<HandQso> qsos = {{"W1AA", "K2BB", 1, 100, "NY"}, {"W1AA", "K3CC", 1, 110, "OH"},
                                 {"W1AA", "K4DD", 1, 120, "CA"}, {"K2BB", "W1AA", 1, 100},
                                 {"K3CC", "W1AA", 1, 110, "NY", "OH"}, {"K4DD", "N9XX", 1, 120}};
    HandContest contest(qsos);
    auto none = contest.Check();
    EXPECT_EQ(none[0].kept, 2u);
    EXPECT_EQ(none[0].notInLog, 1u);
    EXPECT_EQ(none[0].keptPoints, 2);
    EXPECT_EQ(none[0].keptMultipliers, 2u);
    auto extra = contest.Check({nullptr, 3, check::Penalty::oneExtra});
    EXPECT_EQ(extra[0].keptPoints, 1);
    // Never below nothing: a log whose every QSO is not in the other log.
    HandContest lost({{"W1AA", "K2BB", 1, 100}, {"K2BB", "N9XX", 1, 300}});
    EXPECT_EQ(lost.Check({nullptr, 3, check::Penalty::oneExtra})[0].keptPoints, 0);
}

TEST(CrossCheck, LogsOfAnotherYearDoNotMeet) {
    HandContest contest({{"W1AA", "K2BB", 1, 100}, {"K2BB", "N9XX", 1, 100}});
    contest.logs[1].contest = 525600;
    EXPECT_EQ(contest.Check()[0].qsos[0].verdict, Verdict::unique);
}

// The program itself runs natively here; under wine the Windows build's workers are run by hand (README).
#if !defined(_WIN32)
std::string BinDir() {
    const char* dir = std::getenv("STATS_BIN_DIR");
    return dir ? dir : STATS_BIN_DIR;
}

// The program end to end on a simulated contest: each injected error found, and nothing else reported.
TEST(StatsCheck, FindsTheInjectedErrorsOfASimulatedContest) {
    TempWorkDir dir(false);
    sim::SimOptions o;
    o.seed = 7;
    o.loggers = 60;
    o.silent = 30;
    o.qsosPerLog = 150;
    o.bustedCallRate = o.bustedExchangeRate = o.missingRate = 0.03;
    o.dupeRate = 0.02;
    std::string error;
    const sim::SimContest contest =
        sim::Simulate(o, replay::kDefaultScpFile, replay::kDefaultCountryFile, error);
    ASSERT_TRUE(error.empty()) << error;
    sim::WriteLogs(contest, dir.Path() + "/logs");
    const std::string command = BinDir() + "/stats-check --jobs 2 --no-progress --out " + dir.Path() + "/out " +
                                dir.Path() + "/logs 2>" + dir.Path() + "/err.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFileBytes(dir.Path() + "/err.txt");
    const sim::CheckScore s = sim::ScoreReports(contest, dir.Path() + "/out");
    const std::pair<const char*, const sim::KindScore*> kinds[] = {
        {"busted call", &s.bustedCall}, {"busted exchange", &s.bustedExchange}, {"not in log", &s.notInLog},
        {"dupe", &s.dupe}, {"clock", &s.clock}};
    for (const auto& [name, k] : kinds) {
        EXPECT_GT(k->truth, 0u) << name;
        EXPECT_GE(k->Precision(), 0.98) << name << ": " << k->right << " of " << k->found << " found";
        EXPECT_GE(k->Recall(), 0.98) << name << ": " << k->right << " of " << k->truth << " injected";
    }
    const std::string csv = ReadFileBytes(dir.Path() + "/out/results.csv");
    EXPECT_EQ(csv.substr(0, csv.find('\r')),
              "call,category_operator,category_power,category_assisted,location,claimed_score,qsos,plugin_score,"
              "checked_qsos,not_in_log,busted_call,busted_exchange,unique,checked_score");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), o.loggers + 1);
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
    EXPECT_NE(csv.find("\r\nAA2IL,SINGLE-OP,LOW,ASSISTED,SDG,,698,47610,690,0,0,0,690,47610\r\n"), std::string::npos)
        << csv;
    EXPECT_NE(csv.find("\r\n9H1XT,SINGLE-OP,HIGH,ASSISTED,DX,,309,22248,309,0,0,0,295,22248\r\n"), std::string::npos)
        << csv;
    for (const char* call : {"4U1WB", "AA2IL", "9H1XT", "AL7LO"}) {
        EXPECT_TRUE(FileExists(dir.Path() + "/out/" + call + ".lcr.txt")) << call;
    }
    // Two logs of one call: each keeps its own report.
    WriteFileBytes(dir.Path() + "/again.log", ReadFileBytes(logs + "ARRL-RTTY_2018_4U1WB.log"));
    const std::string twice = BinDir() + "/stats-check --no-progress --out " + dir.Path() + "/out4 " + logs +
                              "ARRL-RTTY_2018_4U1WB.log " + dir.Path() + "/again.log 2>" + dir.Path() + "/err4.txt";
    ASSERT_EQ(std::system(twice.c_str()), 0);
    EXPECT_NE(ReadFileBytes(dir.Path() + "/err4.txt").find("again.log is log 2 of 4U1WB (the first: "),
              std::string::npos);
    EXPECT_TRUE(FileExists(dir.Path() + "/out4/4U1WB.lcr.txt"));
    EXPECT_TRUE(FileExists(dir.Path() + "/out4/4U1WB-2.lcr.txt"));
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
    const int status = std::system(folder.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_NE(ReadFileBytes(dir.Path() + "/err2.txt").find("README.md is neither a Cabrillo nor an ADIF log (left out)"),
              std::string::npos);
    // Nothing that can be read: 2, and no results.
    const std::string none = BinDir() + "/stats-check --no-progress --out " + dir.Path() + "/out3 " + logs +
                             "README.md 2>/dev/null";
    const int noneStatus = std::system(none.c_str());
    EXPECT_TRUE(WIFEXITED(noneStatus) && WEXITSTATUS(noneStatus) == 2);
    EXPECT_FALSE(FileExists(dir.Path() + "/out3/results.csv"));
}

}  // namespace
#endif
