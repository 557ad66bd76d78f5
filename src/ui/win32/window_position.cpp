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

// What is left of `r` once `cover` is taken away: up to four rectangles.
std::vector<RECT> Subtract(const RECT& r, const RECT& cover) {
    RECT both;
    if (!IntersectRect(&both, &r, &cover)) return {r};
    std::vector<RECT> left;
    if (r.top < both.top) left.push_back({r.left, r.top, r.right, both.top});
    if (both.bottom < r.bottom) left.push_back({r.left, both.bottom, r.right, r.bottom});
    if (r.left < both.left) left.push_back({r.left, both.top, both.left, both.bottom});
    if (both.right < r.right) left.push_back({both.right, both.top, r.right, both.bottom});
    return left;
}

// True while a piece of `r` as large as a caption is high, each way, is covered by none of `covers`: enough of the
// window to see it is there and to drag it.
bool KeepsAVisiblePiece(const RECT& r, const std::vector<RECT>& covers, int piece) {
    std::vector<RECT> visible = {r};
    for (const RECT& c : covers) {
        std::vector<RECT> next;
        for (const RECT& v : visible) {
            const std::vector<RECT> parts = Subtract(v, c);
            next.insert(next.end(), parts.begin(), parts.end());
        }
        visible = std::move(next);
    }
    for (const RECT& v : visible)
        if (v.right - v.left >= piece && v.bottom - v.top >= piece) return true;
    return false;
}

long long OverlapArea(const RECT& a, const RECT& b) {
    RECT both;
    if (!IntersectRect(&both, &a, &b)) return 0;
    return static_cast<long long>(both.right - both.left) * (both.bottom - both.top);
}

}  // namespace

POINT CoveringPlace(POINT preferred, SIZE size, const std::vector<RECT>& others, const std::vector<Keep>& keep,
                    const RECT& workArea, int piece) {
    std::vector<LONG> xs = {preferred.x, workArea.left, workArea.right - size.cx};
    std::vector<LONG> ys = {preferred.y, workArea.top, workArea.bottom - size.cy};
    for (const RECT& t : others) {
        xs.insert(xs.end(), {t.left, t.right, t.left - size.cx, t.right - size.cx});
        ys.insert(ys.end(), {t.top, t.bottom, t.top - size.cy, t.bottom - size.cy});
    }
    // The windows kept always stay above the new one (the caller raises them), and a place beside them is
    // better still: which window the system shows on top is not always the caller's to decide (wine raises a
    // window it activates of its own accord). Each place is ranked by what it breaks, worst first: a window
    // left without a visible piece (the new one too, under a kept one), a window kept always covered, the
    // control window covered, how much is covered either way, how far it is from the preferred place.
    std::vector<RECT> above;
    for (size_t i = 0; i < others.size(); ++i)
        if (keep[i] == Keep::always) above.push_back(others[i]);
    constexpr int kRanks = 5;
    bool found = false;
    POINT best = preferred;
    long long bestRank[kRanks] = {};
    for (LONG x : xs) {
        for (LONG y : ys) {
            const RECT r = At({x, y}, size);
            if (!Inside(r, workArea)) continue;
            long long rank[kRanks] = {};
            rank[0] = KeepsAVisiblePiece(r, above, piece) ? 0 : 1;
            for (size_t i = 0; i < others.size(); ++i) {
                const long long area = OverlapArea(r, others[i]);
                if (area == 0) continue;
                if (keep[i] != Keep::always) {
                    std::vector<RECT> covers = others;
                    covers.erase(covers.begin() + static_cast<long>(i));
                    covers.push_back(r);
                    rank[0] += KeepsAVisiblePiece(others[i], covers, piece) ? 0 : 1;
                }
                rank[1] += keep[i] == Keep::always ? area : 0;
                rank[2] += keep[i] == Keep::wherePossible ? area : 0;
                rank[3] += area;
            }
            const long long dx = x - preferred.x, dy = y - preferred.y;
            rank[4] = dx * dx + dy * dy;
            if (found && !std::lexicographical_compare(rank, rank + kRanks, bestRank, bestRank + kRanks)) continue;
            found = true;
            std::copy(rank, rank + kRanks, bestRank);
            best = {x, y};
        }
    }
    return found ? best : FreePlace(preferred, size, others, workArea);
}

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
        std::vector<RECT> taken;
        std::vector<Keep> keep;
        UINT_PTR lastOrder = 0;
        for (const OtherWindow& w : others) {
            taken.push_back(w.rect);
            lastOrder = std::max(lastOrder, w.freeOrder);
            const Dialog* dialog = Dialog::FromHandle(w.hwnd);
            keep.push_back(dialog->TemplateId() == IDD_MULTIPLIER ? Keep::always
                           : dialog->TemplateId() == IDD_SETUP || dialog->TemplateId() == IDD_SETUP_ZONES
                               ? Keep::wherePossible
                                                                : Keep::no);
        }
        // Nearest to the default; where that finds nothing, the windows not yet placed by the operator packed
        // anew; where even that fails, a place that covers as little as it can: never all of a window, the
        // control window only where nothing else is left, and under the DXCC window, which stays on top.
        if (!FindFreePlace(preferred, size, taken, work, Prefer::nearest, at) &&
            !PackFreelyPlaced(others, preferred, size, work, false, at))
            at = CoveringPlace(preferred, size, taken, keep, work, GetSystemMetrics(SM_CYCAPTION));
        SetPropA(hwnd, kFreeOrderProperty, reinterpret_cast<HANDLE>(lastOrder + 1));
        SetPropA(hwnd, kDefaultProperty,
                 reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(MAKELONG(preferred.x, preferred.y))));
    }
    if (stored && GetWindowRect(hwnd, &r)) {
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTOPRIMARY), &monitor);
        // One stored coordinate with the other's default (the shared pair stores only what differs from the
        // last window's) may put a window partly off a small screen: it is moved onto it.
        const RECT& work = monitor.rcWork;
        at = {std::max(work.left, std::min<LONG>(at.x, work.right - (r.right - r.left))),
              std::max(work.top, std::min<LONG>(at.y, work.bottom - (r.bottom - r.top)))};
        // A window back at its stored place makes room there: the windows not yet placed by the operator that
        // it would cover are placed anew around it.
        const std::vector<OtherWindow> others = OtherWindows(hwnd);
        bool covers = false;
        for (const OtherWindow& w : others) covers = covers || (w.freeOrder != 0 && Overlaps(w.rect, At(at, SizeOf(r))));
        if (covers) PackFreelyPlaced(others, at, SizeOf(r), work, true, at);
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

namespace {

// The room a control's text takes in the control, in its font, or {0, 0} when it has none to fit.
SIZE TextRoomOf(HWND control, int width) {
    wchar_t kind[16] = {0};
    GetClassNameW(control, kind, 16);
    const bool button = _wcsicmp(kind, L"Button") == 0, label = _wcsicmp(kind, L"Static") == 0;
    const int length = GetWindowTextLengthW(control);
    if ((!button && !label) || length == 0) return {0, 0};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, &text[0], length + 1)));
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const LONG type = style & (button ? BS_TYPEMASK : SS_TYPEMASK);
    if (label && type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP &&
        type != SS_SIMPLE)
        return {0, 0};
    const bool box = button && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
                                type == BS_AUTO3STATE || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
    const bool wraps = label && (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
    WindowDc dc(control);
    Selection font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    // A check box's text starts after the box (as wide as a menu check mark, or 12 pixels and one at 96 dpi
    // grown with the dpi) and a gap of half a "0"; a push button leaves its edges and the focus mark free.
    int before = 0;
    if (box) {
        INT zero = 0;
        GetCharWidth32W(dc.Get(), L'0', L'0', &zero);
        const int mark = std::max(GetSystemMetrics(SM_CXMENUCHECK), 12 * GetDeviceCaps(dc.Get(), LOGPIXELSX) / 96 + 1);
        before = mark + zero / 2 + 2;
    } else if (button && type != BS_GROUPBOX) {
        before = 2 * (GetSystemMetrics(SM_CXEDGE) + 2);
    }
    RECT need = {0, 0, std::max(width - before, 1), 0};
    DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &need,
              DT_CALCRECT | DT_NOPREFIX | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    return {before + need.right, need.bottom};
}

}  // namespace

void FitControlsToTexts(HWND dialog) {
    RECT client;
    if (!GetClientRect(dialog, &client)) return;
    RECT used = client;
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        const SIZE need = TextRoomOf(c, r.right - r.left);
        if (need.cx == 0) continue;
        const int width = std::max<int>(r.right - r.left, need.cx);
        const int height = std::max<int>(r.bottom - r.top, need.cy);
        if (width != r.right - r.left || height != r.bottom - r.top)
            SetWindowPos(c, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        // The window holds the text; a control drawn wider than its text may reach past it.
        used.right = std::max<LONG>(used.right, r.left + need.cx);
        used.bottom = std::max<LONG>(used.bottom, r.top + height);
    }
    if (EqualRect(&used, &client)) return;
    RECT window;
    GetWindowRect(dialog, &window);
    SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + (used.right - client.right),
                 window.bottom - window.top + (used.bottom - client.bottom), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetLargeIcon(HWND hwnd) {
    HICON icon = LoadIconW(ResourceModule(), MAKEINTRESOURCEW(IDI_STATS));
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    // The caption's small icon too, drawn scaled: without one the system makes a small copy for each window,
    // which a window left to the end of its thread at unload keeps for good.
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

}  // namespace ui
