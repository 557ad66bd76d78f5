// Replaying a 10,000-QSO log through the plug-in: the whole stats-replay run (country file, log, plug-in
// calls, report) and its parts. The log is made from the exact-call entries of the country file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "contest/arrl_rtty_roundup.h"
#include "bench_support.h"
#include "common/text.h"
#include "country_file.h"
#include "log_readers.h"
#include "plugin/plugin_library.h"
#include "replay.h"

namespace fs = std::filesystem;
using namespace replay;

namespace {

struct BenchFiles {
    fs::path dir, log;
    size_t qsos = 0;
    BenchFiles() {
        dir = fs::temp_directory_path() / "stats-replay-bench";
        fs::create_directories(dir);
        log = dir / "bench-10000.log";
        std::string content = bench::CabrilloLog(10000);
        std::ofstream(log, std::ios::binary) << content;
        ParsedLog parsed = ParseCabrillo(content, "bench", contest::ArrlRttyRoundup());
        qsos = parsed.qsos.size();
    }
};

const BenchFiles& Files() {
    static BenchFiles files;
    return files;
}

void BM_ReplayWholeRun(benchmark::State& state) {
    ReplayOptions o;
    o.logPath = Files().log.string();
    o.outDir = (Files().dir / "out").string();
    std::ostringstream out, err;
    for (auto _ : state) {
        out.str("");
        err.str("");
        ReplaySummary s;
        int rc = RunReplay(o, out, err, &s);
        if (rc != 0) state.SkipWithError(err.str().c_str());
        benchmark::DoNotOptimize(s.report.size());
    }
    state.counters["qsos"] = static_cast<double>(Files().qsos);
}
BENCHMARK(BM_ReplayWholeRun)->Unit(benchmark::kMillisecond);

void BM_ReadLogAndResolvePrefixes(benchmark::State& state) {
    CountryFile cty;
    std::string error;
    cty.Load(kDefaultCountryFile, error);
    for (auto _ : state) {
        ParsedLog log;
        ReadLogFile(Files().log.string(), contest::ArrlRttyRoundup(), log, error);
        size_t n = 0;
        for (const LogQso& q : log.qsos) n += cty.PrefixOf(q.call).size();
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_ReadLogAndResolvePrefixes)->Unit(benchmark::kMillisecond);

void BM_LoadCountryFile(benchmark::State& state) {
    for (auto _ : state) {
        CountryFile cty;
        std::string error;
        benchmark::DoNotOptimize(cty.Load(kDefaultCountryFile, error));
    }
}
BENCHMARK(BM_LoadCountryFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
