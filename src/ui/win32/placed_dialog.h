#pragma once
// What the windows of the window thread have in common, each behaviour written once; a window class chains its
// message table to the tables here (Chain in dialog.h), and its own entries come first.
//
//   ColoredDialog  the colour requests of the window and its controls: black text on the window's text
//                  background, and the background brush 0xC6FAFF;
//   PlacedDialog   a top-level window placed by the position rule under its own settings keys, which saves
//                  its place on WM_SETCURSOR; a status window is only hidden by its close box and by Escape,
//                  and still counts as open until its check box in the control window closes it.
//
//   class Stat_Prov : public PlacedDialog<Stat_Prov, ColoredDialog<Stat_Prov>> { ... };
//   table = Chain<Stat_Prov>({...own entries...}, StatusMessages(), ColorMessages());
#include <windows.h>

#include <utility>

#include "ui/win32/dialog.h"
#include "ui/win32/gdi.h"
#include "ui/win32/window_position.h"
#include "ui/win32/window_state.h"

namespace ui {

class ControlColors {
public:
    static constexpr COLORREF kBackground = RGB(255, 250, 198);      // 0xC6FAFF
    static constexpr COLORREF kTextBackground = RGB(255, 240, 198);  // 0xC6F0FF

    explicit ControlColors(COLORREF textBackground)
        : textBackground_(textBackground), brush_(CreateSolidBrush(kBackground)) {}

    // The answer to a WM_CTLCOLOR* request for the context `dc`.
    LRESULT Answer(WPARAM dc) const {
        SetTextColor(reinterpret_cast<HDC>(dc), RGB(0, 0, 0));
        SetBkColor(reinterpret_cast<HDC>(dc), textBackground_);
        return reinterpret_cast<LRESULT>(brush_.get());
    }

private:
    COLORREF textBackground_;
    Brush brush_;
};

template <class T>
class ColoredDialog : public DialogImpl<T> {
public:
    ColoredDialog(int templateId, COLORREF textBackground) : DialogImpl<T>(templateId), colors_(textBackground) {}

protected:
    static const MessageTable<T>& ColorMessages() {
        static const MessageTable<T> table = {
            OnMessages<T>(WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, &ColoredDialog::OnCtlColor),
        };
        return table;
    }

    LRESULT OnCtlColor(WPARAM wParam, LPARAM, bool&) { return colors_.Answer(wParam); }

    ControlColors colors_;
};

template <class T, class Base = DialogImpl<T>>
class PlacedDialog : public Base {
public:
    template <class... BaseArgs>
    PlacedDialog(WindowThreadState& state, const PositionKeys& keys, BaseArgs&&... baseArgs)
        : Base(std::forward<BaseArgs>(baseArgs)...), state_(state), keys_(keys) {}

protected:
    // Puts the window where the position rule says, topmost, with the large icon.
    void PlaceWindow() {
        PlaceTopmost(state_, this->Handle(), keys_);
        SetLargeIcon(this->Handle());
    }

    static const MessageTable<T>& PositionMessages() {
        static const MessageTable<T> table = {
            OnMessage<T>(WM_SETCURSOR, &PlacedDialog::OnSetCursor),
        };
        return table;
    }
    static const MessageTable<T>& StatusMessages() {
        static const MessageTable<T> table = Chain<T>(
            {
                OnMessage<T>(WM_CLOSE, &PlacedDialog::OnHide),
                OnCommand<T>(IDCANCEL, BN_CLICKED, &PlacedDialog::OnHide),
            },
            PositionMessages());
        return table;
    }

    LRESULT OnSetCursor(WPARAM, LPARAM, bool& handled) {
        SavePositionIfMoved(state_, this->Handle(), keys_);
        handled = false;
        return 0;
    }
    LRESULT OnHide(WPARAM, LPARAM, bool&) {
        ShowWindow(this->Handle(), SW_HIDE);
        return 0;
    }

    WindowThreadState& state_;
    PositionKeys keys_;
};

}  // namespace ui
