#include "ui/dxcc_panel_layout.h"

#include <algorithm>

namespace {

constexpr int kListLeft = 5;
constexpr int kListColumn = 40;
constexpr int kListLine = 15;
constexpr int kTableColumns[4] = {20, 100, 180, 260};

void LayoutList(int currentBandIndex, const std::vector<std::string>& workedDxcc, const PanelRect& item,
                const PanelScale& scale, DxccPanelPaint& paint) {
    paint.fills.push_back({item, kPanelListBackground});
    if (currentBandIndex < 0) return;
    const int left = scale.X(kListLeft), column = scale.X(kListColumn);
    const int line = std::max(scale.Y(kListLine), scale.inkHeight + 1);
    int x = left;
    int y = 0;
    for (const std::string& prefix : workedDxcc) {
        paint.texts.push_back({x, y, prefix});
        x += column;
        if (x > item.right - column) {
            y += line;
            x = left;
        }
    }
}

void LayoutTable(const std::string& currentCall, int currentBandIndex,
                 const std::vector<std::vector<std::string>>& bandRows, const std::string& exchangeHeading,
                 const PanelRect& item, const PanelScale& scale, DxccPanelPaint& paint) {
    paint.fills.push_back({item, kPanelTableBackground});
    // One seventh of the panel's height per line: the header, then the rows.
    const int u = item.bottom / 7;
    if (currentBandIndex >= 0) {
        const int b = currentBandIndex;
        paint.fills.push_back(
            {{0, u * (b + 1) - scale.Y(5), item.right, u * (b + 2) - scale.Y(13)}, kPanelBandHighlight});
    }
    const int header = scale.Y(18);
    paint.texts.push_back({scale.X(20), header, "Band"});
    paint.texts.push_back({scale.X(100), header, "Mode"});
    paint.texts.push_back({scale.X(180), 0, currentCall});
    paint.texts.push_back({scale.X(178), header, "Time"});
    paint.texts.push_back({scale.X(225), header, exchangeHeading});
    const size_t rows = std::min<size_t>(bandRows.size(), 6);
    for (size_t j = 1; j < rows; ++j) {
        const std::vector<std::string>& row = bandRows[j];
        const size_t shown = std::min<size_t>(row.size(), 4);
        for (size_t t = 0; t < shown; ++t) {
            paint.texts.push_back({scale.X(kTableColumns[t]), scale.Y(20) + static_cast<int>(j) * u, row[t]});
        }
    }
}

}  // namespace

DxccPanelPaint LayoutDxccPanel(const std::string& currentCall, int currentBandIndex,
                               const std::vector<std::vector<std::string>>& bandRows,
                               const std::vector<std::string>& workedDxcc, const std::string& exchangeHeading,
                               const PanelRect& item, const PanelScale& scale) {
    DxccPanelPaint paint;
    if (currentCall.empty()) {
        LayoutList(currentBandIndex, workedDxcc, item, scale, paint);
    } else {
        LayoutTable(currentCall, currentBandIndex, bandRows, exchangeHeading, item, scale, paint);
    }
    return paint;
}
