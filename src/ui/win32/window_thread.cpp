// The window thread: started by a reset, it runs the one control window as a modal dialog and ends when
// that window closes. The host's thread never touches a window object: it posts the refresh message, and
// to stop it sends WM_CLOSE to the control window, whose handler closes every status window on this thread.
//
// Unloading runs the stop under the loader lock, on the host's thread, which usually also owns the host's
// Automation object. So the stop waits in small steps while serving COM calls (the window thread may be in
// the middle of one, and releasing the object is one more), the windows are only hidden and let go (some
// controls wait for the loader lock when destroyed; the end of the thread destroys them), and the thread
// leaves the library's code through ExitThread right after signalling that it is done.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <atomic>

#include "ui/status_windows.h"
#include "ui/win32/setup_arrl_rtty.h"
#include "ui/win32/window_state.h"

namespace {

constexpr DWORD kCloseSendTimeoutMs = 2000;
constexpr DWORD kStopTimeoutMs = 5000;
constexpr DWORD kStopStepMs = 20;

class Win32StatusWindows : public StatusWindows {
public:
    explicit Win32StatusWindows(StatusSource& app)
        : state_(app), idle_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}

    ~Win32StatusWindows() override {
        // At process exit the thread is gone without having cleaned up; COM must not be called any more.
        if (state_.hostDispatch) state_.hostDispatch->Abandon();
        if (thread_ != nullptr) CloseHandle(thread_);
        if (idle_ != nullptr) CloseHandle(idle_);
    }

    bool ControlWindowExists() const override { return state_.controlHwnd.load() != nullptr; }

    void PostRefresh() override {
        HWND hwnd = state_.controlHwnd.load();
        if (hwnd == nullptr || !state_.refreshRequests.Request()) return;
        if (!PostMessageW(hwnd, kWmStatsRefresh, 0, 0)) state_.refreshRequests.Clear();
    }

    void Start() override {
        if (!Idle()) StopAndWait(false);
        // A thread that would not end keeps its window; a second control window is never made.
        if (!Idle()) return;
        state_.stopRequested.store(false);
        state_.unloading.store(false);
        ResetEvent(idle_);
        if (thread_ != nullptr) CloseHandle(thread_);
        thread_ = CreateThread(nullptr, 0, &Win32StatusWindows::ThreadProc, this, 0, nullptr);
        if (thread_ == nullptr) SetEvent(idle_);
    }

    // What unloading runs. At process exit the window thread no longer exists: nothing is touched.
    void Stop(bool processExiting) override {
        if (processExiting) return;
        StopAndWait(true);
    }

private:
    bool Idle() const { return WaitForSingleObject(idle_, 0) == WAIT_OBJECT_0; }

    void SendClose(HWND hwnd) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(hwnd, WM_CLOSE, 0, 0, SMTO_NORMAL, kCloseSendTimeoutMs, &ignored);
    }

    // Waits one step for the thread to finish. Calls from the window thread to an Automation object that
    // lives on this thread are served meanwhile, so neither thread waits for the other.
    void WaitStep() {
        DWORD index = 0;
        HANDLE handles[1] = {idle_};
        HRESULT hr = CoWaitForMultipleHandles(0, kStopStepMs, 1, handles, &index);
        if (FAILED(hr) && hr != RPC_S_CALLPENDING) WaitForSingleObject(idle_, kStopStepMs);
    }

    void StopAndWait(bool unloading) {
        // No window thread ever ran (or it has ended): no window operation at all.
        if (Idle()) return;
        state_.unloading.store(unloading);
        state_.stopRequested.store(true);
        HWND closed = state_.controlHwnd.load();
        if (closed != nullptr) SendClose(closed);
        DWORD start = GetTickCount();
        while (!Idle() && GetTickCount() - start < kStopTimeoutMs) {
            // The control window may have come up after the request; its initialisation also sees the flag.
            HWND hwnd = state_.controlHwnd.load();
            if (hwnd != nullptr && hwnd != closed) {
                SendClose(hwnd);
                closed = hwnd;
            }
            WaitStep();
        }
        if (!Idle() && unloading && thread_ != nullptr) {
            // The library is going and the thread would run on in unmapped code: end it.
            TerminateThread(thread_, 2);
            state_.controlHwnd.store(nullptr);
            state_.refreshRequests.Clear();
            SetEvent(idle_);
        }
    }

    static DWORD WINAPI ThreadProc(LPVOID self) {
        DWORD result = static_cast<Win32StatusWindows*>(self)->Run();
        if (static_cast<Win32StatusWindows*>(self)->leaveAtOnce_) {
            SetEvent(static_cast<Win32StatusWindows*>(self)->idle_);
            ExitThread(result);
        }
        SetEvent(static_cast<Win32StatusWindows*>(self)->idle_);
        return result;
    }

    DWORD Run() {
        leaveAtOnce_ = false;
        if (state_.controlWindow != nullptr) return 1;  // only one control window at a time
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);

        state_.controlWindow = new ui::Setup_ARRL_RTTY(state_);
        state_.controlWindow->DoModal(nullptr);
        state_.controlHwnd.store(nullptr);
        state_.refreshRequests.Clear();
        delete state_.controlWindow;
        state_.controlWindow = nullptr;

        // Undoes the COM initialisation the control window made on this thread. The stopping thread serves
        // the release of the host's object while it waits.
        if (state_.hostDispatch) state_.hostDispatch->ReleaseAndUninitialize();
        leaveAtOnce_ = state_.unloading.load();
        state_.hostDispatch.reset();
        return 0;
    }

    ui::WindowThreadState state_;
    HANDLE idle_;  // manual-reset, signalled while no window thread runs
    HANDLE thread_ = nullptr;
    bool leaveAtOnce_ = false;
};

}  // namespace

StatusWindows* CreateStatusWindows(StatusSource& app) { return new Win32StatusWindows(app); }
