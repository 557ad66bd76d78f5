// stats-check: scores every log of a contest through the Stats plug-in and cross-checks them.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "check.h"
#include "child_process.h"
#include "worker.h"
#include "replay.h"
#include "stats_version.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    check::CheckOptions options;
    std::vector<std::string> worker;
    std::string error;
    switch (check::ParseCommandLine(args, options, worker, error)) {
        case check::CommandLine::help: {
            std::cout << check::UsageText();
            // The contest the plug-in checks the logs by.
            replay::ReplayOptions plugin;
            plugin.pluginPath = options.pluginPath;
            std::string name;
            const contest::Record* contest = replay::ContestForHelp(plugin, name);
            std::cout << "\nThe plug-in " << name << " checks "
                      << (contest ? std::string(contest->name) + " logs" : std::string("no contest this program knows"))
                      << "; --plugin names another.\n";
            return 0;
        }
        case check::CommandLine::version:
            std::cout << "stats-check " STATS_VERSION "\n";
            return 0;
        case check::CommandLine::error:
            std::cerr << "stats-check: " << check::Printable(error) << "\n";
            return check::kExitRefused;
        case check::CommandLine::worker:
            return check::RunWorker(worker[0], worker[1], worker[2], worker[3], worker[4]);
        case check::CommandLine::run:
            break;
    }
    int rc = check::kExitRefused;
    try {
        rc = check::RunCheck(options, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "stats-check: " << check::Printable(e.what()) << "\n";
    }
    // Stopped: the workers and the work folder are gone; end as the signal would have ended it.
    if (const int signal = check::StopSignal()) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
    return rc;
}
