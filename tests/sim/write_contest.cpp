// Writes a simulated contest's logs into a folder, for runs of the tools by hand or by script:
//   sim_contest FOLDER [LOGS [SEED]] [--real] [--cqww] [--truth FILE]
// (the call list and country file from hamradio-files). --real: the error model of real logs
// (UseRealErrorModel); --cqww: the CQ WW RTTY's logs instead of the Roundup's; --truth: each injected error
// as a line "CALL LINE KIND RIGHT-CALL", the clock offsets as "CALL clock MINUTES".
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "contest/cq_ww_rtty.h"
#include "contest_simulator.h"
#include "country_file.h"

int main(int argc, char** argv) {
    std::vector<const char*> args;
    bool real = false, cqww = false;
    const char* truth = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--truth") == 0 && i + 1 < argc) {
            truth = argv[++i];
        } else if (std::strcmp(argv[i], "--real") == 0) {
            real = true;
        } else if (std::strcmp(argv[i], "--cqww") == 0) {
            cqww = true;
        } else {
            args.push_back(argv[i]);
        }
    }
    if (args.empty()) {
        std::fprintf(stderr, "usage: sim_contest FOLDER [LOGS [SEED]] [--real] [--cqww] [--truth FILE]\n");
        return 2;
    }
    sim::SimOptions options;
    if (args.size() > 1) options.loggers = std::atoi(args[1]);
    if (args.size() > 2) options.seed = static_cast<uint32_t>(std::strtoul(args[2], nullptr, 10));
    if (cqww) options.contest = &contest::CqWwRtty();
    if (real) sim::UseRealErrorModel(options);
    std::string error;
    const sim::SimContest contest =
        sim::Simulate(options, replay::kDefaultScpFile, replay::kDefaultCountryFile, error);
    if (contest.logs.empty()) {
        std::fprintf(stderr, "sim_contest: %s\n", error.c_str());
        return 1;
    }
    std::filesystem::create_directories(args[0]);
    sim::WriteLogs(contest, args[0]);
    if (truth) {
        static const char* const kKinds[] = {"busted-call", "busted-exchange", "not-in-log", "dupe", "missing-exchange"};
        FILE* f = std::fopen(truth, "wb");
        if (!f) {
            std::fprintf(stderr, "sim_contest: cannot write %s\n", truth);
            return 1;
        }
        for (const sim::Injected& i : contest.injected) {
            if (i.log >= 0) {
                std::fprintf(f, "%s %d %s %s\n", contest.calls[i.log].c_str(), i.line, kKinds[static_cast<int>(i.kind)],
                             i.right.empty() ? "-" : i.right.c_str());
            }
        }
        for (size_t li = 0; li < contest.calls.size(); ++li) {
            if (contest.clockOffset[li]) std::fprintf(f, "%s clock %d\n", contest.calls[li].c_str(), contest.clockOffset[li]);
        }
        std::fclose(f);
    }
    std::printf("sim_contest: %zu logs, %zu QSO lines in %s\n", contest.logs.size(), contest.qsoLines, args[0]);
    return 0;
}
