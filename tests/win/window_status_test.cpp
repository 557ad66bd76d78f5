// The status windows as the operator sees them: the extended DXCC window's continent pages and tabs, the
// DXCC panel in table mode, and the change-of-band window's count, minutes and indicator.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <utility>

#include "dxcc/dxcc_entity_table.h"
#include "platform/clock.h"
#include "resources/resource.h"
#include "window_fixture.h"

namespace {

using wintest::StatusKind;

struct PageSearch {
    std::vector<HWND> pages;
};

BOOL CALLBACK CollectPage(HWND hwnd, LPARAM lParam) {
    wchar_t cls[32] = {0};
    GetClassNameW(hwnd, cls, 32);
    if (std::wstring(cls) == L"#32770") reinterpret_cast<PageSearch*>(lParam)->pages.push_back(hwnd);
    return TRUE;
}

// The continent page of the extended window whose first box carries the first caption of `page`.
HWND PageOf(HWND extended, DxccPage page) {
    PageSearch search;
    EnumChildWindows(extended, &CollectPage, reinterpret_cast<LPARAM>(&search));
    const DxccEntity& first = DxccEntityTable::PageRows(page)[0];
    for (HWND candidate : search.pages) {
        HWND box = GetDlgItem(candidate, first.controlId);
        if (box != nullptr && wintest::TitleOf(box) == std::wstring(first.caption, first.caption + strlen(first.caption)))
            return candidate;
    }
    return nullptr;
}

bool Ticked(HWND page, const char* caption) {
    for (HWND box = GetWindow(page, GW_CHILD); box != nullptr; box = GetWindow(box, GW_HWNDNEXT))
        if (wintest::Narrow(wintest::TitleOf(box)) == caption) return IsDlgButtonChecked(page, GetDlgCtrlID(box)) == BST_CHECKED;
    ADD_FAILURE() << "no box " << caption;
    return false;
}

int TickedCount(HWND extended) {
    int n = 0;
    for (int k = 0; k < kDxccPageCount; ++k) {
        HWND page = PageOf(extended, static_cast<DxccPage>(k));
        for (HWND box = GetWindow(page, GW_CHILD); box != nullptr; box = GetWindow(box, GW_HWNDNEXT))
            n += SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    return n;
}

// The visible page of the extended window, by tab order, or -1.
int VisiblePage(HWND extended) {
    int visible = -1;
    for (int k = 0; k < kDxccPageCount; ++k) {
        if (IsWindowVisible(PageOf(extended, static_cast<DxccPage>(k)))) {
            if (visible != -1) return -2;  // more than one
            visible = k;
        }
    }
    return visible;
}

class SettableClock : public Clock {
public:
    ClockTime utc{true, 14, 45, 0};
    ClockTime UtcTime() override { return utc; }
};

class StatusWindowsTest : public ControlWindowTest {
protected:
    void TearDown() override {
        ControlWindowTest::TearDown();
        SetClockForTesting(nullptr);
    }
    void SetWorked(const std::vector<std::string>& dxcc) { ShowWorked(dxcc); }
    void Refresh() { RefreshAndWait(); }
    HWND Open(int box, StatusKind kind) {
        wintest::Click(Control(box));
        return wintest::StatusWindowOf(kind);
    }
    int AddQso(const std::string& call, const std::string& band, int hour, int minute, const std::string& exch,
               const std::string& prefix) {
        QsoArgs q;
        q.ownCall = "W1EG";
        q.call = call;
        q.time = COleDateTime::FromFields(2024, 1, 6, hour, minute);
        q.frequencyHz = band == "20m" ? 14080000 : 7040000;
        q.mode = "RTTY";
        q.rstSent = q.rstRcvd = "599";
        q.exchSent = "CT";
        q.exchRcvd = exch;
        q.prefix = prefix;
        q.band = band;
        return app->AddData(std::move(q));
    }
};

// Each contest's pages: a box for every country it counts, closed up over those it does not (the WAE-only
// countries in the Roundup), each whole and apart from the others inside the page.
TEST_F(StatusWindowsTest, ContinentPagesHoldOneWholeBoxPerCountryOfTheContestInsideThePage) {
    StartHost();
    for (CTestApp* plugin : {&CTestApp::Instance(), &CqWw()}) {
        UsePlugin(*plugin);
        SCOPED_TRACE(SettingsFile());
        const bool wae = plugin->Contest().waeCountries;
        WriteSettings("");
        ASSERT_NE(StartControlWindow(), nullptr);
        HWND extended = Open(IDC_SETUP_VIEW_DXCC_EXTENDED, StatusKind::DxccExtended);
        ASSERT_NE(extended, nullptr);
        const wchar_t* tabTexts[] = {L"   EU ", L"   AF ", L"   AS ", L"   NA ", L"   SA ", L"   OC "};
        HWND tabs = GetDlgItem(extended, IDC_MULTIPLIER_TABS);
        ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), kDxccPageCount);
        size_t boxes = 0;
        for (int k = 0; k < kDxccPageCount; ++k) {
            SCOPED_TRACE(k);
            wchar_t text[32] = {0};
            TCITEMW item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = 32;
            SendMessageW(tabs, TCM_GETITEMW, k, reinterpret_cast<LPARAM>(&item));
            EXPECT_EQ(std::wstring(text), tabTexts[k]);

            const DxccPage page = static_cast<DxccPage>(k);
            HWND pageWindow = PageOf(extended, page);
            ASSERT_NE(pageWindow, nullptr);
            RECT pageRect;
            GetClientRect(pageWindow, &pageRect);
            // Captions measured as the boxes draw them: in the page's font, after the check mark and the gap the
            // button control leaves before the text (half the width of a "0").
            HDC dc = GetDC(pageWindow);
            HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(pageWindow, WM_GETFONT, 0, 0)));
            INT zero = 0;
            GetCharWidth32W(dc, L'0', L'0', &zero);
            const int beforeText = 12 * GetDeviceCaps(dc, LOGPIXELSX) / 96 + 1 + zero / 2 + 1;
            std::vector<RECT> placed;
            for (const DxccEntity& row : DxccEntityTable::PageRows(page)) {
                HWND box = GetDlgItem(pageWindow, row.controlId);
                if (!DxccEntityTable::Shown(row, wae)) {
                    EXPECT_EQ(box, nullptr) << row.caption;
                    continue;
                }
                ASSERT_NE(box, nullptr) << row.caption;
                const std::wstring caption = wintest::TitleOf(box);
                EXPECT_EQ(wintest::Narrow(caption), row.caption);
                RECT r;
                GetWindowRect(box, &r);
                MapWindowPoints(nullptr, pageWindow, reinterpret_cast<POINT*>(&r), 2);
                EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= pageRect.right && r.bottom <= pageRect.bottom)
                    << row.caption << " at " << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
                SIZE extent = {0, 0};
                GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
                RECT client;
                GetClientRect(box, &client);
                EXPECT_LE(beforeText + extent.cx, client.right) << row.caption << " is cut";
                for (const RECT& other : placed) {
                    RECT both;
                    EXPECT_FALSE(IntersectRect(&both, &r, &other)) << row.caption << " overlaps another box";
                }
                placed.push_back(r);
            }
            SelectObject(dc, oldFont);
            ReleaseDC(pageWindow, dc);
            int children = 0;
            for (HWND c = GetWindow(pageWindow, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) ++children;
            EXPECT_EQ(children, static_cast<int>(placed.size()));
            boxes += placed.size();
            if (k == 0) {
                const char* name = wae ? "dxcc-extended-cqww-eu.png" : "dxcc-extended-eu-boxes.png";
                EXPECT_TRUE(wintest::SaveWindowPng(extended, wintest::ArtifactPath(name)));
            }
        }
        EXPECT_EQ(static_cast<int>(boxes), plugin->Contest().dxccEntityCount);
        StopWindows();
    }
}

// Each contest ticks the boxes of its countries: Sicily and African Italy are Italy in the Roundup and countries
// of their own in the CQ WW.
TEST_F(StatusWindowsTest, WorkedCountriesAreTickedOnTheirPagesWhileOnABand) {
    host.frequencyHz = 14080000.0;
    StartHost();
    const std::vector<std::string> worked = {"DL", "E4", "IT9", "IG9", "NOSUCH"};
    for (CTestApp* plugin : {&CTestApp::Instance(), &CqWw()}) {
        UsePlugin(*plugin);
        const bool cqww = plugin == &CqWw();
        SCOPED_TRACE(SettingsFile());
        WriteSettings("");
        ShowWorked(worked, {}, "20m");
        ASSERT_NE(StartControlWindow(), nullptr);
        HWND extended = Open(IDC_SETUP_VIEW_DXCC_EXTENDED, StatusKind::DxccExtended);
        ASSERT_NE(extended, nullptr);
        Refresh();
        HWND eu = PageOf(extended, DxccPage::EU);
        EXPECT_TRUE(Ticked(eu, "DL"));
        EXPECT_TRUE(Ticked(PageOf(extended, DxccPage::AS), "E4"));
        EXPECT_EQ(Ticked(eu, "I"), !cqww);
        if (cqww) {
            EXPECT_TRUE(Ticked(eu, "IT9"));
            EXPECT_TRUE(Ticked(PageOf(extended, DxccPage::AF), "IG9"));
        }
        EXPECT_EQ(TickedCount(extended), cqww ? 4 : 3);
        EXPECT_EQ(wintest::TitleOf(extended), cqww ? L"CQ-WW-RTTY 2024 DXCC worked 5 of 346"
                                                   : L"ARRL-RTTY 2024 DXCC worked 5 of 340");
        EXPECT_TRUE(wintest::SaveWindowPng(extended, wintest::ArtifactPath(cqww ? "dxcc-extended-cqww-worked.png"
                                                                                : "dxcc-extended-eu.png")));

        // A box the operator ticks is put back by the next refresh.
        HWND f = GetDlgItem(eu, 1033);
        ASSERT_EQ(wintest::TitleOf(f), L"F");
        wintest::Click(f);
        EXPECT_TRUE(Ticked(eu, "F"));
        Refresh();
        EXPECT_FALSE(Ticked(eu, "F"));

        // Off the six bands nothing counts and nothing is ticked.
        host.frequencyHz = 29600000.0;
        Refresh();
        EXPECT_EQ(TickedCount(extended), 0);
        host.frequencyHz = 14080000.0;
        StopWindows();
    }
}

TEST_F(StatusWindowsTest, TabsShowTheirPageAndShowingTheWindowBringsBackEurope) {
    StartHost();
    ASSERT_NE(StartControlWindow(), nullptr);
    HWND extended = Open(IDC_SETUP_VIEW_DXCC_EXTENDED, StatusKind::DxccExtended);
    ASSERT_NE(extended, nullptr);
    HWND tabs = GetDlgItem(extended, IDC_MULTIPLIER_TABS);
    EXPECT_EQ(VisiblePage(extended), 0);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);

    // A click on the SA tab, as the mouse delivers it.
    RECT tab;
    SendMessageW(tabs, TCM_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&tab));
    const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    PostMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(tabs, WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(wintest::PumpUntil([&] { return VisiblePage(extended) == 4; }));
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 4);
    HWND sa = PageOf(extended, DxccPage::SA);
    RECT r, tabsRect;
    GetWindowRect(sa, &r);
    GetWindowRect(tabs, &tabsRect);
    MapWindowPoints(nullptr, extended, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 13);
    EXPECT_EQ(r.top, 38);
    EXPECT_EQ(r.right - r.left, tabsRect.right - tabsRect.left - 7);
    EXPECT_EQ(r.bottom - r.top, tabsRect.bottom - tabsRect.top - 32);
    EXPECT_TRUE(wintest::SaveWindowPng(extended, wintest::ArtifactPath("dxcc-extended-sa.png")));

    wintest::RunWhilePumping([extended] {
        ShowWindow(extended, SW_HIDE);
        ShowWindow(extended, SW_SHOW);
    });
    EXPECT_EQ(VisiblePage(extended), 0);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);
}

TEST_F(StatusWindowsTest, PanelShowsTheCallsEarlierQsosAndHighlightsTheCurrentBand) {
    SettableClock clock;
    SetClockForTesting(&clock);
    host.frequencyHz = 14080000.0;
    host.currentCall = L"W1AW";
    StartHost();
    ASSERT_NE(StartControlWindow(), nullptr);
    HWND dxcc = Open(IDC_SETUP_VIEW_DXCC, StatusKind::Dxcc);
    ASSERT_NE(dxcc, nullptr);
    ClearLog();
    ASSERT_EQ(AddQso("W1AW", "20m", 14, 5, "CT", "K"), 1);
    wintest::PumpFor(200);
    EXPECT_EQ(wintest::TitleOf(dxcc), L" ARRL-RTTY worked with W1AW");

    HWND panel = GetDlgItem(dxcc, IDC_MULTIPLIER_PANEL);
    RECT r;
    GetClientRect(panel, &r);
    const int u = r.bottom / 7;
    // Rows are u apart; row 3 (20 m) is highlighted and holds text, row 2 (40 m) only its dash.
    auto inkIn = [&](int top, int bottom, int left, int right) {
        HDC dc = GetDC(panel);
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                COLORREF c = GetPixel(dc, x, y);
                n += c != RGB(198, 255, 255) && c != RGB(255, 255, 198);
            }
        ReleaseDC(panel, dc);
        return n;
    };
    EXPECT_EQ(wintest::ClientPixel(panel, 5, u * 4 - 3), RGB(198, 255, 255));  // highlight of band 3
    EXPECT_EQ(wintest::ClientPixel(panel, 5, u * 3 - 3), RGB(255, 255, 198));  // row 2: plain table
    const int row3 = 20 + 3 * u, row2 = 20 + 2 * u;
    // Mode, time and state stand in columns 100, 180 and 260 of row 3; row 2 shows "   -" in each.
    for (int column : {100, 180, 260}) {
        EXPECT_GT(inkIn(row3, row3 + 12, column, column + 30), inkIn(row2, row2 + 12, column, column + 30) + 5)
            << column;
    }
    EXPECT_TRUE(wintest::SaveWindowPng(dxcc, wintest::ArtifactPath("dxcc-window-table.png")));
}

// Without a category given the light turns red from the contest's sixth change; with one, at its rule's limit.
TEST_F(StatusWindowsTest, ChangeOfBandWindowCountsMinutesAndTurnsRedFromTheSixthChange) {
    SettableClock clock;  // 14:45 UTC
    SetClockForTesting(&clock);
    StartHost();
    ASSERT_NE(StartControlWindow(), nullptr);
    ClearLog();
    HWND timer = Open(IDC_SETUP_VIEW_TIMER, StatusKind::BandChange);
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(wintest::TitleOf(timer), L"Change of Band");
    auto shows = [&](const wchar_t* count, const wchar_t* minutes) {
        return wintest::PumpUntil([&] {
            return wintest::TitleOf(GetDlgItem(timer, IDC_CHANGE_BAND_COUNT)) == count &&
                   wintest::TitleOf(GetDlgItem(timer, IDC_CHANGE_BAND_MINUTES)) == minutes;
        });
    };
    auto indicator = [&] { return wintest::ClientPixel(timer, 190, 30); };
    const COLORREF green = RGB(0, 255, 0), red = RGB(255, 0, 0);
    EXPECT_TRUE(shows(L"0", L"15"));
    EXPECT_EQ(indicator(), green);
    EXPECT_EQ(wintest::ClientPixel(timer, 180, 30), RGB(0, 0, 0));  // the outline
    EXPECT_EQ(wintest::ClientPixel(timer, 175, 30), RGB(255, 250, 198));

    // Six QSOs in the hour, alternating bands: five changes, still green.
    const char* bands[] = {"20m", "40m"};
    for (int i = 0; i < 6; ++i) ASSERT_EQ(AddQso("K" + std::to_string(i) + "AA", bands[i % 2], 14, i, "CT", "K"), 1);
    EXPECT_TRUE(shows(L"5", L"15"));
    wintest::PumpFor(1200);
    EXPECT_EQ(indicator(), green);
    // The sixth change turns it red at the next tick; a seventh leaves it red.
    ASSERT_EQ(AddQso("K6AA", "20m", 14, 6, "CT", "K"), 1);
    EXPECT_TRUE(shows(L"6", L"15"));
    EXPECT_TRUE(wintest::PumpUntil([&] { return indicator() == red; }, 3000));
    ASSERT_EQ(AddQso("K7AA", "40m", 14, 7, "CT", "K"), 1);
    EXPECT_TRUE(shows(L"7", L"15"));
    EXPECT_EQ(indicator(), red);
    EXPECT_TRUE(wintest::SaveWindowPng(timer, wintest::ArtifactPath("change-band-red.png")));

    // Minute 0 of the next hour: the count starts again and the indicator is green.
    clock.utc = ClockTime{true, 15, 0, 10};
    EXPECT_TRUE(shows(L"0", L"0"));
    EXPECT_TRUE(wintest::PumpUntil([&] { return indicator() == green; }, 3000));
    {
        auto lock = app->LockEngine();
        EXPECT_EQ(lock->bandChangeCount, 0);
    }
    clock.utc = ClockTime{true, 15, 1, 0};
    EXPECT_TRUE(shows(L"0", L"59"));
    // Without a readable clock the minutes show 61.
    clock.utc = ClockTime{};
    EXPECT_TRUE(shows(L"0", L"61"));
    // The entry's category as the reset gave it: a multi-transmitter entry of 2025 has no limit, and seven
    // changes leave the light green.
    clock.utc = ClockTime{true, 15, 1, 0};
    {
        auto lock = app->LockEngine();
        lock->contestStartYear = "2025";
        lock->categoryOperator = "MULTI-OP";
        lock->categoryTransmitter = "UNLIMITED";
    }
    for (int i = 0; i < 8; ++i) ASSERT_EQ(AddQso("N" + std::to_string(i) + "AA", bands[i % 2], 15, i + 1, "CT", "K"), 1);
    EXPECT_TRUE(shows(L"7", L"59"));
    wintest::PumpFor(1200);
    EXPECT_EQ(indicator(), green);
}

// The system's clock in the machine's own zone; ctest runs this again at +5:30 and at +0:26, where the local
// minute is never the UTC minute: the minutes left count down the UTC hour, in which the engine counts.
TEST_F(StatusWindowsTest, ChangeOfBandWindowCountsDownTheUtcHourInTheMachinesZone) {
    if (const char* expected = std::getenv("STATS_EXPECT_UTC_OFFSET_MINUTES")) {
        TIME_ZONE_INFORMATION zone;
        const DWORD which = GetTimeZoneInformation(&zone);
        const LONG bias = zone.Bias + (which == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias : 0);
        ASSERT_EQ(-bias, std::atol(expected)) << "the run is not in the zone it asked for";
    }
    StartHost();
    ASSERT_NE(StartControlWindow(), nullptr);
    HWND timer = Open(IDC_SETUP_VIEW_TIMER, StatusKind::BandChange);
    ASSERT_NE(timer, nullptr);
    std::wstring expected;
    EXPECT_TRUE(wintest::PumpUntil([&] {
        SYSTEMTIME utc;
        GetSystemTime(&utc);
        expected = std::to_wstring(utc.wMinute == 0 ? 0 : 60 - utc.wMinute);
        return wintest::TitleOf(GetDlgItem(timer, IDC_CHANGE_BAND_MINUTES)) == expected;
    })) << "shows " << wintest::Narrow(wintest::TitleOf(GetDlgItem(timer, IDC_CHANGE_BAND_MINUTES)))
        << ", the UTC hour has " << wintest::Narrow(expected) << " minutes left";
}

}  // namespace
