#pragma once
// The four status windows as the control window opens and closes them: modeless, topmost dialogs from
// their templates, without parent, with icon 113, each placed and remembered by the shared position rule
// under its own keys. A window closed with its own close box is only hidden: it still counts as open
// until its check box in the control window closes it.
#include <windows.h>

#include <array>

#include "dxcc/dxcc_entity_table.h"
#include "ui/state_cells.h"
#include "ui/win32/advanced_button.h"
#include "ui/win32/cq_ww_info_button.h"
#include "ui/win32/dialog.h"
#include "ui/win32/window_position.h"
#include "ui/win32/window_state.h"

namespace ui {

template <class T>
class StatusDialog : public DialogImpl<T> {
public:
    StatusDialog(int templateId, WindowThreadState& state, const PositionKeys& keys)
        : DialogImpl<T>(templateId), state_(state), keys_(keys) {}

protected:
    // Position from the window's keys, topmost, large icon.
    void PlaceWindow() {
        LoadPosition(state_, keys_);
        PlaceTopmostAtLastPosition(state_, this->Handle());
        SetLargeIcon(this->Handle());
    }
    LRESULT OnSetCursor(WPARAM, LPARAM, bool& handled) {
        SavePositionIfMoved(state_, this->Handle(), keys_);
        handled = false;
        return 0;
    }
    LRESULT OnClose(WPARAM, LPARAM, bool&) {
        ShowWindow(this->Handle(), SW_HIDE);
        return 0;
    }

    WindowThreadState& state_;
    PositionKeys keys_;
};

// The DXCC window: one drawn panel that fills the window.
class Multiplier : public StatusDialog<Multiplier> {
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
class Stat_Prov : public StatusDialog<Stat_Prov> {
public:
    static constexpr PositionKeys kPosition = {"stat_x", "stat_y", 10, 600};
    explicit Stat_Prov(WindowThreadState& state);
    ~Stat_Prov() override;
    static const MessageTable<Stat_Prov>& Messages();

    void FieldsToControls() override;
    // Every cell green with a near-black label, and no marks.
    void ResetCells();
    // Cell `index` (in mark order) magenta with a yellow label.
    void ShowCellWorked(size_t index);

    std::array<CAdvancedButton, kStateCellCount> cells;
    StateCellMarks marks;
    HBRUSH brush = nullptr;

protected:
    BOOL OnInitDialog() override;

private:
    LRESULT OnCtlColor(WPARAM, LPARAM, bool&);
};

class Multiplier_Mult : public StatusDialog<Multiplier_Mult> {
public:
    static constexpr PositionKeys kPosition = {"dxcc_extended_x", "dxcc_extended_y", 10, 400};
    explicit Multiplier_Mult(WindowThreadState& state);
    ~Multiplier_Mult() override;
    static const MessageTable<Multiplier_Mult>& Messages();

    // The ticks of the continent pages, as the last refresh left them.
    DxccMarks marks;

protected:
    BOOL OnInitDialog() override;

private:
    HICON icon_ = nullptr;
};

class Change_Band : public StatusDialog<Change_Band> {
public:
    static constexpr PositionKeys kPosition = {"change_band_x", "change_band_y", 10, 10};
    static constexpr UINT_PTR kTimerId = 1445;
    static constexpr UINT kTimerPeriodMs = 1000;

    explicit Change_Band(WindowThreadState& state);
    static const MessageTable<Change_Band>& Messages();

    void StartTimer();
    void StopTimer();
    // The captions used while russianTexts is set.
    void ApplyRussianTexts();

protected:
    BOOL OnInitDialog() override;

private:
    LRESULT OnTimer(WPARAM, LPARAM, bool&);
};

}  // namespace ui
