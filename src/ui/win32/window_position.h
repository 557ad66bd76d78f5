#pragma once
// The position rule that every window of the plug-in follows: a window starts where its own settings keys
// say (a stored 0 selects its default), and on each cursor-shape request it saves the coordinates that
// differ from the one position pair that all windows share.
#include <windows.h>

#include "ui/win32/window_state.h"

namespace ui {

struct PositionKeys {
    const char* keyX;
    const char* keyY;
    int defaultX;
    int defaultY;
};

// Reads the window's keys into the shared pair, 0 becoming the default; moves the window there without changing
// its size or Z order, then makes it topmost without moving, sizing or activating it.
void PlaceTopmost(WindowThreadState& state, HWND hwnd, const PositionKeys& keys);
// The WM_SETCURSOR part of the rule; the caller then lets default processing run.
void SavePositionIfMoved(WindowThreadState& state, HWND hwnd, const PositionKeys& keys);
// Icon resource 113 as the window's large icon.
void SetLargeIcon(HWND hwnd);

}  // namespace ui
