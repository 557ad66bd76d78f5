// Writes a simulated contest's logs into a folder, for runs of the tools by hand or by script:
//   sim_contest FOLDER [LOGS [SEED]] [--real] [--cqww]
// (the call list and country file from hamradio-files). --real: the error model of real logs
// (UseRealErrorModel); --cqww: the CQ WW RTTY's logs instead of the Roundup's.
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
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--real") == 0) {
            real = true;
        } else if (std::strcmp(argv[i], "--cqww") == 0) {
            cqww = true;
        } else {
            args.push_back(argv[i]);
        }
    }
    if (args.empty()) {
        std::fprintf(stderr, "usage: sim_contest FOLDER [LOGS [SEED]] [--real] [--cqww]\n");
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
    std::printf("sim_contest: %zu logs, %zu QSO lines in %s\n", contest.logs.size(), contest.qsoLines, args[0]);
    return 0;
}
