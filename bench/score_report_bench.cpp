// What one GetResult0 costs as the log grows: the score model recomputed from the whole log, the report
// laid out and "Claimed" written; and the same with a pending Cabrillo export, which also writes every
// QSO line to the file. Runs in a temporary directory, since the report writes into the current one.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "common/text.h"
#include "engine/engine.h"
#include "scoring/cabrillo_export.h"
#include "scoring/score_report.h"

namespace {

namespace fs = std::filesystem;

const char* const kBands[] = {"80m", "40m", "20m", "15m", "10m"};
const char* const kStates[] = {"NY", "CA", "TX", "ON", "QC", "FL", "OH", "WA", "BC", "MA"};
const char* const kDxPrefixes[] = {"DL", "F", "G", "I", "EA", "OH", "SM", "UA", "JA", "VK", "ZL", "PY", "LU"};

class BenchDir {
public:
    BenchDir() : previous_(fs::current_path()) {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("stats-score-bench-" + std::to_string(rd()));
        fs::create_directories(path_ / "Plugins");
        fs::current_path(path_);
    }
    ~BenchDir() {
        std::error_code ec;
        fs::current_path(previous_, ec);
        fs::remove_all(path_, ec);
    }

private:
    fs::path previous_;
    fs::path path_;
};

// Three in five QSOs with W/VE stations, one in fifty a dupe, spread over the 30 hours of the contest.
void FillLog(Engine& e, size_t count) {
    std::mt19937 random(7);
    e.ownCall = "W1AW";
    e.contestStartYear = "2020";
    e.contestStartDayMonth = "04.01";
    e.contestEnd = "05.01.2020";
    e.bandsSeen = {"20m", "40m", "80m", "15m", "10m"};
    const double start = COleDateTime::FromFields(2020, 1, 4, 18, 0).m_dt;
    for (size_t i = 0; i < count; ++i) {
        CInfo q;
        q.call = text::Format("K%uAB%u", static_cast<unsigned>(i % 10), static_cast<unsigned>(i));
        q.band = kBands[random() % 5];
        q.mode = "RTTY";
        q.rstSent = q.rstRcvd = "599";
        q.exchSent = "CT";
        if (random() % 5 < 3) {
            q.prefix = random() % 4 == 0 ? "VE" : "K";
            q.stateProv = q.exchRcvd = kStates[random() % 10];
        } else {
            q.prefix = kDxPrefixes[random() % 13];
            q.exchRcvd = text::Format("%u", static_cast<unsigned>(i));
        }
        if (random() % 50 == 0) q.notCounted = q.dupe = 1;
        q.freqKHz = 14080;
        q.time = COleDateTime(start + 1.25 * static_cast<double>(i) / static_cast<double>(count), 0);
        e.qsoLog.Append(q);
    }
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
