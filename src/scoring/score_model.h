#pragma once
// The score, recomputed from the engine's log for every report through the contest's Credit rule: per band
// the counted QSOs, points, the QSOs of the location countries (K and VE) and the multipliers of the kinds
// counted per band; over the contest the multipliers of each kind (for the ARRL RTTY Roundup the DXCC entities
// other than the USA and Canada, and the states/provinces, each once per contest; for the CQ WW RTTY zones,
// countries and W/VE QTHs, each once per band), dupes, bad QSOs, the score and the QSO rates.
#include <cstdint>
#include <string>
#include <vector>

class Engine;

struct BandStats {
    std::string band;
    int32_t qsos = 0;
    int32_t points = 0;  // the Credit rule's points of its counted QSOs
    int32_t kQsos = 0;   // QSOs with the first and the second location country (K, VE)
    int32_t veQsos = 0;
    int32_t dupes = 0;
    std::vector<int32_t> multipliers;  // per kind: the band's multipliers of a kind counted per band; of a kind
                                       // counted once, those first worked on this band
    // The band's multipliers of the kinds counted per band, by what they name, in the order they were met:
    // what the windows show while the host is on the band.
    std::vector<std::string> countries, locations, zones;
};

struct ScoreTotals {
    int32_t qsos = 0;
    int32_t points = 0;
    int32_t kQsos = 0;
    int32_t veQsos = 0;
    int32_t dupes = 0;
    std::vector<int32_t> multipliers;  // per kind of the contest's record
    int32_t dxcc = 0;                  // the multipliers of the country kinds ...
    int32_t stateProvCount = 0;        // ... of the location kinds ...
    int32_t zones = 0;                 // ... and of the zone kinds
    int32_t badQsos = 0;  // the bad-QSO lines written and not removed since the reset, dupe lines aside
    int32_t score = 0;  // the record's Score of points and the multipliers of every kind
};

// Counted QSOs within 60 and 10 minutes of the last logged QSO; all zero while a Cabrillo export is pending.
struct RateCounts {
    int32_t hourQsos = 0;
    int32_t hourPoints = 0;
    int32_t tenQsos = 0;
    int32_t tenPoints = 0;
};

struct ScoreModel {
    std::vector<BandStats> bands;  // in report order
    ScoreTotals totals;
    RateCounts rates;
    // Every worked prefix ("K" and "VE" included) and the codes the state/province multipliers count under,
    // in the order the report meets the QSOs.
    std::vector<std::string> workedDxcc;
    std::vector<std::string> workedStateProv;
};

// Report order: descending by the names padded on the left with "0" to 20 characters, so the contest's
// bands come out 80m, 40m, 20m, 15m, 10m. Sorts in place.
void OrderBandsForReport(std::vector<std::string>& bands);

// A date-time span in days as whole minutes: rounded by half a second away from zero, then truncated.
int64_t SpanMinutes(double days);

// The model of the engine's log; changes nothing. The caller stores what the engine keeps of it (see
// ProduceResult).
ScoreModel ComputeScoreModel(const Engine& engine);
