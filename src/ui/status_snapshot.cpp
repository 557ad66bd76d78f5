#include "ui/status_snapshot.h"

#include "engine/engine.h"

const std::vector<std::string>& StatusSnapshot::WorkedDxcc() const {
    static const std::vector<std::string> none;
    return model ? model->workedDxcc : none;
}

const std::vector<std::string>& StatusSnapshot::WorkedStateProv() const {
    static const std::vector<std::string> none;
    return model ? model->workedStateProv : none;
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
