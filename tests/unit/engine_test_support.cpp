#include "engine_test_support.h"

void FakeStatusWindows::NoteLock() {
    if (!app_.TryLockEngine()) calledUnderLock = true;
}

EngineTest::EngineTest() {
    auto windows = std::make_unique<FakeStatusWindows>(app_);
    windows_ = windows.get();
    app_.windows = std::move(windows);
    SetClockForTesting(&clock_);
}

EngineTest::~EngineTest() {
    SetClockForTesting(nullptr);
    EXPECT_FALSE(windows_->calledUnderLock) << "the window thread was called with the engine's mutex held";
}

int EngineTest::Reset(const std::string& iniFolder, int cabrilloRequest, const std::string& ownPrefix) {
    ResetArgs args;
    args.iniFolder = iniFolder;
    args.cabrilloRequest = cabrilloRequest;
    args.ownCall = scenario::kOwnCall;
    args.contestStart = scenario::ContestStart();
    args.contestEnd = scenario::ContestEnd();
    args.ownPrefix = ownPrefix;
    return app_.ResetStats(args);
}

QsoArgs ToQsoArgs(const scenario::QsoRow& row) {
    QsoArgs args;
    args.ownCall = scenario::kOwnCall;
    args.call = row.call;
    args.time = scenario::TimeOf(row);
    args.frequencyHz = row.freqHz;
    args.mode = row.mode;
    args.rstSent = "599";
    args.rstRcvd = "599";
    args.exchSent = row.exchSent;
    args.exchRcvd = row.exchRcvd;
    args.prefix = row.prefix;
    args.aux = "aux";
    args.band = row.band;
    return args;
}

int EngineTest::Add(const scenario::QsoRow& row) { return app_.AddData(ToQsoArgs(row)); }

int EngineTest::Log(const scenario::QsoRow& row) {
    CheckArgs check;
    check.call = row.call;
    check.mode = row.mode;
    check.prefix = row.prefix;
    check.band = row.band;
    check.bandGiven = true;
    app_.CheckCall(check);
    return Add(row);
}

int EngineTest::Remove(const scenario::QsoRow& row) { return app_.RemoveData(ToQsoArgs(row)); }
