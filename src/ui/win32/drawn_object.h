#pragma once
// Painters of the drawn buttons: a rectangle and an ellipse. A painter lives for one paint. Every operation
// takes the rectangle by value, so none changes its caller's rectangle, and every pen and brush is selected
// only for the one drawing call and deleted afterwards.
#include <windows.h>

#include <string>

namespace ui {

class DrawnObject {
public:
    virtual ~DrawnObject() = default;
    // Paints the whole button for the item state bits (ODS_FOCUS, ODS_SELECTED, ...).
    virtual void Draw(HDC dc, RECT rect, UINT itemState, COLORREF faceColor) = 0;
    // The label centred on one line, transparent background; the text colour is restored afterwards.
    virtual void DrawLabel(HDC dc, RECT rect, const std::wstring& text, COLORREF color);
    // Positive depth raised, negative sunken.
    virtual void DrawBorder(HDC dc, RECT rect, int depth) = 0;
    virtual void DrawFace(HDC dc, RECT rect, COLORREF color) = 0;
    virtual void DrawFocus(HDC dc, RECT rect, COLORREF color) = 0;
};

class DrawnRect : public DrawnObject {
public:
    void Draw(HDC dc, RECT rect, UINT itemState, COLORREF faceColor) override;
    void DrawBorder(HDC dc, RECT rect, int depth) override;
    void DrawFace(HDC dc, RECT rect, COLORREF color) override;
    void DrawFocus(HDC dc, RECT rect, COLORREF color) override;
};

class DrawnEllipse : public DrawnObject {
public:
    void Draw(HDC dc, RECT rect, UINT itemState, COLORREF faceColor) override;
    void DrawBorder(HDC dc, RECT rect, int depth) override;
    void DrawFace(HDC dc, RECT rect, COLORREF color) override;
    void DrawFocus(HDC dc, RECT rect, COLORREF color) override;
};

// Solid fill the way the framework's device context does it (background colour plus an opaque empty text
// output); widths and heights may be negative.
void FillSolidRect(HDC dc, int x, int y, int cx, int cy, COLORREF color);
// A one-pixel frame: top and left edges in one colour, bottom and right edges in the other.
void Draw3dRect(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight);

}  // namespace ui
