#include "ui/win32/cq_ww_info_button.h"

#include "ui/win32/mem_dc.h"

namespace ui {

namespace {

constexpr COLORREF kListBackground = RGB(255, 250, 198);
constexpr COLORREF kTableBackground = RGB(255, 255, 198);
constexpr COLORREF kCurrentBand = RGB(198, 255, 255);

void Fill(HDC dc, const RECT& r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void Text(HDC dc, int x, int y, const std::string& s) { TextOutA(dc, x, y, s.data(), static_cast<int>(s.size())); }

}  // namespace

void PaintInfoPanel(HDC dc, const RECT& item, const InfoPanelData& data) {
    if (data.currentCall.empty()) {
        Fill(dc, item, kListBackground);
        if (data.currentBandIndex < 0) return;
        SetBkMode(dc, TRANSPARENT);
        int x = 5, y = 0;
        for (const std::string& prefix : data.workedDxcc) {
            Text(dc, x, y, prefix);
            x += 40;
            if (x > item.right - 40) {
                y += 15;
                x = 5;
            }
        }
        return;
    }

    Fill(dc, item, kTableBackground);
    int u = item.bottom / 7;
    int b = data.currentBandIndex;
    if (b >= 0) {
        RECT band = {0, u * (b + 1) - 5, item.right, u * (b + 2) - 13};
        Fill(dc, band, kCurrentBand);
    }
    SetBkMode(dc, TRANSPARENT);
    Text(dc, 20, 18, "Band");
    Text(dc, 100, 18, "Mode");
    Text(dc, 180, 0, data.currentCall);
    Text(dc, 178, 18, "Time");
    Text(dc, 225, 18, "State/Prov/NR");
    static const int kColumns[4] = {20, 100, 180, 260};
    for (int j = 1; j <= 5 && j < static_cast<int>(data.bandRows.size()); ++j) {
        const std::vector<std::string>& row = data.bandRows[static_cast<size_t>(j)];
        // A row shorter than four texts shows what it has.
        for (size_t column = 0; column < 4 && column < row.size(); ++column)
            Text(dc, kColumns[column], 20 + j * u, row[column]);
    }
}

void CCqWwInfoButton::DrawItem(const DRAWITEMSTRUCT& item) {
    static const InfoPanelData kEmpty;
    CMemDC memDc(item.hDC);
    PaintInfoPanel(memDc.Dc(), item.rcItem, source != nullptr ? *source : kEmpty);
}

}  // namespace ui
