#include "ui/dxcc_panel_layout.h"

#include <algorithm>

namespace {

constexpr int kListLeft = 5;
constexpr int kListColumn = 40;
constexpr int kListLine = 15;
constexpr int kTableColumns[4] = {20, 100, 180, 260};

void LayoutList(int currentBandIndex, const std::vector<std::string>& workedDxcc, const PanelRect& item,
                DxccPanelPaint& paint) {
    paint.fills.push_back({item, kPanelListBackground});
    if (currentBandIndex < 0) return;
    int x = kListLeft;
    int y = 0;
    for (const std::string& prefix : workedDxcc) {
        paint.texts.push_back({x, y, prefix});
        x += kListColumn;
        if (x > item.right - kListColumn) {
            y += kListLine;
            x = kListLeft;
        }
    }
}

void LayoutTable(const std::string& currentCall, int currentBandIndex,
                 const std::vector<std::vector<std::string>>& bandRows, const PanelRect& item,
                 DxccPanelPaint& paint) {
    paint.fills.push_back({item, kPanelTableBackground});
    // One seventh of the panel's height per line: the header, then the rows.
    const int u = item.bottom / 7;
    if (currentBandIndex >= 0) {
        const int b = currentBandIndex;
        paint.fills.push_back({{0, u * (b + 1) - 5, item.right, u * (b + 2) - 13}, kPanelBandHighlight});
    }
    paint.texts.push_back({20, 18, "Band"});
    paint.texts.push_back({100, 18, "Mode"});
    paint.texts.push_back({180, 0, currentCall});
    paint.texts.push_back({178, 18, "Time"});
    paint.texts.push_back({225, 18, "State/Prov/NR"});
    const size_t rows = std::min<size_t>(bandRows.size(), 6);
    for (size_t j = 1; j < rows; ++j) {
        const std::vector<std::string>& row = bandRows[j];
        const size_t shown = std::min<size_t>(row.size(), 4);
        for (size_t t = 0; t < shown; ++t) {
            paint.texts.push_back({kTableColumns[t], 20 + static_cast<int>(j) * u, row[t]});
        }
    }
}

}  // namespace

DxccPanelPaint LayoutDxccPanel(const std::string& currentCall, int currentBandIndex,
                               const std::vector<std::vector<std::string>>& bandRows,
                               const std::vector<std::string>& workedDxcc, const PanelRect& item) {
    DxccPanelPaint paint;
    if (currentCall.empty()) {
        LayoutList(currentBandIndex, workedDxcc, item, paint);
    } else {
        LayoutTable(currentCall, currentBandIndex, bandRows, item, paint);
    }
    return paint;
}
