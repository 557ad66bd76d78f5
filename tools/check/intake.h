#pragma once
// Which logs take part in the check: the logs of the plug-in's contest, one per station and contest period.
// A log of another contest, or of a weekend that is not the contest's, is set apart with what to do about it;
// of two or more logs of one station in one contest one is kept (the one the manager names, else the latest
// file) and the others are named as replaced; logs holding the same QSOs under different calls are named as
// copies. Plain records in, a decision per log out.
#include <cstddef>
#include <string>
#include <vector>

#include "check.h"
#include "cross_check.h"

namespace check {

// One log read and scored, as the intake sees it.
struct IntakeLog {
    const LogInfo* info = nullptr;  // its file, call and header
    const CheckLog* log = nullptr;  // its station, contest period and QSOs
    long long fileTime = 0;         // when its file was last written, in any unit that orders
    bool named = false;             // the manager named it with --use
};

struct IntakeDecision {
    std::string setApart;               // why the log takes no part; empty: it takes part
    bool replaced = false;              // set apart as replaced by another log of its station
    std::vector<std::string> warnings;  // said of a log that takes part, in its report and the messages
};

// Logs with at least this many QSOs, all the same as another log's under another call, are named as copies.
constexpr size_t kMinQsosForCopy = 10;

// `pluginPath` is the plug-in in use: the plug-in a log of another contest needs is named beside it.
std::vector<IntakeDecision> DecideIntake(const contest::Record& contest, const std::string& pluginPath,
                                         const std::vector<IntakeLog>& logs, const CallTable& calls);

// What a log that could not be checked says of itself where its first bytes can be read (UTF-16 text too):
// its CALLSIGN and CONTEST (ADIF: STATION_CALLSIGN and CONTEST_ID); the call, where the log gives none, is
// the part of its file name that looks like a call ("ARRL-RTTY_2018_4U1WB.log" is 4U1WB). Empty where
// neither tells. Only a regular file is opened.
struct UncheckedLogHeader {
    std::string call, contest;
};
UncheckedLogHeader HeaderOfUncheckedLog(const std::string& path);
// A log the readers refused with `error`, left out: the station it may be of, so the station is not said to
// have sent no log, and where its CONTEST names another contest, the plug-in to check it with.
LeftOut UncheckedLog(const contest::Record& contest, const std::string& pluginPath, const std::string& path,
                     const std::string& error);

}  // namespace check
