#pragma once
// The status windows as the control window opens and closes them: modeless, topmost dialogs from
// their templates, without parent, with icon 113, each placed and remembered by the shared position rule
// under its own keys (placed_dialog.h). A window closed with its own close box is only hidden: it still
// counts as open until its check box in the control window closes it.
#include <windows.h>

#include <array>
#include <vector>

#include "dxcc/dxcc_entity_table.h"
#include "ui/state_cells.h"
#include "ui/zone_cells.h"
#include "ui/win32/advanced_button.h"
#include "ui/win32/cq_ww_info_button.h"
#include "ui/win32/gdi.h"
#include "ui/win32/placed_dialog.h"
#include "ui/win32/window_state.h"

namespace ui {

// The DXCC window: one drawn panel that fills the window.
class Multiplier : public PlacedDialog<Multiplier> {
public:
    static constexpr PositionKeys kPosition = {"dxcc_x", "dxcc_y", 10, 400};
    explicit Multiplier(WindowThreadState& state);
    static const MessageTable<Multiplier>& Messages();

    // Repaints the panel from the refresh's data, without erasing.
    void InvalidatePanel();

    CCqWwInfoButton panel;

protected:
    BOOL OnInitDialog() override;

private:
    LRESULT OnSize(WPARAM, LPARAM, bool&);
};

// The State/Province window: 63 elliptic cells, green until the refresh marks them worked.
class Stat_Prov : public PlacedDialog<Stat_Prov, ColoredDialog<Stat_Prov>> {
public:
    static constexpr PositionKeys kPosition = {"stat_x", "stat_y", 10, 600};
    explicit Stat_Prov(WindowThreadState& state);
    static const MessageTable<Stat_Prov>& Messages();

    void FieldsToControls() override;
    // Every cell green with a near-black label, and no marks.
    void ResetCells();
    // Cell `index` (in mark order) magenta with a yellow label.
    void ShowCellWorked(size_t index);

    std::array<CAdvancedButton, kStateCellCount> cells;
    StateCellMarks marks;

protected:
    BOOL OnInitDialog() override;
};

// The CQ zone window: 40 elliptic cells, zones 1 to 40, like the State/Province grid: green until worked, magenta
// with a yellow label for a zone worked on the band the host is on, pale magenta for one worked on another band
// only (still a multiplier here).
class CQ_Zones : public PlacedDialog<CQ_Zones, ColoredDialog<CQ_Zones>> {
public:
    static constexpr PositionKeys kPosition = {"zones_x", "zones_y", 10, 200};
    static constexpr COLORREF kOtherBandFace = RGB(255, 170, 255);
    explicit CQ_Zones(WindowThreadState& state);
    static const MessageTable<CQ_Zones>& Messages();

    // Gives each cell whose mark changed the colours of its new mark: a refresh follows every call the host
    // checks, and most change nothing here.
    void ShowMarks(const ZoneMarks& next);

    std::array<CAdvancedButton, kZoneCellCount> cells;
    ZoneMarks marks{};  // as the cells show them

protected:
    BOOL OnInitDialog() override;
};

// A continent page of the extended DXCC window: a child dialog with one automatic check box per entity of
// its page in the entity table that the contest counts, each tick bound to one mark. The six page classes differ
// only in their page.
class DxccPageDialog : public ColoredDialog<DxccPageDialog> {
public:
    explicit DxccPageDialog(DxccPage page);
    // One map for all six pages.
    static const MessageTable<DxccPageDialog>& Messages() { return ColorMessages(); }

    void FieldsToControls() override;
    void ControlsToFields() override;

    DxccPage Page() const { return page_; }

    std::vector<int> marks;  // one per row of the page, in the page's control-id order
    bool waeCountries = true;  // the WAE-only countries have their boxes; set before the page is made

protected:
    BOOL OnInitDialog() override;

private:
    DxccPage page_;
};

class WAE_ALL : public DxccPageDialog {
public:
    WAE_ALL() : DxccPageDialog(DxccPage::EU) {}
};
class AF_DXCC : public DxccPageDialog {
public:
    AF_DXCC() : DxccPageDialog(DxccPage::AF) {}
};
class AS_DXCC : public DxccPageDialog {
public:
    AS_DXCC() : DxccPageDialog(DxccPage::AS) {}
};
class NA_DXCC : public DxccPageDialog {
public:
    NA_DXCC() : DxccPageDialog(DxccPage::NA) {}
};
class SA_DXCC : public DxccPageDialog {
public:
    SA_DXCC() : DxccPageDialog(DxccPage::SA) {}
};
class OC_DXCC : public DxccPageDialog {
public:
    OC_DXCC() : DxccPageDialog(DxccPage::OC) {}
};

// The extended DXCC window: a tab control with the six continent pages, EU selected whenever it is shown.
class Multiplier_Mult : public PlacedDialog<Multiplier_Mult, ColoredDialog<Multiplier_Mult>> {
public:
    static constexpr PositionKeys kPosition = {"dxcc_extended_x", "dxcc_extended_y", 10, 400};
    explicit Multiplier_Mult(WindowThreadState& state);
    ~Multiplier_Mult() override;
    static const MessageTable<Multiplier_Mult>& Messages();

    // Moves `marks` into the boxes of the six pages, in the order EU, AF, AS, NA, SA, OC.
    void FieldsToControls() override;
    // Shows page `index` (tab order) at the page place, hides the others and selects its tab; an index
    // outside 0..5 does nothing.
    void ShowPage(int index);
    // The page of tab `index`, or null.
    DxccPageDialog* PageAt(int index);
    HWND Tabs() const { return tabs_; }

    // The ticks of the continent pages, as the last refresh left them.
    DxccMarks marks;

    NA_DXCC naPage;
    SA_DXCC saPage;
    AS_DXCC asPage;
    AF_DXCC afPage;
    OC_DXCC ocPage;
    WAE_ALL euPage;
    int pageX = 0, pageY = 0, pageWidth = 0, pageHeight = 0;

protected:
    BOOL OnInitDialog() override;

private:
    LRESULT OnPaint(WPARAM, LPARAM, bool&);
    LRESULT OnQueryDragIcon(WPARAM, LPARAM, bool&);
    LRESULT OnShowWindow(WPARAM, LPARAM, bool&);
    LRESULT OnNotify(WPARAM, LPARAM, bool&);

    HICON icon_ = nullptr;
    HWND tabs_ = nullptr;
};

// The change-of-band window: the band changes logged in this UTC clock hour (counted by the engine while the
// window exists), the minutes left in that hour, and an indicator that turns red from the last change the
// entry's rule allows (BandChangeLightLimit: by its category and contest year; without a category, the
// contest's multi-operator limit, the sixth in the Roundup, the eighth in the CQ WW) until minute 0 of the next
// hour. A one-second timer drives it; the indicator is drawn once into an
// off-screen picture that each paint copies to the window.
class Change_Band : public PlacedDialog<Change_Band, ColoredDialog<Change_Band>> {
public:
    static constexpr PositionKeys kPosition = {"change_band_x", "change_band_y", 10, 10};
    static constexpr UINT_PTR kTimerId = 1445;
    static constexpr UINT kTimerPeriodMs = 1000;
    static constexpr COLORREF kGreen = RGB(0, 255, 0);
    static constexpr COLORREF kRed = RGB(255, 0, 0);
    // The circle of centre (190, 30), 20 pixels across at 96 dpi, right of the label; scaled with the window.
    static constexpr RECT kIndicator = {180, 20, 200, 40};

    explicit Change_Band(WindowThreadState& state);
    static const MessageTable<Change_Band>& Messages();

    void FieldsToControls() override;
    void StartTimer();
    void StopTimer();
    // The captions used while russianTexts is set; its initialisation applies them before it sizes and places
    // itself.
    void ApplyRussianTexts();
    // One timer tick, as WM_TIMER runs it (without the timer restart).
    void Tick();

    int bandChangeCount = 0;
    int minutesLeft = 0;
    COLORREF indicatorColor = kGreen;
    RECT indicator = kIndicator;  // in this window's client pixels

protected:
    BOOL OnInitDialog() override;

private:
    LRESULT OnTimer(WPARAM, LPARAM, bool&);
    LRESULT OnPaint(WPARAM, LPARAM, bool&);
    LRESULT OnEditFocus(WPARAM, LPARAM, bool&);
    // Draws the indicator in `color` into the picture; the brush it replaces is freed.
    void PaintIndicator(COLORREF color);

    // The off-screen picture, as large as the screen, with the indicator's outline pen and its one brush
    // selected; each selection is declared after what it selects, so it lets go of it first.
    MemoryDc pictureDc_;
    Bitmap picture_;
    Selection pictureSelection_;
    Pen pen_;
    Selection penSelection_;
    Brush indicatorBrush_;
    Selection indicatorSelection_;
    int screenWidth_ = 0;
    int screenHeight_ = 0;
};

}  // namespace ui
