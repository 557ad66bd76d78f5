// The host's calls through the exports of libStats.so, as the log grows from 1,000 to 1,000,000 QSOs:
// CheckCall0 must stay flat, with warm caches and with caches the host's own work has emptied, and far
// below the linear scan of the log that it replaces; a rebuild (ResetStats0, one AddData0 per QSO,
// GetResult0) must stay within a few milliseconds for a 10,000-QSO log.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"

namespace {

using namespace bench;

constexpr size_t kQuestions = 512;

// One plug-in for the whole run, filled with a log of the size the benchmark asks for.
struct FilledPlugin {
    BenchDir dir;
    Host host;
    bool loaded = host.Load();
    size_t size = 0;
    std::vector<QsoArgs> log;
    std::vector<CheckArgs> checks;

    bool FillTo(size_t n) {
        if (!loaded)
            return false;
        if (size != n) {
            log = RealisticLog(n, 1);
            host.Fill(log);
            host.Result();
            checks = CheckQuestions(log, kQuestions);
            size = n;
        }
        return !log.empty();
    }
};

FilledPlugin& Plugin() {
    static FilledPlugin plugin;
    return plugin;
}

void BM_CheckCall0Warm(benchmark::State& state) {
    FilledPlugin& p = Plugin();
    if (!p.FillTo(static_cast<size_t>(state.range(0))))
        return state.SkipWithError("no plug-in or no log");
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(p.host.Check(p.checks[i++ % kQuestions]));
}

// Between two checks the host reads twice the processor's last cache level of its own, so every check starts
// with the plug-in's code and data out of the caches. Each check is timed alone; the counters give the median and the
// fastest.
void BM_CheckCall0Cold(benchmark::State& state) {
    FilledPlugin& p = Plugin();
    if (!p.FillTo(static_cast<size_t>(state.range(0))))
        return state.SkipWithError("no plug-in or no log");
    CacheEvictor evictor;
    std::vector<double> times;
    size_t i = 0;
    for (auto _ : state) {
        evictor.Evict();
        const double start = NowNs();
        benchmark::DoNotOptimize(p.host.Check(p.checks[i++ % kQuestions]));
        const double ns = NowNs() - start;
        state.SetIterationTime(ns * 1e-9);
        times.push_back(ns);
    }
    state.counters["median_ns"] = Median(times);
    state.counters["min_ns"] = Minimum(times);
    state.counters["evicted_mib"] = static_cast<double>(evictor.Size() >> 20);
}

// The flatness goal as one measurement: two copies of the plug-in, one with 1,000 QSOs and one with
// 1,000,000, asked in turn with caches emptied before each check, so that whatever else the machine does
// weighs on both alike. The counters give each median and their ratio.
void BM_CheckCall0ColdFlatness(benchmark::State& state) {
    BenchDir dir;
    const fs::path library = DefaultPluginPath();
    Host small, large;
    std::error_code ec;
    fs::copy_file(library, "small-" + library.filename().string(), fs::copy_options::overwrite_existing, ec);
    fs::copy_file(library, "large-" + library.filename().string(), fs::copy_options::overwrite_existing, ec);
    if (ec || !small.Load((fs::current_path() / ("small-" + library.filename().string())).string()) ||
        !large.Load((fs::current_path() / ("large-" + library.filename().string())).string())) {
        return state.SkipWithError("the plug-in cannot be loaded twice");
    }
    const std::vector<QsoArgs> smallLog = RealisticLog(1000, 1), largeLog = RealisticLog(1000000, 1);
    small.Fill(smallLog);
    large.Fill(largeLog);
    const std::vector<CheckArgs> smallChecks = CheckQuestions(smallLog, kQuestions);
    const std::vector<CheckArgs> largeChecks = CheckQuestions(largeLog, kQuestions);
    CacheEvictor evictor;
    std::vector<double> smallTimes, largeTimes;
    size_t i = 0;
    for (auto _ : state) {
        const bool big = i % 2 == 1;
        evictor.Evict();
        const double start = NowNs();
        benchmark::DoNotOptimize(big ? large.Check(largeChecks[i / 2 % kQuestions])
                                     : small.Check(smallChecks[i / 2 % kQuestions]));
        const double ns = NowNs() - start;
        state.SetIterationTime(ns * 1e-9);
        (big ? largeTimes : smallTimes).push_back(ns);
        ++i;
    }
    state.counters["small_median_ns"] = Median(smallTimes);
    state.counters["large_median_ns"] = Median(largeTimes);
    state.counters["ratio"] = Median(largeTimes) / Median(smallTimes);
    state.counters["evicted_mib"] = static_cast<double>(evictor.Size() >> 20);
}

// What a check costs without an index: the dupe question answered by a scan of the log, as the host's own
// copy of the log holds it.
void BM_DupeScan(benchmark::State& state) {
    FilledPlugin& p = Plugin();
    if (!p.FillTo(static_cast<size_t>(state.range(0))))
        return state.SkipWithError("no plug-in or no log");
    size_t i = 0;
    for (auto _ : state) {
        const CheckArgs& c = p.checks[i++ % kQuestions];
        bool dupe = false;
        for (const QsoArgs& q : p.log) {
            if (q.call == c.call && q.band == c.band) {
                dupe = true;
                break;
            }
        }
        benchmark::DoNotOptimize(dupe);
    }
}

void BM_Rebuild(benchmark::State& state) {
    FilledPlugin& p = Plugin();
    if (!p.loaded)
        return state.SkipWithError("no plug-in");
    const std::vector<QsoArgs> log = RealisticLog(static_cast<size_t>(state.range(0)), 3);
    p.size = 0;  // the plug-in's log is this one now
    for (auto _ : state) {
        p.host.Fill(log);
        benchmark::DoNotOptimize(p.host.Result());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

double MinOf(const std::vector<double>& v) {
    return Minimum(v);
}

BENCHMARK(BM_CheckCall0Warm)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000);
BENCHMARK(BM_CheckCall0Cold)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(400)
    ->UseManualTime();
BENCHMARK(BM_CheckCall0ColdFlatness)->Iterations(1600)->UseManualTime();
BENCHMARK(BM_DupeScan)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Rebuild)->Arg(10000)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", MinOf);

}  // namespace

BENCHMARK_MAIN();
