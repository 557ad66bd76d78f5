// The engine's per-call cost as the log grows: CheckCall0 and AddData0 must stay flat from 1,000 to
// 100,000 QSOs (they use the log's indexes, never a scan), and a full rebuild (a reset plus one AddData0
// per QSO) must grow only linearly. Runs in a temporary directory, since the engine writes its files
// into the current one.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "engine/test_app.h"
#include "bench_support.h"

namespace {

using namespace bench;

void Fill(CTestApp& app, const std::vector<QsoArgs>& log) {
    app.ResetStats(MakeReset());
    for (const QsoArgs& q : log) app.AddData(q);
}

void BM_CheckCall0(benchmark::State& state) {
    BenchDir dir;
    CTestApp app;
    const size_t n = static_cast<size_t>(state.range(0));
    std::vector<QsoArgs> log = MakeLog(n, 1);
    Fill(app, log);
    // Checks of calls in the log (dupes and worked-before) and of new calls, W/VE and DX.
    std::vector<CheckArgs> checks;
    std::vector<QsoArgs> fresh = MakeLog(512, 2);
    for (size_t i = 0; i < 1024; ++i) {
        const QsoArgs& q = i % 2 == 0 ? log[(i * 7919) % n] : fresh[i / 2];
        CheckArgs c;
        c.call = q.call;
        c.mode = q.mode;
        c.prefix = q.prefix;
        c.band = i % 4 == 0 ? q.band : "20m";
        c.bandGiven = true;
        checks.push_back(c);
    }
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(app.CheckCall(checks[i++ & 1023]));
    state.SetItemsProcessed(state.iterations());
}

void BM_AddData0(benchmark::State& state) {
    BenchDir dir;
    CTestApp app;
    const size_t n = static_cast<size_t>(state.range(0));
    Fill(app, MakeLog(n, 1));
    // New QSOs added to a log of n; every 1024 adds the log is cut back to n outside the timing.
    std::vector<QsoArgs> fresh = MakeLog(1024, 3);
    for (QsoArgs& q : fresh) q.call += "/P";
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(app.AddData(fresh[i & 1023]));
        if ((++i & 1023) == 0) {
            state.PauseTiming();
            std::lock_guard<std::mutex> lock(app.mutex);
            while (app.engine.qsoLog.Count() > n) app.engine.qsoLog.RemoveAt(app.engine.qsoLog.Count() - 1);
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_FullRebuild(benchmark::State& state) {
    BenchDir dir;
    CTestApp app;
    std::vector<QsoArgs> log = MakeLog(static_cast<size_t>(state.range(0)), 1);
    for (auto _ : state) Fill(app, log);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_CheckCall0)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_AddData0)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_FullRebuild)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
