#pragma once
// The position rule that every window of the plug-in follows: a window starts where its own settings keys
// say (a stored 0 selects its default), and on each cursor-shape request it saves the coordinates that
// differ from the one position pair that all windows share. A window with no stored position at all (neither
// key, as at the first start) starts at its default unless that would cover another window of the plug-in or
// leave the work area; then it takes the free place nearest to its default, and where there is none, the place
// nearest to its default that leaves at least the control window and the DXCC window uncovered.
#include <windows.h>

#include <string>
#include <vector>

#include "ui/win32/window_state.h"

namespace ui {

struct PositionKeys {
    const char* keyX;
    const char* keyY;
    int defaultX;
    int defaultY;
};

// Reads the window's keys into the shared pair, 0 becoming the default; moves the window there (or, without a
// stored position, to a free place) without changing its size or Z order, then makes it topmost without moving,
// sizing or activating it.
void PlaceTopmost(WindowThreadState& state, HWND hwnd, const PositionKeys& keys);
// Where a window of `size` goes that would rather stand at `preferred`: there when it lies inside `workArea` and
// covers none of `taken`; otherwise the free place inside the work area nearest to `preferred` among those lined
// up, across and down, with `preferred`, an edge of the work area or an edge of a taken rectangle; `preferred`
// moved onto the work area when there is none.
POINT FreePlace(POINT preferred, SIZE size, const std::vector<RECT>& taken, const RECT& workArea);
// How much a window must stay in sight when another has to cover some window: the DXCC window always (the
// operator reads the current band's row there: it is raised above every window that overlaps it), the control
// window wherever there is any other way.
enum class Keep { no, wherePossible, always };
// Where a window of `size` goes when no place is free, on the work area, ranked in this order: leaving itself
// (under the windows kept always, `keep[i]` for `others[i]`) and every window it covers a piece of `piece` pixels
// each way that no other window covers; covering as little of the windows kept where possible; covering the
// least area; nearest to `preferred`.
POINT CoveringPlace(POINT preferred, SIZE size, const std::vector<RECT>& others, const std::vector<Keep>& keep,
                    const RECT& workArea, int piece);
// The WM_SETCURSOR part of the rule; the caller then lets default processing run.
void SavePositionIfMoved(WindowThreadState& state, HWND hwnd, const PositionKeys& keys);
// Widens the window, keeping its left edge, until its caption can show `title` whole beside the icon and the
// close button, in the system's caption font; never narrows it. A title's count thus stays readable at every
// dpi and in every language.
void WidenForTitle(HWND hwnd, const std::wstring& title);
// Makes each check box, push button and text of the dialog wide (and a text that wraps high) enough for its text
// in the font it is drawn with, keeping its left and top edges, and then the dialog large enough for them: the
// templates' sizes in dialog units do not grow exactly as the font does at every dpi, nor fit the Russian texts.
// A control may reach past the dialog as long as its text does not. Never narrows a control.
void FitControlsToTexts(HWND dialog);
// Icon resource 113 as the window's large icon.
void SetLargeIcon(HWND hwnd);

}  // namespace ui
