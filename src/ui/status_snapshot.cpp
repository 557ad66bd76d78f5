#include "ui/status_snapshot.h"

#include <mutex>

#include "engine/engine.h"
#include "engine/test_app.h"

StatusSnapshot CopyStatusData(Engine& engine, const std::string& currentCall) {
    StatusSnapshot s;
    if (!currentCall.empty()) {
        for (const CInfo& record : engine.qsoLog) {
            if (record.call == currentCall) s.callRecords.push_back(record);
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

StatusSnapshot TakeStatusSnapshot(CTestApp& app, const std::string& currentCall) {
    std::lock_guard<std::mutex> lock(app.mutex);
    return CopyStatusData(app.engine, currentCall);
}
