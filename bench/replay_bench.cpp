// Replaying a 10,000-QSO log through the plug-in: the whole stats-replay run (country file, log, plug-in
// calls, report) and its parts. The log is made from the exact-call entries of the country file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/text.h"
#include "country_file.h"
#include "log_readers.h"
#include "plugin_library.h"
#include "replay.h"

namespace fs = std::filesystem;
using namespace replay;

namespace {

const char* const kBands[] = {"80m", "40m", "20m", "15m", "10m"};
const int kBandKHz[] = {3580, 7080, 14080, 21080, 28080};
const char* const kStates[] = {"CT", "MA", "NY", "CA", "TX", "ON", "QC", "BC", "FL", "OH"};

// A Cabrillo log of `count` QSOs over the contest's 30 hours, every call an exact entry of the country file,
// W/VE stations sending a state or province and the others a serial number.
std::string MakeLog(size_t count) {
    CountryFile cty;
    std::string error;
    if (!cty.Load(kDefaultCountryFile, error)) return "";
    std::vector<std::pair<std::string, std::string>> calls = cty.ExactCalls();
    std::string out = "START-OF-LOG: 3.0\nCALLSIGN: W1AW\nCONTEST: ARRL-RTTY\n";
    // Plain calls only: a portable form would be resolved by its own rules, not by its entry.
    calls.erase(std::remove_if(calls.begin(), calls.end(),
                               [](const auto& c) { return c.first.find('/') != std::string::npos; }),
                calls.end());
    for (size_t i = 0; i < count; ++i) {
        const auto& c = calls[(i * 7919) % calls.size()];
        int band = static_cast<int>(i % 5);
        int minute = static_cast<int>(i * 30 * 60 / count);
        COleDateTime t = COleDateTime::FromFields(2026, 1, 3 + (18 * 60 + minute) / 1440, ((18 * 60 + minute) / 60) % 24,
                                                  minute % 60);
        bool wve = c.second == "K" || c.second == "VE";
        std::string exch = wve ? kStates[i % 10] : std::to_string(1 + i % 2000);
        out += text::Format("QSO: %5d RY %s W1AW          599 CT     %-13s 599 %s\n", kBandKHz[band] + int(i % 20),
                            t.Format("%Y-%m-%d %H%M").c_str(), c.first.c_str(), exch.c_str());
    }
    return out + "END-OF-LOG:\n";
}

struct BenchFiles {
    fs::path dir, log;
    size_t qsos = 0;
    BenchFiles() {
        dir = fs::temp_directory_path() / "stats-replay-bench";
        fs::create_directories(dir);
        log = dir / "bench-10000.log";
        std::string content = MakeLog(10000);
        std::ofstream(log, std::ios::binary) << content;
        ParsedLog parsed = ParseCabrillo(content, "bench");
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
        ReadLogFile(Files().log.string(), log, error);
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
