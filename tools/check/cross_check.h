#pragma once
// The cross-check of a whole contest: every counted QSO of every log held against the logs of the stations
// it names. Plain records in, plain records out; no file, no plug-in.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "contest/record.h"

namespace check {

// Calls, multipliers and exchanges of a contest stand once each in this table; records hold their numbers.
class CallTable {
public:
    uint32_t Intern(const std::string& text);
    // kNone when the text was never interned.
    uint32_t Find(const std::string& text) const;
    const std::string& Text(uint32_t id) const { return texts_[id]; }
    size_t Size() const { return texts_.size(); }
    static constexpr uint32_t kNone = 0xffffffffu;

private:
    std::vector<std::string> texts_;
    std::unordered_map<std::string, uint32_t> ids_;
};

// The station behind a call for matching: the longest part of a portable form ("W1ABC/4", "KH6/W1ABC" and
// "W1ABC" are the same station).
std::string StationOf(const std::string& call);
// One character changed, added or dropped, or two neighbours swapped.
bool OneEditApart(const std::string& a, const std::string& b);
// Two exchanges that mean the same: serial numbers as numbers, states and provinces by their canonical code.
bool SameExchange(const contest::Record& contest, const std::string& a, const std::string& b);

enum class Verdict : uint8_t {
    notChecked,      // not counted by the plug-in (dupe, rejected): already out of its score
    confirmed,
    bustedCall,
    notInLog,
    bustedExchange,
    unique,          // the other station sent no log and nobody else logged it: stands
    uncheckable,     // the other station sent no log but others logged it: stands
};
const char* VerdictName(Verdict v);
// Not in log, busted call and busted exchange take the QSO out of the checked score.
inline bool Removes(Verdict v) {
    return v == Verdict::bustedCall || v == Verdict::notInLog || v == Verdict::bustedExchange;
}

struct CheckQso {
    int line = 0;
    int minute = 0;         // whole minutes of the log's own clock
    uint8_t band = 0;       // index into the contest's bands; 0xff off them
    bool counted = false;   // the plug-in counted it
    uint32_t station = 0;   // StationOf(call), in the call table
    uint32_t call = 0;      // the call as logged
    uint32_t multiplier = CallTable::kNone;  // what it counts as a multiplier, when it does
    uint8_t points = 0;     // what it scores, when it counts (the contest's Credit rule)
    std::string exchSent, exchRcvd;
    std::string pluginReason;  // why the plug-in did not count it ("DUPE"), when it did not
};

struct CheckLog {
    uint32_t station = 0;  // StationOf(own call)
    int contest = 0;       // the contest it is a log of (its period's start): logs of other years do not meet
    std::vector<CheckQso> qsos;
};

struct QsoResult {
    Verdict verdict = Verdict::notChecked;
    uint32_t rightCall = CallTable::kNone;  // busted call: the station's own call as it sent its log
    std::string sent;                        // busted exchange: what the other station sent
    int otherLine = 0;                       // the other station's QSO line, when matched
};

struct LogResult {
    int clockOffset = 0;  // minutes the log's clock was ahead (negative: behind); 0 when not recognised
    std::vector<QsoResult> qsos;
    size_t counted = 0, notInLog = 0, bustedCall = 0, bustedExchange = 0, unique = 0, kept = 0;
    long long keptPoints = 0;      // after penalties, never below zero
    size_t keptMultipliers = 0;
};

enum class Penalty { none, oneExtra };

struct CrossCheckOptions {
    const contest::Record* contest = nullptr;  // of the plug-in that scored the logs
    int windowMinutes = 3;
    Penalty penalty = Penalty::none;
};

// A log's clock offset is the median of its matched QSOs' time differences, taken only from this many
// matches, and applied when it is more than one minute.
constexpr size_t kMinMatchesForOffset = 5;
constexpr int kOffsetSearchMinutes = 30;

// `calls` holds the stations' texts, for the busted-call search.
std::vector<LogResult> CrossCheck(const std::vector<CheckLog>& logs, const CallTable& calls,
                                  const CrossCheckOptions& options);

}  // namespace check
