// The windows of Stats.dll (and of StatsCQWW.dll, with its zone window) as the host meets them: started by
// ResetStats0 and closed when the host unloads the library, with the host's Automation object on the same thread
// that calls FreeLibrary.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "host_object.h"
#include "plugin.h"
#include "resources/resource.h"
#include "temp_dir.h"
#include "window_test_support.h"

namespace {

// Each plug-in: its file, its control window's title and settings file, the views of its control window.
struct PluginFile {
    const char* file;
    const wchar_t* controlTitle;
    const char* settingsFile;
    std::vector<int> views;
};
const PluginFile kRoundup = {"Stats.dll", L"Setup ARRL-RTTY-Roundup ", "Plugins\\ARRL-RTTY.ini",
                             {IDC_SETUP_VIEW_DXCC, IDC_SETUP_VIEW_STATE, IDC_SETUP_VIEW_DXCC_EXTENDED, IDC_SETUP_VIEW_TIMER}};
const PluginFile kCqWw = {"StatsCQWW.dll", L"Setup CQ-WW-RTTY ", "Plugins\\CQ-WW-RTTY.ini",
                          {IDC_SETUP_VIEW_DXCC, IDC_SETUP_VIEW_STATE, IDC_SETUP_VIEW_DXCC_EXTENDED, IDC_SETUP_VIEW_TIMER,
                           IDC_SETUP_VIEW_ZONES}};

class PluginWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        host.onMacro = [this](const std::wstring& m) { macros.push_back(wintest::Narrow(m)); };
        std::string error;
        ASSERT_TRUE(SUCCEEDED(tolvsim::RegisterHostObject(&host, &cookie, &error))) << error;
        ASSERT_TRUE(plugin.Load());
    }
    void TearDown() override {
        plugin.Unload();
        tolvsim::RevokeHostObject(cookie);
        CoUninitialize();
        EXPECT_EQ(faults.Count(), 0) << "access violation: " << faults.First();
    }

    void Reset() {
        COleDateTime start = COleDateTime::FromFields(2024, 1, 6, 18, 0);
        COleDateTime end = COleDateTime::FromFields(2024, 1, 7, 23, 59);
        wintest::RunWhilePumping([&] {
            plugin.ResetStats0("", 0, "N0CALL", &start, &end, "", "", "", "", "", "", "", "", "", "K", 0, 0, 0,
                               0.0, 0.0, "", "", "");
        });
    }

    // The first reset after loading starts the window thread; skipped while the reset does not do so yet.
    HWND ResetAndFindControlWindow() {
        Reset();
        HWND w = nullptr;
        wintest::PumpUntil([&] { return (w = wintest::FindWindowByTitlePrefix(loaded->controlTitle)) != nullptr; }, 3000);
        return w;
    }

    int ControlWindows() {
        int n = 0;
        for (HWND hwnd : wintest::ProcessWindows())
            if (wintest::TitleOf(hwnd).rfind(loaded->controlTitle, 0) == 0) ++n;
        return n;
    }

    wintest::AccessViolationWatch faults;
    TempWorkDir dir;
    tolvsim::HostObject host;
    DWORD cookie = 0;
    std::vector<std::string> macros;
    Plugin plugin;
    const PluginFile* loaded = &kRoundup;

    // Unloads the plug-in in use and loads `other`.
    void LoadInstead(const PluginFile& other) {
        plugin.Unload();
        loaded = &other;
        ASSERT_TRUE(plugin.Load(false, other.file));
    }
};

#define REQUIRE_WINDOWS_FROM_RESET(w)                                                                  \
    if ((w) == nullptr && ReadFileBytes(loaded->settingsFile).find("Start=") == std::string::npos) \
        GTEST_SKIP() << "ResetStats0 does not start the window thread in this build yet";              \
    ASSERT_NE((w), nullptr)

TEST_F(PluginWindowsTest, UnloadingClosesEveryWindow) {
    for (const PluginFile* p : {&kRoundup, &kCqWw}) {
        SCOPED_TRACE(p->file);
        LoadInstead(*p);
        HWND w = ResetAndFindControlWindow();
        REQUIRE_WINDOWS_FROM_RESET(w);
        wintest::PumpFor(100);
        for (int box : p->views) wintest::Click(GetDlgItem(w, box));
        ASSERT_EQ(wintest::ProcessWindows().size(), p->views.size() + 1);
        const std::vector<HWND> windows = wintest::ProcessWindows();
        plugin.Unload();
        EXPECT_TRUE(wintest::ProcessWindows().empty());
        // Hidden at once, and gone with the window thread once the unload is over.
        EXPECT_TRUE(wintest::PumpUntil([&] {
            for (HWND hwnd : windows)
                if (IsWindow(hwnd)) return false;
            return true;
        }));
    }
}

TEST_F(PluginWindowsTest, UnloadingWhileTheWindowWaitsForTheHostStillEnds) {
    HWND w = ResetAndFindControlWindow();
    REQUIRE_WINDOWS_FROM_RESET(w);
    wintest::PumpFor(100);
    macros.clear();
    // The click's macro goes to this thread, which does not pump before it unloads the library.
    PostMessageW(GetDlgItem(w, IDC_SETUP_AMTOR), BM_CLICK, 0, 0);
    Sleep(200);
    plugin.Unload();
    EXPECT_TRUE(wintest::ProcessWindows().empty());
    EXPECT_EQ(macros, std::vector<std::string>{"<MODE:AMTOR>"});
}

// Twenty loads and unloads of the library, each with its windows open as a reset starts them: a cycle that
// keeps a GDI object raises the process's count every time, while what wine makes for itself now and then
// (a cached font or device context) raises it once. So most cycles must leave the count as they found it.
TEST_F(PluginWindowsTest, LoadingAndUnloadingKeepsNoGdiObject) {
    struct Case {
        const char* name;
        const PluginFile* plugin;
        const char* views;  // the windows the settings ask for
        size_t windows;
    } const cases[] = {
        {"control window", &kRoundup, "", 1},
        {"all windows", &kRoundup, "setup_view_state=1\r\nsetup_view_dxcc=1\r\nsetup_view_dxcc_extended=1\r\nTimer=1\r\n",
         5},
        {"all CQ WW windows", &kCqWw,
         "setup_view_state=1\r\nsetup_view_dxcc=1\r\nsetup_view_dxcc_extended=1\r\nTimer=1\r\nsetup_view_zones=1\r\n", 6},
    };
    host.frequencyHz = 14080000.0;
    constexpr int kCycles = 20;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (loaded != c.plugin) LoadInstead(*c.plugin);
        std::vector<int> counts;
        for (int cycle = 1; cycle <= kCycles; ++cycle) {
            WriteFileBytes(loaded->settingsFile, std::string("[Settings]\r\nStart=0\r\n") + c.views);
            if (!plugin.Loaded()) {
                ASSERT_TRUE(plugin.Load(false, loaded->file));
            }
            HWND w = ResetAndFindControlWindow();
            REQUIRE_WINDOWS_FROM_RESET(w);
            ASSERT_TRUE(wintest::PumpUntil([&] { return wintest::ProcessWindows().size() == c.windows; }));
            wintest::PumpFor(50);
            plugin.Unload();
            wintest::PumpFor(50);
            counts.push_back(wintest::GdiObjectCount());
        }
        int unchanged = 0;  // the first cycle loads what the system keeps for good
        std::string seen;
        for (size_t i = 1; i < counts.size(); ++i) {
            unchanged += counts[i] == counts[i - 1];
            seen += std::to_string(counts[i] - counts[i - 1]) + " ";
        }
        EXPECT_GE(unchanged, (kCycles - 1) / 2) << "the count's change per cycle: " << seen;
    }
}

TEST_F(PluginWindowsTest, TwoResetsKeepOneControlWindow) {
    HWND w = ResetAndFindControlWindow();
    REQUIRE_WINDOWS_FROM_RESET(w);
    Reset();
    wintest::PumpFor(300);
    EXPECT_EQ(ControlWindows(), 1);
    Reset();
    wintest::PumpFor(300);
    EXPECT_EQ(ControlWindows(), 1);
}

}  // namespace
