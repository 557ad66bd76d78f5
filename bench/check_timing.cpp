// stats-check end to end on simulated contests: the time and memory of the whole run (reading, scoring
// through the plug-in in worker processes, cross-check, outputs) at several sizes, and the checker's
// precision and recall for each kind of injected error. Plain timing: one run per size takes seconds.
//
//   check_timing [LOGS...]     default 200 2000 10000 logs of about 750 QSOs each, and the 500-station score
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "contest_simulator.h"
#include "country_file.h"

namespace fs = std::filesystem;

namespace {

constexpr int kQsosPerLog = 750;  // 2,000 logs: 1.5 million QSOs, a year of the contest

struct Run {
    double seconds = 0;
    double cpuSeconds = 0;  // user and system time of the checker and its workers
    long maxRssMb = 0;  // the largest process of the run: the checker itself, not its workers
    int exitCode = -1;
};

Run CheckFolder(const fs::path& logs, const fs::path& out, const std::string& extra = "") {
    const std::string bin = fs::path(STATS_BIN_DIR) / "stats-check";
    const std::string command = bin + " --no-progress " + extra + " --out " + out.string() + " " + logs.string() +
                                " 2>" + (out.parent_path() / "check.err").string();
    rusage before{};
    getrusage(RUSAGE_CHILDREN, &before);
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    Run r;
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    r.maxRssMb = usage.ru_maxrss / 1024;
    auto cpu = [](const rusage& u) {
        return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    };
    r.cpuSeconds = cpu(usage) - cpu(before);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

sim::SimContest Simulate(int loggers, int qsosPerLog, double errorRate, uint32_t seed) {
    sim::SimOptions o;
    o.seed = seed;
    o.loggers = loggers;
    o.silent = loggers / 4;
    o.qsosPerLog = qsosPerLog;
    o.bustedCallRate = o.bustedExchangeRate = o.missingRate = errorRate;
    o.dupeRate = errorRate / 2;
    o.clockOffLogs = loggers / 50 + 1;
    std::string error;
    sim::SimContest c = sim::Simulate(o, replay::kDefaultScpFile, replay::kDefaultCountryFile, error);
    if (!error.empty()) {
        std::fprintf(stderr, "check_timing: %s\n", error.c_str());
        std::exit(2);
    }
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    const bool all = sizes.empty();
    if (all) sizes = {200, 2000, 10000};
    std::random_device rd;
    const fs::path root = fs::temp_directory_path() / ("stats-check-bench-" + std::to_string(rd()));

    if (all) {
        fs::create_directories(root);
        const sim::SimContest c = Simulate(500, 300, 0.02, 500);
        sim::WriteLogs(c, (root / "logs").string());
        CheckFolder(root / "logs", root / "out");
        const sim::CheckScore s = sim::ScoreReports(c, (root / "out").string());
        std::printf("check precision and recall, 500 stations, %zu QSO lines:\n", c.qsoLines);
        const std::pair<const char*, const sim::KindScore*> kinds[] = {
            {"busted call", &s.bustedCall}, {"busted exchange", &s.bustedExchange}, {"not in log", &s.notInLog},
            {"dupe", &s.dupe}, {"clock off", &s.clock}};
        for (const auto& [name, k] : kinds) {
            std::printf("  %-16s injected %5zu  found %5zu  precision %.4f  recall %.4f\n", name, k->truth, k->found,
                        k->Precision(), k->Recall());
        }
        fs::remove_all(root);
    }
    std::printf("check end to end (read, score through the plug-in, cross-check, outputs):\n");
    for (int logs : sizes) {
        fs::create_directories(root);
        const sim::SimContest c = Simulate(logs, kQsosPerLog, 0.02, static_cast<uint32_t>(logs));
        sim::WriteLogs(c, (root / "logs").string());
        const Run r = CheckFolder(root / "logs", root / "out");
        std::printf("  %6d logs %9zu QSOs  %7.1f s (%6.1f s of processor)  %6ld MB (largest process)  exit %d%s\n",
                    logs, c.qsoLines, r.seconds, r.cpuSeconds, r.maxRssMb, r.exitCode,
                    logs == 2000 ? (r.seconds <= 30.0 && r.maxRssMb <= 2048 ? "  goal 30 s, 2 GB: met"
                                                                             : "  goal 30 s, 2 GB: NOT met")
                                 : "");
        std::fflush(stdout);
        fs::remove_all(root);
    }
    return 0;
}
