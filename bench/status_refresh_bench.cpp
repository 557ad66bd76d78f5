// One status refresh on the window thread, and the part of it that holds the engine's mutex (the snapshot),
// as the log grows from 1,000 to 1,000,000 QSOs. The host's thread waits for the mutex while a snapshot is
// taken, so the snapshot must stay a few microseconds at any size.
#include <benchmark/benchmark.h>

#include <atomic>
#include <memory>
#include <string>
#include <utility>

#include "bench_support.h"
#include "app/plugin_object.h"
#include "contest/arrl_rtty_roundup.h"
#include "ui/dxcc_panel_layout.h"
#include "ui/status_model.h"
#include "ui/status_snapshot.h"

namespace {

using namespace bench;

class BenchHost : public HostLink {
public:
    bool Connected() const override { return true; }
    double ReadFrequency() override { return 14070000.0; }
    std::string ReadCurrentCall(int) override { return call; }
    void SendMacro(const std::string&) override {}
    std::string call = kCurrentCall;
};

// The engine in this process, logged through as the exports would and reported once, so the worked lists
// are those of the log.
struct FilledApp {
    BenchDir dir;
    std::unique_ptr<CTestApp> app;
    size_t size = 0;

    CTestApp& FillTo(size_t n) {
        if (size != n) {
            app = std::make_unique<CTestApp>(contest::ArrlRttyRoundup());
            app->ResetStats(MakeReset());
            for (QsoArgs& q : RealisticLog(n, 5)) app->AddData(std::move(q));
            app->GetResult(nullptr);
            size = n;
        }
        return *app;
    }
};

FilledApp& App() {
    static FilledApp filled;
    return filled;
}

double MinOf(const std::vector<double>& v) {
    return Minimum(v);
}

// From 1,000 to 1,000,000 QSOs, in microseconds, the fastest run beside the median.
void OverLogSizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", MinOf);
}

void BM_SnapshotUnderLock(benchmark::State& st) {
    CTestApp& app = App().FillTo(static_cast<size_t>(st.range(0)));
    for (auto _ : st)
        benchmark::DoNotOptimize(app.TakeStatusSnapshot(kCurrentCall));
}
BENCHMARK(BM_SnapshotUnderLock)->Apply(OverLogSizes);

void BM_Refresh(benchmark::State& st) {
    CTestApp& app = App().FillTo(static_cast<size_t>(st.range(0)));
    BenchHost host;
    StatusModelState state;
    StateCellMarks marks;
    auto source = [&](const std::string& call) { return app.TakeStatusSnapshot(call); };
    for (auto _ : st) {
        StatusRefresh r = RefreshStatus(state, host, StatusViewFields{1, 1, 1, 1},
                                        OpenStatusWindows{true, true, true, true}, &marks, source,
                                        app.RefreshPending());
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_Refresh)->Apply(OverLogSizes);

void BM_PanelLayout(benchmark::State& st) {
    CTestApp& app = App().FillTo(10000);
    BenchHost host;
    host.call = std::string(st.range(0) ? kCurrentCall : "");
    StatusModelState state;
    auto source = [&](const std::string& call) { return app.TakeStatusSnapshot(call); };
    RefreshStatus(state, host, {}, {}, nullptr, source, app.RefreshPending());
    for (auto _ : st) {
        benchmark::DoNotOptimize(LayoutDxccPanel(state.currentCall, state.currentBandIndex, state.bandRows,
                                                 state.workedDxcc, state.exchangeHeading,
                                                 PanelRect{1, 1, 297, 197}));
    }
}
BENCHMARK(BM_PanelLayout)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
