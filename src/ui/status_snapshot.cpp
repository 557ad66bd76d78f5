#include "ui/status_snapshot.h"

#include <algorithm>

#include "engine/engine.h"

const std::vector<std::string>& StatusSnapshot::WorkedDxcc() const {
    static const std::vector<std::string> none;
    return model ? model->workedDxcc : none;
}

const std::vector<std::string>& StatusSnapshot::WorkedStateProv() const {
    static const std::vector<std::string> none;
    return model ? model->workedStateProv : none;
}

namespace {

// `field` of the band's row, or for no band (or no such row) every row's, each once in order.
std::vector<std::string> OnBand(const ScoreModel* model, const std::string& band,
                                std::vector<std::string> BandStats::*field) {
    std::vector<std::string> codes;
    if (model == nullptr) return codes;
    for (const BandStats& row : model->bands) {
        if (!band.empty() && row.band != band) continue;
        for (const std::string& code : row.*field) {
            if (band.empty() && std::find(codes.begin(), codes.end(), code) != codes.end()) continue;
            codes.push_back(code);
        }
    }
    return codes;
}

bool PerBand(const contest::Record* contest, contest::MultiplierKind::Of of) {
    if (contest == nullptr) return false;
    for (const contest::MultiplierKind& kind : contest->MultiplierKinds()) {
        if (kind.of == of && kind.perBand) return true;
    }
    return false;
}

}  // namespace

std::vector<std::string> StatusSnapshot::WorkedDxccOn(const std::string& band) const {
    if (!PerBand(contest, contest::MultiplierKind::Of::country)) return WorkedDxcc();
    return OnBand(model.get(), band, &BandStats::countries);
}

std::vector<std::string> StatusSnapshot::WorkedStateProvOn(const std::string& band) const {
    if (!PerBand(contest, contest::MultiplierKind::Of::location)) return WorkedStateProv();
    return OnBand(model.get(), band, &BandStats::locations);
}

bool StatusSnapshot::LocationsPerBand() const { return PerBand(contest, contest::MultiplierKind::Of::location); }

std::vector<std::string> StatusSnapshot::WorkedZonesOn(const std::string& band) const {
    return OnBand(model.get(), band, &BandStats::zones);
}

StatusSnapshot CopyStatusData(Engine& engine, std::shared_ptr<const ScoreModel> model, const std::string& currentCall) {
    engine.AssertLocked();
    StatusSnapshot s;
    s.contest = &engine.contest;
    // Only the call's own records, through the log's index: the host's thread waits while this runs.
    if (!currentCall.empty()) {
        for (size_t index : engine.qsoLog.IndexesOfCall(currentCall)) {
            s.callRecords.push_back(engine.qsoLog.At(index));
        }
    }
    s.model = std::move(model);
    s.contestStartYear = engine.contestStartYear;
    s.russianTexts = engine.russianTexts != 0;
    s.stateCellsResetRequested = engine.stateCellsResetRequested;
    engine.stateCellsResetRequested = false;
    return s;
}
