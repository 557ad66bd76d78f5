#include "common/text.h"
#include "contest_dates.h"
#include "replay.h"

namespace replay {

namespace {

// One option: its name, the name of its value (nullptr for a switch), its help, and what it sets.
struct OptionSpec {
    const char* name;
    const char* value;
    const char* help;  // lines after the first are indented under it
    bool (*apply)(ReplayOptions& o, const std::string& value, std::string& error);
};

bool SetDateTime(std::optional<COleDateTime>& target, const char* name, const std::string& value,
                 std::string& error) {
    auto t = ParseDateTimeOption(value);
    if (!t) {
        error = std::string(name) + " wants a date and time such as \"2019-01-05 1800\", got '" + value + "'";
        return false;
    }
    target = *t;
    return true;
}

const std::vector<OptionSpec>& OptionSpecs() {
    static const std::vector<OptionSpec> specs = {
        {"--out", "DIR",
         "the plug-in's working folder (default ./stats-out): its settings (Plugins/<contest>.ini),\n"
         "the bad-QSO file, the Cabrillo file, report.txt or report.html",
         [](ReplayOptions& o, const std::string& v, std::string&) { return o.outDir = v, true; }},
        {"--html", nullptr, "HTML report (calls setVersion first)",
         [](ReplayOptions& o, const std::string&, std::string&) { return o.html = true; }},
        {"--cabrillo", nullptr,
         "ask for the Cabrillo log: the plug-in writes <CALL>.cbr into the output folder. Its header\n"
         "comes from the log (Cabrillo header lines; ADIF header fields, STATION_CALLSIGN, OPERATOR,\n"
         "MY_STATE as LOCATION, MY_NAME, MY_STREET, MY_CITY, MY_POSTAL_CODE, MY_COUNTRY), --header\n"
         "overrides it, and a field neither gives is left empty",
         [](ReplayOptions& o, const std::string&, std::string&) { return o.cabrillo = true; }},
        {"--header", "KEY=VALUE",
         "a Cabrillo header field for --cabrillo, any field of the plug-in's header dialog (see\n"
         "below; repeat as needed). Only SOAPBOX may hold line breaks",
         [](ReplayOptions& o, const std::string& v, std::string& error) {
             HeaderValue h;
             if (!ParseHeaderOption(v, h, error)) return false;
             o.headers.push_back(h);
             return true;
         }},
        {"--check", "CALL[:BAND:MODE]", "ask CheckCall0 after the replay (default: band and mode of the last QSO)",
         [](ReplayOptions& o, const std::string& v, std::string& error) {
             if (text::Trim(text::Split(v, ':')[0]).empty()) {
                 error = "--check wants CALL[:BAND:MODE]";
                 return false;
             }
             o.checks.push_back(v);
             return true;
         }},
        {"--call", "CALL", "the own call (default: the log's CALLSIGN / STATION_CALLSIGN)",
         [](ReplayOptions& o, const std::string& v, std::string&) {
             o.ownCall = text::ToUpper(text::Trim(v));
             return true;
         }},
        {"--start", "\"YYYY-MM-DD HHMM\"",
         "contest start in UTC (default: the Saturday 18:00 of the log's weekend); QSOs outside\n"
         "the period are named and still replayed",
         [](ReplayOptions& o, const std::string& v, std::string& error) {
             return SetDateTime(o.start, "--start", v, error);
         }},
        {"--end", "\"YYYY-MM-DD HHMM\"", "contest end in UTC (default: 30 hours after the start)",
         [](ReplayOptions& o, const std::string& v, std::string& error) {
             return SetDateTime(o.end, "--end", v, error);
         }},
        {"--cty", "FILE",
         "country file in cty.dat format (default: cty.dat beside this program, else\n"
         STATS_HAMRADIO_FILES "cty.dat)",
         [](ReplayOptions& o, const std::string& v, std::string&) { return o.countryFile = v, true; }},
        {"--plugin", "PATH", "the plug-in library (default: libStats.so / Stats.dll beside this program)",
         [](ReplayOptions& o, const std::string& v, std::string&) { return o.pluginPath = v, true; }},
        {"--host-version", "V", "put a host INI with version V into the output folder (CREATED-BY line)",
         [](ReplayOptions& o, const std::string& v, std::string&) { return o.hostVersion = v, true; }},
        {"--windows", nullptr, "let the plug-in open its status windows (Windows build)",
         [](ReplayOptions& o, const std::string&, std::string&) { return o.windows = true; }},
        {"--analysis", nullptr,
         "also write analysis.html into the output folder: rates, time on and off, band changes,\n"
         "multipliers and calls to double-check, drawn from the plug-in's answers",
         [](ReplayOptions& o, const std::string&, std::string&) { return o.analysis = true; }},
        {"--compare", "OTHER",
         "for --analysis: replay the log OTHER the same way and set its station beside this one on the\n"
         "page (repeat for up to three others)",
         [](ReplayOptions& o, const std::string& v, std::string& error) {
             if (v == "-" || text::Trim(v).empty()) {
                 error = "--compare wants the file of another log, got '" + v + "'";
                 return false;
             }
             if (o.compare.size() == kMostComparedLogs) {
                 error = "--compare: at most " + std::to_string(kMostComparedLogs) +
                         " other logs, four stations on one page";
                 return false;
             }
             o.compare.push_back(v);
             return true;
         }},
        {"--scp", "FILE",
         "super-check-partial list for --analysis (default: MASTER.SCP beside this program, else\n"
         STATS_HAMRADIO_FILES "MASTER.SCP)",
         [](ReplayOptions& o, const std::string& v, std::string&) { return o.scpFile = v, true; }},
        {"--off-time", "MINUTES",
         "for --analysis: a run of this many empty clock minutes or more between QSOs is a break\n"
         "(default: the rules' own, 30 for the Roundup and the CQ WW, 60 for the CQ WPX)",
         [](ReplayOptions& o, const std::string& v, std::string& error) {
             const std::string t = text::Trim(v);
             const bool digits = !t.empty() && t.size() <= 4 &&
                                 t.find_first_not_of("0123456789") == std::string::npos;
             if (!digits || std::stoi(t) < 1) {
                 error = "--off-time wants a number of minutes from 1 to 9999, got '" + v + "'";
                 return false;
             }
             o.offMinutes = std::stoi(t);
             return true;
         }},
        {"--help", nullptr, "this text (also -h)", nullptr},
        {"--version", nullptr, "the program's version", nullptr},
    };
    return specs;
}

const OptionSpec* FindOption(const std::string& name) {
    for (const OptionSpec& s : OptionSpecs()) {
        if (name == s.name) return &s;
    }
    return nullptr;
}

}  // namespace

std::vector<std::string> OptionNames() {
    std::vector<std::string> names;
    for (const OptionSpec& s : OptionSpecs()) names.push_back(s.name);
    return names;
}

std::string UsageText(const std::string& plugin, const contest::Record* contest) {
    std::string usage = "usage: stats-replay [options] LOGFILE\n";
    if (contest != nullptr) {
        usage += text::Format("Scores a finished %s log (Cabrillo 3.0 or ADIF) through the plug-in %s, as the\n"
                              "host would:", contest->name, plugin.c_str());
    } else {
        usage += "Scores a finished contest log (Cabrillo 3.0 or ADIF) through a Stats plug-in (" + plugin +
                 ": no contest\nthis program knows), as the host would:";
    }
    usage +=
        " one ResetStats0, CheckCall0 and AddData0 for each QSO, then GetResult0. The report\n"
        "goes to standard output exactly as the plug-in returns it; a summary and every unusable line go to\n"
        "standard error. Each plug-in scores its own contest: --plugin names another.\n"
        "LOGFILE - reads the log from standard input; -- ends the options.\n"
        "\n";
    const std::string indent(24, ' ');
    for (const OptionSpec& s : OptionSpecs()) {
        std::string head = std::string("  ") + s.name + (s.value ? std::string(" ") + s.value : std::string());
        usage += head.size() < indent.size() ? head + std::string(indent.size() - head.size(), ' ')
                                             : head + "\n" + indent;
        usage += text::ReplaceAll(s.help, "\n", "\n" + indent) + "\n";
    }
    std::string fields = "\nCabrillo header fields:";
    size_t lineStart = 0;
    for (const HeaderField& f : HeaderFields()) {
        if (fields.size() - lineStart + std::string(f.tag).size() > 100) {
            lineStart = fields.size() + 1;
            fields += "\n ";
        }
        fields += std::string(" ") + f.tag;
    }
    usage += fields + "\n";
    usage +=
        "\n"
        "Exit code 0 when the log was replayed; 2 when the command line is wrong, or the log (no QSO in it\n"
        "could be read), the country file or the plug-in cannot be used: one line says why and nothing is\n"
        "written.\n";
    return usage;
}

CommandLine ParseCommandLine(const std::vector<std::string>& args, ReplayOptions& o, std::string& error) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            if (!o.logPath.empty()) {
                error = "one log file at a time: " + o.logPath + " and " + arg;
                return CommandLine::error;
            }
            o.logPath = arg;
            continue;
        }
        std::string value;
        bool hasInlineValue = false;
        size_t eq = arg.find('=');
        if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasInlineValue = true;
        }
        if (arg == "-h") arg = "--help";
        const OptionSpec* option = FindOption(arg);
        if (!option) {
            error = "unknown option " + arg + " (see --help)";
            return CommandLine::error;
        }
        if (!option->value && hasInlineValue) {
            error = arg + " takes no value";
            return CommandLine::error;
        }
        if (arg == "--help") return CommandLine::help;
        if (arg == "--version") return CommandLine::version;
        if (option->value && !hasInlineValue) {
            // An option in the value's place means the value was left out.
            if (i + 1 >= args.size() || (args[i + 1].size() > 1 && args[i + 1].rfind("--", 0) == 0)) {
                error = arg + " needs a value";
                return CommandLine::error;
            }
            value = args[++i];
        }
        if (!option->apply(o, value, error)) return CommandLine::error;
    }
    if (o.logPath.empty()) {
        error = "no log file given (see --help)";
        return CommandLine::error;
    }
    return CommandLine::run;
}

}  // namespace replay
