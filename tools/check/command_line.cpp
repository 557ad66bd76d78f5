#include "check.h"

#include "common/text.h"

namespace check {

namespace {

bool ParseCount(const std::string& v, int low, int high, int& out) {
    if (v.empty() || v.size() > 6 || v.find_first_not_of("0123456789") != std::string::npos) return false;
    const int n = std::stoi(v);
    if (n < low || n > high) return false;
    out = n;
    return true;
}

}  // namespace

std::string UsageText() {
    return "usage: stats-check [options] LOG-OR-FOLDER...\n"
           "Scores every log through the plug-in and cross-checks the logs against each other.\n"
           "\n"
           "  --out DIR          where CALL.lcr.txt, results.csv, results.html, missing-logs.csv and\n"
           "                     toxic-logs.csv go (default ./check-out)\n"
           "  --jobs N           worker processes, one plug-in each (default: one per processor)\n"
           "  --window N         minutes two logs of one QSO may differ, after clock offsets (default 3)\n"
           "  --penalty P        none (default) or one-extra: a QSO not in log or with a busted call costs\n"
           "                     one more QSO\n"
           "  --use FILE         of a station that sent several logs of one contest, check this one (also\n"
           "                     checked when not among the logs given); else the latest file is checked\n"
           "  --plugin PATH      the plug-in library (default: libStats.so / Stats.dll beside this program)\n"
           "  --cty FILE         country file in cty.dat format (default: cty.dat beside this program, else\n"
           "                     " STATS_HAMRADIO_FILES "cty.dat)\n"
           "  --scp FILE         super-check-partial list for unique calls (default: MASTER.SCP beside this\n"
           "                     program, else " STATS_HAMRADIO_FILES "MASTER.SCP)\n"
           "  --no-progress      no progress bar (none is drawn when standard error is not a terminal)\n"
           "  --help, -h         this text\n"
           "  --version          the program's version\n"
           "\n"
           "Every file given or found in a folder is checked; \"-\" is the file of that name. Logs of another\n"
           "contest or weekend, and logs that another log of their station replaces, are set apart.\n"
           "Exit code: 0 every file was a log of the contest and was checked; 1 some files were left out\n"
           "or set apart (each named on standard error with its reason, and in files-not-checked.csv), the\n"
           "rest checked; 2 nothing checked: the command line, the plug-in, the country file or the output\n"
           "folder cannot be used, no file is a log of the contest, or an output cannot be written (named);\n"
           "3 logs were lost because a worker process died (named, with how it ended): the lists are written\n"
           "as results-partial.csv, results-partial.html, missing-logs-partial.csv and toxic-logs-partial.csv.\n";
}

CommandLine ParseCommandLine(const std::vector<std::string>& args, CheckOptions& o,
                             std::vector<std::string>& workerArgs, std::string& error) {
    if (!args.empty() && args[0] == "--worker") {
        workerArgs.assign(args.begin() + 1, args.end());
        if (workerArgs.size() != 5) {
            error = "--worker wants LIST RESULT WORKDIR PLUGIN CTY";
            return CommandLine::error;
        }
        return CommandLine::worker;
    }
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
            o.inputs.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        if (a == "--help" || a == "-h") return CommandLine::help;
        if (a == "--version") return CommandLine::version;
        if (a == "--no-progress") {
            o.progress = false;
            continue;
        }
        const bool takesValue = a == "--out" || a == "--jobs" || a == "--window" || a == "--penalty" ||
                                a == "--plugin" || a == "--cty" || a == "--scp" || a == "--use";
        if (!takesValue) {
            error = "unknown option " + a + " (--help lists them)";
            return CommandLine::error;
        }
        if (i + 1 >= args.size()) {
            error = a + " wants a value";
            return CommandLine::error;
        }
        const std::string& v = args[++i];
        if (a == "--out") {
            o.outDir = v;
        } else if (a == "--plugin") {
            o.pluginPath = v;
        } else if (a == "--cty") {
            o.countryFile = v;
        } else if (a == "--scp") {
            o.scpFile = v;
        } else if (a == "--use") {
            o.use.push_back(v);
            o.inputs.push_back(v);
        } else if (a == "--jobs") {
            if (!ParseCount(v, 1, 256, o.jobs)) {
                error = "--jobs wants a number from 1 to 256, got '" + v + "'";
                return CommandLine::error;
            }
        } else if (a == "--window") {
            if (!ParseCount(v, 0, 1440, o.crossCheck.windowMinutes)) {
                error = "--window wants minutes from 0 to 1440, got '" + v + "'";
                return CommandLine::error;
            }
        } else if (a == "--penalty") {
            if (v == "none") {
                o.crossCheck.penalty = Penalty::none;
            } else if (v == "one-extra") {
                o.crossCheck.penalty = Penalty::oneExtra;
            } else {
                error = "--penalty wants none or one-extra, got '" + v + "'";
                return CommandLine::error;
            }
        }
    }
    if (o.inputs.empty()) {
        error = "no log or folder given (--help shows the usage)";
        return CommandLine::error;
    }
    return CommandLine::run;
}

}  // namespace check
