// The three scorers held to each other: the plug-in's own report, the analysis page's figures and stats-check's
// results score every log alike, per band and in total, on the published logs, the sample and a simulated
// contest whose W/VE stations also send AK, HI and the older spellings (PEI, NF, LB, NWT) and in which KH6 and
// KL7 stations take part. A scorer whose multiplier rule went its own way would part from the other two.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include "contest/arrl_rtty_roundup.h"
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
    int qsos = -1, dxcc = -1, stateProv = -1;
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
            fields >> f.dxcc >> f.stateProv;
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

TEST(ScorersTie, PluginAnalysisAndCheckerScoreEveryLogAlike) {
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
    std::string error;
    const sim::SimContest contest = sim::Simulate(o, kDefaultScpFile, kDefaultCountryFile, error);
    ASSERT_TRUE(error.empty()) << error;
    sim::WriteLogs(contest, logs);
    for (const char* f : {"tests/data/published-logs/ARRL-RTTY_2018_4U1WB.log",
                          "tests/data/published-logs/ARRL-RTTY_2019_AA2IL.log",
                          "tests/data/published-logs/ARRL-RTTY_2025_9H1XT.log",
                          "tests/data/published-logs/ARRL-RTTY_2025_AL7LO.log", "examples/arrl-rtty-sample.log"}) {
        fs::copy_file(std::string(STATS_SOURCE_DIR "/") + f, logs + "/" + fs::path(f).filename().string());
    }
    const char* bin = std::getenv("STATS_BIN_DIR");
    const std::string command = std::string(bin ? bin : STATS_BIN_DIR) + "/stats-check --jobs 2 --no-progress --out " +
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
        EXPECT_EQ(plugin.dxcc, a.dxccMultipliers);
        EXPECT_EQ(plugin.stateProv, a.stateProvMultipliers);
        EXPECT_EQ(*s.pluginScore, a.score);
        // Nothing is taken away in these logs: the checker's score is its own count of the same QSOs.
        const auto row = checked.find(a.ownCall);
        ASSERT_NE(row, checked.end()) << a.ownCall;
        EXPECT_EQ(row->second.at("plugin_score"), std::to_string(*s.pluginScore));
        EXPECT_EQ(row->second.at("checked_qsos"), std::to_string(a.counted));
        EXPECT_EQ(row->second.at("checked_score"), std::to_string(a.score));
        ParsedLog parsed;
        ASSERT_TRUE(ReadLogFile(r.logPath, contest::ArrlRttyRoundup(), parsed, error));
        for (const LogQso& q : parsed.qsos) {
            for (const char* edge : {"AK", "HI", "PEI", "NF", "LB", "NWT"}) edges[edge] += q.exchRcvd == edge;
            edges["KH6/KL7"] += q.call.rfind("KH6", 0) == 0 || q.call.rfind("KL7", 0) == 0;
        }
        ++scored;
    }
    EXPECT_EQ(scored, 5 + o.loggers);
    for (const auto& [edge, count] : edges) EXPECT_GT(count, 0) << edge;
}

}  // namespace
#endif
