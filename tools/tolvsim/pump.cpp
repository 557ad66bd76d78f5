#include "pump.h"

#include <atomic>
#include <thread>

namespace tolvsim {

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        DWORD elapsed = GetTickCount() - start;
        if (timeoutMs != INFINITE && elapsed >= timeoutMs) return done();
        DWORD step = 10;
        if (timeoutMs != INFINITE && timeoutMs - elapsed < step) step = timeoutMs - elapsed;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, step, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

void RunWhilePumping(const std::function<void()>& work) {
    std::atomic<bool> finished{false};
    std::thread helper([&] {
        work();
        finished = true;
    });
    PumpUntil([&] { return finished.load(); }, INFINITE);
    helper.join();
}

}  // namespace tolvsim

namespace tolvsim {

namespace {

// Posted after the click; when the window's thread takes it from its queue, the click before it is done.
constexpr UINT kClickDone = WM_APP + 0x3A7;
HANDLE clickDoneEvent = nullptr;
std::atomic<LPARAM> clickToken{0};

LRESULT CALLBACK WatchQueue(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (msg->message == kClickDone) {
            if (msg->lParam == clickToken.load()) SetEvent(clickDoneEvent);
            msg->message = WM_NULL;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool ClickAndWait(HWND button, DWORD timeoutMs) {
    if (clickDoneEvent == nullptr) clickDoneEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD thread = GetWindowThreadProcessId(button, nullptr);
    if (thread == 0) return false;
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, &WatchQueue, nullptr, thread);
    if (hook == nullptr) return false;
    ResetEvent(clickDoneEvent);
    LPARAM token = clickToken.fetch_add(1) + 1;
    bool ok = PostMessageW(button, BM_CLICK, 0, 0) && PostMessageW(button, kClickDone, 0, token) &&
              PumpUntil([] { return WaitForSingleObject(clickDoneEvent, 0) == WAIT_OBJECT_0; }, timeoutMs);
    UnhookWindowsHookEx(hook);
    return ok;
}

}  // namespace tolvsim
