#pragma once
// What the windows draw or place by hand is laid out in the pixels of their dialog font at 96 dpi, and grows
// with the window's dialog units: at 120 and 144 dpi the same layout, larger. At 96 dpi the numbers are used
// as they are.
#include <windows.h>

namespace ui {

class DialogScale {
public:
    // Dialog base units at 96 dpi of the templates' fonts: "MS Shell Dlg" 8 and "Arial" 8.
    static constexpr SIZE kShellDlgUnits = {6, 13};
    static constexpr SIZE kArialUnits = {7, 13};

    explicit DialogScale(HWND dialog, SIZE unitsAt96 = kShellDlgUnits) : at96_(unitsAt96) {
        RECT r = {0, 0, 4, 8};  // one base unit each way
        if (dialog != nullptr && MapDialogRect(dialog, &r)) units_ = {r.right, r.bottom};
    }

    int X(int px) const { return MulDiv(px, units_.cx, at96_.cx); }
    int Y(int px) const { return MulDiv(px, units_.cy, at96_.cy); }
    RECT Rect(const RECT& px) const { return {X(px.left), Y(px.top), X(px.right), Y(px.bottom)}; }
    SIZE Units() const { return units_; }

private:
    SIZE at96_;
    SIZE units_ = at96_;
};

}  // namespace ui
