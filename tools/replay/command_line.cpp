#include "common/text.h"
#include "contest_dates.h"
#include "replay.h"

namespace replay {

std::string UsageText() {
    return "usage: stats-replay [options] LOGFILE\n"
           "Scores a finished ARRL RTTY Roundup log (Cabrillo 3.0 or ADIF) through the Stats plug-in, as the host\n"
           "would: one ResetStats0, one AddData0 per QSO, then GetResult0. The report goes to standard output\n"
           "exactly as the plug-in returns it; a summary and every unusable line go to standard error.\n"
           "\n"
           "  --out DIR             the plug-in's working folder (default ./stats-out): its settings\n"
           "                        (Plugins/ARRL-RTTY.ini), the bad-QSO file, the Cabrillo file, report.txt/.html\n"
           "  --html                HTML report (calls setVersion first)\n"
           "  --cabrillo            ask for the Cabrillo log: the plug-in writes <CALL>.cbr into the output folder\n"
           "  --header KEY=VALUE    a Cabrillo header field for --cabrillo, e.g. NAME=..., OPERATORS=..., CLUB=...,\n"
           "                        ADDRESS=..., ADDRESS-CITY=..., EMAIL=..., SOAPBOX=... (repeat as needed)\n"
           "  --check CALL[:BAND:MODE]  ask CheckCall0 after the replay (default: band and mode of the last QSO)\n"
           "  --call CALL           the own call (default: the log's CALLSIGN / STATION_CALLSIGN)\n"
           "  --start \"YYYY-MM-DD HHMM\", --end \"YYYY-MM-DD HHMM\"\n"
           "                        contest period (default: the Saturday 18:00 UTC of the log's weekend, 30 hours)\n"
           "  --cty FILE            country file in cty.dat format (default /usr/share/hamradio-files/cty.dat)\n"
           "  --plugin PATH         the plug-in library (default: libStats.so / Stats.dll beside this program)\n"
           "  --host-version V      put a host INI with version V into the output folder (CREATED-BY line)\n"
           "  --windows             let the plug-in open its status windows (Windows build)\n"
           "  --help                this text\n"
           "\n"
           "Exit code 0 when the log was replayed, 2 when the log, the country file or the plug-in cannot be used\n"
           "or the command line is wrong.\n";
}

CommandLine ParseCommandLine(const std::vector<std::string>& args, ReplayOptions& o, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        bool hasInlineValue = false;
        if (arg.rfind("--", 0) == 0) {
            size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
                hasInlineValue = true;
            }
        }
        auto takeValue = [&]() -> bool {
            if (hasInlineValue) return true;
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            value = args[++i];
            return true;
        };
        auto flag = [&](bool& target) -> bool {
            if (hasInlineValue) {
                error = arg + " takes no value";
                return false;
            }
            target = true;
            return true;
        };

        if (arg == "--help" || arg == "-h") return CommandLine::help;
        if (arg == "--html") {
            if (!flag(o.html)) return CommandLine::error;
        } else if (arg == "--cabrillo") {
            if (!flag(o.cabrillo)) return CommandLine::error;
        } else if (arg == "--windows") {
            if (!flag(o.windows)) return CommandLine::error;
        } else if (arg == "--out" || arg == "--plugin" || arg == "--cty" || arg == "--call" ||
                   arg == "--host-version" || arg == "--header" || arg == "--check" || arg == "--start" ||
                   arg == "--end") {
            if (!takeValue()) return CommandLine::error;
            if (arg == "--out") o.outDir = value;
            if (arg == "--plugin") o.pluginPath = value;
            if (arg == "--cty") o.countryFile = value;
            if (arg == "--call") o.ownCall = text::ToUpper(text::Trim(value));
            if (arg == "--host-version") o.hostVersion = value;
            if (arg == "--header") {
                HeaderValue h;
                if (!ParseHeaderOption(value, h, error)) return CommandLine::error;
                o.headers.push_back(h);
            }
            if (arg == "--check") {
                if (text::Trim(text::Split(value, ':')[0]).empty()) {
                    error = "--check wants CALL[:BAND:MODE]";
                    return CommandLine::error;
                }
                o.checks.push_back(value);
            }
            if (arg == "--start" || arg == "--end") {
                auto t = ParseDateTimeOption(value);
                if (!t) {
                    error = arg + " wants a date and time such as \"2019-01-05 1800\", got '" + value + "'";
                    return CommandLine::error;
                }
                (arg == "--start" ? o.start : o.end) = *t;
            }
        } else if (arg.rfind("--", 0) == 0) {
            error = "unknown option " + arg + " (see --help)";
            return CommandLine::error;
        } else if (o.logPath.empty()) {
            o.logPath = arg;
        } else {
            error = "one log file at a time: " + o.logPath + " and " + arg;
            return CommandLine::error;
        }
    }
    if (o.logPath.empty()) {
        error = "no log file given (see --help)";
        return CommandLine::error;
    }
    if (o.start && !o.end) o.end = ContestEndFor(*o.start);
    return CommandLine::run;
}

}  // namespace replay
