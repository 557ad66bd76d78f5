// The engine as the host sees it: the logging and check scenarios of the native tests, driven through
// the DLL's exports (plain and decorated names) with the host's date-time values, leaving the same bytes.
// The DLL is one instance for the whole process, so every test starts with a reset in a fresh directory.
#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace {

using scenario::CheckRow;
using scenario::QsoRow;

TEST(EngineExports, LoggingScenariosLeaveTheSameBadQsoFiles) {
    for (bool decorated : {false, true}) {
        for (const scenario::Scenario& s : scenario::LoggingScenarios()) {
            SCOPED_TRACE(std::string(s.name) + (decorated ? " (decorated names)" : ""));
            EngineTempDir dir;
            Plugin p;
            ASSERT_TRUE(p.Load(decorated));
            KeepWindowsClosedOnNextReset();
            ASSERT_EQ(CallResetStats(p, dir.Prefix()), 1);
            ASSERT_EQ(ReadBytes(scenario::kBadQsoFile), scenario::kCreatedHeader);
            for (const QsoRow& row : s.added) EXPECT_EQ(CallAddData(p, row), row.result) << row.call << " " << row.band;
            for (const QsoRow& row : s.removed) EXPECT_EQ(CallRemoveData(p, row), 1) << row.call;
            EXPECT_EQ(ReadBytes(scenario::kBadQsoFile), s.badQsoFile);
        }
    }
}

TEST(EngineExports, CheckScenariosAnswerTheSameCodes) {
    for (const scenario::CheckScenario& s : scenario::CheckScenarios()) {
        SCOPED_TRACE(s.name);
        EngineTempDir dir;
        CreateDirectoryA("host", nullptr);
        if (s.hostVersion) WriteBytes("host\\Tolv2.ini", std::string("[Main]\r\nTolv=") + s.hostVersion + "\r\n");
        // A host INI of the bare name in the current directory is not the one the search found.
        WriteBytes("Tolv2.ini", "Tolv=2.20\r\n");
        Plugin p;
        ASSERT_TRUE(p.Load());
        KeepWindowsClosedOnNextReset();
        CallResetStats(p, dir.Prefix() + "host\\");
        for (const QsoRow& qso : s.log) ASSERT_EQ(CallAddData(p, qso), qso.result) << qso.call;
        std::string file = ReadBytes(scenario::kBadQsoFile);
        for (const CheckRow& row : s.checks) {
            bool untouched = false;
            EXPECT_EQ(CallCheckCall(p, row, &untouched), row.expected)
                << row.call << " " << row.mode << " " << row.prefix << " " << (row.band ? row.band : "(null)") << " / "
                << (row.band2 ? row.band2 : "(null)");
            EXPECT_TRUE(untouched) << "the output buffers are never written";
        }
        EXPECT_EQ(ReadBytes(scenario::kBadQsoFile), file);
    }
}

TEST(EngineExports, ExchangeValidation) {
    Plugin p;
    ASSERT_TRUE(p.Load(true));
    struct Case {
        const char* exchange;
        const char* prefix;
        int disable;
        int valid;
    } cases[] = {
        {"599", "DL", 0, 0}, {"0599", "DL", 0, 1}, {"12345", "DL", 0, 0}, {"12", "K", 0, 0},   {"NY", "K", 0, 1},
        {"ny", "K", 0, 0},   {"NY", "W", 0, 0},    {"PEI", "VE", 0, 1},   {"NF", "VE", 0, 1},  {"AK", "K", 0, 1},  {"001", "DL", 1, 0},
        {nullptr, "K", 0, 0}, {"NY", nullptr, 0, 0}, {"123", nullptr, 0, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(p.IsValidExchg0(c.exchange, "DECOY", c.prefix, "DECOY", 1, 1, c.disable), c.valid)
            << (c.exchange ? c.exchange : "(null)") << " from " << (c.prefix ? c.prefix : "(null)");
    }
}

TEST(EngineExports, NullArgumentsNeverCrash) {
    EngineTempDir dir;
    Plugin p;
    ASSERT_TRUE(p.Load());
    KeepWindowsClosedOnNextReset();
    ASSERT_EQ(p.ResetStats0(nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 0.0, 0.0, nullptr, nullptr, nullptr),
              1);
    const char* file = "BadQSO_DezuvEZIR_.txt";  // a null end date formats as nothing
    EXPECT_EQ(ReadBytes(file), scenario::kCreatedHeader);

    auto add = [&](auto fn) {
        return fn(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0u, 0u, nullptr, nullptr, nullptr, nullptr,
                  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0,
                  0, 0, 0.0, 0.0, nullptr, nullptr, nullptr, nullptr, nullptr);
    };
    EXPECT_EQ(add(p.AddData0), 0);
    EXPECT_EQ(p.CheckCall0(nullptr, 0u, 0u, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr, 0, 0, 0, 0.0, 0.0, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr, nullptr),
              4);
    EXPECT_EQ(add(p.RemoveData0), 1);
    EXPECT_EQ(p.IsValidExchg0(nullptr, nullptr, nullptr, nullptr, 0, 0, 0), 0);
    EXPECT_EQ(ReadBytes(file), std::string(scenario::kRewrittenHeader));

    // A full QSO whose pointers are null where a record may do without.
    KeepWindowsClosedOnNextReset();
    CallResetStats(p, dir.Prefix());
    QsoRow row = {"DL1ABC", "20m", "RTTY", "DL", "001", 0, 0, 0, 1};
    EXPECT_EQ(CallAddData(p, row), 1);
    EXPECT_EQ(CallAddData(p, row), 1);
    EXPECT_EQ(ReadBytes(scenario::kBadQsoFile), std::string(scenario::kCreatedHeader) +
                                                   "QSO:  14085  RTTY    W1AW  599  CT  DL1ABC  599  001   DUPE !!!\r\n");
    EXPECT_EQ(CallRemoveData(p, row), 1);
    EXPECT_EQ(ReadBytes(scenario::kBadQsoFile), scenario::kRewrittenHeader);
}

TEST(EngineExports, HostVersionAndStartAlternation) {
    EngineTempDir dir;
    CreateDirectoryA("host", nullptr);
    // The oldest hosts never get the status windows, so no window opens here, but "Start" still alternates.
    WriteBytes("host\\Tolv2.ini", "[Main]\r\nTolv=2.14R\r\n");
    Plugin p;
    ASSERT_TRUE(p.Load());
    const char* const expected[] = {"1", "0", "1"};
    for (const char* start : expected) {
        CallResetStats(p, dir.Prefix() + "host\\");
        EXPECT_EQ(ReadBytes("Plugins\\ARRL-RTTY.ini"), std::string("[Settings]\r\nStart=") + start + "\r\n");
    }
    // 2.14R is not 2.19 or 2.20: rules failures answer 4.
    EXPECT_EQ(CallCheckCall(p, {"DL1ABC", "RTTY", "DL", "30m", nullptr, 0}), 4);

    WriteBytes("host\\Tolv2.ini", "xTolv=2.20\r\n");
    KeepWindowsClosedOnNextReset();
    CallResetStats(p, dir.Prefix() + "host\\");
    EXPECT_EQ(CallCheckCall(p, {"DL1ABC", "RTTY", "DL", "30m", nullptr, 0}), 4) << "the version is \"=2.20\"";

    WriteBytes("host\\Tolv2.ini", "Tolv=2.20\r\n");
    KeepWindowsClosedOnNextReset();
    CallResetStats(p, dir.Prefix() + "host\\");
    EXPECT_EQ(CallCheckCall(p, {"DL1ABC", "RTTY", "DL", "30m", nullptr, 0}), 1);
}

}  // namespace
