#pragma once
// The cross-check of a whole contest: every counted QSO of every log held against the logs of the stations
// it names. Plain records in, plain records out; no file, no plug-in.
#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "contest/record.h"

namespace check {

// Calls, multipliers, exchanges and reasons of a contest stand once each in this table; records hold their
// numbers.
class CallTable {
public:
    uint32_t Intern(const std::string& text);
    // kNone when the text was never interned.
    uint32_t Find(const std::string& text) const;
    // kNone is the empty text.
    const std::string& Text(uint32_t id) const;
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
// What an exchange means: a serial number as its number ("007" is "7"), a state or province by the code it
// counts under ("pei" is "PE"), anything else in upper case.
std::string ExchangeKey(const contest::Record& contest, const std::string& exchange);
// A number in a station's exchange is a serial number, which differs from QSO to QSO, rather than its zone:
// where the contest counts no zones.
bool SendsSerialNumbers(const contest::Record& contest);
// Two exchanges that mean the same.
bool SameExchange(const contest::Record& contest, const std::string& a, const std::string& b);

enum class Verdict : uint8_t {
    notChecked,      // not counted by the plug-in (dupe, rejected): already out of its score
    confirmed,
    bustedCall,
    notInLog,
    bustedExchange,
    unique,          // the other station sent no log and nobody else logged it: stands
    uncheckable,     // the other station sent no log but others logged it: stands
    outsidePeriod,   // made outside the contest period of its log: not counted
    ownCall,         // a QSO with the log's own station: a station does not work itself, so it is not counted
    // A second QSO with a call on a band that the plug-in could not see as one: it had left the first out for its
    // time alone, which the log's clock offset puts in the period. Not counted, as the plug-in's dupes are not.
    dupe,
};
const char* VerdictName(Verdict v);
// Not in log, busted call, busted exchange and a time outside the period take the QSO out of the checked score.
inline bool Removes(Verdict v) {
    return v == Verdict::bustedCall || v == Verdict::notInLog || v == Verdict::bustedExchange ||
           v == Verdict::outsidePeriod || v == Verdict::ownCall || v == Verdict::dupe;
}

constexpr uint8_t kNoBand = 0xff;
// The most multiplier kinds a contest has (zones, countries and QTHs).
constexpr size_t kMostMultiplierKinds = 3;

struct CheckQso {
    long long minute = 0;   // whole minutes of the log's own clock
    int line = 0;
    uint32_t station = 0;   // StationOf(call), in the call table
    uint32_t call = 0;      // the call as logged
    uint32_t exchSent = CallTable::kNone, exchRcvd = CallTable::kNone;
    // What it counts as multipliers (one of each kind at most), kNone where it counts as fewer.
    std::array<uint32_t, kMostMultiplierKinds> multipliers{CallTable::kNone, CallTable::kNone, CallTable::kNone};
    uint32_t pluginReason = CallTable::kNone;  // why the plug-in did not count it ("DUPE"), when it did not
    uint8_t band = kNoBand;  // index into the contest's bands
    bool counted = false;    // the plug-in counted it
    // The plug-in left it out for its time alone, outside the period it was given: the check judges the time
    // itself, with the log's clock offset, and counts it where the corrected time is in the period.
    bool timeOnly = false;
    uint8_t points = 0;
};

struct CheckLog {
    uint32_t station = 0;  // StationOf(own call), the call of the CALLSIGN header where there is one
    // StationOf(the own call most QSO lines carry) where it is another station than the header's; kNone where
    // they agree. The cross-check then takes the log as whichever of the two its partners' logs name.
    uint32_t linesStation = 0xffffffffu;
    // The contest period the log belongs to, in whole minutes: logs of other periods never meet, and its QSOs
    // outside it are not counted.
    long long periodStart = 0, periodEnd = 0;
    std::vector<CheckQso> qsos;
};

constexpr uint32_t kNoLog = 0xffffffffu;

struct QsoResult {
    Verdict verdict = Verdict::notChecked;
    bool byConsensus = false;        // confirmed because most copied what this side copied (see ConsensusOf)
    uint32_t rightCall = CallTable::kNone;  // busted call: the station's own call as it sent its log
    uint32_t sent = CallTable::kNone;       // busted exchange: what the other station sent (or most copied)
    uint32_t otherLog = kNoLog;      // the other station's log: matched, busted call or not in log
    int otherLine = 0;               // the other station's QSO line, when matched; a dupe: the line it repeats
    bool dayApart = false;           // matched with a QSO the other log dates a day off, at the right time of day
};

// Where most stations that worked one station copied the same exchange and its log says it sent another:
// that log is the likely wrong side, and what most copied is held against the copies.
struct Consensus {
    uint32_t copied = CallTable::kNone;  // what most copied; kNone: no consensus against the log
    uint32_t logged = CallTable::kNone;  // what the log says it sent, most often
    size_t agreeing = 0, copies = 0;     // copies of `copied`, all copies
};

struct LogResult {
    uint32_t station = 0;       // the station the log was checked as
    // Where the CALLSIGN header and the QSO lines name different stations: the header's (kNone where they
    // agree), and how many of the log's QSOs the partners' logs hold with the lines' call and with the header's.
    uint32_t headerStation = CallTable::kNone;
    size_t linesVotes = 0, headerVotes = 0;
    long long clockOffset = 0;  // minutes the log's clock was ahead (negative: behind); 0 when not recognised
    std::vector<QsoResult> qsos;
    size_t counted = 0, notInLog = 0, bustedCall = 0, bustedExchange = 0, unique = 0, outsidePeriod = 0, kept = 0,
           byConsensus = 0, ownCall = 0, dupes = 0;
    long long keptPoints = 0;      // after penalties, never below zero
    size_t keptMultipliers = 0;
    Consensus consensus;
    // Toxic share: the failed matches this log takes part in (its own not in log, busted calls and exchanges,
    // and the others' that point at it) over its QSOs with logs and the QSOs others logged it has not.
    size_t problems = 0, matchable = 0;
    double ToxicShare() const { return matchable ? double(problems) / matchable : 0.0; }
};

// A station that sent no log, held by many logs: the sponsor may ask for its log.
struct MissingLog {
    uint32_t station = 0;
    long long periodStart = 0;
    size_t logs = 0, qsos = 0;  // logs holding it, QSOs with it
};

enum class Penalty { none, oneExtra };

struct CrossCheckOptions {
    const contest::Record* contest = nullptr;  // of the plug-in that scored the logs
    int windowMinutes = 3;
    Penalty penalty = Penalty::none;
};

// A log's clock offset: each of its QSOs is held against the nearest QSO the other station logged with it on
// the band up to kOffsetSearchMinutes away (every time zone: a clock kept in local time); the offset is the
// median of the differences in the half hour that holds most of them, believed where that half hour holds
// at least kMinMatchesForOffset differences and more than half of all, and applied when over one minute.
constexpr size_t kMinMatchesForOffset = 5;
constexpr int kOffsetSearchMinutes = 14 * 60;
constexpr int kOffsetClusterMinutes = 30;
// A QSO the other log dates a day off (a date typed wrong, or one that did not roll over at 00:00 UTC) is
// matched at the same time of day.
constexpr long long kMinutesPerDay = 24 * 60;
// A consensus needs this many copies of one exchange, and two thirds of all copies.
constexpr size_t kMinConsensusCopies = 3;
// A station without a log is listed as missing when this many logs hold it.
constexpr size_t kMinLogsForMissing = 3;
// Calls longer than this are no calls: they get no one-edit neighbours.
constexpr size_t kLongestCall = 32;

struct CrossCheckResult {
    std::vector<LogResult> logs;
    std::vector<MissingLog> missing;  // most logs first
};

// `calls` holds the stations' texts and the exchanges.
CrossCheckResult CrossCheck(const std::vector<CheckLog>& logs, const CallTable& calls, const CrossCheckOptions& options);

}  // namespace check
