#pragma once
// What the DXCC window's panel (CCqWwInfoButton) paints, worked out without a device context: the win32
// painter fills the rectangles in order, sets a transparent background and draws each text at its point
// with TextOut, in the default font and text colour of a new memory context.
//
// List mode (no call entered): the worked prefixes in rows of columns 40 pixels apart, shown only while
// the host is on one of the six bands. Table mode (a call entered): a header and the band rows 1 to 5
// (80 to 10 m; the 160 m row is not shown), with the current band highlighted; the last column's heading
// says what the contest's exchange holds.
#include <cstdint>
#include <string>
#include <vector>

struct PanelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct PanelFill {
    PanelRect rect;
    uint32_t color;  // 0x00BBGGRR
};

struct PanelText {
    int x;
    int y;
    std::string text;
};

struct DxccPanelPaint {
    std::vector<PanelFill> fills;  // in painting order, before any text
    std::vector<PanelText> texts;
};

// The layout is given in pixels at 96 dpi; the painter passes how its window's dialog units compare with those
// at 96 dpi (6 x 13 pixels), so at 120 and 144 dpi the panel shows the same layout, larger, and the height the
// font's letters take, so the lines of the list never touch whatever the font.
struct PanelScale {
    int unitX = 6;
    int unitY = 13;
    int inkHeight = 13;  // the font's height less its internal leading

    int X(int px) const { return px * unitX / 6; }
    int Y(int px) const { return px * unitY / 13; }
};

constexpr uint32_t kPanelListBackground = 0xC6FAFF;
constexpr uint32_t kPanelTableBackground = 0xC6FFFF;
constexpr uint32_t kPanelBandHighlight = 0xFFFFC6;

// `item` is the panel's item rectangle; points are in the same coordinates. A band row with fewer than
// four texts shows the texts it has.
DxccPanelPaint LayoutDxccPanel(const std::string& currentCall, int currentBandIndex,
                               const std::vector<std::vector<std::string>>& bandRows,
                               const std::vector<std::string>& workedDxcc, const std::string& exchangeHeading,
                               const PanelRect& item, const PanelScale& scale = PanelScale());
