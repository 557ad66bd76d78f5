#pragma once
// stats-replay: a host stand-in that scores a finished contest log through the plug-in. It loads the plug-in,
// calls it in the host's order (setVersion when HTML is wanted, ResetStats0, CheckCall0 and AddData0 for each
// QSO, GetResult0, then CheckCall0 for each question asked), and prints the report exactly as the plug-in made
// it.
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/ole_date_time.h"
#include "analysis.h"
#include "country_file.h"
#include "header_fields.h"

namespace replay {

struct ReplayOptions {
    std::string logPath;
    std::string outDir = "stats-out";  // the plug-in's working folder: settings, bad-QSO file, Cabrillo file
    std::string pluginPath;            // empty: the plug-in beside this program
    std::string countryFile = kDefaultCountryFile;
    std::string ownCall;               // empty: the log's own call
    std::string hostVersion;           // non-empty: a host INI with this version is put in the output folder
    bool html = false;
    bool cabrillo = false;
    bool windows = false;              // let the plug-in open its status windows
    bool analysis = false;             // also write the analysis page, analysis.html
    std::string scpFile = kDefaultScpFile;
    int offMinutes = Contest().offTimeMinutes;  // a gap of this many minutes or more is off time
    std::vector<HeaderValue> headers;
    std::vector<std::string> checks;   // CALL[:BAND:MODE]
    std::optional<COleDateTime> start, end;
};

struct ReplaySummary {
    size_t qsosRead = 0;
    size_t added = 0;
    size_t rejected = 0;
    size_t linesSkipped = 0;
    size_t prefixesUnresolved = 0;
    size_t outsidePeriod = 0;                // replayed all the same
    std::map<std::string, size_t> rejections;  // "WRONG MODE (DG)" -> count, the plug-in's reasons
    std::optional<long long> claimedScore;  // the log's CLAIMED-SCORE
    std::optional<long long> pluginScore;   // what the plug-in computed
    std::string report;                     // GetResult0's text
    std::vector<int> checkCodes;
    std::vector<QsoOutcome> outcomes;       // one per QSO read, in the log's order
};

enum class CommandLine { run, help, version, error };
CommandLine ParseCommandLine(const std::vector<std::string>& args, ReplayOptions& options, std::string& error);
std::string UsageText();
std::vector<std::string> OptionNames();  // every long option, as --help lists them

// The meaning of a CheckCall0 answer, for people.
const char* CheckCodeMeaning(int code);

// Runs the whole replay. Returns the exit code: 0 done, 2 when the log (no QSO in it could be read), the
// country file or the plug-in cannot be used; then nothing is written. The report goes to `out` byte for byte; messages and the summary go to `err`. The current
// directory is the output folder while the plug-in runs and is restored before returning.
int RunReplay(const ReplayOptions& options, std::ostream& out, std::ostream& err, ReplaySummary* summary = nullptr);

}  // namespace replay
