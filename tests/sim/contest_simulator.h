#pragma once
// A simulated contest for the checker's tests and benchmarks: stations with real calls from the
// super-check-partial list, one truth of QSOs between them, and Cabrillo logs written from it with errors
// injected at known rates, each one recorded so the checker's findings can be scored against it.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace contest {
class Record;
}

namespace sim {

struct SimOptions {
    uint32_t seed = 1;
    int loggers = 100;          // stations that send a log
    int silent = 50;            // stations that are worked but send none
    int qsosPerLog = 200;       // about this many QSO lines per log
    double bustedCallRate = 0.02;
    double bustedExchangeRate = 0.02;
    double missingRate = 0.02;  // the QSO is missing from one side's log
    double dupeRate = 0.01;     // the QSO is logged a second time, a few minutes later
    int clockOffLogs = 2;       // logs whose clock is off
    int clockOffMinutes = 10;
    int wrongSentLogs = 0;      // W/VE logs that write another state as sent than the one they sent
    int popularSilent = 0;      // stations without a log that about half the loggers work
    int bustingLogs = 0;        // logs that bust this share of their calls
    double bustingRate = 0.3;
    // The exchanges at the rules' edges: some W/VE stations send AK or HI, or an older spelling (PEI, NF, LB,
    // NWT), and stations of KH6 and KL7 take part.
    bool edgeExchanges = false;
    // The contest simulated: the ARRL RTTY Roundup (null) or another record, whose exchange, period and
    // Cabrillo lines the logs then follow (the CQ WW RTTY: zones, W/VE QTHs, countries with the WAE list).
    const contest::Record* contest = nullptr;
};

enum class Kind { bustedCall, bustedExchange, notInLog, dupe };

// One injected error: the log and the line where the checker should find it.
struct Injected {
    int log = 0;
    int line = 0;
    Kind kind = Kind::notInLog;
    std::string right;  // busted call: the call that was worked
};

struct SimContest {
    std::vector<std::string> calls;  // the loggers' calls, by log
    std::vector<std::string> logs;   // Cabrillo text, by log
    std::vector<Injected> injected;
    std::vector<int> clockOffset;    // minutes each log's clock is ahead
    std::vector<int> wrongSent, busting;  // the logs injected so
    std::vector<std::string> popularSilent;
    std::map<std::string, int> holders;   // each call without a log: how many logs hold it
    size_t qsoLines = 0;
};

// Fails (empty contest, `error` says why) when the call list or the country file cannot be read.
SimContest Simulate(const SimOptions& options, const std::string& scpFile, const std::string& countryFile,
                    std::string& error);
// Writes each log as CALL.log into the folder.
void WriteLogs(const SimContest& contest, const std::string& folder);

}  // namespace sim

namespace sim {

struct KindScore {
    size_t truth = 0, found = 0, right = 0;  // injected, reported, reported and injected
    double Precision() const { return found ? double(right) / found : 1.0; }
    double Recall() const { return truth ? double(right) / truth : 1.0; }
};

struct CheckScore {
    KindScore bustedCall, bustedExchange, notInLog, dupe, clock;
    KindScore consensus, toxic, missing;  // logs named as the wrong side, logs standing out, missing logs
    KindScore popular;                    // the popular stations without a log among the missing ones
};

// Reads the checker's CALL.lcr.txt reports, missing-logs.csv and toxic-logs.csv from `outDir` and scores them
// against what was injected: a busted call counts as right only with the right call named; a clock only with
// its offset; a missing log only with the number of logs that hold it (at least `minHolders`).
CheckScore ScoreReports(const SimContest& contest, const std::string& outDir, int minHolders = 3);

}  // namespace sim
