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
#include "data_files.h"
#include "header_fields.h"
#include "log_types.h"
#include "plugin/plugin_library.h"

namespace replay {

struct ReplayOptions {
    std::string logPath;
    std::string outDir = "stats-out";  // the plug-in's working folder: settings, bad-QSO file, Cabrillo file
    std::string pluginPath;            // empty: the plug-in beside this program
    std::string countryFile = DefaultCountryFilePath();  // cty.dat beside this program, else the installed one
    std::string ownCall;               // empty: the log's own call
    std::string hostVersion;           // non-empty: a host INI with this version is put in the output folder
    bool html = false;
    bool cabrillo = false;
    bool windows = false;              // let the plug-in open its status windows
    bool analysis = false;             // also write the analysis page, analysis.html
    std::string scpFile = DefaultScpFilePath();          // MASTER.SCP beside this program, else the installed one
    int offMinutes = 0;  // a gap of this many minutes or more is off time; 0: the contest's shortest break
    std::vector<std::string> compare;  // other logs replayed the same way and set beside this one on the page
    bool keepAnalysis = false;         // a compared log: its analysis goes to the summary, not to a page
    std::vector<HeaderValue> headers;
    std::vector<std::string> checks;   // CALL[:BAND:MODE]
    std::optional<COleDateTime> start, end;
};

struct ReplaySummary {
    size_t qsosRead = 0;
    size_t added = 0;       // AddData0 answered non-zero: logged, counted or not
    size_t rejected = 0;    // AddData0 answered 0: refused
    size_t notCounted = 0;  // logged, with a line in the bad-QSO file (a dupe, a bad state or province)
    size_t linesSkipped = 0;
    size_t prefixesUnresolved = 0;
    size_t outsidePeriod = 0;                // replayed; the plug-in counts none of them
    std::map<std::string, size_t> rejections;  // "WRONG MODE (DG)" -> count, the plug-in's reasons
    std::map<std::string, size_t> notCountedReasons;  // "DUPE" -> count
    std::optional<long long> claimedScore;  // the log's CLAIMED-SCORE
    std::optional<long long> pluginScore;   // what the plug-in computed
    std::string report;                     // GetResult0's text
    std::vector<int> checkCodes;
    std::vector<QsoOutcome> outcomes;       // one per QSO read, in the log's order
    std::optional<Analysis> analysis;       // with keepAnalysis
};

enum class CommandLine { run, help, version, error };
CommandLine ParseCommandLine(const std::vector<std::string>& args, ReplayOptions& options, std::string& error);
// The help text, for the plug-in by this name and the contest it scores (null: a plug-in of no known contest).
std::string UsageText(const std::string& plugin, const contest::Record* contest);
// The contest of the plug-in --plugin names, or of the one beside this program, for the help text; null when
// it cannot be loaded or offers no contest this program knows (`plugin` is then what was tried).
const contest::Record* ContestForHelp(const ReplayOptions& o, std::string& plugin);
std::vector<std::string> OptionNames();  // every long option, as --help lists them

// The meaning of a CheckCall0 answer, for people.
const char* CheckCodeMeaning(int code);

// The replay's stages, with plain data between them, for the replay itself, the analysis and a checker of
// many logs: read the inputs, drive the plug-in, map its answers to outcomes, write the outputs, summarise.

// Read: the log, the country file and, for the analysis, the list of active calls.
struct ReplayInputs {
    const contest::Record* contest = nullptr;  // of the loaded plug-in's set
    std::string pluginName;                    // the loaded plug-in's: "StatsCQWW"
    ParsedLog log;
    CountryFile cty;
    ScpList scp;
    bool scpRead = false;
    std::string scpNote;  // why the list could not be read
};
// false with a one-line error when the log (no QSO in it could be read) or the country file cannot be used.
// The contest must be set.
bool ReadInputs(const ReplayOptions& options, ReplayInputs& inputs, std::string& error);

// The contest of the plug-in's first set, found by its set name among the records this program knows; null
// with a one-line error when the plug-in names none or one this program does not know.
const contest::Record* ContestOfPlugin(const PluginLibrary& plugin, const std::string& path, std::string& error);

// What the replay tells the plug-in: the own call and prefix, the period and the Cabrillo header.
struct ReplayPlan {
    std::string ownCall;
    std::string ownPrefix;
    COleDateTime start, end;
    std::vector<HeaderValue> header;  // empty without --cabrillo
};
// With the warnings about it (no own call, no prefix for it, an old country file) in `warnings`.
ReplayPlan PlanReplay(const ReplayOptions& options, const ReplayInputs& inputs, std::vector<std::string>& warnings);

// Replay, in the current directory (the plug-in's working folder), in two steps around the outcomes: the
// reset and the QSOs, whose answers come back as the plug-in gave them, one per QSO of the log with the
// reason its bad-QSO file gives; then the report, the questions of --check and the score the plug-in stored.
std::vector<QsoOutcome> ReplayQsos(const PluginLibrary& plugin, const ReplayOptions& options,
                                   const ReplayInputs& inputs, const ReplayPlan& plan, const std::string& workingFolder);
struct CheckAnswer {
    std::string call, band, mode, prefix;
    int code = -1;
};
struct PluginResult {
    std::string report;                    // GetResult0's text
    std::vector<CheckAnswer> checks;       // --check, asked after the report
    std::optional<long long> pluginScore;  // the claimed score the plug-in stored
};
PluginResult FinishReplay(const PluginLibrary& plugin, const ReplayOptions& options, const ReplayInputs& inputs);

// Outcomes: the answers counted, the reasons as people read them, one message a QSO that needs one.
struct ReplayOutcomes {
    ReplaySummary summary;              // without report, check codes and plug-in score
    std::vector<std::string> messages;  // "FILE:LINE: ...", in the log's order
};
ReplayOutcomes MapOutcomes(const ReplayInputs& inputs, const ReplayPlan& plan, std::vector<QsoOutcome> answers);

// Runs the whole replay. Returns the exit code: 0 done, 2 when the log (no QSO in it could be read), the
// country file or the plug-in cannot be used; then nothing is written. The report goes to `out` byte for byte; messages and the summary go to `err`. The current
// directory is the output folder while the plug-in runs and is restored before returning.
int RunReplay(const ReplayOptions& options, std::ostream& out, std::ostream& err, ReplaySummary* summary = nullptr);

}  // namespace replay
