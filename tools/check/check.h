#pragma once
// stats-check: every log of a contest scored through the plug-in, in worker processes with one plug-in
// each, then cross-checked against the others (cross_check.h) and written out (outputs.h).
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "country_file.h"
#include "cross_check.h"
#include "data_files.h"

namespace check {

struct CheckOptions {
    std::vector<std::string> inputs;  // log files and folders of logs
    std::string outDir = "check-out";
    std::string pluginPath;           // empty: the plug-in beside this program
    std::string countryFile = replay::DefaultCountryFilePath();  // cty.dat beside this program, else Debian's
    std::string scpFile = replay::DefaultScpFilePath();
    int jobs = 0;                     // 0: one per processor
    CrossCheckOptions crossCheck;
    bool progress = true;             // drawn only when standard error is a terminal
};

// One log as the checker keeps it after reading and scoring: what the outputs show of it.
struct LogInfo {
    std::string path;
    std::string call;  // own call as the log gives it
    std::map<std::string, std::string> header;
    std::optional<long long> claimedScore;
    std::optional<long long> pluginScore;
    size_t qsos = 0;
};

// The log files to check: each file named, and every file of each folder named, walked to any depth, in
// name order, hidden files and folders left out, and so is `outDir` (the checker's own output, when it lies
// in a folder of logs). A name that is neither goes to `errors`.
std::vector<std::string> CollectLogFiles(const std::vector<std::string>& inputs, std::vector<std::string>& errors,
                                         const std::string& outDir);

// Scores the logs through the plug-in in one process, in order, writing one result record per log to
// `resultPath` (and the count done so far to resultPath + ".progress"). The worker side of RunCheck.
int RunWorker(const std::string& listPath, const std::string& resultPath, const std::string& workDir,
              const std::string& pluginPath, const std::string& countryFile);

enum class CommandLine { run, help, version, worker, error };
CommandLine ParseCommandLine(const std::vector<std::string>& args, CheckOptions& options,
                             std::vector<std::string>& workerArgs, std::string& error);
std::string UsageText();

// The whole check. Exit code: 0 every log was checked, 1 some were left out, 2 none could be read (or the
// plug-in or the country file cannot be used). Messages go to `err`.
int RunCheck(const CheckOptions& options, std::ostream& err);

}  // namespace check
