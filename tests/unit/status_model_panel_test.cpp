#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "ui/dxcc_panel_layout.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Placed = std::tuple<int, int, std::string>;

std::vector<Placed> Texts(const DxccPanelPaint& p) {
    std::vector<Placed> out;
    for (const PanelText& t : p.texts) out.emplace_back(t.x, t.y, t.text);
    return out;
}

void ExpectFill(const PanelFill& f, PanelRect r, uint32_t color) {
    EXPECT_EQ(f.rect.left, r.left);
    EXPECT_EQ(f.rect.top, r.top);
    EXPECT_EQ(f.rect.right, r.right);
    EXPECT_EQ(f.rect.bottom, r.bottom);
    EXPECT_EQ(f.color, color);
}

Rows SomeRows() {
    return {{"80m", "RTTY", "00:07", "CT", "   -"},   {"80m", "   -", "   -", "   -", "   -"},
            {"40m", "RTTY", "11:30", "CT", "   -"},   {"20m", "RTTY", "14:05", "0123", "   -"},
            {"15m", "   -", "   -", "   -", "   -"}, {"10m", "   -", "   -", "   -", "   -"}};
}

const PanelRect kPanel{1, 1, 297, 197};  // the button of a 300 x 200 client area

TEST(DxccPanelLayout, ListModeOffTheBandsIsTheBackgroundOnly) {
    DxccPanelPaint p = LayoutDxccPanel("", -1, SomeRows(), {"DL", "K"}, "", kPanel);
    ASSERT_EQ(p.fills.size(), 1u);
    ExpectFill(p.fills[0], kPanel, 0xC6FAFF);
    EXPECT_TRUE(p.texts.empty());
}

TEST(DxccPanelLayout, ListModeWrapsWhenTheNextColumnWouldPassTheEdge) {
    // Right edge 200: a column is started at x 5, 45, 85 and 125; after that x 165 > 160 starts a new line.
    const std::vector<std::string> worked = {"DL", "K", "JA", "VE", "G", "F", "I", "EA", "OH"};
    DxccPanelPaint p = LayoutDxccPanel("", 3, {}, worked, "", PanelRect{0, 0, 200, 40});
    ASSERT_EQ(p.fills.size(), 1u);
    ExpectFill(p.fills[0], PanelRect{0, 0, 200, 40}, 0xC6FAFF);
    EXPECT_EQ(Texts(p), (std::vector<Placed>{{5, 0, "DL"},   {45, 0, "K"},   {85, 0, "JA"},
                                             {125, 0, "VE"}, {5, 15, "G"},   {45, 15, "F"},
                                             {85, 15, "I"},  {125, 15, "EA"}, {5, 30, "OH"}}));
    // Past the bottom edge the list runs on and the painter's clipping cuts it.
    std::vector<std::string> many(40, "XX");
    p = LayoutDxccPanel("", 0, {}, many, "", PanelRect{0, 0, 200, 40});
    EXPECT_EQ(p.texts.size(), 40u);
    EXPECT_EQ(p.texts.back().y, 9 * 15);
}

TEST(DxccPanelLayout, ListModeOnANarrowPanelPutsOnePrefixPerLine) {
    DxccPanelPaint p = LayoutDxccPanel("", 5, {}, {"DL", "K", "JA"}, "", PanelRect{0, 0, 60, 100});
    EXPECT_EQ(Texts(p), (std::vector<Placed>{{5, 0, "DL"}, {5, 15, "K"}, {5, 30, "JA"}}));
}

TEST(DxccPanelLayout, TableModeDrawsHeaderAndRowsOneToFiveWithTheBandHighlighted) {
    // bottom 197: u = 28. Band 3 (20 m) lights y 4u - 5 to 5u - 13.
    DxccPanelPaint p = LayoutDxccPanel("W1AW", 3, SomeRows(), {"DL"}, "Zone/QTH", kPanel);
    ASSERT_EQ(p.fills.size(), 2u);
    ExpectFill(p.fills[0], kPanel, 0xC6FFFF);
    ExpectFill(p.fills[1], PanelRect{0, 107, 297, 127}, 0xFFFFC6);
    std::vector<Placed> want = {{20, 18, "Band"}, {100, 18, "Mode"}, {180, 0, "W1AW"}, {178, 18, "Time"},
                                {225, 18, "Zone/QTH"}};
    const Rows rows = SomeRows();
    for (int j = 1; j <= 5; ++j) {
        const int y = 20 + j * 28;
        want.emplace_back(20, y, rows[j][0]);
        want.emplace_back(100, y, rows[j][1]);
        want.emplace_back(180, y, rows[j][2]);
        want.emplace_back(260, y, rows[j][3]);
    }
    EXPECT_EQ(Texts(p), want);
}

TEST(DxccPanelLayout, TableModeHighlightFollowsTheBandAndIsAbsentOffTheBands) {
    const struct {
        int band;
        int top;
        int bottom;
    } cases[] = {{0, 23, 43}, {1, 51, 71}, {5, 163, 183}};
    for (const auto& c : cases) {
        DxccPanelPaint p = LayoutDxccPanel("W1AW", c.band, SomeRows(), {}, "", kPanel);
        ASSERT_EQ(p.fills.size(), 2u) << c.band;
        ExpectFill(p.fills[1], PanelRect{0, c.top, 297, c.bottom}, 0xFFFFC6);
    }
    DxccPanelPaint p = LayoutDxccPanel("W1AW", -1, SomeRows(), {}, "", kPanel);
    ASSERT_EQ(p.fills.size(), 1u);
    ExpectFill(p.fills[0], kPanel, 0xC6FFFF);
    EXPECT_EQ(p.texts.size(), 5u + 5u * 4u);
}

TEST(DxccPanelLayout, TableModeShowsWhatShortRowsHave) {
    const Rows rows = {{"80m", "x", "x", "x"}, {"80m", "RTTY"}, {}};
    DxccPanelPaint p = LayoutDxccPanel("W1AW", -1, rows, {}, "", PanelRect{0, 0, 300, 70});
    // u = 10; only row 1 has texts to show.
    std::vector<Placed> texts = Texts(p);
    ASSERT_EQ(texts.size(), 5u + 2u);
    EXPECT_EQ(texts[5], (Placed{20, 30, "80m"}));
    EXPECT_EQ(texts[6], (Placed{100, 30, "RTTY"}));
}

}  // namespace
