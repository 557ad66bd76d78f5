// The export as the host drives it through CTestApp: a reset with the Cabrillo request raises the header
// dialog (never under the engine lock), the QSOs come in, and each report writes the file and says so;
// a cancelled dialog means no file and no message.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "contest/arrl_rtty_roundup.h"
#include "app/plugin_object.h"
#include "platform/settings.h"
#include "score_test_support.h"
#include "temp_dir.h"

namespace {

using scoretest::CabrilloHeader;
using scoretest::RecordingPrompts;

ResetArgs Reset(int cabrilloRequest) {
    ResetArgs a;
    a.iniFolder = "nothing-here-";
    a.cabrilloRequest = cabrilloRequest;
    a.ownCall = "VE3/W1AW";
    a.contestStart = COleDateTime::FromFields(2020, 1, 4, 18, 0);
    a.contestEnd = COleDateTime::FromFields(2020, 1, 5, 23, 59);
    a.ownPrefix = "VE";
    return a;
}

QsoArgs Qso(const char* call, int minute, unsigned hz, const char* mode, const char* exch, const char* prefix,
            const char* band) {
    QsoArgs q;
    q.ownCall = "VE3/W1AW";
    q.call = call;
    q.time = COleDateTime::FromFields(2020, 1, 4, 19, minute);
    q.frequencyHz = hz;
    q.mode = mode;
    q.rstSent = "599";
    q.rstRcvd = "599";
    q.exchSent = "ON";
    q.exchRcvd = exch;
    q.prefix = prefix;
    q.band = band;
    return q;
}

void AddContest(CTestApp& app) {
    EXPECT_EQ(app.AddData(Qso("K1AB", 0, 7080000, "RTTY", "ct", "K", "40m")), 1);
    EXPECT_EQ(app.AddData(Qso("K1AB", 1, 7080000, "RTTY", "CT", "K", "40m")), 1);      // dupe
    EXPECT_EQ(app.AddData(Qso("N2XX", 2, 14080000, "RTTY", "XX", "K", "20m")), 1);     // no such state
    EXPECT_EQ(app.AddData(Qso("DL1ABC", 3, 14081999, "BPSK63", "001", "DL", "20m")), 1);
    EXPECT_EQ(app.AddData(Qso("F5AB", 4, 21080000, "CW", "002", "F", "15m")), 0);       // wrong mode
    EXPECT_EQ(app.AddData(Qso("JA1ABC", 5, 14082000, "FT8", "003", "JA", "20m")), 1);
}

const char kReport[] =
    "\t\tARRL RTTY Roundup Contest 2020 \r\n"
    "\t\t  Contestant: VE3/W1AW\r\n"
    "Band\tQSOs\tPoints\tDXCC State/Prov\t K \tVE\r\n"
    "40m\t 1\t 1\t\t\t 1\t 0\r\n"
    "20m\t 2\t 2\t\t\t 0\t 0\r\n"
    "15m\t 0\t 0\t\t\t 0\t 0\r\n"
    "Total\t 3\t 3\t 2\t 1\t 1\t 0\r\n"
    "Dupe\t 1\r\n"
    "Bad QSO\t 2\r\n"
    "\r\n"
    "Score = 3 *( 2 + 1) = 9 \r\n"
    "\r\n";

TEST(ReportExport, ConfirmedHeaderThenEveryReportWritesTheFile) {
    TempWorkDir dir;
    RecordingPrompts prompts;
    CTestApp app{contest::ArrlRttyRoundup()};
    prompts.lockToCheck = &app;
    prompts.onHeader = [](CabrilloHeaderFields& f) {
        f.soapbox = "Band conditions good\r\n73";
        return true;
    };
    EXPECT_EQ(app.ResetStats(Reset(1)), 1);
    ASSERT_EQ(prompts.shownHeaders.size(), 1u);
    EXPECT_EQ(prompts.shownHeaders[0].callsign, "VE3/W1AW");
    AddContest(app);

    const std::string expectedFile =
        CabrilloHeader("VE3/W1AW", 9, "VE3/W1AW", "Tolv", "SOAPBOX: Band conditions good\r\nSOAPBOX: 73\r\n") +
        "QSO:  7080 RY 2020-01-04 1900 VE3/W1AW      599 ON     K1AB          599 ct\r\n"
        "QSO:  7080 RY 2020-01-04 1901 VE3/W1AW      599 ON     K1AB          599 CT\r\n"
        "QSO: 14080 RY 2020-01-04 1902 VE3/W1AW      599 ON     N2XX          599 XX\r\n"
        "QSO: 14081 RY 2020-01-04 1903 VE3/W1AW      599 ON     DL1ABC        599 001\r\n"
        "QSO: 14082 DG 2020-01-04 1905 VE3/W1AW      599 ON     JA1ABC        599 003\r\n"
        "END-OF-LOG:\r\n";
    for (int pass = 1; pass <= 2; ++pass) {
        int out = 0;
        EXPECT_EQ(std::string(app.GetResult(&out)), kReport);
        EXPECT_EQ(out, -1);
        EXPECT_EQ(ReadFileBytes("VE3_W1AW.cbr"), expectedFile) << "pass " << pass;
        ASSERT_EQ(prompts.messages.size(), static_cast<size_t>(pass));
        EXPECT_EQ(prompts.messages.back().text, "File produced: VE3_W1AW.cbr");
        EXPECT_EQ(prompts.messages.back().caption, "Output");
        EXPECT_EQ(prompts.messages.back().icon, MessageIcon::information);
    }
    EXPECT_EQ(prompts.heldWhilePrompting, 0);

    // A reset without the request ends the export; the rates come back. ("Start" = 1 keeps this reset
    // from starting the status windows.)
    Settings::WriteString("Start", "1");
    EXPECT_EQ(app.ResetStats(Reset(0)), 1);
    AddContest(app);
    std::string report = app.GetResult(nullptr);
    EXPECT_EQ(report.substr(report.size() - 34), "Created by ARRL RTTY Roundup (C)\r\n");
    EXPECT_EQ(prompts.messages.size(), 2u);
}

TEST(ReportExport, CancelledHeaderMeansNoFileAndNoMessage) {
    TempWorkDir dir;
    RecordingPrompts prompts;
    CTestApp app{contest::ArrlRttyRoundup()};
    prompts.lockToCheck = &app;
    prompts.onHeader = [](CabrilloHeaderFields&) { return false; };
    EXPECT_EQ(app.ResetStats(Reset(1)), 1);
    EXPECT_EQ(prompts.shownHeaders.size(), 1u);
    EXPECT_EQ(app.LockEngine()->cabrilloRequested, 0);
    AddContest(app);
    std::string report = app.GetResult(nullptr);
    EXPECT_EQ(report.substr(0, sizeof kReport - 1), kReport);
    EXPECT_EQ(report.substr(sizeof kReport - 1, 31), "Hourly (10min/1 hour) QSO rate:");
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_FALSE(FileExists("VE3_W1AW.cbr"));
    EXPECT_EQ(prompts.heldWhilePrompting, 0);
}

// Each reset gives the change-of-band light the entry's category: CATEGORY-OPERATOR as the settings keep it from
// the last header confirmed, CATEGORY-TRANSMITTER as the header holds it while the library is loaded (a new
// start has the dialog's ONE), for the contest year of the reset.
TEST(ReportExport, ResetGivesTheBandChangeLightTheEntrysCategory) {
    TempWorkDir dir;
    RecordingPrompts prompts;
    prompts.onHeader = [](CabrilloHeaderFields& f) {
        f.categoryOperator = "MULTI-OP";
        f.categoryTransmitter = "UNLIMITED";
        return true;
    };
    ResetArgs a = Reset(0);
    a.contestStart = COleDateTime::FromFields(2025, 1, 4, 18, 0);
    a.contestEnd = COleDateTime::FromFields(2025, 1, 5, 23, 59);
    CTestApp app{contest::ArrlRttyRoundup()};
    EXPECT_EQ(app.ResetStats(a), 1);
    EXPECT_EQ(app.BandChangeLimit(), 6);  // no category given: the contest's multi-operator limit
    a.cabrilloRequest = 1;
    EXPECT_EQ(app.ResetStats(a), 1);
    EXPECT_EQ(app.BandChangeLimit(), -1);
    a.cabrilloRequest = 0;
    EXPECT_EQ(app.ResetStats(a), 1);
    EXPECT_EQ(app.BandChangeLimit(), -1);
    CTestApp restarted{contest::ArrlRttyRoundup()};
    EXPECT_EQ(restarted.ResetStats(a), 1);
    EXPECT_EQ(restarted.BandChangeLimit(), 10);
}

// A folder where the bad-QSO file should be costs nothing: the report counts the bad QSOs where they were
// logged, and the claimed score and the Cabrillo file still come.
TEST(ReportExport, FolderInPlaceOfTheBadQsoFileCostsNothing) {
    TempWorkDir dir;
    RecordingPrompts prompts;
    CTestApp app{contest::ArrlRttyRoundup()};
    EXPECT_EQ(app.ResetStats(Reset(1)), 1);
    std::filesystem::remove("BadQSO_DezuvEZIR_05_01_2020.txt");
    std::filesystem::create_directory("BadQSO_DezuvEZIR_05_01_2020.txt");
    AddContest(app);
    int out = 0;
    // The same report, which says that the file is behind.
    std::string expected = kReport;
    const std::string badQsos = "Bad QSO\t 2\r\n";
    expected.insert(expected.find(badQsos) + badQsos.size(), "Bad QSO file\t not up to date\r\n");
    EXPECT_EQ(std::string(app.GetResult(&out)), expected);
    EXPECT_EQ(out, -1);
    EXPECT_EQ(Settings::GetString("Claimed", 50), "9");
    EXPECT_TRUE(FileExists("VE3_W1AW.cbr"));
}

// Two host threads: each keeps the report it was given until its own next call, whatever the other asks.
TEST(ReportConcurrency, EachThreadKeepsItsReportUntilItsNextCall) {
    TempWorkDir dir;
    RecordingPrompts prompts;
    CTestApp app{contest::ArrlRttyRoundup()};
    EXPECT_EQ(app.ResetStats(Reset(0)), 1);
    const char* mine = app.GetResult(nullptr);
    const std::string copy = mine;
    AddContest(app);
    std::string theirs;
    std::thread([&] { theirs = app.GetResult(nullptr); }).join();
    EXPECT_NE(theirs, copy);
    EXPECT_EQ(std::string(mine), copy);
    EXPECT_EQ(std::string(app.GetResult(nullptr)), theirs);
}

}  // namespace
