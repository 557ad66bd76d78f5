#include "ui/win32/window_position.h"

#include <algorithm>

#include "platform/settings.h"
#include "resources/resource.h"
#include "ui/win32/dialog.h"
#include "ui/win32/gdi.h"

namespace ui {

namespace {

bool Overlaps(const RECT& a, const RECT& b) {
    RECT both;
    return IntersectRect(&both, &a, &b) != FALSE;
}

bool Inside(const RECT& r, const RECT& area) {
    return r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom;
}

// A window placed without a stored position carries the order it opened in and its default place, until the
// mouse first passes over it and its place is stored: till then a later window may move it.
constexpr const char* kFreeOrderProperty = "StatsFreelyPlacedOrder";
constexpr const char* kDefaultProperty = "StatsDefaultPlace";

struct OtherWindow {
    HWND hwnd;
    RECT rect;
    UINT_PTR freeOrder;  // 0 once its place is stored
    POINT defaultPlace;
};

struct WindowSearch {
    HWND self;
    std::vector<OtherWindow> found;
};

BOOL CALLBACK CollectOtherWindow(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    RECT r;
    if (hwnd != search->self && IsWindowVisible(hwnd) && Dialog::FromHandle(hwnd) != nullptr &&
        GetWindowRect(hwnd, &r)) {
        const auto packed = reinterpret_cast<UINT_PTR>(GetPropA(hwnd, kDefaultProperty));
        search->found.push_back({hwnd, r, reinterpret_cast<UINT_PTR>(GetPropA(hwnd, kFreeOrderProperty)),
                                 {static_cast<LONG>(LOWORD(packed)), static_cast<LONG>(HIWORD(packed))}});
    }
    return TRUE;
}

// The visible windows of the plug-in on this thread, other than `self`.
std::vector<OtherWindow> OtherWindows(HWND self) {
    WindowSearch search{self, {}};
    EnumThreadWindows(GetCurrentThreadId(), &CollectOtherWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsFree(POINT at, SIZE size, const std::vector<RECT>& taken, const RECT& workArea) {
    const RECT r = {at.x, at.y, at.x + size.cx, at.y + size.cy};
    if (!Inside(r, workArea)) return false;
    for (const RECT& t : taken)
        if (Overlaps(r, t)) return false;
    return true;
}

enum class Prefer { nearest, topLeft };

// The free candidate place that is nearest to `preferred`, or the top-most (then left-most) one.
bool FindFreePlace(POINT preferred, SIZE size, const std::vector<RECT>& taken, const RECT& workArea,
                   Prefer prefer, POINT& place) {
    // Every place lined up, across and down, with the preferred place, an edge of the work area or an edge of a
    // taken window (beside it or flush with it): where windows are packed tightly, a free place is one of these.
    std::vector<LONG> xs = {preferred.x, workArea.left, workArea.right - size.cx};
    std::vector<LONG> ys = {preferred.y, workArea.top, workArea.bottom - size.cy};
    for (const RECT& t : taken) {
        xs.insert(xs.end(), {t.left, t.right, t.left - size.cx, t.right - size.cx});
        ys.insert(ys.end(), {t.top, t.bottom, t.top - size.cy, t.bottom - size.cy});
    }
    bool found = false;
    long long best = 0;
    for (LONG x : xs) {
        for (LONG y : ys) {
            const long long dx = x - preferred.x, dy = y - preferred.y;
            const long long rank = prefer == Prefer::nearest ? dx * dx + dy * dy
                                                             : (static_cast<long long>(y - workArea.top) << 32) + (x - workArea.left);
            if (found && rank >= best) continue;
            if (!IsFree({x, y}, size, taken, workArea)) continue;
            found = true;
            best = rank;
            place = {x, y};
        }
    }
    return found;
}

SIZE SizeOf(const RECT& r) { return {r.right - r.left, r.bottom - r.top}; }
RECT At(POINT p, SIZE size) { return {p.x, p.y, p.x + size.cx, p.y + size.cy}; }

// Places the windows that have no stored place yet anew, in the order they opened, with `self` last (or, when
// `selfFixed`, standing where it is, at `selfPlace`): each at its default when that is free, else at the top-most
// free place. Packs tightly where nearest-first placement leaves no room. Moves the others and answers where
// `self` goes; false (nothing moved) when even that fails.
bool PackFreelyPlaced(const std::vector<OtherWindow>& others, POINT selfDefault, SIZE selfSize, const RECT& workArea,
                      bool selfFixed, POINT& selfPlace) {
    std::vector<RECT> taken;
    if (selfFixed) taken.push_back(At(selfPlace, selfSize));
    std::vector<const OtherWindow*> movable;
    for (const OtherWindow& w : others) {
        if (w.freeOrder != 0) movable.push_back(&w);
        else taken.push_back(w.rect);
    }
    std::sort(movable.begin(), movable.end(),
              [](const OtherWindow* a, const OtherWindow* b) { return a->freeOrder < b->freeOrder; });
    std::vector<POINT> places;
    auto place = [&](POINT preferred, SIZE size, POINT& at) {
        if (IsFree(preferred, size, taken, workArea)) {
            at = preferred;
        } else if (!FindFreePlace(preferred, size, taken, workArea, Prefer::topLeft, at)) {
            return false;
        }
        taken.push_back(At(at, size));
        return true;
    };
    for (const OtherWindow* w : movable) {
        POINT at;
        if (!place(w->defaultPlace, SizeOf(w->rect), at)) return false;
        places.push_back(at);
    }
    if (!selfFixed && !place(selfDefault, selfSize, selfPlace)) return false;
    for (size_t i = 0; i < movable.size(); ++i) {
        if (places[i].x != movable[i]->rect.left || places[i].y != movable[i]->rect.top)
            SetWindowPos(movable[i]->hwnd, nullptr, places[i].x, places[i].y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return true;
}

}  // namespace

POINT FreePlace(POINT preferred, SIZE size, const std::vector<RECT>& taken, const RECT& workArea) {
    POINT place;
    if (FindFreePlace(preferred, size, taken, workArea, Prefer::nearest, place)) return place;
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
        const RECT& work = monitor.rcWork;
        const SIZE size = SizeOf(r);
        const POINT preferred = at;
        const std::vector<OtherWindow> others = OtherWindows(hwnd);
        std::vector<RECT> taken, kept;
        UINT_PTR lastOrder = 0;
        for (const OtherWindow& w : others) {
            taken.push_back(w.rect);
            lastOrder = std::max(lastOrder, w.freeOrder);
            const Dialog* dialog = Dialog::FromHandle(w.hwnd);
            if (dialog->TemplateId() == IDD_SETUP || dialog->TemplateId() == IDD_MULTIPLIER) kept.push_back(w.rect);
        }
        // Nearest to the default; where that finds nothing, the windows not yet placed by the operator packed
        // anew; where even that fails, a place that leaves the control window and the DXCC window uncovered.
        if (!FindFreePlace(preferred, size, taken, work, Prefer::nearest, at) &&
            !PackFreelyPlaced(others, preferred, size, work, false, at))
            at = FreePlace(preferred, size, kept, work);
        SetPropA(hwnd, kFreeOrderProperty, reinterpret_cast<HANDLE>(lastOrder + 1));
        SetPropA(hwnd, kDefaultProperty,
                 reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(MAKELONG(preferred.x, preferred.y))));
    }
    if (stored && GetWindowRect(hwnd, &r)) {
        // A window back at its stored place makes room there: the windows not yet placed by the operator that
        // it would cover are placed anew around it.
        const std::vector<OtherWindow> others = OtherWindows(hwnd);
        bool covers = false;
        for (const OtherWindow& w : others) covers = covers || (w.freeOrder != 0 && Overlaps(w.rect, At(at, SizeOf(r))));
        if (covers) {
            MONITORINFO monitor = {};
            monitor.cbSize = sizeof monitor;
            GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTOPRIMARY), &monitor);
            PackFreelyPlaced(others, at, SizeOf(r), monitor.rcWork, true, at);
        }
    }
    SetWindowPos(hwnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void SavePositionIfMoved(WindowThreadState& state, HWND hwnd, const PositionKeys& keys) {
    RECT r;
    if (!GetWindowRect(hwnd, &r)) return;
    bool written = false;
    if (r.left != state.lastPosX) {
        state.lastPosX = r.left;
        written = Settings::WriteInt(keys.keyX, r.left) || written;
    }
    if (r.top != state.lastPosY) {
        state.lastPosY = r.top;
        written = Settings::WriteInt(keys.keyY, r.top) || written;
    }
    // Stored now: no later window moves it any more.
    if (written) RemovePropA(hwnd, kFreeOrderProperty);
}

void WidenForTitle(HWND hwnd, const std::wstring& title) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    RECT window, client;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) ||
        !GetWindowRect(hwnd, &window) || !GetClientRect(hwnd, &client))
        return;
    SIZE text = {0, 0};
    {
        Font font(CreateFontIndirectW(&metrics.lfCaptionFont));
        WindowDc dc(hwnd);
        Selection selected(dc.Get(), font.get());
        GetTextExtentPoint32W(dc.Get(), title.c_str(), static_cast<int>(title.size()), &text);
    }
    const int frames = (window.right - window.left) - client.right;
    const int icon = GetSystemMetrics(SM_CXSMICON) + 2 * GetSystemMetrics(SM_CXEDGE);
    const int closeButton = std::max(GetSystemMetrics(SM_CXSIZE), GetSystemMetrics(SM_CYCAPTION)) + 2;
    const int needed = frames + icon + text.cx + text.cy / 2 + closeButton;
    if (needed > window.right - window.left)
        SetWindowPos(hwnd, nullptr, 0, 0, needed, window.bottom - window.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetLargeIcon(HWND hwnd) {
    HICON icon = LoadIconW(ResourceModule(), MAKEINTRESOURCEW(IDI_STATS));
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    // The caption's small icon too, drawn scaled: without one the system makes a small copy for each window,
    // which a window left to the end of its thread at unload keeps for good.
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

}  // namespace ui
