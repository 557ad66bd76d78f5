#pragma once
// One logged QSO as the engine keeps it.
#include <cstdint>
#include <string>

#include "common/ole_date_time.h"

struct CInfo {
    std::string call;       // worked station
    std::string prefix;     // its DXCC prefix; "K" is the USA and "VE" Canada
    std::string aux;        // kept as the host sent it, read by nothing
    std::string band;       // "80m", "40m", ...
    std::string mode;       // "RTTY", "BPSK31", ...
    std::string rstRcvd;
    std::string rstSent;
    std::string exchRcvd;   // as typed: serial number or state/province
    std::string exchSent;
    std::string stateProv;  // the exchange as it counts (the contest's verdict): a W/VE station's state/province
                            // in the Roundup; empty when it names nothing or is not accepted
    int32_t freqKHz = 0;
    int32_t notCounted = 0;     // scores nothing: a dupe, an unacceptable exchange or outside the period
    int32_t badQso = 0;         // an exchange the contest does not accept
    int32_t dupe = 0;           // the station is worked on this band by an earlier QSO that occupies it
    int32_t reserved = 0;
    int32_t outsidePeriod = 0;  // made outside the contest period the host gave
    COleDateTime time;

    // A QSO that may count occupies its band: a later QSO with the station on that band is a dupe. One that
    // cannot count, for its exchange or its time, leaves the band free for the station's next QSO.
    bool OccupiesBand() const { return badQso == 0 && outsidePeriod == 0; }
};
