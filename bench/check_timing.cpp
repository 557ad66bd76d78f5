// stats-check end to end on simulated contests: the time and memory of the whole run (reading, scoring
// through the plug-in in worker processes, cross-check, outputs) at several sizes beside the floor (reading
// the files), the memory held per QSO, two hostile inputs (a pair of logs with 160,000 QSOs each at one
// time, a log with one 200 MB line), and the checker's precision and recall for each kind of injected error
// and report. Plain timing: one run per size takes seconds.
//
//   check_timing [LOGS...]     default 200 2000 10000 logs of about 750 QSOs each, and the 500-station score;
//                              the pair and the long line always
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "contest/cq_ww_rtty.h"
#include "contest_simulator.h"
#include "country_file.h"

namespace fs = std::filesystem;

namespace {

constexpr int kQsosPerLog = 750;  // 2,000 logs: 1.5 million QSOs, a year of the contest
constexpr double kGoalSeconds2000 = 4.0;
constexpr double kGoalBytesPerQso = 128.0;
constexpr double kGoalPairSeconds = 2.0;
constexpr double kGoalLongLineTimes = 4.0;  // the 200 MB line against a normal log, in memory

struct Run {
    double seconds = 0;
    double cpuSeconds = 0;  // user and system time of the checker and its workers
    long maxRssKb = 0;      // the largest process of the run: the checker itself, not its workers
    int exitCode = -1;
};

double Cpu(const rusage& u) {
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The command in a process of its own, whose children's usage is then this command's alone.
Run Measure(const std::string& command) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) std::exit(2);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        const int status = std::system(command.c_str());
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        Run r;
        r.cpuSeconds = Cpu(usage);
        r.maxRssKb = usage.ru_maxrss;
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (write(pipeFds[1], &r, sizeof r) != sizeof r) _exit(2);
        _exit(0);
    }
    close(pipeFds[1]);
    Run r;
    if (read(pipeFds[0], &r, sizeof r) != sizeof r) r.exitCode = -2;
    close(pipeFds[0]);
    waitpid(pid, nullptr, 0);
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return r;
}

Run CheckFolder(const fs::path& logs, const fs::path& out, const std::string& plugin = "") {
    const std::string bin = fs::path(STATS_BIN_DIR) / "stats-check";
    return Measure(bin + " --no-progress" + (plugin.empty() ? "" : " --plugin " + plugin) + " --out " + out.string() +
                   " " + logs.string() + " 2>" + (out.parent_path() / "check.err").string());
}

// The floor: every file read once, as the workers must.
double ReadAll(const fs::path& folder) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<char> buffer(1 << 16);
    size_t bytes = 0;
    for (const auto& e : fs::directory_iterator(folder)) {
        std::ifstream in(e.path(), std::ios::binary);
        while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
            bytes += static_cast<size_t>(in.gcount());
        }
    }
    if (bytes == 0) std::fprintf(stderr, "check_timing: nothing read in %s\n", folder.c_str());
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

sim::SimOptions Options(int loggers, int qsosPerLog, double errorRate, uint32_t seed) {
    sim::SimOptions o;
    o.seed = seed;
    o.loggers = loggers;
    o.silent = loggers / 4;
    o.qsosPerLog = qsosPerLog;
    o.bustedCallRate = o.bustedExchangeRate = o.missingRate = errorRate;
    o.dupeRate = errorRate / 2;
    o.clockOffLogs = loggers / 50 + 1;
    o.wrongSentLogs = loggers / 100 + 1;
    o.popularSilent = loggers / 100 + 1;
    o.bustingLogs = loggers / 100 + 1;
    return o;
}

sim::SimContest Simulate(const sim::SimOptions& o) {
    std::string error;
    sim::SimContest c = sim::Simulate(o, replay::kDefaultScpFile, replay::kDefaultCountryFile, error);
    if (!error.empty()) {
        std::fprintf(stderr, "check_timing: %s\n", error.c_str());
        std::exit(2);
    }
    return c;
}

void WriteLog(const fs::path& path, const std::string& call, const std::string& body) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        << "START-OF-LOG: 3.0\r\nCONTEST: ARRL-RTTY\r\nCALLSIGN: " << call << "\r\n" << body << "END-OF-LOG:\r\n";
}

const char* Met(bool met) { return met ? "met" : "NOT met"; }

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    const bool all = sizes.empty();
    if (all) sizes = {200, 2000, 10000};
    std::random_device rd;
    const fs::path root = fs::temp_directory_path() / ("stats-check-bench-" + std::to_string(rd()));

    if (all) {
        // The first simulations' errors at 2 % each, then the error model of real logs at its published rates,
        // in both contests.
        struct Scored {
            const char* what;
            bool real;
            const contest::Record* contest;
            const char* plugin;
        } scored[] = {{"errors at 2 %", false, nullptr, ""},
                      {"the error model of real logs", true, nullptr, ""},
                      {"the error model of real logs, CQ WW RTTY", true, &contest::CqWwRtty(), "libStatsCQWW.so"}};
        for (const Scored& run : scored) {
            fs::create_directories(root);
            sim::SimOptions o = Options(500, 300, 0.02, 500);
            if (run.real) sim::UseRealErrorModel(o);
            o.contest = run.contest;
            const sim::SimContest c = Simulate(o);
            sim::WriteLogs(c, (root / "logs").string());
            CheckFolder(root / "logs", root / "out",
                        *run.plugin ? (fs::path(STATS_BIN_DIR) / run.plugin).string() : std::string());
            const sim::CheckScore s = sim::ScoreReports(c, (root / "out").string());
            std::printf("check precision and recall, 500 stations, %zu QSO lines, %s:\n", c.qsoLines, run.what);
            const std::pair<const char*, const sim::KindScore*> kinds[] = {
                {"busted call", &s.bustedCall}, {"busted exchange", &s.bustedExchange}, {"not in log", &s.notInLog},
                {"dupe", &s.dupe}, {"missing exchange", &s.missingExchange}, {"clock off", &s.clock},
                {"header call", &s.headerCall}, {"sent exchange", &s.consensus}, {"toxic log", &s.toxic},
                {"missing log", &s.missing}, {"popular missing", &s.popular}};
            for (const auto& [name, k] : kinds) {
                if (k->truth == 0 && k->found == 0) continue;
                std::printf("  %-16s injected %5zu  found %5zu  precision %.4f  recall %.4f\n", name, k->truth,
                            k->found, k->Precision(), k->Recall());
            }
            fs::remove_all(root);
        }
    }
    std::printf("check end to end (read, score through the plug-in, cross-check, outputs):\n");
    std::vector<std::pair<size_t, long>> memory;  // (QSOs, largest process in kB)
    for (int logs : sizes) {
        fs::create_directories(root);
        size_t qsoLines = 0;
        {
            const sim::SimContest c = Simulate(Options(logs, kQsosPerLog, 0.02, static_cast<uint32_t>(logs)));
            sim::WriteLogs(c, (root / "logs").string());
            qsoLines = c.qsoLines;
        }
        // A process started from this one counts this one's memory as its own until it has started anew.
        malloc_trim(0);
        const double floor = ReadAll(root / "logs");
        const Run r = CheckFolder(root / "logs", root / "out");
        memory.emplace_back(qsoLines, r.maxRssKb);
        std::printf("  %6d logs %9zu QSOs  %6.2f s (%6.1f s of processor, %.2f us a QSO; floor: reading the files "
                    "%.2f s)  %5ld MB (largest process)  exit %d",
                    logs, qsoLines, r.seconds, r.cpuSeconds, r.cpuSeconds * 1e6 / qsoLines, floor,
                    r.maxRssKb / 1024, r.exitCode);
        if (logs == 2000) std::printf("  goal %.0f s: %s", kGoalSeconds2000, Met(r.seconds <= kGoalSeconds2000));
        std::printf("\n");
        std::fflush(stdout);
        fs::remove_all(root);
    }
    if (memory.size() >= 2 && memory.back().first > memory.front().first) {
        const double perQso = (memory.back().second - memory.front().second) * 1024.0 /
                              static_cast<double>(memory.back().first - memory.front().first);
        std::printf("  held per QSO (largest process, %zu to %zu QSOs): %.0f bytes  goal %.0f: %s\n",
                    memory.front().first, memory.back().first, perQso, kGoalBytesPerQso,
                    Met(perQso <= kGoalBytesPerQso));
    }

    // Two logs holding 160,000 QSOs each with the other at one time on one band: the plug-in counts one, and
    // every clock-offset and match search runs over the pair.
    fs::create_directories(root / "pair");
    for (const auto& [me, other] : {std::pair<std::string, std::string>{"W1AA", "K2BB"}, {"K2BB", "W1AA"}}) {
        std::string body;
        const std::string line = "QSO: 14080 RY 2025-01-04 1900 " + me + " 599 NY " + other + " 599 NY\r\n";
        for (int i = 0; i < 160000; ++i) body += line;
        WriteLog(root / "pair" / (me + ".log"), me, body);
    }
    malloc_trim(0);
    const Run pair = CheckFolder(root / "pair", root / "pair-out");
    // What the plug-in alone takes for one of them: all but one of its QSOs are dupes.
    const Run one = Measure((fs::path(STATS_BIN_DIR) / "stats-replay").string() + " --out " +
                            (root / "pair-replay").string() + " " + (root / "pair" / "W1AA.log").string() +
                            " >/dev/null 2>&1");
    std::printf("  two logs of 160,000 QSOs each at one time: %.2f s (stats-replay alone on one of them: %.2f s)"
                "  goal %.0f s: %s\n", pair.seconds, one.seconds, kGoalPairSeconds,
                Met(pair.seconds <= kGoalPairSeconds && pair.exitCode == 0));

    // A log with one 200 MB QSO line against the same log without it.
    fs::create_directories(root / "normal");
    fs::create_directories(root / "long");
    std::string body;
    for (int i = 0; i < kQsosPerLog; ++i) {
        body += "QSO: 14080 RY 2025-01-04 1900 W1AA 599 NY K" + std::to_string(i % 10) + "A" +
                std::string(1, static_cast<char>('A' + i / 10 % 26)) + std::string(1, static_cast<char>('A' + i / 260)) +
                " 599 NY\r\n";
    }
    WriteLog(root / "normal" / "W1AA.log", "W1AA", body);
    WriteLog(root / "long" / "W1AA.log", "W1AA", body + "QSO: " + std::string(200u << 20, '1') + "\r\n");
    body = std::string();
    malloc_trim(0);
    const Run normal = CheckFolder(root / "normal", root / "normal-out");
    const Run longLine = CheckFolder(root / "long", root / "long-out");
    const double times = normal.maxRssKb ? double(longLine.maxRssKb) / normal.maxRssKb : 0;
    std::printf("  one 200 MB line: %ld MB against %ld MB for the log without it (%.1fx)  goal %.0fx: %s\n",
                longLine.maxRssKb / 1024, normal.maxRssKb / 1024, times, kGoalLongLineTimes,
                Met(times <= kGoalLongLineTimes && longLine.exitCode == 0));
    fs::remove_all(root);
    return 0;
}
