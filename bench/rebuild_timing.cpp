// A rebuild as the host does it after loading its log: ResetStats0, one AddData0 per QSO of a realistic
// 10,000-QSO log, GetResult0, through the plug-in beside this program (Stats.dll under wine, where Google
// Benchmark is not at hand). Prints one line: {"rebuild_ms": {"min": M, "median": D, "runs": N}}.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_support.h"

int main(int argc, char** argv) {
    using namespace bench;
    const size_t qsos = 10000;
    const int runs = argc > 1 ? std::atoi(argv[1]) : 30;
    BenchDir dir;
    Host host;
    if (!host.Load()) return 2;
    const std::vector<QsoArgs> log = RealisticLog(qsos, 3);
    if (log.empty()) return 2;
    host.Fill(log);  // once untimed, as the host's first rebuild of the session
    host.Result();
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const double start = NowNs();
        host.Fill(log);
        host.Result();
        ms.push_back((NowNs() - start) / 1e6);
    }
    std::printf("{\"rebuild_ms\": {\"min\": %.3f, \"median\": %.3f, \"runs\": %d, \"qsos\": %zu}}\n", Minimum(ms),
                Median(ms), runs, qsos);
    return 0;
}
