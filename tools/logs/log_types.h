#pragma once
// A contest log as the replay reads it: the QSOs the host would have logged, already in the host's terms
// (band name, frequency in Hz, the host's mode name, the QSO time), and every line that could not be used.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/ole_date_time.h"

namespace replay {

enum class LogFormat { unknown, cabrillo, adif };

const char* LogFormatName(LogFormat format);

struct LogQso {
    int line = 0;              // where the QSO starts in its file (1-based)
    std::string ownCall;       // the station's own call as logged with this QSO, upper case
    std::string call;          // worked call, upper case
    COleDateTime time;
    unsigned frequencyHz = 0;
    std::string band;          // "20m", an honest "30m", or "" off the amateur bands
    std::string mode;          // the host's mode name: "RTTY", "BPSK31", ...
    std::string rstSent, rstRcvd, exchSent, exchRcvd;
    int transmitter = -1;      // the transmitter (signal) that made it, as a Cabrillo line's last field gives it
                               // after the received exchange (0 or 1); -1 where the line gives none
};

// A line (or ADIF record) that was not turned into a QSO, or was turned into one with a doubt worth saying.
struct LogProblem {
    int line = 0;
    std::string reason;
};

// A QSO as the plug-in took it, in the host's order: CheckCall0's answer asked just before AddData0, the
// prefix passed to both, AddData0's answer, and why the plug-in's bad-QSO file says it rejected the QSO
// ("WRONG MODE (CW)") or logged it without counting it ("DUPE").
struct QsoOutcome {
    std::string prefix;
    int checkCode = -1;  // 0 dupe, 1 worked before, 2 new, 3 W/VE station without a record, 4 rules failure
    bool added = false;
    std::string reason;  // empty: counted, when added
    bool Counted() const { return added && reason.empty(); }
};

struct ParsedLog {
    LogFormat format = LogFormat::unknown;
    std::string fileName;            // as given, for messages
    std::string ownCall;             // header CALLSIGN / STATION_CALLSIGN, else the first QSO's own call
    std::optional<long long> claimedScore;
    std::map<std::string, std::string> header;  // the Cabrillo header fields the log gives, by tag
    std::vector<LogQso> qsos;
    std::vector<LogProblem> skipped;  // lines or records not used
    std::vector<LogProblem> notes;    // QSOs used, with a remark (e.g. ADIF record without <EOR>)
    // A Cabrillo log without its END-OF-LOG: line, as an upload cut short leaves it; 0 when the line is there
    // (and for ADIF, which has none), else the number of the log's last line.
    int cutAfterLine = 0;
};

}  // namespace replay
