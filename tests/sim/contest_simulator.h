#pragma once
// A simulated contest for the checker's tests and benchmarks: stations with real calls from the
// super-check-partial list, each sending what it would send (a W station the state of its call area, a VE
// station the province of its prefix, in the CQ WW the zone of that state or province, every other station
// the CQ zone the country file gives its call), one truth of QSOs between them, and Cabrillo logs written from
// it with errors injected at known rates, each one recorded so the checker's findings can be scored against it.
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
    // How a call is busted, by weight: a letter of its suffix changed, one added or dropped, two neighbours
    // swapped, a look-alike digit for a letter (O 0, I 1, S 5, B 8, Z 2). By default a letter changed, as the
    // first simulations had it.
    struct BustMix {
        double changed = 1, added = 0, dropped = 0, swapped = 0, lookAlike = 0;
    } bustMix;
    double missingExchangeRate = 0;  // the received exchange left out of the line: the plug-in refuses the QSO
    std::vector<int> hourOffsets;    // a log for each, after the clock-off logs, whose clock is off by so many minutes
    int noReportLogs = 0;            // logs whose QSO lines leave out the sent report
    int staleDateLogs = 0;           // logs whose date does not roll over at 00:00 UTC: the second day dated the first
    int headerCallLogs = 0;          // logs whose CALLSIGN header names a call one letter off the one they sign
    int portableLogs = 0;            // logs of stations that sign portable (W1ABC/4, DL1ABC/P)
    double portableLostRate = 0.3;   // the share of a portable station's partners that log it without "/4"
    // The exchanges at the rules' edges: some W/VE stations send AK or HI, or an older spelling (PEI, NF, LB,
    // NWT), and stations of KH6 and KL7 take part.
    bool edgeExchanges = false;
    // The contest simulated: the ARRL RTTY Roundup (null) or another record, whose exchange, period and
    // Cabrillo lines the logs then follow (the CQ WW RTTY: zones, W/VE QTHs, countries with the WAE list).
    const contest::Record* contest = nullptr;
};

// The error model of real logs, for a contest of o.loggers logs: the rates of busted calls, busted exchanges,
// not-in-log QSOs and dupes that the CQ WW CW 2013 log checking published (of the QSOs checked against
// another log: 1.5 % busted calls, 0.5 % busted exchanges, 1.0 % not in log; of all QSOs 1.0 % dupes;
// cqww.com/blog/2014/04/, "CQ WW CW 2013 Log Checking Reports"; the SSB figures of that year, 1.6, 0.4, 0.8
// and 0.8 %, are alike), and the project's own choice where no published figure gives a rate: the mix of
// busts (changed 45 %, swapped 15 %, dropped 15 %, added 10 %, a look-alike digit 15 %), missing received
// exchanges (0.2 %), and per 30 logs one clock off by minutes, one by whole hours and minutes (60, -90,
// 180, -300: a wrong time zone), one without sent reports, one signing portable; per 60 logs one whose date
// does not roll over and one whose header names another call.
void UseRealErrorModel(SimOptions& o);

enum class Kind { bustedCall, bustedExchange, notInLog, dupe, missingExchange };

// One injected error: the log and the line where the checker should find it (log -1: none to find any more, as
// the log's wrong date put the line outside the contest period).
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
    std::vector<int> headerCall;     // the logs whose CALLSIGN header names another call than their lines
    std::vector<std::string> reportNames;  // each log's report file: its call, a '/' written '_
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
    KindScore bustedCall, bustedExchange, notInLog, dupe, clock, missingExchange;
    KindScore headerCall;                 // logs named for a header call that is not theirs, checked as their own
    KindScore consensus, toxic, missing;  // logs named as the wrong side, logs standing out, missing logs
    KindScore popular;                    // the popular stations without a log among the missing ones
};

// Reads the checker's CALL.lcr.txt reports, missing-logs.csv and toxic-logs.csv from `outDir` and scores them
// against what was injected: a busted call counts as right only with the right call named; a clock only with
// its offset; a missing log only with the number of logs that hold it (at least `minHolders`).
CheckScore ScoreReports(const SimContest& contest, const std::string& outDir, int minHolders = 3);

}  // namespace sim
