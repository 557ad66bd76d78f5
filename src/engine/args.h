#pragma once
// The exports' arguments, unpacked by position into names. Only the export layer knows the positions;
// everything else works with these. Null texts arrive as empty texts, null date-times as null date-times.
#include <string>

#include "common/ole_date_time.h"

// AddData0 and RemoveData0.
struct QsoArgs {
    std::string ownCall;       // 1
    std::string call;          // 2
    COleDateTime time;         // 3
    unsigned frequencyHz = 0;  // 8
    std::string mode;          // 9
    std::string rstSent;       // 10
    std::string rstRcvd;       // 11
    std::string exchSent;      // 12
    std::string exchRcvd;      // 13
    std::string prefix;        // 23
    std::string aux;           // 30
    std::string band;          // 32
};

// CheckCall0.
struct CheckArgs {
    std::string call;     // 1
    std::string mode;     // 4
    std::string prefix;   // 14
    std::string aux;      // 21
    std::string band;     // 25
    bool bandGiven = false;
    std::string band2;    // 26: when both band texts are given they must agree
    bool band2Given = false;
};

// ResetStats0.
struct ResetArgs {
    std::string iniFolder;       // 1: folder prefix of the host's INI file search
    int cabrilloRequest = 0;     // 2
    std::string ownCall;         // 3
    COleDateTime contestStart;   // 4
    COleDateTime contestEnd;     // 5
    std::string ownPrefix;       // 15
};

// IsValidExchg0.
struct ExchangeArgs {
    std::string exchange;  // 1
    std::string prefix;    // 3
    int disable = 0;       // 7
};
