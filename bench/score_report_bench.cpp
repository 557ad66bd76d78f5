// What one GetResult0 costs through the exports as the log grows from 1,000 to 1,000,000 QSOs: the score
// model recomputed from the whole log, the report laid out and the claimed score kept.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench_support.h"

namespace {

using namespace bench;

double MinOf(const std::vector<double>& v) {
    return Minimum(v);
}

void BM_GetResult0(benchmark::State& state) {
    BenchDir dir;
    Host host;
    if (!host.Load())
        return state.SkipWithError("no plug-in");
    host.Fill(RealisticLog(static_cast<size_t>(state.range(0)), 7));
    for (auto _ : state)
        benchmark::DoNotOptimize(host.Result());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GetResult0)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", MinOf);

}  // namespace

BENCHMARK_MAIN();
