#include "ui/status_snapshot.h"

#include "engine/engine.h"

StatusSnapshot CopyStatusData(Engine& engine, const std::string& currentCall) {
    engine.AssertLocked();
    StatusSnapshot s;
    s.contest = &engine.contest;
    // Only the call's own records, through the log's index: the host's thread waits while this runs.
    if (!currentCall.empty()) {
        for (size_t index : engine.qsoLog.IndexesOfCall(currentCall)) {
            s.callRecords.push_back(engine.qsoLog.At(index));
        }
    }
    s.workedDxcc = engine.workedDxcc;
    s.workedStateProv = engine.workedStateProv;
    s.bandRows = engine.bandRows;
    s.contestStartYear = engine.contestStartYear;
    s.russianTexts = engine.russianTexts != 0;
    s.stateCellsResetRequested = engine.stateCellsResetRequested;
    engine.stateCellsResetRequested = false;
    return s;
}
