// The three scorers held to each other, for each contest through its own plug-in: the plug-in's own report, the
// analysis page's figures and stats-check's results score every log alike, per band and in total, on the
// published logs, the sample, the CQ WW RTTY logs worked by hand and a simulated contest of each whose W/VE
// stations also send AK, HI and the older spellings (PEI, NF, LB, NWT) and in which KH6 and KL7 stations take
// part. A scorer whose multiplier rule went its own way would part from the other two.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include "contest/arrl_rtty_roundup.h"
#include "contest/cq_ww_rtty.h"
#include "contest/cq_wpx_rtty.h"
#include "plugin/plugin_library.h"
#include "contest_simulator.h"
#include "log_readers.h"
#include "replay.h"
#include "temp_dir.h"

#if !defined(_WIN32)
namespace {

namespace fs = std::filesystem;
using namespace replay;

struct PluginFigures {
    std::map<std::string, int> bandQsos;
    int qsos = -1;
    std::vector<int> multipliers;  // the totals of each kind (the Roundup's K and VE columns left out)
};

// The band rows and the totals of the plug-in's text report.
PluginFigures ReadReport(const std::string& report) {
    PluginFigures f;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string band;
        int qsos = 0, points = 0;
        if (!(fields >> band >> qsos >> points)) continue;
        if (band == "Total") {
            for (int m; fields >> m;) f.multipliers.push_back(m);
            if (f.multipliers.size() == 4) f.multipliers.resize(2);
            f.qsos = qsos;
        } else {
            f.bandQsos[band] += qsos;
        }
    }
    return f;
}

// results.csv: each call's cells by their column's name.
std::map<std::string, std::map<std::string, std::string>> ReadResults(const std::string& csv) {
    auto cellsOf = [](const std::string& line) {
        std::vector<std::string> cells;
        std::istringstream fields(line.substr(0, line.find('\r')));
        for (std::string cell; std::getline(fields, cell, ',');) cells.push_back(cell);
        return cells;
    };
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    const std::vector<std::string> names = cellsOf(line);
    std::map<std::string, std::map<std::string, std::string>> rows;
    while (std::getline(in, line)) {
        const std::vector<std::string> cells = cellsOf(line);
        for (size_t i = 0; i < cells.size() && i < names.size(); ++i) rows[cells[0]][names[i]] = cells[i];
    }
    return rows;
}

// Each contest with its plug-in, a simulated contest at the rules' edges and its real or hand-made logs, and the
// exchanges that must have reached the scorers.
struct TieCase {
    const contest::Record& contest;
    const char* plugin;
    std::vector<const char*> logs;
    std::vector<const char*> edges;  // received exchanges (or their QTH) that some log must hold
    bool simulated = true;           // a simulated contest beside the logs (the simulator has no prefix contest)
};

TEST(ScorersTie, PluginAnalysisAndCheckerScoreEveryLogAlike) {
    const TieCase cases[] = {
        {contest::ArrlRttyRoundup(), "Stats",
         {"tests/data/published-logs/ARRL-RTTY_2018_4U1WB.log", "tests/data/published-logs/ARRL-RTTY_2019_AA2IL.log",
          "tests/data/published-logs/ARRL-RTTY_2025_9H1XT.log", "tests/data/published-logs/ARRL-RTTY_2025_AL7LO.log",
          "examples/arrl-rtty-sample.log"},
         {"AK", "HI", "PEI", "NF", "LB", "NWT"}},
        {contest::CqWwRtty(), "StatsCQWW",
         {"tests/data/cq-ww-rtty/K1HW-hand-worked.log", "tests/data/cq-ww-rtty/JA1HW-hand-worked.log",
          "tests/data/cq-ww-rtty/IT9HW-hand-worked.log", "tests/data/cq-ww-rtty/VE3HW-hand-worked.log",
          "tests/data/cq-ww-rtty/KH6HW-hand-worked.log"},
         {"AK", "PEI", "NF", "LB", "NWT", "DX"}},
        {contest::CqWpxRtty(), "StatsWPX",
         {"tests/data/cq-wpx-rtty/N1HW-hand-worked.log", "tests/data/cq-wpx-rtty/DL1HW-hand-worked.log"},
         {}},
    };
    for (const TieCase& c : cases) {
        SCOPED_TRACE(c.plugin);
        TempWorkDir dir(false);
        const std::string logs = dir.Path() + "/logs";
        sim::SimOptions o;
        o.seed = 3;
        o.loggers = 24;
        o.silent = 12;
        o.qsosPerLog = 120;
        o.bustedCallRate = o.bustedExchangeRate = o.missingRate = o.dupeRate = 0;
        o.clockOffLogs = 0;
        o.edgeExchanges = true;
        o.contest = &c.contest;
        std::string error;
        sim::SimContest contest;
        if (c.simulated) contest = sim::Simulate(o, kDefaultScpFile, kDefaultCountryFile, error);
        ASSERT_TRUE(error.empty()) << error;
        fs::create_directories(logs);
        sim::WriteLogs(contest, logs);
        for (const char* f : c.logs) {
            fs::copy_file(std::string(STATS_SOURCE_DIR "/") + f, logs + "/" + fs::path(f).filename().string());
        }
        const char* bin = std::getenv("STATS_BIN_DIR");
        const std::string binDir = bin ? bin : STATS_BIN_DIR;
        const std::string plugin = binDir + "/" + PluginFileNameOf(c.plugin);
        const std::string command = binDir + "/stats-check --jobs 2 --no-progress --plugin " + plugin + " --out " +
                                    dir.Path() + "/out " + logs + " 2>" + dir.Path() + "/err.txt";
        ASSERT_EQ(std::system(command.c_str()), 0) << ReadFileBytes(dir.Path() + "/err.txt");
        const auto checked = ReadResults(ReadFileBytes(dir.Path() + "/out/results.csv"));

        // What the edges must have reached the scorers with.
        std::map<std::string, int> edges;
        int scored = 0;
        for (const fs::directory_entry& e : fs::directory_iterator(logs)) {
            ReplayOptions r;
            r.logPath = e.path().string();
            r.outDir = dir.Path() + "/replay-" + e.path().stem().string();
            r.pluginPath = plugin;
            r.analysis = r.keepAnalysis = true;
            r.scpFile = "";
            std::ostringstream out, err;
            ReplaySummary s;
            ASSERT_EQ(RunReplay(r, out, err, &s), 0) << err.str();
            ASSERT_TRUE(s.analysis && s.pluginScore) << r.logPath;
            const Analysis& a = *s.analysis;
            PluginFigures plugin = ReadReport(s.report);
            SCOPED_TRACE(r.logPath);
            for (size_t b = 0; b < a.bands.size(); ++b) EXPECT_EQ(plugin.bandQsos[a.bands[b]], a.bandQsos[b]) << a.bands[b];
            EXPECT_EQ(plugin.qsos, static_cast<int>(a.counted));
            // The multipliers of each kind in the report's order: the kinds' order, but in the Roundup's own
            // layout, DXCC and then states/provinces.
            std::vector<int> counted;
            for (const std::vector<FirstQso>& kind : a.worked) counted.push_back(static_cast<int>(kind.size()));
            if (&c.contest == &contest::ArrlRttyRoundup()) std::reverse(counted.begin(), counted.end());
            EXPECT_EQ(plugin.multipliers, counted);
            EXPECT_EQ(*s.pluginScore, a.score);
            // Nothing is taken away in these logs: the checker's score is its own count of the same QSOs.
            const auto row = checked.find(a.ownCall);
            ASSERT_NE(row, checked.end()) << a.ownCall;
            EXPECT_EQ(row->second.at("plugin_score"), std::to_string(*s.pluginScore));
            EXPECT_EQ(row->second.at("checked_qsos"), std::to_string(a.counted));
            EXPECT_EQ(row->second.at("checked_score"), std::to_string(a.score));
            ParsedLog parsed;
            ASSERT_TRUE(ReadLogFile(r.logPath, c.contest, parsed, error));
            for (const LogQso& q : parsed.qsos) {
                for (const char* edge : c.edges) {
                    const std::string exchange = q.exchRcvd;
                    edges[edge] += exchange == edge || (exchange.size() > 3 && exchange.substr(3) == edge);
                }
                edges["KH6/KL7"] += q.call.rfind("KH6", 0) == 0 || q.call.rfind("KL7", 0) == 0;
            }
            ++scored;
        }
        EXPECT_EQ(scored, static_cast<int>(c.logs.size()) + (c.simulated ? o.loggers : 0));
        for (const auto& [edge, count] : edges) EXPECT_GT(count, 0) << edge;
    }
}

}  // namespace
#endif
