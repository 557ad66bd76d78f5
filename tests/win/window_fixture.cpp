#include "window_fixture.h"

#include "ui/win32/setup_arrl_rtty.h"

#include "contest/cq_ww_rtty.h"
#include "contest/cq_wpx_rtty.h"

#include "platform/module.h"
#include "platform/settings.h"

CTestApp& ControlWindowTest::CqWw() {
    static CTestApp cqww(contest::CqWwRtty());
    return cqww;
}

CTestApp& ControlWindowTest::Wpx() {
    static CTestApp wpx(contest::CqWpxRtty());
    return wpx;
}

void ControlWindowTest::UsePlugin(CTestApp& plugin) {
    StopWindows();
    app = &plugin;
    Settings::UseFile(plugin.Contest().settingsFileName);
    SetEngineTexts(false, "2024");
    app->RefreshPending().store(1);
}

void ControlWindowTest::SetUp() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    platform::SetModuleHandle(GetModuleHandleW(nullptr));
    Settings::UseFile(app->Contest().settingsFileName);
    SetEngineTexts(false, "2024");
    {
        auto lock = app->LockEngine();  // no category given, as before a first header
        lock->categoryOperator.clear();
        lock->categoryTransmitter.clear();
    }
    app->RefreshPending().store(1);
    host.onMacro = [this](const std::wstring& macro) { macros.push_back(wintest::Narrow(macro)); };
}

void ControlWindowTest::TearDown() {
    StopWindows();
    Settings::UseFile(CTestApp::Instance().Contest().settingsFileName);
    tolvsim::RevokeHostObject(cookie);
    cookie = 0;
    CoUninitialize();
    EXPECT_EQ(faults.Count(), 0) << "access violation: " << faults.First();
}

void ControlWindowTest::StartHost() {
    std::string error;
    ASSERT_TRUE(SUCCEEDED(tolvsim::RegisterHostObject(&host, &cookie, &error))) << error;
}

void ControlWindowTest::WriteSettings(const std::string& body) { WriteFileBytes(SettingsFile(), "[Settings]\r\n" + body); }

std::string ControlWindowTest::Setting(const std::string& key) {
    return Settings::GetString(key, Settings::kPositionBuffer, "<missing>");
}

std::string ControlWindowTest::SettingsFileText() { return ReadFileBytes(SettingsFile()); }

void ControlWindowTest::SetEngineTexts(bool russian, const std::string& year) {
    auto lock = app->LockEngine();
    lock->russianTexts = russian ? 1 : 0;
    lock->contestStartYear = year;
}

HWND ControlWindowTest::StartControlWindow() {
    HWND previous = control_;
    control_ = nullptr;
    const std::string ascii = app->Contest().windowName;
    const std::wstring name = std::wstring(ascii.begin(), ascii.end()) + L" ";
    wintest::RunWhilePumping([this] { app->windows->Start(); });
    wintest::PumpUntil([&] {
        HWND w = wintest::FindWindowByTitlePrefix(L"Setup " + name);
        if (w == nullptr) w = wintest::FindWindowByTitlePrefix(L"Настройки " + name);
        if (w != nullptr && w != previous) control_ = w;
        return control_ != nullptr;
    });
    // Let the refresh the window posts to itself run.
    wintest::PumpFor(100);
    return control_;
}

void ControlWindowTest::StopWindows() {
    wintest::RunWhilePumping([this] { app->windows->Stop(false); });
    control_ = nullptr;
}

COLORREF ControlWindowTest::FaceOf(int buttonId) {
    HWND button = Control(buttonId);
    RECT r;
    GetClientRect(button, &r);
    return wintest::ClientPixel(button, 5, r.bottom / 2);
}

void ControlWindowTest::RefreshAndWait() {
    auto handled = [this] {
        return reinterpret_cast<UINT_PTR>(GetPropA(control_, ui::Setup_ARRL_RTTY::kRefreshCountProperty));
    };
    const UINT_PTR before = handled();
    app->windows->PostRefresh();
    ASSERT_TRUE(wintest::PumpUntil([&] { return handled() > before; }));
    // Refreshes posted earlier (a check-box click posts one) may still be queued ahead of ours: wait until
    // the count has stood still for a while, which it does only once the queue is drained.
    for (UINT_PTR seen = handled();;) {
        wintest::PumpFor(150);
        UINT_PTR now = handled();
        if (now == seen) break;
        seen = now;
    }
}
