#include "ui/win32/window_position.h"

#include "platform/settings.h"
#include "resources/resource.h"
#include "ui/win32/dialog.h"

namespace ui {

void PlaceTopmost(WindowThreadState& state, HWND hwnd, const PositionKeys& keys) {
    state.lastPosX = Settings::GetInt(keys.keyX, Settings::kPositionBuffer);
    state.lastPosY = Settings::GetInt(keys.keyY, Settings::kPositionBuffer);
    if (state.lastPosX == 0) state.lastPosX = keys.defaultX;
    if (state.lastPosY == 0) state.lastPosY = keys.defaultY;
    SetWindowPos(hwnd, nullptr, state.lastPosX, state.lastPosY, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
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
