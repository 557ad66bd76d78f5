#pragma once
// The worker side of the checker: each worker process reads and scores its share of the logs through one
// plug-in and sends back, per log, everything the checker needs of it, so no log is read twice. Both the
// list of logs and the records are length-prefixed texts: a file name or a field may hold any byte.
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "contest/record.h"
#include "log_types.h"

namespace check {

struct WorkerQso {
    int line = 0;
    long long minute = 0;  // whole minutes
    int band = 0xff;       // index into the contest's bands
    std::string call, exchSent, exchRcvd;
    bool added = false;    // AddData0 took it
    std::string prefix;    // the DXCC prefix it was given
    std::string reason;    // why the plug-in refused it or did not count it
};

struct WorkerLog {
    size_t index = 0;   // in the checker's list of files
    std::string error;  // why the log could not be read or scored; empty when it was
    std::string format;
    std::string ownCall;
    std::string linesCall;  // the own call most of its QSO lines carry, upper case ("" without QSOs)
    std::string ownPrefix;  // the DXCC prefix the plug-in was given for the own call
    std::optional<long long> claimedScore, pluginScore;
    std::map<std::string, std::string> header;
    std::vector<replay::LogProblem> skipped;  // lines not used, with the reason
    int cutAfterLine = 0;  // a Cabrillo log without END-OF-LOG: its last line (ParsedLog::cutAfterLine)
    std::vector<WorkerQso> qsos;
};

// The list a worker is given: (index, path) pairs.
void WriteWorkList(std::ostream& out, const std::vector<std::pair<size_t, std::string>>& logs);
bool ReadWorkList(std::istream& in, std::vector<std::pair<size_t, std::string>>& logs);

void WriteWorkerLog(std::ostream& out, const WorkerLog& log);
// The next record; false at the end of the file or at a record cut short (its worker died writing it).
bool ReadWorkerLog(std::istream& in, WorkerLog& log);

// The band index of a band name, kNoBand off the contest's bands.
int BandIndex(const contest::Record& contest, const std::string& band);

// Scores the logs of the list in one process, in order, writing one record per log to `resultPath` (and the
// count done so far to resultPath + ".progress"). Exit code 0, or 2 when the plug-in or the country file
// cannot be loaded.
int RunWorker(const std::string& listPath, const std::string& resultPath, const std::string& workDir,
              const std::string& pluginPath, const std::string& countryFile);

}  // namespace check
