#include "plugin/visible_windows.h"

namespace {

struct FoundWindows {
    DWORD pid;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam) {
    auto* found = reinterpret_cast<FoundWindows*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == found->pid && IsWindowVisible(hwnd)) found->windows.push_back(hwnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> VisibleWindowsOfThisProcess() {
    FoundWindows found{GetCurrentProcessId(), {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}
