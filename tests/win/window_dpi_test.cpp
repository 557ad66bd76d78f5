// The windows at the screen's dpi: what the plug-in draws or places by hand must grow with its windows, so
// that 120 to 192 dpi show the 96-dpi layout, larger. These tests run in the ordinary Windows test run (96 dpi)
// and again in prefixes of their own at 120 to 192 dpi (tests/win/dpi_run.sh); STATS_EXPECT_DPI names the dpi
// such a run set, and the first test checks that the prefix really has it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "resources/resource.h"
#include "window_fixture.h"

namespace {

using wintest::StatusKind;

RECT ChildRect(HWND parent, int id) {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(GetDlgItem(parent, id), &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool Overlap(const RECT& a, const RECT& b) {
    RECT both;
    return IntersectRect(&both, &a, &b) != FALSE;
}

// The client area's pixels, read in one go from the window's context.
struct Pixels {
    explicit Pixels(HWND hwnd) {
        RECT r;
        GetClientRect(hwnd, &r);
        width = r.right;
        height = r.bottom;
        HDC dc = GetDC(hwnd);
        data.resize(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) data[static_cast<size_t>(y) * width + x] = GetPixel(dc, x, y);
        ReleaseDC(hwnd, dc);
    }
    COLORREF At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
    int width = 0, height = 0;
    std::vector<COLORREF> data;
};

// Dark enough to be a letter.
bool Ink(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128; }

// Runs of rows holding ink in the columns [left, right), as [top, bottom) pairs; runs apart by `gap` rows or
// fewer are one (a line of text whose glyphs, such as "15m", leave a row without ink).
std::vector<std::pair<int, int>> InkRows(const Pixels& p, int left, int right, int gap = 0) {
    std::vector<std::pair<int, int>> runs;
    for (int y = 0; y < p.height; ++y) {
        bool ink = false;
        for (int x = std::max(left, 0); x < std::min(right, p.width) && !ink; ++x) ink = Ink(p.At(x, y));
        if (ink && (runs.empty() || y - runs.back().second > gap)) runs.push_back({y, y + 1});
        else if (ink) runs.back().second = y + 1;
    }
    return runs;
}

class DpiTest : public ControlWindowTest {
protected:
    void TearDown() override {
        ControlWindowTest::TearDown();
        SetClockForTesting(nullptr);
    }
    HWND Open(int box, StatusKind kind) {
        wintest::Click(Control(box));
        return wintest::StatusWindowOf(kind);
    }
    int Dpi() {
        HDC dc = GetDC(nullptr);
        const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
        return dpi;
    }
    std::string Name(const char* what) { return std::string(what) + "-" + std::to_string(Dpi()) + "dpi.png"; }
};

class FixedLocalClock : public Clock {
public:
    ClockTime UtcTime() override { return ClockTime{true, 14, 45, 0}; }
};

TEST_F(DpiTest, ThePrefixHasTheDpiTheRunAskedFor) {
    const char* expected = std::getenv("STATS_EXPECT_DPI");
    EXPECT_EQ(Dpi(), expected != nullptr ? std::atoi(expected) : 96);
}

// The band-change light stands whole beside its label, inside the window; the count is whole and centred in
// its box.
TEST_F(DpiTest, ChangeOfBandLightStandsWholeBesideItsLabelAndTheCountIsCentred) {
    FixedLocalClock clock;
    SetClockForTesting(&clock);
    StartHost();
    ASSERT_NE(StartControlWindow(), nullptr);
    HWND timer = Open(IDC_SETUP_VIEW_TIMER, StatusKind::BandChange);
    ASSERT_NE(timer, nullptr);
    ASSERT_TRUE(wintest::PumpUntil(
        [&] { return wintest::TitleOf(GetDlgItem(timer, IDC_CHANGE_BAND_MINUTES)) == L"15"; }));
    wintest::PumpFor(300);

    const Pixels window(timer);
    RECT light = {window.width, window.height, -1, -1};
    for (int y = 0; y < window.height; ++y)
        for (int x = 0; x < window.width; ++x)
            if (window.At(x, y) == RGB(0, 255, 0)) {
                light = {std::min(light.left, static_cast<LONG>(x)), std::min(light.top, static_cast<LONG>(y)),
                         std::max(light.right, static_cast<LONG>(x + 1)), std::max(light.bottom, static_cast<LONG>(y + 1))};
            }
    ASSERT_GT(light.right, light.left) << "no light";
    // Whole: as wide as it is high, and as large as the window's dialog units make 18 of the 96-dpi pixels.
    RECT units = {0, 0, 4, 8};
    MapDialogRect(timer, &units);
    EXPECT_NEAR(light.right - light.left, light.bottom - light.top, 1);
    EXPECT_GE(light.right - light.left, 18 * units.right / 6);
    EXPECT_GT(light.left, 0);
    EXPECT_LT(light.right, window.width);
    const RECT label = ChildRect(timer, IDC_CHANGE_BAND_LABEL);
    EXPECT_GT(light.left, label.right) << "the light stands right of its label";
    EXPECT_TRUE(light.top < label.bottom && light.bottom > label.top) << "and beside it";
    for (int id : {IDC_CHANGE_BAND_COUNT, IDC_CHANGE_BAND_LABEL, IDC_CHANGE_BAND_MINUTES, IDC_CHANGE_BAND_MINUTES_LABEL})
        EXPECT_FALSE(Overlap(light, ChildRect(timer, id))) << id;

    // The count's digit: ink inside the box with room on every side, and as much room left as right; nothing
    // blinks over it (a caret in the box would stand on the digit's first column), so three readings agree.
    HWND count = GetDlgItem(timer, IDC_CHANGE_BAND_COUNT);
    std::vector<Pixels> reads;
    for (int i = 0; i < 3; ++i) {
        reads.emplace_back(count);
        wintest::PumpFor(250);
    }
    const Pixels& box = reads[0];
    RECT digit = {box.width, box.height, -1, -1};
    int blinking = 0;
    for (int y = 0; y < box.height; ++y)
        for (int x = 0; x < box.width; ++x) {
            const bool ink = Ink(reads[0].At(x, y));
            for (const Pixels& p : reads) blinking += Ink(p.At(x, y)) != ink;
            if (!ink) continue;
            digit = {std::min(digit.left, static_cast<LONG>(x)), std::min(digit.top, static_cast<LONG>(y)),
                     std::max(digit.right, static_cast<LONG>(x + 1)), std::max(digit.bottom, static_cast<LONG>(y + 1))};
        }
    EXPECT_EQ(blinking, 0) << "pixels that change between readings";
    ASSERT_GT(digit.right, digit.left) << "no digit";
    EXPECT_GE(digit.left, 1);
    EXPECT_GE(digit.top, 1);
    EXPECT_LE(digit.right, box.width - 1);
    EXPECT_LE(digit.bottom, box.height - 1);
    EXPECT_LE(std::abs(digit.left - (box.width - digit.right)), 2) << "centred";
    EXPECT_TRUE(wintest::SaveWindowPng(timer, wintest::ArtifactPath(Name("change-band"))));
}

// The "worked with" table: the current band's highlight lies on its own row, the columns spread over the
// panel, and the exchange column's heading, what the contest's exchange holds, stands whole inside it, in
// English and in Russian.
TEST_F(DpiTest, PanelHighlightsItsBandRowAndSpreadsItsColumns) {
    FixedLocalClock clock;
    SetClockForTesting(&clock);
    host.frequencyHz = 14080000.0;
    host.currentCall = L"W1AW";
    StartHost();
    for (CTestApp* plugin : {&CTestApp::Instance(), &CqWw()}) {
        for (bool russian : {false, true}) {
            UsePlugin(*plugin);
            const bool cqww = plugin == &CqWw();
            SCOPED_TRACE(std::string(SettingsFile()) + (russian ? " Russian" : " English"));
            SetEngineTexts(russian, "2024");
            WriteSettings("");
            ASSERT_NE(StartControlWindow(), nullptr);
            ClearLog();
            HWND dxcc = Open(IDC_SETUP_VIEW_DXCC, StatusKind::Dxcc);
            ASSERT_NE(dxcc, nullptr);
            QsoArgs q;
            q.ownCall = "W1EG";
            q.call = "W1AW";
            q.time = COleDateTime::FromFields(2024, 1, 6, 14, 5);
            q.frequencyHz = 14080000;
            q.mode = "RTTY";
            q.rstSent = q.rstRcvd = "599";
            q.exchSent = cqww ? "05 CT" : "CT";
            q.exchRcvd = cqww ? "05 CT" : "CT";
            q.prefix = "K";
            q.band = "20m";
            ASSERT_EQ(app->AddData(std::move(q)), 1);
            RefreshAndWait();

            HWND panel = GetDlgItem(dxcc, IDC_MULTIPLIER_PANEL);
            const Pixels p(panel);
            int top = -1, bottom = -1;
            for (int y = 0; y < p.height; ++y)
                if (p.At(2, y) == RGB(198, 255, 255)) {
                    if (top < 0) top = y;
                    bottom = y + 1;
                }
            ASSERT_GE(top, 0) << "no highlight";
            // The lines of text: the call and the header, then the rows 80 m to 10 m.
            const std::vector<std::pair<int, int>> lines = InkRows(p, 0, p.width, 2);
            ASSERT_GE(lines.size(), 6u);
            const size_t row20m = lines.size() - 5 + 2;
            EXPECT_GE(lines[row20m].first, top) << "the 20 m row starts inside the highlight";
            EXPECT_LE(lines[row20m].second, bottom) << "and ends inside it";
            EXPECT_LE(lines[row20m - 1].second, top) << "the 40 m row is above it";
            EXPECT_GE(lines[row20m + 1].first, bottom) << "the 15 m row below it";
            int rightmostInk = 0;
            for (int y = 0; y < p.height; ++y)
                for (int x = 0; x < p.width; ++x)
                    if (Ink(p.At(x, y))) rightmostInk = std::max(rightmostInk, x);
            EXPECT_GT(rightmostInk, p.width * 65 / 100) << "the columns use the panel's width";
            EXPECT_LT(rightmostInk, p.width - 1);

            // The heading: the ink of the header line from its column on, as wide as its text in the panel's
            // font (the default font of a new memory context) and inside the panel.
            RECT units = {0, 0, 4, 8};
            MapDialogRect(dxcc, &units);
            const int column = 225 * units.right / 6;
            const std::pair<int, int> header = lines[lines.size() - 6];
            int left = p.width, right = -1;
            for (int y = header.first; y < header.second; ++y)
                for (int x = column; x < p.width; ++x)
                    if (Ink(p.At(x, y))) left = std::min(left, x), right = std::max(right, x);
            const std::wstring heading = cqww ? L"Zone/QTH" : L"State/Prov/NR";
            HDC screen = GetDC(nullptr);
            HDC memory = CreateCompatibleDC(screen);
            SIZE extent = {0, 0};
            GetTextExtentPoint32W(memory, heading.c_str(), static_cast<int>(heading.size()), &extent);
            DeleteDC(memory);
            ReleaseDC(nullptr, screen);
            ASSERT_GE(right, left) << "no heading";
            EXPECT_NEAR(right + 1 - left, extent.cx, 3) << wintest::Narrow(heading);
            EXPECT_LT(right, p.width - 1);
            const std::string name = std::string(cqww ? "cqww-" : "") + (russian ? "dxcc-table-russian" : "dxcc-table");
            EXPECT_TRUE(wintest::SaveWindowPng(dxcc, wintest::ArtifactPath(Name(name.c_str()))));
            StopWindows();
        }
    }
}

// The worked prefixes, on a narrow panel: each line of them apart from the next, whatever the font (lines that
// touch would make one run of ink taller than the font).
TEST_F(DpiTest, PrefixListLinesNeverTouch) {
    host.frequencyHz = 14080000.0;
    StartHost();
    ASSERT_NE(StartControlWindow(), nullptr);
    HWND dxcc = Open(IDC_SETUP_VIEW_DXCC, StatusKind::Dxcc);
    ASSERT_NE(dxcc, nullptr);
    const std::vector<std::string> worked = {"JW", "3Y/B", "VP2V", "9Y", "J5", "QJ", "OJ0", "KH6"};
    ShowWorked(worked);
    RECT frame;
    GetWindowRect(dxcc, &frame);
    wintest::RunWhilePumping([&] {
        SetWindowPos(dxcc, nullptr, 0, 0, 1, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
    RefreshAndWait();
    // The panel draws in the default font of a new memory context.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    TEXTMETRICW font;
    GetTextMetricsW(memory, &font);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    const Pixels p(GetDlgItem(dxcc, IDC_MULTIPLIER_PANEL));
    const std::vector<std::pair<int, int>> lines = InkRows(p, 0, p.width);
    EXPECT_GE(lines.size(), worked.size() / 3);
    for (const auto& [top, bottom] : lines) EXPECT_LT(bottom - top, font.tmHeight) << "at " << top;
    EXPECT_TRUE(wintest::SaveWindowPng(dxcc, wintest::ArtifactPath(Name("dxcc-list"))));
}

// Every control of a window (and of its child pages) with a text is wide and high enough for it in the font it
// is drawn with, and its text stands inside the window: a check box's text after its box and the gap of half a "0", a
// static that wraps in as many lines as it has room for, a drawn label within its button.
void ExpectTextsFit(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t kind[32] = {0};
        GetClassNameW(c, kind, 32);
        if (std::wstring(kind) == L"#32770") {
            ExpectTextsFit(c);
            continue;
        }
        const std::wstring text = wintest::TitleOf(c);
        const bool button = _wcsicmp(kind, L"Button") == 0, label = _wcsicmp(kind, L"Static") == 0;
        if (text.empty() || (!button && !label)) continue;
        const LONG style = GetWindowLongW(c, GWL_STYLE);
        const LONG type = style & (button ? BS_TYPEMASK : SS_TYPEMASK);
        const bool box = button && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
                                    type == BS_AUTO3STATE || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
        const bool wraps = label && (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
        RECT room;
        GetClientRect(c, &room);
        HDC dc = GetDC(c);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(c, WM_GETFONT, 0, 0)));
        INT zero = 0;
        GetCharWidth32W(dc, L'0', L'0', &zero);
        const int before = box ? 12 * GetDeviceCaps(dc, LOGPIXELSX) / 96 + 1 + zero / 2 + 1 : 0;
        RECT need = {0, 0, room.right - before, 0};
        DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
        SelectObject(dc, old);
        ReleaseDC(c, dc);
        const std::string name = wintest::Narrow(text) + " in " + wintest::Narrow(wintest::TitleOf(window));
        EXPECT_LE(before + need.right, room.right) << name << " is cut at the right: " << before << "+" << need.right << " in " << room.right;
        EXPECT_LE(need.bottom, room.bottom) << name << " is cut at the bottom";
        RECT placed;
        GetWindowRect(c, &placed);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_TRUE(placed.left >= 0 && placed.top >= 0 && placed.left + before + need.right <= client.right &&
                    placed.top + need.bottom <= client.bottom)
            << name << " stands outside its window";
    }
}

// The CQ WW's windows too: its control window's fifth box and its zone window.
TEST_F(DpiTest, EveryControlIsWideEnoughForItsText) {
    host.frequencyHz = 14080000.0;
    StartHost();
    for (CTestApp* plugin : {&CTestApp::Instance(), &CqWw()}) {
        for (bool russian : {false, true}) {
            UsePlugin(*plugin);
            const bool zones = plugin == &CqWw();
            SCOPED_TRACE(std::string(SettingsFile()) + (russian ? " Russian" : " English"));
            SetEngineTexts(russian, "2024");
            WriteSettings("");
            HWND w = StartControlWindow();
            ASSERT_NE(w, nullptr);
            std::vector<HWND> windows = {w};
            for (const auto& [box, kind] : {std::pair{IDC_SETUP_VIEW_DXCC, StatusKind::Dxcc},
                                            std::pair{IDC_SETUP_VIEW_STATE, StatusKind::State},
                                            std::pair{IDC_SETUP_VIEW_DXCC_EXTENDED, StatusKind::DxccExtended},
                                            std::pair{IDC_SETUP_VIEW_TIMER, StatusKind::BandChange},
                                            std::pair{IDC_SETUP_VIEW_ZONES, StatusKind::Zones}})
                if (box != IDC_SETUP_VIEW_ZONES || zones) windows.push_back(Open(box, kind));
            for (HWND window : windows) {
                ASSERT_NE(window, nullptr);
                ExpectTextsFit(window);
            }
            const std::string name = std::string(zones ? "cqww-" : "") + (russian ? "setup-russian" : "setup");
            EXPECT_TRUE(wintest::SaveWindowPng(w, wintest::ArtifactPath(Name(name.c_str()))));
            if (zones) {
                EXPECT_TRUE(wintest::SaveWindowPng(windows.back(),
                                                   wintest::ArtifactPath(Name(russian ? "zones-russian" : "zones"))));
            }
            StopWindows();
        }
    }
}

// The control window's Russian headings: each wholly inside its control and over its column.
TEST_F(DpiTest, RussianHeadingsStandInsideTheirControlsOverTheirColumns) {
    for (CTestApp* plugin : {&CTestApp::Instance(), &CqWw()}) {
        UsePlugin(*plugin);
        SCOPED_TRACE(SettingsFile());
        SetEngineTexts(true, "2024");
        HWND w = StartControlWindow();
        ASSERT_NE(w, nullptr);
        RECT client;
        GetClientRect(w, &client);
        struct Heading {
            int id;
            std::vector<int> column;
        };
        Heading headings[] = {
            {IDC_SETUP_MODE_LABEL, {IDC_SETUP_RTTY, IDC_SETUP_BPSK31, IDC_SETUP_AMTOR, IDC_SETUP_BPSK63, IDC_SETUP_PACKET}},
            {IDC_SETUP_VIEW_LABEL,
             {IDC_SETUP_VIEW_DXCC, IDC_SETUP_VIEW_STATE, IDC_SETUP_VIEW_DXCC_EXTENDED, IDC_SETUP_VIEW_TIMER}},
        };
        if (plugin == &CqWw()) headings[1].column.push_back(IDC_SETUP_VIEW_ZONES);
        for (const Heading& h : headings) {
            SCOPED_TRACE(h.id);
            HWND control = Control(h.id);
            const std::wstring text = wintest::TitleOf(control);
            HDC dc = GetDC(control);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
            SIZE extent;
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            SelectObject(dc, old);
            ReleaseDC(control, dc);
            const RECT r = ChildRect(w, h.id);
            EXPECT_LE(extent.cy, r.bottom - r.top) << "cut at the bottom";
            EXPECT_LE(extent.cx, r.right - r.left);
            EXPECT_LE(r.left + extent.cx, client.right) << "inside the window";
            RECT column = ChildRect(w, h.column[0]);
            for (int id : h.column) {
                const RECT member = ChildRect(w, id);
                UnionRect(&column, &column, &member);
            }
            EXPECT_LE(r.bottom, column.top) << "above its column";
            const int middle = r.left + extent.cx / 2;
            EXPECT_TRUE(middle > column.left && middle < column.right)
                << "over its column: " << r.left << "+" << extent.cx << " in " << column.left << ".." << column.right;
        }
        EXPECT_TRUE(wintest::SaveWindowPng(w, wintest::ArtifactPath(Name(plugin == &CqWw() ? "cqww-setup-russian"
                                                                                           : "setup-russian"))));
    }
}

// The titles with their largest counts fit their windows' captions beside the icon and the close button, in
// English and in Russian: the CQ WW's with every country, QTH and zone worked on the band the host is on.
TEST_F(DpiTest, TitlesShowTheirCounts) {
    host.frequencyHz = 14080000.0;
    StartHost();
    struct Window {
        int box;
        StatusKind kind;
        const wchar_t* count;
        size_t times;  // the count stands so many times in the title
    };
    auto cqwwWorked = std::make_shared<ScoreModel>();
    cqwwWorked->bands.resize(1);
    cqwwWorked->bands[0].band = "20m";
    cqwwWorked->bands[0].countries.assign(346, "DL");
    cqwwWorked->bands[0].locations.assign(63, "CT");
    for (int zone = 1; zone <= 40; ++zone) cqwwWorked->bands[0].zones.push_back((zone < 10 ? "0" : "") + std::to_string(zone));
    for (CTestApp* plugin : {&CTestApp::Instance(), &CqWw()}) {
        for (bool russian : {false, true}) {
            UsePlugin(*plugin);
            const bool cqww = plugin == &CqWw();
            SCOPED_TRACE(std::string(SettingsFile()) + (russian ? " Russian" : " English"));
            SetEngineTexts(russian, "2024");
            WriteSettings("");  // no window open from the run before
            if (cqww) {
                app->SetShownModel(cqwwWorked);
            } else {
                ShowWorked(std::vector<std::string>(340, "DL"), std::vector<std::string>(63, "CT"));
            }
            ASSERT_NE(StartControlWindow(), nullptr);
            std::vector<Window> windows = {{IDC_SETUP_VIEW_STATE, StatusKind::State, L" 63", 1},
                                           {IDC_SETUP_VIEW_DXCC_EXTENDED, StatusKind::DxccExtended, cqww ? L"346" : L"340", 2},
                                           {IDC_SETUP_VIEW_DXCC, StatusKind::Dxcc, cqww ? L"346" : L"340", 2}};
            if (cqww) windows.push_back({IDC_SETUP_VIEW_ZONES, StatusKind::Zones, L"40", 2});
            std::vector<HWND> opened;
            for (const Window& window : windows) opened.push_back(Open(window.box, window.kind));
            RefreshAndWait();
            NONCLIENTMETRICSW metrics = {};
            metrics.cbSize = sizeof metrics;
            ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
            HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont);
            for (size_t i = 0; i < opened.size(); ++i) {
                HWND hwnd = opened[i];
                ASSERT_NE(hwnd, nullptr);
                const std::wstring title = wintest::TitleOf(hwnd);
                size_t times = 0;
                for (size_t at = title.find(windows[i].count); at != std::wstring::npos; at = title.find(windows[i].count, at + 1))
                    ++times;
                EXPECT_EQ(times, windows[i].times) << wintest::Narrow(title);
                HDC dc = GetDC(hwnd);
                HGDIOBJ old = SelectObject(dc, font);
                SIZE extent;
                GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &extent);
                SelectObject(dc, old);
                ReleaseDC(hwnd, dc);
                RECT client;
                GetClientRect(hwnd, &client);
                // The caption as the system lays it out: inside the frame, after the small icon, before the close
                // button (a caption's height wide).
                const int room = client.right - (GetSystemMetrics(SM_CXSMICON) + 2) - (GetSystemMetrics(SM_CYCAPTION) - 1);
                EXPECT_LE(extent.cx, room) << wintest::Narrow(title);
            }
            DeleteObject(font);
            const std::string name = std::string(cqww ? "cqww-" : "") + (russian ? "state-russian" : "state");
            EXPECT_TRUE(wintest::SaveWindowPng(opened[0], wintest::ArtifactPath(Name(name.c_str()))));
            StopWindows();
        }
    }
}

}  // namespace
