// Cost of one status refresh on the window thread, and of the part that holds the engine's mutex (the
// snapshot), for a contest-sized log. The host's thread waits for the mutex while a snapshot is taken.
#include <benchmark/benchmark.h>

#include <atomic>
#include <string>

#include "engine/test_app.h"
#include "ui/dxcc_panel_layout.h"
#include "ui/status_model.h"
#include "ui/status_snapshot.h"

namespace {

class BenchHost : public HostLink {
public:
    bool Connected() const override { return true; }
    double ReadFrequency() override { return 14070000.0; }
    std::string ReadCurrentCall(int) override { return call; }
    void SendMacro(const std::string&) override {}
    std::string call = "W1AW";
};

// A log of `qsos` QSOs, one in 50 with W1AW; 250 worked prefixes (the table's keys, so each one ticks a
// box) and every state code.
void FillEngine(CTestApp& app, int qsos) {
    std::lock_guard<std::mutex> lock(app.mutex);
    Engine& e = app.engine;
    const char* bands[] = {"80m", "40m", "20m", "15m", "10m"};
    for (int i = 0; i < qsos; ++i) {
        CInfo q;
        q.call = i % 50 == 0 ? "W1AW" : "K" + std::to_string(i);
        q.prefix = "K";
        q.band = bands[i % 5];
        q.mode = "RTTY";
        q.exchRcvd = "CT";
        q.stateProv = "CT";
        q.time = COleDateTime(45297.5 + i / 1440.0, 0);
        e.qsoLog.Append(q);
    }
    size_t n = 0;
    for (const DxccEntity& row : DxccEntityTable::Rows()) {
        if (n++ < 250) e.workedDxcc.push_back(row.key);
    }
    for (size_t i = 0; i < kStateCellCount; ++i) e.workedStateProv.push_back(StateCellAt(i).code);
    e.bandRows.assign(6, std::vector<std::string>(5, "-"));
    e.contestStartYear = "2024";
}

void BM_Snapshot(benchmark::State& st) {
    CTestApp app;
    FillEngine(app, static_cast<int>(st.range(0)));
    for (auto _ : st) benchmark::DoNotOptimize(TakeStatusSnapshot(app, "W1AW"));
}
BENCHMARK(BM_Snapshot)->Arg(1000)->Arg(5000)->Arg(20000);

void BM_Refresh(benchmark::State& st) {
    CTestApp app;
    FillEngine(app, static_cast<int>(st.range(0)));
    BenchHost host;
    StatusModelState state;
    StateCellMarks marks;
    auto source = [&](const std::string& call) { return TakeStatusSnapshot(app, call); };
    for (auto _ : st) {
        StatusRefresh r = RefreshStatus(state, host, StatusViewFields{1, 1, 1, 1},
                                        OpenStatusWindows{true, true, true, true}, &marks, source,
                                        app.engine.refreshPending);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_Refresh)->Arg(1000)->Arg(5000)->Arg(20000);

void BM_PanelLayout(benchmark::State& st) {
    CTestApp app;
    FillEngine(app, 1000);
    BenchHost host;
    host.call = std::string(st.range(0) ? "W1AW" : "");
    StatusModelState state;
    auto source = [&](const std::string& call) { return TakeStatusSnapshot(app, call); };
    RefreshStatus(state, host, {}, {}, nullptr, source, app.engine.refreshPending);
    for (auto _ : st) {
        benchmark::DoNotOptimize(LayoutDxccPanel(state.currentCall, state.currentBandIndex, state.bandRows,
                                                 state.workedDxcc, PanelRect{1, 1, 297, 197}));
    }
}
BENCHMARK(BM_PanelLayout)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
