// The Cabrillo header (settings keys, dialog fields, soapbox encodings, file stem) and the Cabrillo file
// byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "contest/arrl_rtty_roundup.h"
#include "fault_injection.h"
#include "platform/settings.h"
#include "score_test_support.h"
#include "scoring/cabrillo_export.h"
#include "scoring/header_dialog.h"
#include "temp_dir.h"

namespace {

using scoretest::CabrilloHeader;
using scoretest::RecordingPrompts;

const char* const kIni = "Plugins/ARRL-RTTY.ini";

COleDateTime At(int hour, int minute) { return COleDateTime::FromFields(2018, 1, 6, hour, minute); }

TEST(Cabrillo, FileStemFromTheCallSign) {
    struct Case {
        const char* call;
        const char* stem;
    };
    const Case cases[] = {
        {"W1AW/4", "W1AW_4"}, {"W1AW", "W1AW"},     {"", "KIVO"},          {"   ", "KIVO"},
        {"\t \r\n", "KIVO"},  {" K1AB ", "K1AB"},   {"VE3\\AB/P", "VE3_AB_P"}, {"/", "_"},
        {"DL/W1AW/P", "DL_W1AW_P"},
        // Every character Windows forbids in a file name, control characters included, becomes "_"; a
        // device name before the first dot gets a leading "_", or the file would be the device.
        {"W1AW:X", "W1AW_X"}, {"a<b>c\"d|e?f*g", "a_b_c_d_e_f_g"}, {"W1\tAW\x1f", "W1_AW_"},
        {"NUL", "_NUL"},      {"com1", "_com1"}, {"Lpt9.x", "_Lpt9.x"},    {"CON .A", "_CON .A"},
        {"AUX1", "AUX1"},     {"COM10", "COM10"}, {"NUL:", "NUL_"},       {"PRN_", "PRN_"},
    };
    for (const Case& c : cases) EXPECT_EQ(CabrilloExport::FileStem(c.call), c.stem) << "[" << c.call << "]";
}

TEST(Cabrillo, ModeCodes) {
    struct Case {
        const char* mode;
        const char* code;
    };
    const Case cases[] = {
        {"RTTY", "RY"},   {"BPSK31", "RY"}, {"BPSK63", "RY"}, {"BPSK62", "RY"}, {"BPSK125", "RY"},
        {"AMTOR", "RY"},  {"PACKET", "RY"}, {"rtty", "??"},   {"CW", "??"},     {"", "??"},
        {"RTTY ", "??"},  {"PSK31", "??"},  {"Packet", "??"}, {"FT8", "DG"},    {"FT4", "DG"},
        {"ft8", "??"},    {"FT2", "??"},
    };
    for (const Case& c : cases) EXPECT_STREQ(contest::ArrlRttyRoundup().CabrilloModeCode(c.mode), c.code) << c.mode;
}

TEST(Cabrillo, SoapboxEncodings) {
    struct Case {
        const char* typed;    // as the multi-line edit holds it
        const char* stored;   // in the settings file
        const char* written;  // after "SOAPBOX: " in the Cabrillo file
    };
    const Case cases[] = {
        {"", "", ""},
        {"Fun contest", "Fun contest", "Fun contest"},
        {"A\r\nB", "A<CR><LF>B", "A\r\nSOAPBOX: B"},
        {"A\r\nB\r\nC", "A<CR><LF>B<CR><LF>C", "A\r\nSOAPBOX: B\r\nSOAPBOX: C"},
        {"A\nB", "A<LF>B", "AB"},
        {"A\r\n", "A<CR><LF>", "A\r\nSOAPBOX: "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeSoapbox(c.typed), c.stored);
        EXPECT_EQ(DecodeSoapbox(c.stored), c.typed);
        EXPECT_EQ(SoapboxFileForm(c.stored), c.written);
    }
}

TEST(Cabrillo, DialogOpensWithStoredFieldsAndFixedCategories) {
    TempWorkDir dir;
    WriteFileBytes(kIni,
                   "[Settings]\r\nOperators=W1AW K1AB\r\nName=Hiram Maxim\r\nAddress=225 Main St\r\n"
                   "Address_City=Newington\r\nAddress_St_Prov=CT\r\nAddress_PostalCode=06111\r\n"
                   "Address_Country=USA\r\nEmail=w1aw@example.org\r\nClub=Radio Club\r\n"
                   "SoapBox=Line one<CR><LF>Line two\r\nClaimed=140\r\nCategory=MULTI-OP\r\n"
                   "Category_Overlay=ROOKIE\r\nContest=OTHER\r\n");
    RecordingPrompts prompts;
    CabrilloExport cab(contest::ArrlRttyRoundup());
    ASSERT_EQ(cab.EditHeader("W1AW", At(18, 0), At(23, 59)), 1);
    ASSERT_EQ(prompts.shownHeaders.size(), 1u);
    const CabrilloHeaderFields& f = prompts.shownHeaders[0];
    EXPECT_EQ(f.callsign, "W1AW");
    EXPECT_EQ(f.operators, "W1AW K1AB");
    EXPECT_EQ(f.name, "Hiram Maxim");
    EXPECT_EQ(f.address, "225 Main St");
    EXPECT_EQ(f.addressCity, "Newington");
    EXPECT_EQ(f.addressStateProvince, "CT");
    EXPECT_EQ(f.addressPostalCode, "06111");
    EXPECT_EQ(f.addressCountry, "USA");
    EXPECT_EQ(f.email, "w1aw@example.org");
    EXPECT_EQ(f.club, "Radio Club");
    EXPECT_EQ(f.soapbox, "Line one\r\nLine two");
    EXPECT_EQ(f.claimed, "140");
    // Stored choices of contest and categories are not read back: the dialog opens with the fixed ones.
    EXPECT_EQ(f.contest, "ARRL-RTTY");
    EXPECT_EQ(f.categoryOperator, "SINGLE-OP");
    EXPECT_EQ(f.categoryOverlay, "NONE");
    EXPECT_EQ(f.categoryMode, "RTTY");
    EXPECT_EQ(f.categoryBand, "ALL");
    EXPECT_EQ(f.categoryPower, "HIGH");
    EXPECT_EQ(f.categoryTransmitter, "ONE");
    EXPECT_EQ(f.location, "DX");
    EXPECT_EQ(f.categoryStation, "FIXED");
    EXPECT_EQ(f.categoryAssisted, "NON-ASSISTED");
}

TEST(Cabrillo, OperatorsDefaultToTheCallOnlyWhenTheKeyIsMissing) {
    TempWorkDir dir;
    RecordingPrompts prompts;
    CabrilloExport cab(contest::ArrlRttyRoundup());
    ASSERT_EQ(cab.EditHeader("K1AB", At(18, 0), At(23, 59)), 1);
    EXPECT_EQ(prompts.shownHeaders.back().operators, "K1AB");
    EXPECT_EQ(prompts.shownHeaders.back().claimed, "");
    WriteFileBytes(kIni, "[Settings]\r\nOperators=\r\n");
    ASSERT_EQ(cab.EditHeader("K1AB", At(18, 0), At(23, 59)), 1);
    EXPECT_EQ(prompts.shownHeaders.back().operators, "");
}

TEST(Cabrillo, LongHeaderValuesReachTheFileWhole) {
    TempWorkDir dir;
    const std::string address(300, 'A');
    std::string soapbox;
    for (int i = 0; i < 6; ++i) soapbox += (i ? "<CR><LF>" : "") + std::string(60, static_cast<char>('a' + i));
    WriteFileBytes(kIni, "[Settings]\r\nAddress=" + address + "\r\nSoapBox=" + soapbox + "\r\n");
    RecordingPrompts prompts;
    CabrilloExport cab(contest::ArrlRttyRoundup());
    ASSERT_EQ(cab.EditHeader("K1AB", At(18, 0), At(23, 59)), 1);
    EXPECT_EQ(prompts.shownHeaders[0].address, address);
    EXPECT_EQ(prompts.shownHeaders[0].soapbox.size(), 6 * 60 + 5 * 2u);
    ASSERT_TRUE(cab.WriteLog(0, "Tolv").produced);
    std::string file = ReadFileBytes("K1AB.cbr");
    EXPECT_NE(file.find("\r\nADDRESS: " + address + "\r\n"), std::string::npos);
    std::string soapboxLines;
    for (int i = 0; i < 6; ++i) soapboxLines += "SOAPBOX: " + std::string(60, static_cast<char>('a' + i)) + "\r\n";
    EXPECT_NE(file.find("\r\n" + soapboxLines + "CREATED-BY: "), std::string::npos);
    // The stored values survive the write-back unchanged.
    EXPECT_EQ(Settings::GetString("Address", Settings::kHeaderBuffer), address);
    EXPECT_EQ(Settings::GetString("SoapBox", Settings::kHeaderBuffer), soapbox);
}

TEST(Cabrillo, ConfirmedHeaderIsStoredAndWritten) {
    TempWorkDir dir;
    WriteFileBytes(kIni, "[Settings]\r\nClaimed=140\r\n");
    RecordingPrompts prompts;
    prompts.onHeader = [](CabrilloHeaderFields& f) {
        f.callsign = "W1AW/EDIT";
        f.claimed = "999999";  // discarded: the claimed score comes from the report
        f.name = "Hiram Maxim";
        f.address = "225 Main St";
        f.addressCity = "Newington";
        f.addressStateProvince = "CT";
        f.addressPostalCode = "06111";
        f.addressCountry = "USA";
        f.operators = "W1AW K1AB";
        f.club = "Radio Club";
        f.email = "w1aw@example.org";
        f.soapbox = "First line\r\nSecond line";
        f.contest = "ARRL-RTTY-X";
        f.categoryOperator = "MULTI-OP";
        f.categoryOverlay = "ROOKIE";
        f.categoryAssisted = "ASSISTED";
        f.categoryBand = "20M";
        f.categoryMode = "MIXED";
        f.categoryPower = "LOW";
        f.categoryStation = "PORTABLE";
        f.categoryTransmitter = "TWO";
        f.location = "CT";
        return true;
    };
    CabrilloExport cab(contest::ArrlRttyRoundup());
    ASSERT_EQ(cab.EditHeader("W1AW/4", At(18, 0), At(23, 59)), 1);
    EXPECT_EQ(ReadFileBytes(kIni),
              "[Settings]\r\nClaimed=140\r\nOperators=W1AW K1AB\r\nName=Hiram Maxim\r\nAddress=225 Main St\r\n"
              "Address_City=Newington\r\nAddress_St_Prov=CT\r\nAddress_PostalCode=06111\r\nAddress_Country=USA\r\n"
              "Category=MULTI-OP\r\nCategory_Overlay=ROOKIE\r\nContest=ARRL-RTTY-X\r\n"
              "Email=w1aw@example.org\r\nClub=Radio Club\r\nSoapBox=First line<CR><LF>Second line\r\n");

    cab.AddQsoLine("K1ABC", 7080, "RY", At(18, 5), "599", "CT", "599", "MA");
    cab.AddQsoLine("DL1ABCDEFGHIJKL", 14080, "??", At(18, 6), "599", "CT", "59", "1234567");
    CabrilloWriteResult r = cab.WriteLog(1234, "2.20");
    EXPECT_TRUE(r.produced);
    EXPECT_EQ(r.message, "File produced: W1AW_4.cbr");  // the stem follows the given call, not the edit
    EXPECT_EQ(ReadFileBytes("W1AW_4.cbr"),
              "START-OF-LOG: 3.0\r\n"
              "LOCATION: CT\r\n"
              "CALLSIGN: W1AW/EDIT\r\n"
              "CLUB: Radio Club\r\n"
              "CONTEST: ARRL-RTTY\r\n"
              "CATEGORY-OPERATOR: MULTI-OP\r\n"
              "CATEGORY-ASSISTED: ASSISTED\r\n"
              "CATEGORY-BAND: 20M\r\n"
              "CATEGORY-MODE: MIXED\r\n"
              "CATEGORY-POWER: LOW\r\n"
              "CATEGORY-STATION: PORTABLE\r\n"
              "CATEGORY-TRANSMITTER: TWO\r\n"
              "CLAIMED-SCORE: 1234\r\n"
              "OPERATORS: W1AW K1AB\r\n"
              "NAME: Hiram Maxim\r\n"
              "ADDRESS: 225 Main St\r\n"
              "ADDRESS-CITY: Newington\r\n"
              "ADDRESS-STATE-PROVINCE: CT\r\n"
              "ADDRESS-POSTALCODE: 06111\r\n"
              "ADDRESS-COUNTRY: USA\r\n"
              "SOAPBOX: First line\r\n"
              "SOAPBOX: Second line\r\n"
              "CREATED-BY: Tolv 2.20\r\n"
              "EMAIL: w1aw@example.org\r\n"
              "QSO:  7080 RY 2018-01-06 1805 W1AW/EDIT     599 CT     K1ABC         599 MA\r\n"
              "QSO: 14080 ?? 2018-01-06 1806 W1AW/EDIT     599 CT     DL1ABCDEFGHIJKL 59  1234567\r\n"
              "END-OF-LOG:\r\n");

    // The next dialog opens with the fixed contest and categories again, the stored fields kept.
    ASSERT_EQ(cab.EditHeader("W1AW/4", At(18, 0), At(23, 59)), 1);
    const CabrilloHeaderFields& again = prompts.shownHeaders.back();
    EXPECT_EQ(again.contest, "ARRL-RTTY");
    EXPECT_EQ(again.categoryOperator, "SINGLE-OP");
    EXPECT_EQ(again.categoryOverlay, "NONE");
    EXPECT_EQ(again.location, "DX");
    EXPECT_EQ(again.callsign, "W1AW/4");
    EXPECT_EQ(again.soapbox, "First line\r\nSecond line");
    EXPECT_EQ(again.name, "Hiram Maxim");
}

TEST(Cabrillo, QsoLineWidths) {
    struct Case {
        const char* own;
        const char* call;
        int freq;
        const char* mode;
        const char* rstSent;
        const char* exchSent;
        const char* rstRcvd;
        const char* exchRcvd;
        std::string line;
    };
    const Case cases[] = {
        {"W1AW", "K1AB", 7080, "RY", "599", "CT", "599", "MA",
         "QSO:  7080 RY 2018-01-06 1805 W1AW          599 CT     K1AB          599 MA\r\n"},
        {"W1AW", "VERYLONGCALL14", 28080, "??", "5", "1", "5", "2",
         "QSO: 28080 ?? 2018-01-06 1805 W1AW          5   1      VERYLONGCALL14 5   2\r\n"},
        {"K1ABCDEFGHIJKL", "K1AB", 123456, "RY", "5999", "1234567", "599", "001",
         "QSO: 123456 RY 2018-01-06 1805 K1ABCDEFGHIJKL 5999 1234567 K1AB          599 001\r\n"},
        {"", "", 0, "", "", "", "", "",
         "QSO:     0    2018-01-06 1805" + std::string(44, ' ') + "\r\n"},
        {"W1AW", "K1AB", -5, "R", "599", "CT", "599", "MA",
         "QSO:    -5  R 2018-01-06 1805 W1AW          599 CT     K1AB          599 MA\r\n"},
    };
    for (const Case& c : cases) {
        TempWorkDir dir;
        RecordingPrompts prompts;
        CabrilloExport cab(contest::ArrlRttyRoundup());
        ASSERT_EQ(cab.EditHeader(c.own, At(0, 0), At(0, 0)), 1);
        cab.AddQsoLine(c.call, c.freq, c.mode, At(18, 5), c.rstSent, c.exchSent, c.rstRcvd, c.exchRcvd);
        ASSERT_EQ(cab.QsoLines().size(), 1u);
        EXPECT_EQ(cab.QsoLines()[0], c.line);
    }
}

TEST(Cabrillo, EmptyLogHoldsTheHeaderAndTheEnd) {
    TempWorkDir dir;
    RecordingPrompts prompts;
    WriteFileBytes(kIni, "[Settings]\r\nOperators=\r\n");
    CabrilloExport cab(contest::ArrlRttyRoundup());
    ASSERT_EQ(cab.EditHeader("  ", At(0, 0), At(0, 0)), 1);
    CabrilloWriteResult r = cab.WriteLog(0, "Tolv");
    EXPECT_EQ(r.message, "File produced: KIVO.cbr");
    EXPECT_EQ(ReadFileBytes("KIVO.cbr"), CabrilloHeader("  ", 0, "", "Tolv") + "END-OF-LOG:\r\n");
}

TEST(Cabrillo, CancelStoresNothingAndKeepsTheLoadedFields) {
    TempWorkDir dir;
    WriteFileBytes(kIni, "[Settings]\r\nName=Old Name\r\nSoapBox=A<CR><LF>B\r\n");
    const std::string iniBefore = ReadFileBytes(kIni);
    RecordingPrompts prompts;
    CabrilloExport cab(contest::ArrlRttyRoundup());
    cab.AddQsoLine("K1AB", 7080, "RY", At(18, 5), "599", "CT", "599", "MA");
    prompts.onHeader = [](CabrilloHeaderFields& f) {
        f.name = "New Name";
        return false;
    };
    EXPECT_EQ(cab.EditHeader("W1AW/4", At(0, 0), At(0, 0)), 0);
    EXPECT_EQ(ReadFileBytes(kIni), iniBefore);
    EXPECT_EQ(cab.Fields().name, "Old Name");
    EXPECT_EQ(cab.Fields().callsign, "W1AW/4");
    EXPECT_EQ(cab.Stem(), "W1AW_4");
    EXPECT_EQ(cab.QsoLines().size(), 1u);  // only a confirmed dialog empties the list
}

TEST(Cabrillo, FileThatCannotBeCreatedIsReportedAsNotProduced) {
    TempWorkDir dir;
    RecordingPrompts prompts;
    CabrilloExport cab(contest::ArrlRttyRoundup());
    ASSERT_EQ(cab.EditHeader("SUB", At(0, 0), At(0, 0)), 1);
    std::filesystem::create_directory("SUB.cbr");  // a folder cannot be opened as the file
    CabrilloWriteResult r = cab.WriteLog(0, "Tolv");
    EXPECT_FALSE(r.produced);
    EXPECT_EQ(r.message, "File not produced: SUB.cbr");
}

// A refused rename, a short write and a full disk each leave the previous file as it was and no temporary
// file beside it, on both builds.
TEST(Cabrillo, AFailedRewriteKeepsThePreviousFile) {
    namespace fs = std::filesystem;
    for (FileFault fault : kFileFaults) {
        SCOPED_TRACE(FileFaultName(fault));
        TempWorkDir dir;
        RecordingPrompts prompts;
        CabrilloExport cab(contest::ArrlRttyRoundup());
        ASSERT_EQ(cab.EditHeader("W1AW", At(18, 0), At(23, 59)), 1);
        ASSERT_TRUE(cab.WriteLog(0, "Tolv").produced);
        const std::string before = ReadFileBytes("W1AW.cbr");
        cab.AddQsoLine("K1AB", 14080, "RY", At(19, 0), "599", "CT", "599", "MA");
        {
            FileFaults faults(fault);
            EXPECT_EQ(cab.WriteLog(0, "Tolv").message, "File not produced: W1AW.cbr");
        }
        EXPECT_EQ(ReadFileBytes("W1AW.cbr"), before);
        size_t files = 0;
        for (const auto& entry : fs::directory_iterator(".")) files += entry.is_regular_file();
        EXPECT_EQ(files, 1u) << "a temporary file was left behind";
        EXPECT_TRUE(cab.WriteLog(0, "Tolv").produced) << "the next write, without the fault";
    }
}

// Without a screen the header dialog answers what the caller installed: OK unchanged by default, OK with
// edits by label, or cancel.
class ScreenlessPrompts : public Prompts {
public:
    ScreenlessPrompts() {
        SetPromptsForTesting(this);
        SetHeaderDialogForTesting(&headless_);
    }
    ~ScreenlessPrompts() override {
        SetPromptsForTesting(nullptr);
        SetHeaderDialogForTesting(nullptr);
        SetHeadlessHeaderAnswer(HeadlessHeaderAnswer());
    }
    void ShowMessage(const std::string&, const char*, MessageIcon) override {}

private:
    HeaderDialog headless_;
};

TEST(Cabrillo, HeadlessDialogAppliesTheInstalledAnswer) {
    TempWorkDir dir;
    ScreenlessPrompts prompts;
    CabrilloExport cab(contest::ArrlRttyRoundup());
    ASSERT_EQ(cab.EditHeader("W1AW", At(0, 0), At(0, 0)), 1);
    EXPECT_EQ(cab.Fields().name, "");
    EXPECT_EQ(cab.Fields().operators, "W1AW");

    HeadlessHeaderAnswer answer;
    answer.edits = {{"CALLSIGN", "W1AW/P"}, {"NAME", "Jo"}, {"SOAPBOX", "A\r\nB"}, {"E-MAIL", "a@b"},
                    {"EMAIL", "c@d"}, {"NO-SUCH-LABEL", "x"}};
    SetHeadlessHeaderAnswer(answer);
    ASSERT_EQ(cab.EditHeader("W1AW", At(0, 0), At(0, 0)), 1);
    EXPECT_EQ(cab.Fields().callsign, "W1AW/P");
    EXPECT_EQ(cab.Fields().name, "Jo");
    EXPECT_EQ(cab.Fields().email, "c@d");
    EXPECT_EQ(cab.Fields().soapbox, "A\r\nSOAPBOX: B");
    EXPECT_EQ(Settings::GetString("SoapBox", Settings::kHeaderBuffer), "A<CR><LF>B");

    answer.confirm = false;
    SetHeadlessHeaderAnswer(answer);
    EXPECT_EQ(cab.EditHeader("W1AW", At(0, 0), At(0, 0)), 0);
}

TEST(Cabrillo, EveryDialogLabelNamesItsOwnField) {
    const char* const labels[] = {"CONTEST", "CALLSIGN", "CLAIMED", "CATEGORY-OPERATOR", "LOCATION",
                                  "CATEGORY-BAND", "CATEGORY-ASSISTED", "CATEGORY-MODE", "CATEGORY-OVERLAY",
                                  "CATEGORY-POWER", "CATEGORY-STATION", "CATEGORY-TRANSMITTER", "NAME", "ADDRESS",
                                  "ADDRESS-CITY", "ADDRESS-STATE-PROVINCE", "ADDRESS-POSTALCODE",
                                  "ADDRESS-COUNTRY", "OPERATORS", "CLUB", "SOAPBOX", "E-MAIL"};
    CabrilloHeaderFields f;
    for (const char* label : labels) {
        std::string* field = HeaderFieldByLabel(f, label);
        ASSERT_NE(field, nullptr) << label;
        EXPECT_TRUE(field->empty()) << label << " shares its field";
        *field = label;
    }
    EXPECT_EQ(HeaderFieldByLabel(f, "callsign"), nullptr);
    EXPECT_EQ(HeaderFieldByLabel(f, ""), nullptr);
}

}  // namespace
