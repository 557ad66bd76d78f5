// Writes a simulated contest's logs into a folder, for runs of the tools by hand or by script:
//   sim_contest FOLDER [LOGS [SEED]]   (the call list and country file from hamradio-files)
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "contest_simulator.h"
#include "country_file.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: sim_contest FOLDER [LOGS [SEED]]\n");
        return 2;
    }
    sim::SimOptions options;
    if (argc > 2) options.loggers = std::atoi(argv[2]);
    if (argc > 3) options.seed = static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10));
    std::string error;
    const sim::SimContest contest =
        sim::Simulate(options, replay::kDefaultScpFile, replay::kDefaultCountryFile, error);
    if (contest.logs.empty()) {
        std::fprintf(stderr, "sim_contest: %s\n", error.c_str());
        return 1;
    }
    std::filesystem::create_directories(argv[1]);
    sim::WriteLogs(contest, argv[1]);
    std::printf("sim_contest: %zu logs, %zu QSO lines in %s\n", contest.logs.size(), contest.qsoLines, argv[1]);
    return 0;
}
