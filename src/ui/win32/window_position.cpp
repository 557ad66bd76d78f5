#include "ui/win32/window_position.h"

#include <algorithm>

#include "platform/settings.h"
#include "resources/resource.h"
#include "ui/win32/dialog.h"

namespace ui {

namespace {

bool Overlaps(const RECT& a, const RECT& b) {
    RECT both;
    return IntersectRect(&both, &a, &b) != FALSE;
}

bool Inside(const RECT& r, const RECT& area) {
    return r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom;
}

struct WindowSearch {
    HWND self;
    std::vector<RECT> found;
};

BOOL CALLBACK CollectOtherWindow(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    RECT r;
    if (hwnd != search->self && IsWindowVisible(hwnd) && Dialog::FromHandle(hwnd) != nullptr &&
        GetWindowRect(hwnd, &r))
        search->found.push_back(r);
    return TRUE;
}

// The visible windows of the plug-in on this thread, other than `self`.
std::vector<RECT> OtherWindows(HWND self) {
    WindowSearch search{self, {}};
    EnumThreadWindows(GetCurrentThreadId(), &CollectOtherWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

POINT FreePlace(POINT preferred, SIZE size, const std::vector<RECT>& taken, const RECT& workArea) {
    std::vector<POINT> candidates = {preferred};
    for (const RECT& t : taken) {
        for (LONG x : {t.right, t.left - size.cx})
            for (LONG y : {t.top, t.bottom - size.cy, preferred.y}) candidates.push_back({x, y});
        for (LONG y : {t.bottom, t.top - size.cy})
            for (LONG x : {t.left, t.right - size.cx, preferred.x}) candidates.push_back({x, y});
    }
    const POINT* best = nullptr;
    long long bestDistance = 0;
    for (const POINT& p : candidates) {
        const RECT r = {p.x, p.y, p.x + size.cx, p.y + size.cy};
        if (!Inside(r, workArea)) continue;
        bool free = true;
        for (const RECT& t : taken) free = free && !Overlaps(r, t);
        if (!free) continue;
        const long long dx = p.x - preferred.x, dy = p.y - preferred.y;
        if (best == nullptr || dx * dx + dy * dy < bestDistance) {
            best = &p;
            bestDistance = dx * dx + dy * dy;
        }
    }
    if (best != nullptr) return *best;
    return {std::max(workArea.left, std::min(preferred.x, workArea.right - size.cx)),
            std::max(workArea.top, std::min(preferred.y, workArea.bottom - size.cy))};
}

void PlaceTopmost(WindowThreadState& state, HWND hwnd, const PositionKeys& keys) {
    const bool stored = !Settings::GetString(keys.keyX, Settings::kPositionBuffer).empty() ||
                        !Settings::GetString(keys.keyY, Settings::kPositionBuffer).empty();
    state.lastPosX = Settings::GetInt(keys.keyX, Settings::kPositionBuffer);
    state.lastPosY = Settings::GetInt(keys.keyY, Settings::kPositionBuffer);
    if (state.lastPosX == 0) state.lastPosX = keys.defaultX;
    if (state.lastPosY == 0) state.lastPosY = keys.defaultY;
    // The shared pair keeps the default, so the first pass of the mouse stores the place the window was given.
    POINT at = {state.lastPosX, state.lastPosY};
    RECT r;
    if (!stored && GetWindowRect(hwnd, &r)) {
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTOPRIMARY), &monitor);
        at = FreePlace(at, {r.right - r.left, r.bottom - r.top}, OtherWindows(hwnd), monitor.rcWork);
    }
    SetWindowPos(hwnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void SavePositionIfMoved(WindowThreadState& state, HWND hwnd, const PositionKeys& keys) {
    RECT r;
    if (!GetWindowRect(hwnd, &r)) return;
    if (r.left != state.lastPosX) {
        state.lastPosX = r.left;
        Settings::WriteInt(keys.keyX, r.left);
    }
    if (r.top != state.lastPosY) {
        state.lastPosY = r.top;
        Settings::WriteInt(keys.keyY, r.top);
    }
}

void SetLargeIcon(HWND hwnd) {
    HICON icon = LoadIconW(ResourceModule(), MAKEINTRESOURCEW(IDI_STATS));
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

}  // namespace ui
