// The refresh message applied to the open status windows: titles, the State/Province cells and the DXCC
// panel follow the engine's lists and what the host reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "ui/state_cells.h"
#include "ui/win32/setup_arrl_rtty.h"
#include "window_fixture.h"

namespace {

class RefreshTest : public ControlWindowTest {
protected:
    void SetWorked(const std::vector<std::string>& dxcc, const std::vector<std::string>& states) {
        ShowWorked(dxcc, states);
    }
    void Refresh() { RefreshAndWait(); }
    HWND Open(int box, wintest::StatusKind kind) {
        wintest::Click(Control(box));
        return wintest::StatusWindowOf(kind);
    }
    // How many pixels of a State/Province cell have the colour.
    static int CellPixels(HWND stateWindow, size_t cell, COLORREF color) {
        return ItemPixels(stateWindow, StateCellAt(cell).controlId, color);
    }
    static int ItemPixels(HWND window, int id, COLORREF color) {
        HWND item = GetDlgItem(window, id);
        RECT r;
        GetClientRect(item, &r);
        HDC dc = GetDC(item);
        int n = 0;
        for (int y = 0; y < r.bottom; ++y)
            for (int x = 0; x < r.right; ++x) n += GetPixel(dc, x, y) == color;
        ReleaseDC(item, dc);
        return n;
    }
};

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kPaleMagenta = RGB(255, 170, 255);

TEST_F(RefreshTest, StateCellsTurnMagentaForWorkedStatesAndTheTitleCountsThem) {
    host.frequencyHz = 29600000.0;  // off the bands: the State/Province count does not care
    StartHost();
    ASSERT_NE(StartControlWindow(), nullptr);
    HWND state = Open(IDC_SETUP_VIEW_STATE, wintest::StatusKind::State);
    ASSERT_NE(state, nullptr);
    SetWorked({"DL"}, {"CT", "PE", "AK"});
    Refresh();
    EXPECT_EQ(wintest::TitleOf(state), L"ARRL-RTTY 2024 State/Province working 3");
    const size_t ct = static_cast<size_t>(StateCellIndexOf("CT"));
    const size_t pei = static_cast<size_t>(StateCellIndexOf("PE"));
    const size_t ny = static_cast<size_t>(StateCellIndexOf("NY"));
    for (size_t cell : {ct, pei}) {
        EXPECT_GT(CellPixels(state, cell, kMagenta), 20) << cell;
        EXPECT_EQ(CellPixels(state, cell, kGreen), 0) << cell;
    }
    EXPECT_GT(CellPixels(state, ny, kGreen), 20);
    EXPECT_EQ(CellPixels(state, ny, kMagenta), 0);
    EXPECT_TRUE(wintest::SaveWindowPng(state, wintest::ArtifactPath("state-window.png")));

    // A removed W/VE QSO starts the cells afresh; the refresh marks again what is still worked.
    app->LockEngine()->stateCellsResetRequested = true;
    SetWorked({}, {"PE"});
    Refresh();
    EXPECT_GT(CellPixels(state, ct, kGreen), 20);
    EXPECT_GT(CellPixels(state, pei, kMagenta), 20);
    EXPECT_EQ(wintest::TitleOf(state), L"ARRL-RTTY 2024 State/Province working 1");
}

// Each contest's grid: a cell for every code its record counts, labelled with that code and closed up over the
// others (Labrador is Newfoundland in the Roundup, an area of its own in the CQ WW); the older spellings light the
// cell of the code they count under.
TEST_F(RefreshTest, EachContestsGridShowsTheCodesItCounts) {
    host.frequencyHz = 14080000.0;
    StartHost();
    const std::vector<std::string> worked = {"LB", "NF", "PEI", "NWT", "CT"};
    for (CTestApp* plugin : {&CTestApp::Instance(), &CqWw()}) {
        UsePlugin(*plugin);
        const bool cqww = plugin == &CqWw();
        SCOPED_TRACE(SettingsFile());
        WriteSettings("");
        ShowWorked({}, worked, "20m");
        ASSERT_NE(StartControlWindow(), nullptr);
        HWND state = Open(IDC_SETUP_VIEW_STATE, wintest::StatusKind::State);
        ASSERT_NE(state, nullptr);
        Refresh();
        RECT client;
        GetClientRect(state, &client);
        std::vector<std::string> labels, lit;
        std::vector<RECT> placed;
        for (HWND c = GetWindow(state, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            const int id = GetDlgCtrlID(c);
            if (id == -1 || id == 0xFFFF) continue;  // the two headings
            const std::string label = wintest::Narrow(wintest::TitleOf(c));
            labels.push_back(label);
            if (ItemPixels(state, id, kMagenta) > 20) lit.push_back(label);
            RECT r;
            GetWindowRect(c, &r);
            MapWindowPoints(nullptr, state, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom) << label;
            for (const RECT& other : placed) {
                RECT both;
                EXPECT_FALSE(IntersectRect(&both, &r, &other)) << label << " overlaps another cell";
            }
            placed.push_back(r);
        }
        EXPECT_EQ(labels.size(), cqww ? 63u : 62u);
        for (const char* code : {"NL", "NT", "PE", "DC", "WY", "YT"})
            EXPECT_NE(std::find(labels.begin(), labels.end(), code), labels.end()) << code;
        for (const char* code : {"NF", "NWT", "PEI"})
            EXPECT_EQ(std::find(labels.begin(), labels.end(), code), labels.end()) << code;
        EXPECT_EQ(std::find(labels.begin(), labels.end(), "LB") != labels.end(), cqww);
        std::sort(lit.begin(), lit.end());
        EXPECT_EQ(lit, cqww ? (std::vector<std::string>{"CT", "LB", "NL", "NT", "PE"})
                            : (std::vector<std::string>{"CT", "NL", "NT", "PE"}));
        EXPECT_TRUE(wintest::SaveWindowPng(state, wintest::ArtifactPath(cqww ? "state-window-cqww.png"
                                                                             : "state-window-roundup.png")));
        StopWindows();
    }
}

// The CQ WW's zone window over QSOs on two bands: the zones worked on the band the host is on magenta, those
// worked on another band only pale magenta, the rest green; the title counts both, and the other band turns the
// marks round.
TEST_F(RefreshTest, ZoneCellsShowTheZonesOfTheCurrentBandAndOfOtherBands) {
    UsePlugin(CqWw());
    host.frequencyHz = 14080000.0;
    StartHost();
    ASSERT_NE(StartControlWindow(), nullptr);
    ClearLog();
    HWND zones = Open(IDC_SETUP_VIEW_ZONES, wintest::StatusKind::Zones);
    ASSERT_NE(zones, nullptr);
    const struct {
        const char *call, *prefix, *band, *exchange;
        int hz;
    } qsos[] = {{"DL1AA", "DL", "20m", "14", 14080000},
                {"K1AR", "K", "20m", "05 MA", 14081000},
                {"DL2BB", "DL", "40m", "14", 7040000},
                {"JA1CC", "JA", "40m", "25", 7041000}};
    for (const auto& q : qsos) {
        QsoArgs a;
        a.ownCall = "DL0ZZ";
        a.call = q.call;
        a.time = COleDateTime::FromFields(2024, 9, 28, 12, 0);
        a.frequencyHz = q.hz;
        a.mode = "RTTY";
        a.rstSent = a.rstRcvd = "599";
        a.exchSent = "14";
        a.exchRcvd = q.exchange;
        a.prefix = q.prefix;
        a.band = q.band;
        ASSERT_EQ(app->AddData(std::move(a)), 1) << q.call;
    }
    app->GetResult(nullptr);
    const struct {
        double hz;
        bool russian;
        const wchar_t* title;
        std::vector<std::pair<int, COLORREF>> cells;  // zone, colour
    } cases[] = {
        {14080000, false, L"CQ-WW-RTTY 2024 zones 2 on 20m, 3 in all",
         {{5, kMagenta}, {14, kMagenta}, {25, kPaleMagenta}, {1, kGreen}, {40, kGreen}}},
        {7040000, false, L"CQ-WW-RTTY 2024 zones 2 on 40m, 3 in all",
         {{5, kPaleMagenta}, {14, kMagenta}, {25, kMagenta}, {1, kGreen}}},
        {7040000, true, L"CQ-WW-RTTY 2024 зоны 2 на 40m, всего 3", {{5, kPaleMagenta}, {25, kMagenta}}},
        {29600000, false, L"CQ-WW-RTTY 2024 zones 3 in all", {{5, kMagenta}, {25, kMagenta}, {1, kGreen}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(wintest::Narrow(c.title));
        host.frequencyHz = c.hz;
        SetEngineTexts(c.russian, "2024");
        Refresh();
        EXPECT_EQ(wintest::TitleOf(zones), c.title);
        for (const auto& [zone, color] : c.cells) {
            for (COLORREF other : {kMagenta, kPaleMagenta, kGreen}) {
                const int pixels = ItemPixels(zones, IDC_ZONE_FIRST_CELL + zone - 1, other);
                if (other == color) {
                    EXPECT_GT(pixels, 20) << "zone " << zone;
                } else {
                    EXPECT_EQ(pixels, 0) << "zone " << zone;
                }
            }
        }
        if (c.hz == 14080000) {
            EXPECT_TRUE(wintest::SaveWindowPng(zones, wintest::ArtifactPath("zones-window.png")));
        }
    }
}

TEST_F(RefreshTest, DxccTitlesFollowTheCallAndTheBand) {
    host.frequencyHz = 14080000.0;
    StartHost();
    ASSERT_NE(StartControlWindow(), nullptr);
    SetWorked({"DL", "F", "JA"}, {});
    HWND dxcc = Open(IDC_SETUP_VIEW_DXCC, wintest::StatusKind::Dxcc);
    ASSERT_NE(dxcc, nullptr);
    HWND extended = Open(IDC_SETUP_VIEW_DXCC_EXTENDED, wintest::StatusKind::DxccExtended);
    ASSERT_NE(extended, nullptr);
    Refresh();
    EXPECT_EQ(wintest::TitleOf(dxcc), L"ARRL-RTTY 2024 DXCC worked 3 of 340");
    EXPECT_EQ(wintest::TitleOf(extended), L"ARRL-RTTY 2024 DXCC worked 3 of 340");

    host.currentCall = L"W1AW";
    Refresh();
    EXPECT_EQ(wintest::TitleOf(dxcc), L" ARRL-RTTY worked with W1AW");
    EXPECT_EQ(wintest::TitleOf(extended), L"ARRL-RTTY 2024 DXCC worked 3 of 340");
    EXPECT_TRUE(wintest::SaveWindowPng(dxcc, wintest::ArtifactPath("dxcc-window-call.png")));

    host.currentCall.clear();
    host.frequencyHz = 29600000.0;
    Refresh();
    EXPECT_EQ(wintest::TitleOf(dxcc), L"ARRL-RTTY 2024 DXCC worked 0 of 340");
    EXPECT_EQ(wintest::TitleOf(extended), L"ARRL-RTTY 2024 DXCC worked 0 of 340");
}

TEST_F(RefreshTest, RussianTitles) {
    SetEngineTexts(true, "2024");
    host.frequencyHz = 7040000.0;
    host.currentCall = L"UA3ABC";
    StartHost();
    ASSERT_NE(StartControlWindow(), nullptr);
    SetWorked({"UA"}, {"CT"});
    HWND dxcc = Open(IDC_SETUP_VIEW_DXCC, wintest::StatusKind::Dxcc);
    ASSERT_NE(dxcc, nullptr);
    HWND state = Open(IDC_SETUP_VIEW_STATE, wintest::StatusKind::State);
    ASSERT_NE(state, nullptr);
    HWND extended = Open(IDC_SETUP_VIEW_DXCC_EXTENDED, wintest::StatusKind::DxccExtended);
    ASSERT_NE(extended, nullptr);
    Refresh();
    EXPECT_EQ(wintest::TitleOf(dxcc), L" ARRL-RTTY работали с UA3ABC");
    EXPECT_EQ(wintest::TitleOf(state), L"ARRL-RTTY 2024 State/Province отработано 1");
    EXPECT_EQ(wintest::TitleOf(extended), L"ARRL-RTTY 2024 DXCC отработано 1 of 340");
}

TEST_F(RefreshTest, DxccPanelShowsTheWorkedPrefixesOnABand) {
    host.frequencyHz = 21080000.0;
    StartHost();
    ASSERT_NE(StartControlWindow(), nullptr);
    SetWorked({"DL", "F", "G", "I", "JA"}, {});
    HWND dxcc = Open(IDC_SETUP_VIEW_DXCC, wintest::StatusKind::Dxcc);
    ASSERT_NE(dxcc, nullptr);
    Refresh();
    HWND panel = GetDlgItem(dxcc, IDC_MULTIPLIER_PANEL);
    RECT r;
    GetClientRect(panel, &r);
    ASSERT_GT(r.right, 200);
    // The first line holds text; far below it the panel is its pale background.
    HDC dc = GetDC(panel);
    int inked = 0;
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 14; ++y) inked += GetPixel(dc, x, y) != RGB(255, 250, 198);
    EXPECT_EQ(GetPixel(dc, r.right - 5, r.bottom - 5), RGB(255, 250, 198));
    ReleaseDC(panel, dc);
    EXPECT_GT(inked, 10);
    EXPECT_TRUE(wintest::SaveWindowPng(dxcc, wintest::ArtifactPath("dxcc-window-list.png")));
}

// A burst of changes while the window thread is held in a refresh that has read the call and the log: the
// radio moved, so the refresh sends the host "<SP1>" and waits while the host's object (on this thread) runs
// the burst: 50 changes 1 ms apart and one more, as a rebuild logs QSOs or a band map has each spot checked.
// The burst costs exactly one more refresh, and the window shows the last state.
TEST_F(RefreshTest, ABurstDuringARefreshCostsOneMoreRefreshAndEndsOnTheLastState) {
    struct Case {
        const char* name;
        bool callChecks;  // the host checks a new call each time; else the log changes (AddData0's request)
        const wchar_t* lastState;
    };
    const Case cases[] = {{"call checks", true, L" ARRL-RTTY worked with W51AW"},
                          {"log changes", false, L"ARRL-RTTY 2024 DXCC worked 52 of 340"}};
    host.frequencyHz = 14080000.0;
    StartHost();
    ASSERT_NE(StartControlWindow(), nullptr);
    HWND dxcc = Open(IDC_SETUP_VIEW_DXCC, wintest::StatusKind::Dxcc);
    ASSERT_NE(dxcc, nullptr);
    auto handled = [this] {
        return reinterpret_cast<UINT_PTR>(GetPropA(ControlWindow(), ui::Setup_ARRL_RTTY::kRefreshCountProperty));
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.currentCall.clear();
        SetWorked({}, {});
        Refresh();
        std::vector<std::string> worked;
        auto change = [&](int i) {
            if (c.callChecks) {
                host.currentCall = L"W" + std::to_wstring(i) + L"AW";
                CheckArgs check;
                check.call = wintest::Narrow(host.currentCall);
                check.mode = "RTTY";
                check.prefix = "K";
                check.band = "20m";
                check.bandGiven = true;
                app->CheckCall(check);
            } else {
                worked.push_back("P" + std::to_string(i));
                SetWorked(worked, {});
                app->windows->PostRefresh();
            }
        };
        bool held = false;
        host.onMacro = [&](const std::wstring&) {
            if (held) return;
            held = true;
            for (int i = 1; i <= 50; ++i) {
                change(i);
                Sleep(1);
            }
            change(51);
        };
        host.frequencyHz += 1000.0;
        const UINT_PTR before = handled();
        change(0);
        EXPECT_TRUE(wintest::PumpUntil([&] { return handled() - before >= 2; }));
        wintest::PumpFor(300);
        EXPECT_TRUE(held);
        EXPECT_EQ(handled() - before, 2u);
        EXPECT_EQ(wintest::TitleOf(dxcc), c.lastState);
    }
}

}  // namespace
