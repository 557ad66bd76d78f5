#pragma once
// A CTestApp of its own for each engine test, in a fresh working directory, with stand-ins for the window
// thread and the clock so a test sees every refresh, every start and sets the UTC hour.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "contest/arrl_rtty_roundup.h"
#include "app/plugin_object.h"
#include "engine_scenarios.h"
#include "platform/clock.h"
#include "temp_dir.h"
#include "ui/status_windows.h"

// Counts what the engine asks of the window thread, and notes any call made while the engine's mutex
// was held (the engine must never wait on the window thread with the lock taken).
class FakeStatusWindows : public StatusWindows {
public:
    explicit FakeStatusWindows(CTestApp& app) : app_(app) {}
    bool ControlWindowExists() const override { return controlWindow; }
    void PostRefresh() override {
        NoteLock();
        ++refreshes;
    }
    void Start() override {
        NoteLock();
        ++starts;
    }
    void Stop(bool) override { ++stops; }

    bool controlWindow = false;
    int refreshes = 0;
    int starts = 0;
    int stops = 0;
    bool calledUnderLock = false;

private:
    void NoteLock();
    CTestApp& app_;
};

class FixedClock : public Clock {
public:
    int utcHour = 14;
    ClockTime UtcTime() override { return ClockTime{true, utcHour, 0, 0}; }
};

class EngineTest : public ::testing::Test {
protected:
    EngineTest();
    ~EngineTest() override;

    // ResetStats as the host calls it first, with the scenarios' contest dates.
    int Reset(const std::string& iniFolder = "", int cabrilloRequest = 0, const std::string& ownPrefix = "K");
    int Add(const scenario::QsoRow& row);
    // As the host logs the operator's QSO: the call checked first, then logged. (Add alone is one QSO of a
    // rebuild's burst, whose bad-QSO lines reach the file at the next call of another kind.)
    int Log(const scenario::QsoRow& row);
    int Remove(const scenario::QsoRow& row);
    std::string BadQsoFile() const { return ReadFileBytes(scenario::kBadQsoFile); }

    TempWorkDir dir_;
    FixedClock clock_;
    CTestApp app_{contest::ArrlRttyRoundup()};
    FakeStatusWindows* windows_;  // owned by app_
};

QsoArgs ToQsoArgs(const scenario::QsoRow& row);
