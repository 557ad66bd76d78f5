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

namespace {

namespace fs = std::filesystem;

const char* const kBands[] = {"80m", "40m", "20m", "15m", "10m"};
const char* const kStates[] = {"NY", "CA", "TX", "ON", "QC", "FL", "OH", "WA", "BC", "MA"};
const char* const kDxPrefixes[] = {"DL", "F", "G", "I", "EA", "OH", "SM", "UA", "JA", "VK", "ZL", "PY", "LU",
                                   "OK", "SP", "HA", "YO", "LZ", "9A", "S5", "OE", "HB", "ON", "PA", "OZ"};

class BenchDir {
public:
    BenchDir() : previous_(fs::current_path()) {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("stats-bench-" + std::to_string(rd()));
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

// A contest-like log: three in five QSOs with W/VE stations sending their state, the rest DX sending
// serials, all five bands, about one dupe in fifty and one unacceptable state in a hundred.
std::vector<QsoArgs> MakeLog(size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<QsoArgs> log;
    log.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        if (i > 0 && random() % 50 == 0) {
            log.push_back(log[random() % i]);  // a dupe
            continue;
        }
        QsoArgs q;
        q.ownCall = "W1AW";
        q.band = kBands[random() % 5];
        q.mode = "RTTY";
        q.rstSent = "599";
        q.rstRcvd = "599";
        q.exchSent = "CT";
        q.frequencyHz = 14085000;
        q.time = COleDateTime(43834.75 + static_cast<double>(i) / 4000.0, COleDateTime::valid);
        if (random() % 5 < 3) {
            q.prefix = random() % 10 == 0 ? "VE" : "K";
            q.call = text::Format("%s%u%c%c%c", q.prefix == "K" ? "W" : "VE", static_cast<unsigned>(i % 10),
                                  'A' + static_cast<int>(i / 10 % 26), 'A' + static_cast<int>(i / 260 % 26),
                                  'A' + static_cast<int>(i / 6760 % 26));
            q.exchRcvd = random() % 100 == 0 ? "XX" : kStates[random() % 10];
        } else {
            q.prefix = kDxPrefixes[random() % (sizeof kDxPrefixes / sizeof kDxPrefixes[0])];
            q.call = text::Format("%s%uX%u", q.prefix.c_str(), static_cast<unsigned>(i % 10), static_cast<unsigned>(i));
            q.exchRcvd = text::Format("%03u", static_cast<unsigned>(i % 1000));
        }
        log.push_back(q);
    }
    return log;
}

ResetArgs MakeReset() {
    ResetArgs r;
    r.iniFolder = "./";
    r.ownCall = "W1AW";
    r.contestStart = COleDateTime(43834.75, COleDateTime::valid);
    r.contestEnd = COleDateTime(43836.0, COleDateTime::valid);
    r.ownPrefix = "K";
    return r;
}

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
