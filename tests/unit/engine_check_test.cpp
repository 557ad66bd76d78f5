// CheckCall0: the codes against a small log, the rules failure code by host version, and the refresh hook.
#include <filesystem>

#include "engine_test_support.h"

namespace {

using scenario::CheckRow;

CheckArgs ToCheckArgs(const CheckRow& row) {
    CheckArgs args;
    args.call = row.call;
    args.mode = row.mode;
    args.prefix = row.prefix;
    args.aux = "aux";
    args.bandGiven = row.band != nullptr;
    args.band = row.band ? row.band : "";
    args.band2Given = row.band2 != nullptr;
    args.band2 = row.band2 ? row.band2 : "";
    return args;
}

class CheckCallTest : public EngineTest {};

TEST_F(CheckCallTest, AnswersTheScenarios) {
    for (const scenario::CheckScenario& s : scenario::CheckScenarios()) {
        SCOPED_TRACE(s.name);
        std::filesystem::create_directories("host");
        std::filesystem::remove("host/Tolv2.ini");
        if (s.hostVersion) WriteFileBytes("host/Tolv2.ini", std::string("[Main]\r\nTolv=") + s.hostVersion + "\r\n");
        Reset("host/");
        for (const scenario::QsoRow& qso : s.log) ASSERT_EQ(Add(qso), qso.result) << qso.call;
        size_t logSize = app_.LockEngine()->qsoLog.Count();
        app_.LockEngine()->CatchUpBadQsoFile();  // the end of the burst of logging: its lines are written
        std::string file = BadQsoFile();
        for (const CheckRow& row : s.checks) {
            EXPECT_EQ(app_.CheckCall(ToCheckArgs(row)), row.expected)
                << row.call << " " << row.mode << " " << row.prefix << " " << (row.band ? row.band : "(null)")
                << " / " << (row.band2 ? row.band2 : "(null)");
        }
        EXPECT_EQ(app_.LockEngine()->qsoLog.Count(), logSize) << "a check never changes the log";
        EXPECT_EQ(BadQsoFile(), file) << "a check writes nothing";
    }
}

TEST_F(CheckCallTest, EmptyHostVersionBeforeAnyResetFailsWithFour) {
    EXPECT_EQ(app_.CheckCall(ToCheckArgs({"DL1ABC", "RTTY", "DL", "30m", nullptr, 0})), 4);
    EXPECT_EQ(app_.CheckCall(ToCheckArgs({"DL1ABC", "RTTY", "DL", "20m", nullptr, 0})), 2);
}

// Every check asks the window thread for a refresh (it merges them), also while an earlier request is still
// outstanding: a check made during a refresh must be followed by one more.
TEST_F(CheckCallTest, EveryCheckAsksForARefreshWhileTheControlWindowExists) {
    Reset();
    const CheckArgs check = ToCheckArgs({"DL1ABC", "RTTY", "DL", "20m", nullptr, 0});
    app_.CheckCall(check);
    EXPECT_EQ(windows_->refreshes, 0);

    windows_->controlWindow = true;
    app_.RefreshPending() = 0;  // a refresh is running
    for (int i = 0; i < 3; ++i) app_.CheckCall(check);
    app_.CheckCall(ToCheckArgs({"DL1ABC", "CW", "DL", "20m", nullptr, 0}));  // even a rules failure asks
    EXPECT_EQ(windows_->refreshes, 4);
    EXPECT_FALSE(windows_->calledUnderLock);
}

}  // namespace
