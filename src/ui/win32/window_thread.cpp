// The window thread: started by a reset, it runs the one control window as a modal dialog and ends when
// that window closes. Until the control window exists the thread procedure returns at once.
#include <windows.h>

#include <atomic>

#include "engine/test_app.h"
#include "ui/status_windows.h"

namespace {

class Win32StatusWindows : public StatusWindows {
public:
    explicit Win32StatusWindows(CTestApp& app) : app_(app) {}

    bool ControlWindowExists() const override { return controlWindow_.load() != nullptr; }

    void PostRefresh() override {
        HWND hwnd = controlWindow_.load();
        if (hwnd != nullptr) PostMessageA(hwnd, kWmStatsRefresh, 0, 0);
    }

    void Start() override {
        if (ControlWindowExists()) Stop(false);
        HANDLE h = CreateThread(nullptr, 0, &Win32StatusWindows::ThreadProc, this, 0, nullptr);
        if (h != nullptr) CloseHandle(h);  // detached: nothing waits on the handle
    }

    void Stop(bool processExiting) override {
        HWND hwnd = controlWindow_.load();
        if (hwnd == nullptr || processExiting) return;
        SendMessageTimeoutA(hwnd, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
        for (int waited = 0; controlWindow_.load() != nullptr && waited < 5000; waited += 20) Sleep(20);
    }

private:
    static DWORD WINAPI ThreadProc(LPVOID self) {
        auto* windows = static_cast<Win32StatusWindows*>(self);
        if (windows->controlWindow_.load() != nullptr) return 1;
        return 0;
    }

    CTestApp& app_;
    std::atomic<HWND> controlWindow_{nullptr};
};

}  // namespace

StatusWindows* CreateStatusWindows(CTestApp& app) { return new Win32StatusWindows(app); }
