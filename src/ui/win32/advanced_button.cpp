#include "ui/win32/advanced_button.h"

#include <memory>
#include <string>

#include "ui/win32/drawn_object.h"

namespace ui {

bool CAdvancedComponent::SetLabelColor(COLORREF color) {
    labelColor = color;
    Redraw();
    return true;
}

bool CAdvancedComponent::SetFaceColor(COLORREF color) {
    faceColor = color;
    Redraw();
    return true;
}

bool CAdvancedButton::AttachToItem(int id, HWND parent, COLORREF face, COLORREF label, COLORREF disabledLabel) {
    if (!SubclassDlgItem(id, parent)) return false;
    faceColor = face;
    labelColor = label;
    disabledLabelColor = disabledLabel;
    shape = 0;
    return true;
}

void CAdvancedButton::PreSubclassWindow() {
    HWND hwnd = Handle();
    LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    SetWindowLongPtrW(hwnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
}

void CAdvancedButton::Redraw() {
    // Nothing to repaint before the button has a window.
    if (Handle() != nullptr) RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

void CAdvancedButton::DrawItem(const DRAWITEMSTRUCT& item) {
    std::unique_ptr<DrawnObject> painter;
    if (shape == kShapeEllipse)
        painter.reset(new DrawnEllipse());
    else
        painter.reset(new DrawnRect());
    wchar_t buffer[kLabelBufferSize] = {0};
    int length = GetWindowTextW(item.hwndItem, buffer, kLabelBufferSize);
    std::wstring label(buffer, length > 0 ? static_cast<size_t>(length) : 0);
    painter->Draw(item.hDC, item.rcItem, item.itemState, faceColor);
    painter->DrawLabel(item.hDC, item.rcItem, label,
                       (item.itemState & ODS_DISABLED) ? disabledLabelColor : labelColor);
}

}  // namespace ui
