// What one GetResult0 costs as the log grows: the score model recomputed from the whole log, the report
// laid out and "Claimed" written; and the same with a pending Cabrillo export, which also writes every
// QSO line to the file. Runs in a temporary directory, since the report writes into the current one.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/engine.h"
#include "scoring/cabrillo_export.h"
#include "scoring/score_report.h"
#include "bench_support.h"

namespace {

using namespace bench;

// The same contest-like log the engine benchmark replays, logged through the engine so the flags are real.
void FillLog(Engine& e, size_t count) {
    e.Reset(MakeReset());
    for (const QsoArgs& q : MakeLog(count, 7)) e.AddData(q);
}

void BM_Report(benchmark::State& state) {
    BenchDir dir;
    Engine e;
    FillLog(e, static_cast<size_t>(state.range(0)));
    CabrilloExport cabrillo;
    std::string report;
    for (auto _ : state) {
        ProduceResult(e, cabrillo, report);
        benchmark::DoNotOptimize(report.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Report)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ReportWithCabrilloExport(benchmark::State& state) {
    BenchDir dir;
    Engine e;
    FillLog(e, static_cast<size_t>(state.range(0)));
    e.cabrilloRequested = 1;
    CabrilloExport cabrillo;
    std::string report;
    for (auto _ : state) {
        OutputMessage m = ProduceResult(e, cabrillo, report);
        benchmark::DoNotOptimize(m.text.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReportWithCabrilloExport)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
