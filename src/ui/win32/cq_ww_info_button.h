#pragma once
// The DXCC window's panel: the earlier QSOs of the call being entered, band by band, or the worked DXCC
// prefixes. It keeps nothing: each paint lays the panel out afresh from what the last refresh left.
#include <windows.h>

#include "ui/dxcc_panel_layout.h"
#include "ui/status_model.h"
#include "ui/win32/owner_drawn.h"

namespace ui {

// Paints a laid-out panel: the fills in order, then every text with TextOut on a transparent background,
// in the context's current font and text colour.
void PaintDxccPanel(HDC dc, const DxccPanelPaint& paint);

class CCqWwInfoButton : public OwnerDrawnControl {
public:
    void DrawItem(const DRAWITEMSTRUCT& item) override;
    // Where the paint reads its values; null paints the empty list.
    const StatusModelState* source = nullptr;
};

}  // namespace ui
