// stats-replay: scores a contest log through the Stats plug-in. See UsageText for the options.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "replay.h"
#include "stats_version.h"

int main(int argc, char** argv) {
#if defined(_WIN32)
    // The report is CRLF text already: the console must not add a second CR.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);  // a log read from "-" keeps its bytes
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    replay::ReplayOptions options;
    std::string error;
    switch (replay::ParseCommandLine(args, options, error)) {
        case replay::CommandLine::help: {
            std::string plugin;
            const contest::Record* contest = replay::ContestForHelp(options, plugin);
            std::cout << replay::UsageText(plugin, contest);
            return 0;
        }
        case replay::CommandLine::version:
            std::cout << "stats-replay " STATS_VERSION "\n";
            return 0;
        case replay::CommandLine::error:
            std::cerr << "stats-replay: " << error << "\n";
            return 2;
        case replay::CommandLine::run:
            break;
    }
    try {
        return replay::RunReplay(options, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "stats-replay: " << e.what() << "\n";
        return 2;
    }
}
