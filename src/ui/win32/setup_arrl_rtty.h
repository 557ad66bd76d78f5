#pragma once
// The control window: five drawn mode buttons that switch the host's digital mode through its Automation
// object, four check boxes that open and close the status windows (a fifth for the CQ zone window where the
// contest counts zones), and the receiver of WM_STATS_REFRESH.
// It runs modally on the window thread, which creates exactly one at a time.
#include <windows.h>

#include <string>

#include "resources/resource.h"
#include "ui/status_model.h"
#include "ui/win32/advanced_button.h"
#include "ui/win32/placed_dialog.h"
#include "ui/win32/window_state.h"

namespace ui {

class Setup_ARRL_RTTY : public PlacedDialog<Setup_ARRL_RTTY, ColoredDialog<Setup_ARRL_RTTY>> {
public:
    static constexpr PositionKeys kPosition = {"setup_x", "setup_y", 10, 600};
    explicit Setup_ARRL_RTTY(WindowThreadState& state);
    static const MessageTable<Setup_ARRL_RTTY>& Messages();

    // Window property counting the refreshes handled to the end.
    static constexpr const char* kRefreshCountProperty = "StatsRefreshesHandled";

    void FieldsToControls() override;
    void ControlsToFields() override;

    int viewState = 0;
    int viewDxcc = 0;
    int viewDxccExtended = 0;
    int viewTimer = 0;
    int viewZones = 0;  // stays 0 where the contest counts no zones
    CAdvancedButton amtor;
    CAdvancedButton packet;
    CAdvancedButton bpsk31;
    CAdvancedButton bpsk63;
    CAdvancedButton rtty;

protected:
    BOOL OnInitDialog() override;

private:
    LRESULT OnViewDxcc(WPARAM, LPARAM, bool&);
    LRESULT OnViewState(WPARAM, LPARAM, bool&);
    LRESULT OnStatsRefresh(WPARAM, LPARAM, bool&);
    LRESULT OnTimer(WPARAM, LPARAM, bool&);
    void Refresh();
    void ApplyRefresh();
    LRESULT OnViewDxccExtended(WPARAM, LPARAM, bool&);
    LRESULT OnViewTimer(WPARAM, LPARAM, bool&);
    LRESULT OnViewZones(WPARAM, LPARAM, bool&);
    LRESULT OnModeButton(WPARAM, LPARAM, bool&);
    LRESULT OnClose(WPARAM, LPARAM, bool&);

    CAdvancedButton* ButtonOf(int id);
    // Shows `selected` green and the other four grey with near-black labels; null greys none.
    void ShowSelectedMode(CAdvancedButton* selected);
    void SendMacro(const char* macro);
    void PostRefresh();
    void RestoreMode();

    // Opening and closing the status windows, on this thread only.
    void OpenDxccWindow();
    void OpenStateWindow();
    void OpenDxccExtWindow();
    void OpenBandChangeWindow();
    void OpenZonesWindow();
    void KeepDxccWindowOnTop();
    void CloseDxccWindow();
    void CloseStateWindow();
    void CloseDxccExtWindow();
    void CloseBandChangeWindow();
    void CloseZonesWindow();
    // Every status window, in the order the library's stop closes them.
    void CloseStatusWindows();
    void ReopenWindow(StatusWindowKind kind);

    // The contest counts zones: the window has the zone window's box.
    bool HasZones() const { return TemplateId() == IDD_SETUP_ZONES; }
    bool RussianTexts() const;
    std::string ContestStartYear() const;
    void SetRefreshPending();
};

}  // namespace ui
