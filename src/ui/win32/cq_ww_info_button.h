#pragma once
// The DXCC window's panel: the earlier QSOs of the call being entered, band by band, or the worked DXCC
// prefixes. It keeps nothing: each paint reads the values it is pointed at.
#include <windows.h>

#include <string>
#include <vector>

#include "ui/win32/owner_drawn.h"

namespace ui {

// What the panel shows, as the refresh leaves it.
struct InfoPanelData {
    std::string currentCall;
    int currentBandIndex = -1;  // 0..5 for 160..10 m, -1 off the contest bands
    std::vector<std::vector<std::string>> bandRows;  // six rows: label, mode, time, exchange, ...
    std::vector<std::string> workedDxcc;
};

// Paints the panel into `dc` over the item rectangle `item` (in the item's own coordinates).
void PaintInfoPanel(HDC dc, const RECT& item, const InfoPanelData& data);

class CCqWwInfoButton : public OwnerDrawnControl {
public:
    void DrawItem(const DRAWITEMSTRUCT& item) override;
    // Where the paint reads its values; null paints an empty list.
    const InfoPanelData* source = nullptr;
};

}  // namespace ui
