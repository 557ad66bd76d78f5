#pragma once
// The control window run in-process: the core linked into the test program, the dialogs loaded from the
// test program's own resources, the window thread started through StatusWindows as a reset does, and the
// host's Automation object registered on the test thread, which serves its calls while it waits. Each test
// starts with the Roundup's plug-in object; UsePlugin switches to the CQ WW's.
#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "app/plugin_object.h"
#include "host_object.h"
#include "temp_dir.h"
#include "window_test_support.h"

class ControlWindowTest : public ::testing::Test {
protected:
    static constexpr const wchar_t* kEnglishTitle = L"Setup ARRL-RTTY-Roundup ";

    void SetUp() override;
    void TearDown() override;

    // The CQ WW RTTY's plug-in object, made once for the tests of its windows.
    static CTestApp& CqWw();
    static CTestApp& Wpx();
    // Stops the windows of the plug-in object in use and goes on with `plugin`'s, its settings file and texts.
    void UsePlugin(CTestApp& plugin);
    const char* SettingsFile() const { return app->Contest().settingsFileName; }

    // Registers the host's object; macros then arrive in `macros`.
    void StartHost();
    void WriteSettings(const std::string& body);
    std::string Setting(const std::string& key);
    std::string SettingsFileText();
    void SetEngineTexts(bool russian, const std::string& year);

    // Starts (or restarts) the window thread and waits for the control window to be shown.
    HWND StartControlWindow();
    // Stops the window thread as unloading does and waits for it.
    void StopWindows();
    HWND Control(int id) const { return GetDlgItem(control_, id); }
    HWND ControlWindow() const { return control_; }
    // Empties the engine's log, as the tests of one window start from none.
    void ClearLog() { app->LockEngine()->qsoLog.Clear(); }
    // What the windows show as worked, as if the last report had found it; with a band, all of it worked on
    // that band too, for a contest that counts per band.
    void ShowWorked(const std::vector<std::string>& dxcc, const std::vector<std::string>& states = {},
                    const char* band = nullptr) {
        auto model = std::make_shared<ScoreModel>();
        model->workedDxcc = dxcc;
        model->workedStateProv = states;
        if (band != nullptr) {
            model->bands.resize(1);
            model->bands[0].band = band;
            model->bands[0].countries = dxcc;
            model->bands[0].locations = states;
        }
        app->SetShownModel(model);
    }
    // Posts a refresh as the engine does and pumps until the control window has handled it to the end.
    void RefreshAndWait();

    // Face colour of a mode button, read a few pixels inside its left edge, clear of border, focus mark and label.
    COLORREF FaceOf(int buttonId);

    CTestApp* app = &CTestApp::Instance();
    // A fault on the window thread fails the test that caused it (checked once the windows are stopped).
    wintest::AccessViolationWatch faults;
    TempWorkDir dir;
    tolvsim::HostObject host;
    DWORD cookie = 0;
    std::vector<std::string> macros;

private:
    HWND control_ = nullptr;
};
