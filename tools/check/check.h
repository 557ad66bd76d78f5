#pragma once
// stats-check: every log of a contest scored through the plug-in, in worker processes with one plug-in
// each (worker.h), then cross-checked against the others (cross_check.h) and written out (outputs.h), in
// stages with plain data between them: inputs, scoring, the contest's records, the intake (intake.h: which
// logs take part), cross-check, outputs, summary.
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "country_file.h"
#include "cross_check.h"
#include "data_files.h"
#include "log_types.h"

namespace check {

struct CheckOptions {
    std::vector<std::string> inputs;  // log files and folders of logs
    std::string outDir = "check-out";
    std::string pluginPath;           // empty: the plug-in beside this program
    std::string countryFile = replay::DefaultCountryFilePath();  // cty.dat beside this program, else Debian's
    std::string scpFile = replay::DefaultScpFilePath();
    int jobs = 0;                     // 0: one per processor
    std::vector<std::string> use;     // --use: the log to keep of its station, where it sent several
    CrossCheckOptions crossCheck;
    bool progress = true;             // drawn only when standard error is a terminal
};

// Exit codes.
constexpr int kExitChecked = 0;     // every file was a log and was checked
constexpr int kExitLeftOut = 1;     // some files were left out or set apart (each named with its reason): not
                                    // a log, another contest's, replaced by another log of its station; the
                                    // rest checked
constexpr int kExitRefused = 2;     // nothing checked: the command line, the plug-in, the country file, the
                                    // output folder, no log, or the outputs could not be written
constexpr int kExitPartial = 3;     // logs were lost (a worker died): results-partial.csv and .html only

// One log as the checker keeps it after reading and scoring: what the outputs show of it.
struct LogInfo {
    std::string path;
    std::string call;        // own call as the log gives it, upper case; the call it was checked as
    std::string headerCall;  // where the CALLSIGN header names another station than the QSO lines: the header's
    std::string linesCall;   // the own call most QSO lines carry, upper case
    std::string reportName;  // its CALL.lcr.txt, unique in the output folder
    std::map<std::string, std::string> header;
    std::optional<long long> claimedScore;
    std::optional<long long> pluginScore;
    size_t qsos = 0;  // QSOs read
    std::vector<replay::LogProblem> skipped;  // lines not used, with the reason
    int cutAfterLine = 0;                     // no END-OF-LOG: line: the log's last line
    std::vector<std::string> warnings;        // about the log as a whole (see intake.h)
};

// A file given that was not checked, and why.
struct LeftOut {
    std::string path;
    std::string reason;
    bool lost = false;  // it was a log, lost when its worker died: the results are partial
    // The station whose log it may be (see CallOfUncheckedLog), so that the station is not said to have sent
    // none; empty when that is not known.
    std::string call = std::string();
    bool replaced = false;  // a log of a station that another of its logs replaced
};

// The log files to check: each file named, and every file of each folder named, walked to any depth, in
// name order; hidden files and folders are passed over, and so is `outDir` (the checker's own output, when
// it lies in a folder of logs) and, in `outDir` itself, the checker's own files. Whatever is no regular file
// (a pipe, a device, a link to nothing or to itself, a link to a folder) is named in `leftOut` and never
// opened; so is a name that does not exist.
std::vector<std::string> CollectLogFiles(const std::vector<std::string>& inputs, std::vector<LeftOut>& leftOut,
                                         const std::string& outDir);

// Control characters shown as \xNN, so a file name or a log's text cannot drive the terminal.
std::string Printable(const std::string& text);

enum class CommandLine { run, help, version, worker, error };
CommandLine ParseCommandLine(const std::vector<std::string>& args, CheckOptions& options,
                             std::vector<std::string>& workerArgs, std::string& error);
std::string UsageText();

// The whole check; the exit code (kExit...). Messages go to `err`, escaped. When the checker is asked to
// stop, its workers end, its work folder goes, and StopSignal() tells the caller how to end.
int RunCheck(const CheckOptions& options, std::ostream& err);

}  // namespace check
