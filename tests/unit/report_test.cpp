// The score report byte for byte, text and HTML, and what GetResult0 does around it: the claimed score,
// the int behind the pointer, and the Cabrillo export with its Output message.
#include <gtest/gtest.h>

#include <filesystem>

#include "contest/arrl_rtty_roundup.h"
#include "app/plugin_object.h"
#include "platform/settings.h"
#include "score_test_support.h"
#include "scoring/score_model.h"
#include "scoring/score_report.h"
#include "temp_dir.h"

namespace {

using scoretest::MakeQso;
using scoretest::QsoSpec;
using scoretest::CabrilloHeader;
using scoretest::RecordingPrompts;

const char* const kBadQsoFile = "BadQSO_DezuvEZIR_05_01_2020.txt";

void SetContest(Engine& e) {
    e.ownCall = "W1AW";
    e.contestStartYear = "2020";
    e.contestStartDayMonth = "04.01";
    e.contestEnd = "05.01.2020";
    e.badQsoFileName = kBadQsoFile;
    e.hostVersion = "2.20";
}

// Ten records over four bands, written as AddData0 leaves them, and the bad-QSO lines that go with them.
void FillBusyLog(Engine& e) {
    SetContest(e);
    e.bandsSeen = {"20m", "40m", "80m", "15m"};
    const QsoSpec log[] = {
        {"K1AB", "K", "40m", "CT", 18, 0, 0, 0, 0, "RTTY", 7080, "CT"},
        {"VE3XY", "VE", "40m", "ON", 18, 5, 0, 0, 0, "RTTY", 7085, "ON"},
        {"DL1ABC", "DL", "20m", "", 18, 10, 0, 0, 0, "BPSK31", 14080, "001"},
        {"K1AB", "K", "20m", "CT", 18, 20, 0, 0, 0, "RTTY", 14085, "CT"},
        {"K1AB", "K", "20m", "CT", 18, 21, 1, 1, 0, "RTTY", 14086, "CT"},
        {"N2XX", "K", "40m", "", 18, 30, 1, 0, 1, "RTTY", 7090, "XX"},
        {"W3ZZ", "K", "80m", "PA", 18, 40, 0, 0, 0, "rtty", 3580, "PA"},
        {"JA1AA", "JA", "80m", "", 18, 52, 0, 0, 0, "PACKET", 3590, "012"},
        {"G3AAA", "G", "20m", "", 18, 55, 0, 0, 0, "AMTOR", 14090, "123"},
        {"", "JA", "40m", "", 18, 56, 0, 1, 0, "RTTY", 7095, ""},
    };
    for (const QsoSpec& s : log) e.qsoLog.Append(MakeQso(s));
    for (const char* line :
         {"QSO:  21080  CW  2020-01-04 1815  W1AW  599  CT  F5AB  599  001   WRONG MODE !!!",
          "QSO:  14086  RTTY  2020-01-04 1821  W1AW  599  CT  K1AB  599  CT   DUPE !!!",
          "QSO:  7090  RTTY  2020-01-04 1830  W1AW  599  CT  N2XX  599  XX  XX  State/Province is not acceptable !!!"})
        e.badQsoFile.Append(line, true);
    WriteFileBytes(kBadQsoFile,
                   "ARRL-RTTY-Roundup Contest UBN file\r\n"
                   "QSO:  21080  CW  2020-01-04 1815  W1AW  599  CT  F5AB  599  001   WRONG MODE !!!\r\n"
                   "QSO:  14086  RTTY  2020-01-04 1821  W1AW  599  CT  K1AB  599  CT   DUPE !!!\r\n"
                   "QSO:  7090  RTTY  2020-01-04 1830  W1AW  599  CT  N2XX  599  XX  XX  State/Province is not "
                   "acceptable !!!\r\n");
}

const char kTextHeading[] =
    "\t\tARRL RTTY Roundup Contest 2020 \r\n"
    "\t\t  Contestant: W1AW\r\n"
    "Band\tQSOs\tPoints\tDXCC State/Prov\t K \tVE\r\n";

const char kBusyTextBody[] =
    "80m\t 2\t 2\t\t\t 1\t 0\r\n"
    "40m\t 2\t 2\t\t\t 1\t 1\r\n"
    "20m\t 3\t 3\t\t\t 1\t 0\r\n"
    "15m\t 0\t 0\t\t\t 0\t 0\r\n"
    "Total\t 7\t 7\t 3\t 3\t 3\t 1\r\n"
    "Dupe\t 1\r\n"
    "Bad QSO\t 2\r\n"
    "\r\n"
    "Score = 7 *( 3 + 3) = 42 \r\n"
    "\r\n";

const char kBusyTextRates[] =
    "Hourly (10min/1 hour) QSO rate:\t    7 /12\r\n"
    "Hourly (10min/1 hour) pts rate:\t    7 /12\r\n"
    "\r\n"
    "Created by ARRL RTTY Roundup (C)\r\n";

const char kHtmlHead[] =
    "<html><head><style>table{ width:100%; }table, th, td{ border: 1px solid black; border-collapse: collapse; }"
    "th, td{ padding: 1px; text-align: middle; }th,td{ background-color: #fffac6; color: black; }</style>"
    "</head><body>"
    "<center><b>   ARRL RTTY Roundup Contest 04.01-05.01.2020</b></center>"
    "<center>Contestant:  <b>W1AW</center></b><table>"
    "<tr><th>Band</th><th>QSOs</th><th>Points</th><th>DXCC</th><th>St/Pr</th><th>K</th><th>VE</th></tr>";

std::string HtmlBandRow(const char* band, const char* qsos, const char* k, const char* ve) {
    return std::string("<tr><th><center>") + band + "</center></th><td><center>" + qsos +
           "</center></td><td><center>" + qsos +
           "</center></td><td><center> </center></td><td><center> </center></td><td><center>" + k +
           "</center></td><td><center>" + ve + "</center></td></tr>";
}

TEST(Report, TextOfAnEmptyLogIsHeadingAndZeroTotalsWithoutRates) {
    Engine e{contest::ArrlRttyRoundup()};
    SetContest(e);
    const std::string expected = std::string(kTextHeading) +
                                 "Total\t 0\t 0\t 0\t 0\t 0\t 0\r\n"
                                 "Dupe\t 0\r\n"
                                 "Bad QSO\t 0\r\n"
                                 "\r\n"
                                 "Score = 0 *( 0 + 0) = 0 \r\n"
                                 "\r\n";
    EXPECT_EQ(LayoutTextReport(e, ComputeScoreModel(e)), expected);
}

TEST(Report, TextOfABusyLog) {
    TempWorkDir dir;
    Engine e{contest::ArrlRttyRoundup()};
    FillBusyLog(e);
    const ScoreModel m = ComputeScoreModel(e);
    EXPECT_EQ(LayoutTextReport(e, m), std::string(kTextHeading) + kBusyTextBody + kBusyTextRates);
    EXPECT_EQ(m.workedDxcc, (std::vector<std::string>{"K", "JA", "VE", "DL", "G"}));
    EXPECT_EQ(m.workedStateProv, (std::vector<std::string>{"PA", "CT", "ON"}));

    // While an export is pending the report ends after the score line.
    e.cabrilloRequested = 1;
    EXPECT_EQ(LayoutTextReport(e, ComputeScoreModel(e)), std::string(kTextHeading) + kBusyTextBody);
}

TEST(Report, HtmlOfAnEmptyLog) {
    Engine e{contest::ArrlRttyRoundup()};
    SetContest(e);
    const std::string expected =
        std::string(kHtmlHead) +
        "<tr><th><center>Total</center></th><td><center>0</center></td><td><center>0</center></td>"
        "<td><center>0</center></td><td><center>0</center></td><td><center>0</center></td>"
        "<td><center>0</center></td></tr>"
        "<tr><th><center>Dupe</center></th><td><center>0</center></td><td colspan=5> </td></tr>"
        "<tr><th><center>Bad QSO</center></th><td><center>0</center></td><td colspan=5> </td></tr>"
        "<tr><th>Score:</th><td colspan=6><center>0 * (0 + 0) = 0</center></td></tr>"
        "<th colspan=10><center>Rate</center></th></tr>"
        "<tr><th>Hourly (10min/1 hour) QSO rate:</th><td colspan=6><center>    0 /0</center></td></tr>"
        "<tr><th>Hourly (10min/1 hour) pts rate:</th><td colspan=6><center>    0 /0</center></td></tr>"
        "</table></body></html>";
    EXPECT_EQ(LayoutHtmlReport(e, ComputeScoreModel(e)), expected);
}

// While the bad-QSO file cannot be written (a folder stands in its place), a row under the count says so.
TEST(Report, HtmlOfABusyLog) {
    for (bool behind : {false, true}) {
        SCOPED_TRACE(behind ? "file behind" : "file up to date");
        TempWorkDir dir;
        Engine e{contest::ArrlRttyRoundup()};
        if (behind) std::filesystem::create_directory(kBadQsoFile);
        e.badQsoFile.Create(kBadQsoFile, "title");
        FillBusyLog(e);
        e.badQsoFile.CatchUp();
        const std::string expected =
            std::string(kHtmlHead) + HtmlBandRow("80m", "2", "1", "0") + HtmlBandRow("40m", "2", "1", "1") +
            HtmlBandRow("20m", "3", "1", "0") + HtmlBandRow("15m", "0", "0", "0") +
            "<tr><th><center>Total</center></th><td><center>7</center></td><td><center>7</center></td>"
            "<td><center>3</center></td><td><center>3</center></td><td><center>3</center></td>"
            "<td><center>1</center></td></tr>"
            "<tr><th><center>Dupe</center></th><td><center>1</center></td><td colspan=5> </td></tr>"
            "<tr><th><center>Bad QSO</center></th><td><center>2</center></td><td colspan=5> </td></tr>" +
            std::string(behind ? "<tr><th><center>Bad QSO file</center></th><td colspan=6><center>not up to date"
                                 "</center></td></tr>"
                               : "") +
            "<tr><th>Score:</th><td colspan=6><center>7 * (3 + 3) = 42</center></td></tr>"
            "<th colspan=10><center>Rate</center></th></tr>"
            "<tr><th>Hourly (10min/1 hour) QSO rate:</th><td colspan=6><center>    7 /12</center></td></tr>"
            "<tr><th>Hourly (10min/1 hour) pts rate:</th><td colspan=6><center>    7 /12</center></td></tr>"
            "</table></body></html>";
        EXPECT_EQ(LayoutHtmlReport(e, ComputeScoreModel(e)), expected);
    }
}

TEST(Report, GetResultStoresTheClaimedScoreAndMinusOne) {
    TempWorkDir dir;
    RecordingPrompts prompts;
    CTestApp app{contest::ArrlRttyRoundup()};
    FillBusyLog(*app.LockEngine());
    for (int before : {0, 7, -1, 123456}) {
        int out = before;
        std::string report = app.GetResult(&out);
        EXPECT_EQ(out, -1);
        EXPECT_EQ(report, std::string(kTextHeading) + kBusyTextBody + kBusyTextRates);
    }
    EXPECT_EQ(app.TakeStatusSnapshot("").model->totals.score, 42);
    EXPECT_EQ(ReadFileBytes("Plugins/ARRL-RTTY.ini"), "[Settings]\r\nClaimed=42\r\n");
    EXPECT_TRUE(prompts.messages.empty());
    // The file is written only when the score changed.
    WriteFileBytes("Plugins/ARRL-RTTY.ini", "[Settings]\r\nClaimed=7\r\n");
    app.GetResult(nullptr);
    EXPECT_EQ(ReadFileBytes("Plugins/ARRL-RTTY.ini"), "[Settings]\r\nClaimed=7\r\n");

    // A null pointer gets the report all the same.
    EXPECT_EQ(std::string(app.GetResult(nullptr)), std::string(kTextHeading) + kBusyTextBody + kBusyTextRates);

    // After setVersion every report is HTML, also of an empty log.
    app.SetVersion();
    app.LockEngine()->qsoLog.Clear();
    app.LockEngine()->bandsSeen.clear();
    std::string html = app.GetResult(nullptr);
    EXPECT_EQ(html.rfind("<html><head>", 0), 0u);
    EXPECT_EQ(html.substr(html.size() - 22), "</table></body></html>");
    EXPECT_EQ(app.TakeStatusSnapshot("").model->totals.score, 0);
    EXPECT_EQ(ReadFileBytes("Plugins/ARRL-RTTY.ini"), "[Settings]\r\nClaimed=0\r\n");
}

TEST(Report, ClaimedScoreIsKeptWhenTheSettingsFileCannotBeWritten) {
    TempWorkDir dir(false);  // no Plugins folder
    RecordingPrompts prompts;
    CTestApp app{contest::ArrlRttyRoundup()};
    FillBusyLog(*app.LockEngine());
    app.GetResult(nullptr);
    EXPECT_EQ(app.TakeStatusSnapshot("").model->totals.score, 42);
    EXPECT_FALSE(FileExists("Plugins"));
}

// The Cabrillo file of the busy log: the header as the dialog left it, then every record, dupes and
// records without a call included.
const std::string kBusyCabrillo =
    CabrilloHeader("W1AW/4", 42, "W1AW/4", "2.20") +
    "QSO:  7080 RY 2020-01-04 1800 W1AW/4        599 CT     K1AB          599 CT\r\n"
    "QSO:  7085 RY 2020-01-04 1805 W1AW/4        599 CT     VE3XY         599 ON\r\n"
    "QSO: 14080 RY 2020-01-04 1810 W1AW/4        599 CT     DL1ABC        599 001\r\n"
    "QSO: 14085 RY 2020-01-04 1820 W1AW/4        599 CT     K1AB          599 CT\r\n"
    "QSO: 14086 RY 2020-01-04 1821 W1AW/4        599 CT     K1AB          599 CT\r\n"
    "QSO:  7090 RY 2020-01-04 1830 W1AW/4        599 CT     N2XX          599 XX\r\n"
    "QSO:  3580 ?? 2020-01-04 1840 W1AW/4        599 CT     W3ZZ          599 PA\r\n"
    "QSO:  3590 RY 2020-01-04 1852 W1AW/4        599 CT     JA1AA         599 012\r\n"
    "QSO: 14090 RY 2020-01-04 1855 W1AW/4        599 CT     G3AAA         599 123\r\n"
    "QSO:  7095 RY 2020-01-04 1856 W1AW/4        599 CT                   599 \r\n"
    "END-OF-LOG:\r\n";

TEST(Report, PendingExportWritesTheCabrilloFileOnEveryReportWithoutTheLock) {
    TempWorkDir dir;
    RecordingPrompts prompts;
    CTestApp app{contest::ArrlRttyRoundup()};
    prompts.lockToCheck = &app;
    ASSERT_EQ(app.cabrillo.EditHeader("W1AW/4", COleDateTime(), COleDateTime()), 1);
    FillBusyLog(*app.LockEngine());
    app.LockEngine()->cabrilloRequested = 1;

    for (int pass = 0; pass < 2; ++pass) {
        int out = 5;
        std::string report = app.GetResult(&out);
        EXPECT_EQ(out, -1);
        EXPECT_EQ(report, std::string(kTextHeading) + kBusyTextBody);  // no rates while exporting
        // The second pass rewrites the same file rather than one with every QSO twice.
        EXPECT_EQ(ReadFileBytes("W1AW_4.cbr"), kBusyCabrillo) << "pass " << pass;
        ASSERT_EQ(prompts.messages.size(), static_cast<size_t>(pass + 1));
        EXPECT_EQ(prompts.messages.back().text, "File produced: W1AW_4.cbr");
        EXPECT_EQ(prompts.messages.back().caption, "Output");
        EXPECT_EQ(prompts.messages.back().icon, MessageIcon::information);
    }
    EXPECT_EQ(prompts.heldWhilePrompting, 0);
    EXPECT_EQ(app.LockEngine()->cabrilloRequested, 1);  // a successful export does not clear the request
}

TEST(Report, CabrilloFileThatCannotBeWrittenIsReportedWithAWarning) {
    TempWorkDir dir;
    RecordingPrompts prompts;
    CTestApp app{contest::ArrlRttyRoundup()};
    ASSERT_EQ(app.cabrillo.EditHeader("K1XYZ", COleDateTime(), COleDateTime()), 1);
    std::filesystem::create_directory("K1XYZ.cbr");  // a folder where the file should go
    app.LockEngine()->cabrilloRequested = 1;
    app.GetResult(nullptr);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "File not produced: K1XYZ.cbr");
    EXPECT_EQ(prompts.messages[0].caption, "Output");
    EXPECT_EQ(prompts.messages[0].icon, MessageIcon::warning);
}

}  // namespace
