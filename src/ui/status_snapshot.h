#pragma once
// What one status refresh reads of the engine, copied under the engine's lock so that the refresh never
// sees a list half changed by the host's thread. Only the QSOs with the call being entered are copied:
// the refresh needs no others, and the copy is taken on every call check of the host.
#include <memory>
#include <string>
#include <vector>

#include "contest/record.h"
#include "engine/cinfo.h"
#include "scoring/score_model.h"

class Engine;

struct StatusSnapshot {
    const contest::Record* contest = nullptr;  // the engine's, for its whole life
    std::vector<CInfo> callRecords;  // the QSOs whose call equals the call being entered, in log order
    // The score model of the last report, which the windows show (its worked prefixes and states); null
    // before the first report and once the log is emptied.
    std::shared_ptr<const ScoreModel> model;
    const std::vector<std::string>& WorkedDxcc() const;
    const std::vector<std::string>& WorkedStateProv() const;
    // Where the contest counts a kind per band, what the windows show of it while the host is on `band`
    // ("20m"): that band's countries, locations (as WorkedStateProv names them) and zones; elsewhere (an empty
    // band, a kind counted per contest) the contest's. The zones of every band, each once.
    std::vector<std::string> WorkedDxccOn(const std::string& band) const;
    std::vector<std::string> WorkedStateProvOn(const std::string& band) const;
    std::vector<std::string> WorkedZonesOn(const std::string& band) const;
    bool LocationsPerBand() const;
    std::string contestStartYear;
    bool russianTexts = false;
    // A QSO of a W/VE station was removed since the last snapshot: the State/Province cells start afresh.
    bool stateCellsResetRequested = false;
};

// The copy, for a caller that holds the engine's lock, with the last report's model beside it. Reads and clears
// the engine's State/Province reset request, so each request reaches exactly one refresh. An empty call copies
// no QSO.
StatusSnapshot CopyStatusData(Engine& engine, std::shared_ptr<const ScoreModel> model, const std::string& currentCall);
