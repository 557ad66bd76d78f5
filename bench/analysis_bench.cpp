// What the analysis page costs on a 10,000-QSO log: the whole replay with and without --analysis (goal: the
// page adds at most 50 ms), and the page alone (the super-check-partial list read, the log analysed, the page
// drawn) from the plug-in's answers of one replay. With two other 10,000-QSO logs compared (--compare), the
// page adds at most 50 ms to the three replays: BM_ReplayWithCompare against three BM_ReplayWithoutAnalysis.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "analysis.h"
#include "bench_support.h"
#include "contest_dates.h"
#include "contest/arrl_rtty_roundup.h"
#include "log_readers.h"
#include "replay.h"

namespace fs = std::filesystem;
using namespace replay;

namespace {

constexpr size_t kQsos = 10000;

struct PageInputs {
    fs::path dir, logPath, otherPaths[2];
    ParsedLog log;
    ReplaySummary summary;
    CountryFile cty;
    PageInputs() {
        dir = fs::temp_directory_path() / "stats-analysis-bench";
        fs::create_directories(dir);
        logPath = dir / "bench-10000.log";
        std::ofstream(logPath, std::ios::binary) << bench::CabrilloLog(kQsos);
        const char* others[] = {"K1AR", "N2IC"};
        for (size_t i = 0; i < 2; ++i) {
            otherPaths[i] = dir / (std::string(others[i]) + "-10000.log");
            std::ofstream(otherPaths[i], std::ios::binary) << bench::CabrilloLog(kQsos, others[i], 1000 * (i + 1));
        }
        std::string error;
        ReadLogFile(logPath.string(), contest::ArrlRttyRoundup(), log, error);
        cty.Load(kDefaultCountryFile, error);
        ReplayOptions o;
        o.logPath = logPath.string();
        o.outDir = (dir / "answers").string();
        std::ostringstream out, err;
        RunReplay(o, out, err, &summary);
    }
};

const PageInputs& Inputs() {
    static PageInputs inputs;
    return inputs;
}

void Replay(benchmark::State& state, bool analysis, bool compare = false) {
    ReplayOptions o;
    o.logPath = Inputs().logPath.string();
    o.outDir = (Inputs().dir / (compare ? "compare" : analysis ? "with" : "without")).string();
    o.analysis = analysis;
    if (compare) {
        for (const fs::path& other : Inputs().otherPaths)
            o.compare.push_back(other.string());
    }
    std::ostringstream out, err;
    for (auto _ : state) {
        out.str("");
        err.str("");
        ReplaySummary s;
        if (RunReplay(o, out, err, &s) != 0 || (compare && err.str().find("left out") != std::string::npos))
            state.SkipWithError(err.str().c_str());
        benchmark::DoNotOptimize(s.report.size());
    }
    state.counters["qsos"] = static_cast<double>(Inputs().log.qsos.size());
}

void BM_ReplayWithoutAnalysis(benchmark::State& state) {
    Replay(state, false);
}
BENCHMARK(BM_ReplayWithoutAnalysis)->Unit(benchmark::kMillisecond);

void BM_ReplayWithAnalysis(benchmark::State& state) {
    Replay(state, true);
}
BENCHMARK(BM_ReplayWithAnalysis)->Unit(benchmark::kMillisecond);

void BM_ReplayWithCompare(benchmark::State& state) {
    Replay(state, true, true);
}
BENCHMARK(BM_ReplayWithCompare)->Unit(benchmark::kMillisecond);

void BM_AnalysisPage(benchmark::State& state) {
    const PageInputs& in = Inputs();
    if (in.summary.outcomes.size() != kQsos) {
        state.SkipWithError("the replay of the benchmark log failed");
        return;
    }
    AnalysisInput input;
    input.contest = &contest::ArrlRttyRoundup();
    input.log = &in.log;
    input.outcomes = &in.summary.outcomes;
    input.ownCall = "W1AW";
    input.start = ContestStartOfLog(contest::ArrlRttyRoundup(), in.log.qsos);
    input.end = contest::ArrlRttyRoundup().PeriodEnd(input.start);
    input.pluginScore = in.summary.pluginScore;
    input.cty = &in.cty;
    size_t bytes = 0;
    for (auto _ : state) {
        ScpList scp;
        std::string error;
        input.scp = scp.Load(kDefaultScpFile, error) ? &scp : nullptr;
        std::string page = AnalysisPage(Analyse(input));
        bytes = page.size();
        benchmark::DoNotOptimize(page.data());
    }
    state.counters["page_kB"] = static_cast<double>(bytes) / 1024.0;
}
BENCHMARK(BM_AnalysisPage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
