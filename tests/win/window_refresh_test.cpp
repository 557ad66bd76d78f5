// The refresh message applied to the open status windows: titles, the State/Province cells and the DXCC
// panel follow the engine's lists and what the host reports.
#include <gtest/gtest.h>

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
        HWND item = GetDlgItem(stateWindow, StateCellAt(cell).controlId);
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
    const size_t pei = static_cast<size_t>(StateCellIndexOf("PEI"));
    const size_t ny = static_cast<size_t>(StateCellIndexOf("NY"));
    for (size_t cell : {ct, pei}) {
        EXPECT_GT(CellPixels(state, cell, kMagenta), 20) << cell;
        EXPECT_EQ(CellPixels(state, cell, kGreen), 0) << cell;
    }
    EXPECT_GT(CellPixels(state, ny, kGreen), 20);
    EXPECT_EQ(CellPixels(state, ny, kMagenta), 0);
    EXPECT_TRUE(wintest::SaveWindowPng(state, wintest::ArtifactPath("state-window.png")));

    // A removed W/VE QSO starts the cells afresh; the refresh marks again what is still worked.
    app.LockEngine()->stateCellsResetRequested = true;
    SetWorked({}, {"PE"});
    Refresh();
    EXPECT_GT(CellPixels(state, ct, kGreen), 20);
    EXPECT_GT(CellPixels(state, pei, kMagenta), 20);
    EXPECT_EQ(wintest::TitleOf(state), L"ARRL-RTTY 2024 State/Province working 1");
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
    EXPECT_EQ(wintest::TitleOf(dxcc), L"ARRL-RTTY 2024 DXCC worked 3 of 338");
    EXPECT_EQ(wintest::TitleOf(extended), L"ARRL-RTTY 2024 DXCC worked 3 of 338");

    host.currentCall = L"W1AW";
    Refresh();
    EXPECT_EQ(wintest::TitleOf(dxcc), L" ARRL-RTTY worked with W1AW");
    EXPECT_EQ(wintest::TitleOf(extended), L"ARRL-RTTY 2024 DXCC worked 3 of 338");
    EXPECT_TRUE(wintest::SaveWindowPng(dxcc, wintest::ArtifactPath("dxcc-window-call.png")));

    host.currentCall.clear();
    host.frequencyHz = 29600000.0;
    Refresh();
    EXPECT_EQ(wintest::TitleOf(dxcc), L"ARRL-RTTY 2024 DXCC worked 0 of 338");
    EXPECT_EQ(wintest::TitleOf(extended), L"ARRL-RTTY 2024 DXCC worked 0 of 338");
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
    EXPECT_EQ(wintest::TitleOf(extended), L"ARRL-RTTY 2024 DXCC отработано 1 of 338");
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

// For 200 ms the engine changes and asks for a refresh every millisecond or so, and the host serves its
// messages in between, so each refresh gets its answers at once: the windows refresh now and then (at most
// once per 10 ms pause), not after every change, and end on the last state.
TEST_F(RefreshTest, ABurstOfChangesCostsAFewRefreshesAndEndsOnTheLastState) {
    host.frequencyHz = 14080000.0;
    StartHost();
    ASSERT_NE(StartControlWindow(), nullptr);
    HWND extended = Open(IDC_SETUP_VIEW_DXCC_EXTENDED, wintest::StatusKind::DxccExtended);
    ASSERT_NE(extended, nullptr);
    Refresh();
    auto handled = [this] {
        return reinterpret_cast<UINT_PTR>(GetPropA(ControlWindow(), ui::Setup_ARRL_RTTY::kRefreshCountProperty));
    };
    const UINT_PTR before = handled();
    std::vector<std::string> worked;
    const DWORD start = GetTickCount();
    DWORD elapsed = 0;
    while ((elapsed = GetTickCount() - start) < 200) {
        worked.push_back("P" + std::to_string(worked.size() + 1));
        SetWorked(worked, {});
        app.windows->PostRefresh();
        wintest::PumpFor(1);
    }
    Refresh();  // and wait until no refresh is left
    EXPECT_LE(handled() - before, 3u + elapsed / 10) << worked.size() << " changes in " << elapsed << " ms";
    EXPECT_EQ(wintest::TitleOf(extended),
              L"ARRL-RTTY 2024 DXCC worked " + std::to_wstring(worked.size()) + L" of 338");
}

}  // namespace
