#pragma once
// Owner-drawn push buttons whose face and label colours the windows change at run time: the control
// window's mode buttons (rectangles) and the State/Province cells (ellipses).
#include <windows.h>

#include "ui/win32/owner_drawn.h"

namespace ui {

class CAdvancedComponent {
public:
    virtual ~CAdvancedComponent() = default;
    virtual bool SetLabelColor(COLORREF color);
    virtual bool SetFaceColor(COLORREF color);
    virtual void Redraw() = 0;

    COLORREF faceColor = 0;
    COLORREF labelColor = 0;
};

class CAdvancedButton : public OwnerDrawnControl, public CAdvancedComponent {
public:
    static constexpr int kShapeEllipse = 1;  // any other value draws a rectangle
    static constexpr int kLabelBufferSize = 512;

    // Takes over item `id` of `parent` with the three colours and a rectangle shape; false, changing
    // nothing, when the item cannot be subclassed.
    bool AttachToItem(int id, HWND parent, COLORREF face, COLORREF label, COLORREF disabledLabel);
    void Redraw() override;
    void DrawItem(const DRAWITEMSTRUCT& item) override;

    COLORREF disabledLabelColor = 0;
    int shape = 0;

protected:
    // Every button taken over is painted by this class.
    void PreSubclassWindow() override;
};

}  // namespace ui
