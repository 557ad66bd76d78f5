#include "ui/win32/cq_ww_info_button.h"

#include "ui/win32/dialog_scale.h"
#include "ui/win32/gdi.h"
#include "ui/win32/mem_dc.h"

namespace ui {

void PaintDxccPanel(HDC dc, const DxccPanelPaint& paint) {
    for (const PanelFill& fill : paint.fills) {
        RECT r = {fill.rect.left, fill.rect.top, fill.rect.right, fill.rect.bottom};
        FillRect(dc, &r, Brush(CreateSolidBrush(static_cast<COLORREF>(fill.color))).get());
    }
    SetBkMode(dc, TRANSPARENT);
    for (const PanelText& text : paint.texts)
        TextOutA(dc, text.x, text.y, text.text.data(), static_cast<int>(text.text.size()));
}

void CCqWwInfoButton::DrawItem(const DRAWITEMSTRUCT& item) {
    static const StatusModelState kNothing;
    const StatusModelState& s = source != nullptr ? *source : kNothing;
    const PanelRect rect = {item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom};
    // Drawn off-screen and copied in one go, so the panel never shows half a picture.
    CMemDC memDc(item.hDC);
    // The layout grows with the window's dialog units and keeps the lines apart in the context's own font.
    const DialogScale dialog(GetParent(item.hwndItem));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(memDc.Dc(), &metrics);
    PanelScale scale;
    scale.unitX = dialog.Units().cx;
    scale.unitY = dialog.Units().cy;
    scale.inkHeight = metrics.tmHeight - metrics.tmInternalLeading;
    PaintDxccPanel(memDc.Dc(),
                   LayoutDxccPanel(s.currentCall, s.currentBandIndex, s.bandRows, s.workedDxcc,
                                   s.exchangeHeading, rect, scale));
}

}  // namespace ui
