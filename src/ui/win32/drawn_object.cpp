#include "ui/win32/drawn_object.h"

#include <cstdlib>
#include <utility>

#include "ui/win32/gdi.h"

namespace ui {

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kNearBlack = RGB(1, 1, 1);

COLORREF PaletteGrey(int level) { return PALETTERGB(level, level, level); }

void Shrink(RECT& r, int by) { InflateRect(&r, -by, -by); }

// A pen selected for one drawing call: the previous pen goes back and the new one is deleted afterwards.
struct ScopedPen {
    ScopedPen(HDC dc, int style, int width, COLORREF color)
        : pen(CreatePen(style, width, color)), selection(dc, pen.get()) {}
    Pen pen;
    Selection selection;
};

}  // namespace

void FillSolidRect(HDC dc, int x, int y, int cx, int cy, COLORREF color) {
    RECT r = {x, y, x + cx, y + cy};
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void Draw3dRect(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
    int x = rect.left, y = rect.top, cx = rect.right - rect.left, cy = rect.bottom - rect.top;
    FillSolidRect(dc, x, y, cx - 1, 1, topLeft);
    FillSolidRect(dc, x, y, 1, cy - 1, topLeft);
    FillSolidRect(dc, x + cx, y, -1, cy, bottomRight);
    FillSolidRect(dc, x, y + cy, cx, -1, bottomRight);
}

void DrawnObject::DrawLabel(HDC dc, RECT rect, const std::wstring& text, COLORREF color) {
    COLORREF old = SetTextColor(dc, color);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetTextColor(dc, old);
}

// --- rectangle ---------------------------------------------------------------------------------------------

void DrawnRect::Draw(HDC dc, RECT rect, UINT itemState, COLORREF faceColor) {
    DrawFace(dc, rect, faceColor);
    DrawBorder(dc, rect, 2);
    // Without the focus a pressed button still looks raised.
    if (!(itemState & ODS_FOCUS)) return;
    if (itemState & ODS_SELECTED) DrawBorder(dc, rect, -1);
    Shrink(rect, 2);
    DrawFocus(dc, rect, faceColor);
}

void DrawnRect::DrawBorder(HDC dc, RECT rect, int depth) {
    int n = std::abs(depth);
    for (int c = 1; c <= n; ++c) {
        COLORREF light = n == 1 ? kWhite : PaletteGrey(192 + 63 / c);
        COLORREF dark = n == 1 ? kGrey : PaletteGrey(255 / (c + 1));
        if (depth < 0) std::swap(light, dark);
        Draw3dRect(dc, rect, light, dark);
        Shrink(rect, 1);
    }
}

void DrawnRect::DrawFace(HDC dc, RECT rect, COLORREF color) {
    FillRect(dc, &rect, Brush(CreateSolidBrush(color)).get());
}

void DrawnRect::DrawFocus(HDC dc, RECT rect, COLORREF) { DrawFocusRect(dc, &rect); }

// --- ellipse -----------------------------------------------------------------------------------------------

void DrawnEllipse::Draw(HDC dc, RECT rect, UINT itemState, COLORREF faceColor) {
    RECT r = rect;
    Shrink(r, 1);
    DrawBorder(dc, r, 2);
    Shrink(r, 1);
    DrawFace(dc, r, faceColor);
    if (!(itemState & ODS_FOCUS)) return;
    if (itemState & ODS_SELECTED) {
        Shrink(r, -1);
        DrawBorder(dc, r, -1);
        Shrink(r, 1);
        DrawBorder(dc, r, -1);
    }
    DrawFace(dc, r, faceColor);
    Shrink(r, 2);
    DrawFocus(dc, r, faceColor);
    // Painting the face over the inside again leaves only the dotted ring of the focus mark.
    Shrink(r, 1);
    DrawFace(dc, r, faceColor);
}

void DrawnEllipse::DrawBorder(HDC dc, RECT rect, int depth) {
    ScopedPen pen(dc, PS_SOLID, 2, depth >= 0 ? kGrey : kNearBlack);
    Ellipse(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void DrawnEllipse::DrawFace(HDC dc, RECT rect, COLORREF color) {
    // Concentric rings of a 3-pixel pen fill the shape.
    ScopedPen pen(dc, PS_SOLID, 3, color);
    while (!IsRectEmpty(&rect)) {
        Shrink(rect, 1);
        Ellipse(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
}

void DrawnEllipse::DrawFocus(HDC dc, RECT rect, COLORREF color) {
    ScopedPen pen(dc, PS_DOT, 1, kNearBlack);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, color);
    Ellipse(dc, rect.left, rect.top, rect.right, rect.bottom);
}

}  // namespace ui
