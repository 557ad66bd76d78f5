// The drawn controls painted into 32-bit memory bitmaps and read back pixel by pixel: borders, faces,
// focus marks and labels of the drawn buttons, the off-screen context, and the DXCC panel.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "ui/win32/advanced_button.h"
#include "ui/win32/cq_ww_info_button.h"
#include "ui/win32/dialog.h"
#include "ui/win32/drawn_object.h"
#include "ui/win32/gdi.h"
#include "ui/win32/mem_dc.h"
#include "window_test_support.h"

namespace {

constexpr COLORREF kUntouched = RGB(10, 20, 30);
constexpr COLORREF kGreen = RGB(0, 255, 0);

COLORREF Grey(int level) { return RGB(level, level, level); }

// A memory context over a 32-bit bitmap filled with kUntouched.
class Canvas {
public:
    Canvas(int w, int h) : width(w), height(h) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = wintest::CreateTopDownBitmap(dc, w, h, &bits);
        old = SelectObject(dc, bitmap);
        RECT all = {0, 0, w, h};
        HBRUSH b = CreateSolidBrush(kUntouched);
        FillRect(dc, &all, b);
        DeleteObject(b);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const auto* p = static_cast<const unsigned char*>(bits) + (static_cast<size_t>(y) * width + x) * 4;
        return RGB(p[2], p[1], p[0]);
    }
    int Count(COLORREF c) const {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) n += At(x, y) == c;
        return n;
    }
    RECT All() const { return RECT{0, 0, width, height}; }

    int width, height;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    void* bits = nullptr;
};

// A handler that says "not handled" passes the message to the next matching entry of the chained tables;
// one that handles it stops the walk.
class ChainedDialog : public ui::DialogImpl<ChainedDialog> {
public:
    ChainedDialog() : DialogImpl(0) {}
    static const ui::MessageTable<ChainedDialog>& Messages() {
        static const ui::MessageTable<ChainedDialog> table =
            ui::Chain<ChainedDialog>({ui::OnMessage<ChainedDialog>(WM_SIZE, &ChainedDialog::Pass),
                                      ui::OnMessage<ChainedDialog>(WM_TIMER, &ChainedDialog::Take)},
                                     ui::MessageTable<ChainedDialog>{
                                         ui::OnMessage<ChainedDialog>(WM_SIZE, &ChainedDialog::Take),
                                         ui::OnMessage<ChainedDialog>(WM_TIMER, &ChainedDialog::Take)});
        return table;
    }
    bool Send(UINT message) {
        LRESULT result = 0;
        return Dispatch(message, 0, 0, result);
    }
    std::string calls;

private:
    LRESULT Pass(WPARAM, LPARAM, bool& handled) {
        calls += "pass ";
        handled = false;
        return 0;
    }
    LRESULT Take(WPARAM, LPARAM, bool&) {
        calls += "take ";
        return 0;
    }
};

TEST(MessageTable, NotHandledGoesOnToTheChainedTable) {
    ChainedDialog d;
    EXPECT_TRUE(d.Send(WM_SIZE));
    EXPECT_EQ(d.calls, "pass take ");
    d.calls.clear();
    EXPECT_TRUE(d.Send(WM_TIMER));
    EXPECT_EQ(d.calls, "take ") << "the base's entry is not reached";
    EXPECT_FALSE(d.Send(WM_PAINT));
}

// A selection of several kinds of object puts back the context's own object of each kind, not just the first.
TEST(Selection, PutsBackEveryKindItReplaced) {
    ui::MemoryDc dc(CreateCompatibleDC(nullptr));
    const HGDIOBJ pen = GetCurrentObject(dc.get(), OBJ_PEN), brush = GetCurrentObject(dc.get(), OBJ_BRUSH);
    const HGDIOBJ font = GetCurrentObject(dc.get(), OBJ_FONT);
    ui::Pen red(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    ui::Brush green(CreateSolidBrush(kGreen)), grey(CreateSolidBrush(Grey(128)));
    ui::Font small(CreateFontA(8, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma"));
    {
        ui::Selection selection(dc.get(), red.get());
        selection.Select(dc.get(), green.get());
        selection.Select(dc.get(), small.get());
        selection.Select(dc.get(), grey.get());  // a second brush: the context's own is still the one kept
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), grey.get());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), font);
}

TEST(DrawnRect, UnfocusedButtonIsFaceAndRaisedTwoLineBorderWhateverItsPressedState) {
    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED)}) {
        SCOPED_TRACE(state);
        Canvas c(40, 20);
        ui::DrawnRect().Draw(c.dc, c.All(), state, kGreen);
        EXPECT_EQ(c.At(0, 0), Grey(255));    // outer line, light
        EXPECT_EQ(c.At(0, 18), Grey(255));
        EXPECT_EQ(c.At(1, 1), Grey(223));    // inner line, light
        EXPECT_EQ(c.At(39, 19), Grey(127));  // outer line, dark
        EXPECT_EQ(c.At(0, 19), Grey(127));
        EXPECT_EQ(c.At(39, 0), Grey(127));
        EXPECT_EQ(c.At(38, 18), Grey(85));   // inner line, dark
        EXPECT_EQ(c.At(2, 2), kGreen);
        EXPECT_EQ(c.At(20, 10), kGreen);
        EXPECT_EQ(c.Count(kUntouched), 0);
    }
}

TEST(DrawnRect, FocusedAndPressedTurnsTheOuterLineSunkenAndMarksTheFocusInside) {
    Canvas c(40, 20);
    ui::DrawnRect().Draw(c.dc, c.All(), ODS_FOCUS | ODS_SELECTED, kGreen);
    EXPECT_EQ(c.At(0, 0), Grey(128));
    EXPECT_EQ(c.At(0, 10), Grey(128));
    EXPECT_EQ(c.At(39, 19), Grey(255));
    EXPECT_EQ(c.At(20, 19), Grey(255));
    EXPECT_EQ(c.At(1, 1), Grey(223));  // the second line keeps the raised colours
    // The dotted focus rectangle runs 2 pixels inside; the face inside it is untouched.
    int marked = 0;
    for (int x = 2; x < 38; ++x) marked += c.At(x, 2) != kGreen;
    EXPECT_GT(marked, 5);
    EXPECT_EQ(c.At(20, 10), kGreen);
}

TEST(DrawnRect, FocusedButNotPressedStaysRaised) {
    Canvas c(40, 20);
    ui::DrawnRect().Draw(c.dc, c.All(), ODS_FOCUS, kGreen);
    EXPECT_EQ(c.At(0, 0), Grey(255));
    EXPECT_EQ(c.At(39, 19), Grey(127));
}

TEST(DrawnRect, BorderOfDepthZeroDrawsNothingAndDepthOneIsWhiteOverGrey) {
    Canvas c(20, 20);
    ui::DrawnRect().DrawBorder(c.dc, c.All(), 0);
    EXPECT_EQ(c.Count(kUntouched), 400);
    ui::DrawnRect().DrawBorder(c.dc, c.All(), 1);
    EXPECT_EQ(c.At(0, 0), Grey(255));
    EXPECT_EQ(c.At(19, 19), Grey(128));
    EXPECT_EQ(c.At(1, 1), kUntouched);
}

TEST(DrawnEllipse, FaceInsideARingAndCornersUntouched) {
    Canvas c(41, 41);
    ui::DrawnEllipse().Draw(c.dc, c.All(), 0, kGreen);
    EXPECT_EQ(c.At(20, 20), kGreen);
    EXPECT_EQ(c.At(0, 0), kUntouched);
    EXPECT_EQ(c.At(40, 40), kUntouched);
    EXPECT_GT(c.Count(Grey(128)), 20);     // the raised ring
    EXPECT_EQ(c.Count(RGB(1, 1, 1)), 0);   // no sunken ring, no focus mark
}

TEST(DrawnEllipse, FocusedAndPressedDrawsTheDarkRingsAndADottedMark) {
    Canvas c(41, 41);
    ui::DrawnEllipse().Draw(c.dc, c.All(), ODS_FOCUS | ODS_SELECTED, kGreen);
    EXPECT_EQ(c.At(20, 20), kGreen);
    EXPECT_GT(c.Count(RGB(1, 1, 1)), 20);
}

TEST(CMemDC, DrawingReachesTheTargetOnlyWhenItEndsAndOnlyInsideTheClipBox) {
    Canvas target(40, 40);
    HRGN clip = CreateRectRgn(10, 10, 30, 30);
    SelectClipRgn(target.dc, clip);
    DeleteObject(clip);
    {
        ui::CMemDC mem(target.dc);
        EXPECT_TRUE(mem.OffScreen());
        EXPECT_EQ(mem.Area().left, 10);
        EXPECT_EQ(mem.Area().bottom, 30);
        RECT r = {12, 12, 20, 20};  // the target's coordinates
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(mem.Dc(), &r, red);
        DeleteObject(red);
        EXPECT_EQ(target.At(15, 15), kUntouched);
    }
    EXPECT_EQ(target.At(15, 15), RGB(255, 0, 0));
    EXPECT_EQ(target.At(5, 5), kUntouched);
}

TEST(AdvancedButton, LabelTakesTheDisabledColourWhenDisabled) {
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    HWND item = CreateWindowExW(0, L"BUTTON", L"WWWW", WS_CHILD | BS_PUSHBUTTON, 0, 0, 80, 30, parent,
                                reinterpret_cast<HMENU>(1003), nullptr, nullptr);
    ui::CAdvancedButton button;
    EXPECT_TRUE(button.SetFaceColor(kGreen));  // no window yet: stored, nothing to redraw
    EXPECT_FALSE(button.AttachToItem(9999, parent, kGreen, RGB(1, 1, 1), RGB(128, 128, 128)));
    EXPECT_EQ(button.labelColor, 0u);
    ASSERT_TRUE(button.AttachToItem(1003, parent, kGreen, RGB(1, 1, 1), RGB(128, 128, 128)));
    EXPECT_EQ(GetWindowLongW(item, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    ui::CAdvancedButton second;
    EXPECT_FALSE(second.AttachToItem(1003, parent, kGreen, 0, 0));  // already taken over

    for (bool disabled : {false, true}) {
        SCOPED_TRACE(disabled);
        Canvas c(80, 30);
        DRAWITEMSTRUCT d = {};
        d.CtlType = ODT_BUTTON;
        d.CtlID = 1003;
        d.itemAction = ODA_DRAWENTIRE;
        d.itemState = disabled ? ODS_DISABLED : 0;
        d.hwndItem = item;
        d.hDC = c.dc;
        d.rcItem = c.All();
        button.DrawItem(d);
        EXPECT_EQ(c.At(40, 2), kGreen);
        EXPECT_EQ(c.Count(RGB(128, 128, 128)) > 0, disabled);
        EXPECT_EQ(c.Count(RGB(1, 1, 1)) > 0, !disabled);
    }
    DestroyWindow(parent);
    EXPECT_EQ(button.Handle(), nullptr);  // the subclass let go with the window
}

// The DXCC panel painted by its button from what a refresh left, through the off-screen context.
void PaintPanel(Canvas& c, const StatusModelState& state) {
    ui::CCqWwInfoButton panel;
    panel.source = &state;
    DRAWITEMSTRUCT d = {};
    d.CtlType = ODT_BUTTON;
    d.itemAction = ODA_DRAWENTIRE;
    d.hDC = c.dc;
    d.rcItem = c.All();
    panel.DrawItem(d);
}

TEST(InfoPanel, WithoutCallOffTheBandsItIsPlainPaleYellow) {
    Canvas c(300, 140);
    StatusModelState state;
    state.workedDxcc = {"DL", "F", "G"};
    PaintPanel(c, state);
    EXPECT_EQ(c.Count(RGB(255, 250, 198)), 300 * 140);
}

TEST(InfoPanel, WorkedPrefixesRunInRowsOfColumns40PixelsApart) {
    Canvas c(300, 140);
    StatusModelState state;
    state.currentBandIndex = 2;
    for (int i = 0; i < 9; ++i) state.workedDxcc.push_back("WWW");
    PaintPanel(c, state);
    auto inked = [&](int x0, int y0, int x1, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (c.At(x, y) != RGB(255, 250, 198)) return true;
        return false;
    };
    // Seven on the first line at 5, 45, ..., 245 (then x passes 300 - 40), the last two at 5 and 45 below.
    EXPECT_TRUE(inked(5, 0, 40, 14));
    EXPECT_TRUE(inked(245, 0, 280, 14));
    EXPECT_TRUE(inked(5, 15, 40, 29));
    EXPECT_TRUE(inked(45, 15, 80, 29));
    EXPECT_FALSE(inked(85, 15, 300, 29));
    EXPECT_FALSE(inked(0, 30, 300, 140));
}

TEST(InfoPanel, WithACallTheCurrentBandRowIsHighlighted) {
    for (int band : {-1, 3}) {
        SCOPED_TRACE(band);
        Canvas c(300, 140);  // u = 140 / 7 = 20
        StatusModelState state;
        state.currentCall = "W1AW";
        state.currentBandIndex = band;
        state.bandRows.assign(6, {"80m", "   -", "   -", "   -", "   -"});
        PaintPanel(c, state);
        // Band 3 is drawn from y 20 * 4 - 5 to 20 * 5 - 13.
        EXPECT_EQ(c.At(298, 75), band == 3 ? RGB(198, 255, 255) : RGB(255, 255, 198));
        EXPECT_EQ(c.At(298, 86), band == 3 ? RGB(198, 255, 255) : RGB(255, 255, 198));
        EXPECT_EQ(c.At(298, 87), RGB(255, 255, 198));
        EXPECT_EQ(c.At(298, 74), RGB(255, 255, 198));
        // The call heads the third column.
        bool callInked = false;
        for (int y = 0; y < 14 && !callInked; ++y)
            for (int x = 180; x < 215 && !callInked; ++x) callInked = c.At(x, y) != RGB(255, 255, 198);
        EXPECT_TRUE(callInked);
    }
}

}  // namespace
