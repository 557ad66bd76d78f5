// The control window under wine: what the mode buttons send and show, the titles, and the window thread's
// start and stop as the host's thread drives them.
#include <gtest/gtest.h>

#include "platform/settings.h"
#include "resources/resource.h"
#include "window_fixture.h"

namespace {

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr int kModeButtons[] = {IDC_SETUP_RTTY, IDC_SETUP_BPSK31, IDC_SETUP_BPSK63, IDC_SETUP_AMTOR,
                                IDC_SETUP_PACKET};

using Macros = std::vector<std::string>;

// The macros without "<SP1>": whether a refresh sends it depends on the frequency at which it was last
// sent, which outlives a control window.
Macros WithoutSp1(const Macros& sent) {
    Macros out;
    for (const std::string& m : sent)
        if (m != "<SP1>") out.push_back(m);
    return out;
}

class ModeButtonsTest : public ControlWindowTest {
protected:
    // Every mode button grey except `selected` (0: none), which is green.
    void ExpectSelected(int selected) {
        for (int id : kModeButtons) EXPECT_EQ(FaceOf(id), id == selected ? kGreen : kGrey) << "button " << id;
    }
};

TEST_F(ModeButtonsTest, FirstStartSendsRttyAndShowsItGreen) {
    StartHost();
    HWND w = StartControlWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(WithoutSp1(macros), (Macros{"<MODE:RTTY>", "<BAUDRATE:45.45>"}));
    ExpectSelected(IDC_SETUP_RTTY);
    EXPECT_EQ(wintest::TitleOf(w), L"Setup ARRL-RTTY-Roundup 2024");
    EXPECT_TRUE(wintest::SaveWindowPng(w, wintest::ArtifactPath("control-window-english.png")));
}

// A mode the plug-in's contest does not count is not offered: the CQ WW RTTY counts RTTY alone.
TEST_F(ModeButtonsTest, OnlyTheContestsModesAreOffered) {
    for (CTestApp* plugin : {&CTestApp::Instance(), &CqWw()}) {
        UsePlugin(*plugin);
        ASSERT_NE(StartControlWindow(), nullptr);
        const bool roundup = plugin == &CTestApp::Instance();
        for (int id : kModeButtons) {
            EXPECT_EQ(IsWindowEnabled(Control(id)) != FALSE, roundup || id == IDC_SETUP_RTTY)
                << plugin->Contest().name << " button " << id;
        }
        StopWindows();
    }
}

// A prefix contest has no State/Province window: its box is greyed and a stored "open" opens nothing.
TEST_F(ModeButtonsTest, AContestWithoutLocationsOffersNoStateProvinceWindow) {
    StartHost();
    for (CTestApp* plugin : {&CTestApp::Instance(), &Wpx()}) {
        UsePlugin(*plugin);
        WriteSettings("setup_view_state=1\r\nsetup_view_dxcc=1\r\n");
        ASSERT_NE(StartControlWindow(), nullptr);
        const bool locations = plugin == &CTestApp::Instance();
        EXPECT_EQ(IsWindowEnabled(Control(IDC_SETUP_VIEW_STATE)) != FALSE, locations) << plugin->Contest().name;
        // The DXCC window opens in both, the State/Province window in the Roundup's alone.
        EXPECT_TRUE(wintest::PumpUntil([] { return wintest::StatusWindowOf(wintest::StatusKind::Dxcc) != nullptr; }));
        wintest::PumpFor(200);
        EXPECT_EQ(wintest::StatusWindowOf(wintest::StatusKind::State) != nullptr, locations) << plugin->Contest().name;
        StopWindows();
    }
}

// A mode the contest does not count is neither sent nor lit: the CQ WW RTTY's window, started with the Roundup's
// settings, puts the host in RTTY as at a first start.
TEST_F(ModeButtonsTest, StoredModeDecidesWhatTheStartSends) {
    const Macros rtty = {"<MODE:RTTY>", "<BAUDRATE:45.45>"};
    struct Case {
        const char* stored;
        Macros sent;
        int selected;
        Macros sentInCqWw;
        int selectedInCqWw;
    };
    const Case cases[] = {
        {"RTTY", rtty, IDC_SETUP_RTTY, rtty, IDC_SETUP_RTTY},
        {"", rtty, IDC_SETUP_RTTY, rtty, IDC_SETUP_RTTY},
        {"BPSK63", {"<MODE:BPSK31>", "<BAUDRATE:63>"}, IDC_SETUP_BPSK63, rtty, IDC_SETUP_RTTY},
        {"BPSK31", {"<MODE:BPSK31>"}, IDC_SETUP_BPSK31, rtty, IDC_SETUP_RTTY},
        {"AMTOR", {"<MODE:AMTOR>"}, IDC_SETUP_AMTOR, rtty, IDC_SETUP_RTTY},
        // Restoring PACKET never asks for the packet settings, even when they were never asked for.
        {"PACKET", {"<MODE:PACKET>"}, IDC_SETUP_PACKET, rtty, IDC_SETUP_RTTY},
        // Compared exactly: another spelling restores nothing and leaves every button grey.
        {"rtty", {}, 0, {}, 0},
        {"Packet", {}, 0, {}, 0},
        {"PSK31", {}, 0, {}, 0},
    };
    StartHost();
    for (CTestApp* plugin : {&CTestApp::Instance(), &CqWw()}) {
        UsePlugin(*plugin);
        const bool cqww = plugin == &CqWw();
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(SettingsFile()) + " " + c.stored);
            WriteSettings(std::string("Mode=") + c.stored + "\r\n");
            macros.clear();
            ASSERT_NE(StartControlWindow(), nullptr);
            EXPECT_EQ(WithoutSp1(macros), cqww ? c.sentInCqWw : c.sent);
            ExpectSelected(cqww ? c.selectedInCqWw : c.selected);
            EXPECT_EQ(Setting("Mode_Packet"), "<missing>");
            EXPECT_EQ(Setting("Mode"), c.stored);  // the stored mode stays for the operator's next click
        }
    }
}

TEST_F(ModeButtonsTest, EachButtonSendsItsMacrosRecoloursAndStoresTheMode) {
    struct Case {
        int button;
        Macros sent;
        const char* stored;
    };
    // The RTTY button sends its baud rate with a comma, the restore at start with a point.
    const Case cases[] = {
        {IDC_SETUP_BPSK31, {"<MODE:BPSK31>"}, "BPSK31"},
        {IDC_SETUP_RTTY, {"<MODE:RTTY>", "<BAUDRATE:45,45>"}, "RTTY"},
        {IDC_SETUP_BPSK63, {"<MODE:BPSK31>", "<BAUDRATE:63>"}, "BPSK63"},
        {IDC_SETUP_AMTOR, {"<MODE:AMTOR>"}, "AMTOR"},
        {IDC_SETUP_PACKET, {"<MODE:PACKET>", "<MODESETTINGS>"}, "PACKET"},
        {IDC_SETUP_RTTY, {"<MODE:RTTY>", "<BAUDRATE:45,45>"}, "RTTY"},
    };
    StartHost();
    ASSERT_NE(StartControlWindow(), nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        macros.clear();
        app->RefreshPending().store(0);
        wintest::Click(Control(c.button));
        EXPECT_EQ(WithoutSp1(macros), c.sent);
        ExpectSelected(c.button);
        EXPECT_EQ(Setting("Mode"), c.stored);
        EXPECT_EQ(app->RefreshPending().load(), 1);
    }
}

TEST_F(ModeButtonsTest, PacketAsksForItsSettingsOncePerSettingsFile) {
    StartHost();
    ASSERT_NE(StartControlWindow(), nullptr);
    macros.clear();
    wintest::Click(Control(IDC_SETUP_PACKET));
    wintest::Click(Control(IDC_SETUP_PACKET));
    EXPECT_EQ(WithoutSp1(macros), (Macros{"<MODE:PACKET>", "<MODESETTINGS>", "<MODE:PACKET>"}));
    EXPECT_EQ(Setting("Mode_Packet"), "YES!");

    // A new control window reads the same file: PACKET is restored, the settings are not asked for again.
    macros.clear();
    ASSERT_NE(StartControlWindow(), nullptr);
    wintest::Click(Control(IDC_SETUP_PACKET));
    EXPECT_EQ(WithoutSp1(macros), (Macros{"<MODE:PACKET>", "<MODE:PACKET>"}));

    // A fresh settings file asks again.
    WriteSettings("");
    macros.clear();
    wintest::Click(Control(IDC_SETUP_PACKET));
    EXPECT_EQ(WithoutSp1(macros), (Macros{"<MODE:PACKET>", "<MODESETTINGS>"}));
}

TEST_F(ModeButtonsTest, AfterAnUnknownStoredModeTheFirstClickSelectsAsUsual) {
    StartHost();
    WriteSettings("Mode=rtty\r\n");
    ASSERT_NE(StartControlWindow(), nullptr);
    EXPECT_TRUE(WithoutSp1(macros).empty());
    ExpectSelected(0);
    wintest::Click(Control(IDC_SETUP_BPSK63));
    EXPECT_EQ(WithoutSp1(macros), (Macros{"<MODE:BPSK31>", "<BAUDRATE:63>"}));
    ExpectSelected(IDC_SETUP_BPSK63);
    EXPECT_EQ(Setting("Mode"), "BPSK63");
}

TEST_F(ModeButtonsTest, WithoutAHostTheWindowOpensButtonsWorkAndNothingIsSent) {
    // The object exists but is not registered: nothing can reach it.
    WriteSettings("setup_view_dxcc=1\r\nsetup_view_state=1\r\n");
    HWND w = StartControlWindow();
    ASSERT_NE(w, nullptr);
    ExpectSelected(IDC_SETUP_RTTY);
    app->RefreshPending().store(0);
    wintest::Click(Control(IDC_SETUP_AMTOR));
    ExpectSelected(IDC_SETUP_AMTOR);
    EXPECT_EQ(Setting("Mode"), "AMTOR");
    // The refresh the click posted runs and only re-arms the call check's request.
    EXPECT_TRUE(wintest::PumpUntil([&] { return app->RefreshPending().load() == 1; }));
    wintest::PumpFor(200);
    // The remembered views are ticked, but without the host no window opens by itself...
    EXPECT_EQ(IsDlgButtonChecked(w, IDC_SETUP_VIEW_DXCC), BST_CHECKED);
    EXPECT_EQ(wintest::StatusWindowOf(wintest::StatusKind::Dxcc), nullptr);
    EXPECT_EQ(wintest::StatusWindowOf(wintest::StatusKind::State), nullptr);
    // ...while the check boxes still open them.
    wintest::Click(Control(IDC_SETUP_VIEW_STATE));
    HWND state = wintest::StatusWindowOf(wintest::StatusKind::State);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(wintest::TitleOf(state), L"State/Prov");  // no refresh renames it
    EXPECT_TRUE(macros.empty());
    EXPECT_EQ(host.frequencyReads + host.callReads, 0);
}

TEST_F(ModeButtonsTest, RefreshSendsSp1WhenTheFrequencyHasMovedMoreThan300Hz) {
    // A frequency no earlier test used, so the first refresh sends "<SP1>" whatever came before.
    host.frequencyHz = 3579545.0;
    StartHost();
    ASSERT_NE(StartControlWindow(), nullptr);
    EXPECT_EQ(macros, (Macros{"<MODE:RTTY>", "<BAUDRATE:45.45>", "<SP1>"}));
    host.frequencyHz = 7040000.0;
    wintest::Click(Control(IDC_SETUP_AMTOR));
    ASSERT_TRUE(wintest::PumpUntil([&] { return macros.back() == "<SP1>"; }));
    struct Step {
        double hz;
        bool sp1;
    };
    const Step steps[] = {{7040300.0, false}, {7040301.0, true}, {7040001.0, false}, {7040000.0, true}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.hz);
        host.frequencyHz = s.hz;
        macros.clear();
        int reads = host.frequencyReads;
        wintest::Click(Control(IDC_SETUP_AMTOR));
        ASSERT_TRUE(wintest::PumpUntil([&] { return host.frequencyReads > reads; }));
        wintest::PumpFor(50);
        EXPECT_EQ(macros, (s.sp1 ? Macros{"<MODE:AMTOR>", "<SP1>"} : Macros{"<MODE:AMTOR>"}));
    }
}

// --- titles and texts ---------------------------------------------------------------------------------------

TEST_F(ControlWindowTest, RussianTitleAndTexts) {
    SetEngineTexts(true, "2023");
    StartHost();
    HWND w = StartControlWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(wintest::TitleOf(w), L"Настройки ARRL-RTTY-Roundup 2023");
    EXPECT_EQ(wintest::TitleOf(Control(IDC_SETUP_VIEW_LABEL)), L"Отображать");
    EXPECT_EQ(wintest::TitleOf(Control(IDC_SETUP_MODE_LABEL)), L"Вид работы");
    EXPECT_EQ(wintest::TitleOf(Control(IDC_SETUP_VIEW_TIMER)), L"Переходы");
    EXPECT_EQ(wintest::TitleOf(Control(IDC_SETUP_VIEW_DXCC)), L"DXCC");
    struct Placed {
        int id;
        RECT expected;
    };
    for (const Placed& p : {Placed{IDC_SETUP_VIEW_LABEL, {155, 5, 345, 20}}, Placed{IDC_SETUP_MODE_LABEL, {33, 5, 133, 20}}}) {
        RECT r;
        GetWindowRect(Control(p.id), &r);
        MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, p.expected.left) << p.id;
        EXPECT_EQ(r.top, p.expected.top) << p.id;
        EXPECT_EQ(r.right, p.expected.right) << p.id;
        EXPECT_EQ(r.bottom, p.expected.bottom) << p.id;
    }
    EXPECT_TRUE(wintest::SaveWindowPng(w, wintest::ArtifactPath("control-window-russian.png")));
}

TEST_F(ControlWindowTest, EnglishTextsComeFromTheTemplate) {
    SetEngineTexts(false, "2025");
    HWND w = StartControlWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(wintest::TitleOf(w), L"Setup ARRL-RTTY-Roundup 2025");
    const std::pair<int, const wchar_t*> texts[] = {
        {IDC_SETUP_MODE_LABEL, L"Mode"},        {IDC_SETUP_RTTY, L"RTTY"},   {IDC_SETUP_BPSK31, L"BPSK31"},
        {IDC_SETUP_AMTOR, L"AMTOR"},            {IDC_SETUP_BPSK63, L"BPSK63"}, {IDC_SETUP_PACKET, L"PACKET"},
        {IDC_SETUP_VIEW_LABEL, L"View"},        {IDC_SETUP_VIEW_DXCC, L"DXCC"},
        {IDC_SETUP_VIEW_STATE, L"State/Province"}, {IDC_SETUP_VIEW_DXCC_EXTENDED, L"DXCC Extended"},
        {IDC_SETUP_VIEW_TIMER, L"Timer"},
    };
    for (const auto& t : texts) EXPECT_EQ(wintest::TitleOf(Control(t.first)), t.second) << t.first;
}

TEST_F(ControlWindowTest, CloseItemIsDisabledNotGreyedAndTheBackgroundIsPale) {
    HWND w = StartControlWindow();
    ASSERT_NE(w, nullptr);
    UINT state = GetMenuState(GetSystemMenu(w, FALSE), SC_CLOSE, MF_BYCOMMAND);
    ASSERT_NE(state, static_cast<UINT>(-1));
    EXPECT_TRUE(state & MF_DISABLED);
    EXPECT_FALSE(state & MF_GRAYED);
    // Between the mode buttons and the check boxes there is only the dialog's background.
    RECT amtor, box;
    GetWindowRect(Control(IDC_SETUP_AMTOR), &amtor);
    GetWindowRect(Control(IDC_SETUP_VIEW_DXCC_EXTENDED), &box);
    POINT p = {(amtor.right + box.left) / 2, amtor.bottom};
    ScreenToClient(w, &p);
    EXPECT_EQ(wintest::ClientPixel(w, p.x, p.y), RGB(255, 250, 198));
    EXPECT_NE(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_NE(SendMessageW(w, WM_GETICON, ICON_BIG, 0), 0);
}

// --- the window thread ----------------------------------------------------------------------------------------

TEST_F(ControlWindowTest, StartingAgainReplacesTheControlWindowAndItsStatusWindows) {
    StartHost();
    HWND first = StartControlWindow();
    ASSERT_NE(first, nullptr);
    wintest::Click(Control(IDC_SETUP_VIEW_DXCC));
    ASSERT_NE(wintest::StatusWindowOf(wintest::StatusKind::Dxcc), nullptr);
    HWND second = StartControlWindow();
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(IsWindow(first));
    int controls = 0;
    for (HWND hwnd : wintest::ProcessWindows())
        if (wintest::TitleOf(hwnd).rfind(kEnglishTitle, 0) == 0) ++controls;
    EXPECT_EQ(controls, 1);
    EXPECT_TRUE(app->windows->ControlWindowExists());
    // The DXCC view is remembered, so the new window's refresh opened it again: one of them, not two.
    wintest::PumpFor(200);
    EXPECT_EQ(wintest::StatusWindowsOf(wintest::StatusKind::Dxcc).size(), 1u);
}

TEST_F(ControlWindowTest, StopClosesEveryWindow) {
    StartHost();
    ASSERT_NE(StartControlWindow(), nullptr);
    for (int id : {IDC_SETUP_VIEW_DXCC, IDC_SETUP_VIEW_STATE, IDC_SETUP_VIEW_DXCC_EXTENDED, IDC_SETUP_VIEW_TIMER})
        wintest::Click(Control(id));
    const std::vector<HWND> windows = wintest::ProcessWindows();
    EXPECT_EQ(windows.size(), 5u);
    StopWindows();
    EXPECT_TRUE(wintest::ProcessWindows().empty());
    EXPECT_TRUE(wintest::PumpUntil([&] {
        for (HWND hwnd : windows)
            if (IsWindow(hwnd)) return false;
        return true;
    }));
    EXPECT_FALSE(app->windows->ControlWindowExists());
    // The views stay remembered for the next start: the stop writes nothing.
    EXPECT_EQ(Setting("Timer"), "1");
    EXPECT_EQ(Setting("setup_view_dxcc"), "1");
}

TEST_F(ControlWindowTest, StopWithoutAnyWindowDoesNothing) {
    StopWindows();
    EXPECT_FALSE(app->windows->ControlWindowExists());
    EXPECT_FALSE(FileExists(SettingsFile()));
}

TEST_F(ControlWindowTest, RefreshRequestsReachTheWindowThread) {
    app->windows->PostRefresh();  // before any window: dropped
    ASSERT_NE(StartControlWindow(), nullptr);
    app->RefreshPending().store(0);
    app->windows->PostRefresh();
    EXPECT_TRUE(wintest::PumpUntil([&] { return app->RefreshPending().load() == 1; }));
}

}  // namespace
