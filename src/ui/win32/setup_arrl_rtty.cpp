#include "ui/win32/setup_arrl_rtty.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <utility>
#include <cwchar>
#include <mutex>

#include "platform/settings.h"
#include "resources/resource.h"
#include "ui/status_snapshot.h"
#include "ui/status_windows.h"
#include "ui/win32/dialog_scale.h"
#include "ui/win32/status_dialogs.h"
#include "ui/win32/window_position.h"

namespace ui {

namespace {

constexpr COLORREF kSelectedFace = RGB(0, 255, 0);
constexpr COLORREF kFace = RGB(192, 192, 192);
constexpr COLORREF kLabel = RGB(1, 1, 1);
constexpr COLORREF kDisabledLabel = RGB(128, 128, 128);

constexpr const char* kKeyViewState = "setup_view_state";
constexpr const char* kKeyViewDxcc = "setup_view_dxcc";
// The DXCC check box writes the entry with this spelling; entry names ignore case, so it is the same entry.
constexpr const char* kKeyViewDxccFromCheckBox = "setup_view_DXCC";
constexpr const char* kKeyViewDxccExtended = "setup_view_dxcc_extended";
constexpr const char* kKeyTimer = "Timer";
constexpr const char* kKeyViewZones = "setup_view_zones";
constexpr const char* kKeyMode = "Mode";
constexpr const char* kKeyModePacket = "Mode_Packet";
constexpr const char* kModePacketDone = "YES!";

// The refresh that follows one overtaken by a change waits this long: during a burst of logging the window
// thread then refreshes now and then instead of after every QSO.
constexpr UINT_PTR kFollowUpTimerId = 1525;
constexpr UINT kFollowUpDelayMs = 10;

// "Setup <contest's window name> <year>"; the Russian word for "Settings" in its place.
constexpr const char* kTitleFormat = "Setup %s %s";
constexpr const wchar_t* kRussianTitleWord = L"Настройки ";
constexpr const wchar_t* kRussianViewLabel = L"Отображать";
constexpr const wchar_t* kRussianModeLabel = L"Вид работы";
constexpr const wchar_t* kRussianTimer = L"Переходы";
constexpr const wchar_t* kRussianZones = L"Зоны CQ";

// What a stored "Mode" sends at start, and which button it shows as selected. Compared exactly: a mode
// stored in another case restores nothing.
struct ModeRestore {
    const char* stored;
    const char* macros[2];
    int buttonId;
};
constexpr ModeRestore kModeRestore[] = {
    {"RTTY", {"<MODE:RTTY>", "<BAUDRATE:45.45>"}, IDC_SETUP_RTTY},
    {"", {"<MODE:RTTY>", "<BAUDRATE:45.45>"}, IDC_SETUP_RTTY},
    {"BPSK63", {"<MODE:BPSK31>", "<BAUDRATE:63>"}, IDC_SETUP_BPSK63},
    {"BPSK31", {"<MODE:BPSK31>", nullptr}, IDC_SETUP_BPSK31},
    {"AMTOR", {"<MODE:AMTOR>", nullptr}, IDC_SETUP_AMTOR},
    {"PACKET", {"<MODE:PACKET>", nullptr}, IDC_SETUP_PACKET},
};

// What a mode button sends and stores. The RTTY button sends its baud rate with a comma, unlike the
// restore at start; that is what the host expects from the button.
struct ModeClick {
    int buttonId;
    const char* macros[2];
    const char* stored;
};
constexpr ModeClick kModeClicks[] = {
    {IDC_SETUP_RTTY, {"<MODE:RTTY>", "<BAUDRATE:45,45>"}, "RTTY"},
    {IDC_SETUP_BPSK31, {"<MODE:BPSK31>", nullptr}, "BPSK31"},
    {IDC_SETUP_BPSK63, {"<MODE:BPSK31>", "<BAUDRATE:63>"}, "BPSK63"},
    {IDC_SETUP_AMTOR, {"<MODE:AMTOR>", nullptr}, "AMTOR"},
    {IDC_SETUP_PACKET, {"<MODE:PACKET>", nullptr}, "PACKET"},
};
constexpr const char* kModeSettingsMacro = "<MODESETTINGS>";

const ModeRestore* RestoreRuleOf(const std::string& stored) {
    for (const ModeRestore& rule : kModeRestore)
        if (stored == rule.stored) return &rule;
    return nullptr;
}

// The mode a button stands for, as the contest record names it.
const char* ModeOfButton(int buttonId) {
    for (const ModeClick& click : kModeClicks)
        if (click.buttonId == buttonId) return click.stored;
    return "";
}

void SetCheck(HWND dialog, int id, int value) { CheckDlgButton(dialog, id, value ? BST_CHECKED : BST_UNCHECKED); }
int GetCheck(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0; }

// Closes a status window and frees its object. While the library is being unloaded the window is only
// hidden and let go: destroying it could wait for the unloading thread, and the end of this thread
// destroys it anyway.
template <class W>
void CloseAndDelete(W*& window, bool unloading) {
    W* w = window;
    window = nullptr;
    if (w == nullptr) return;
    if (w->Handle() != nullptr) SendMessageW(w->Handle(), WM_CLOSE, 0, 0);
    if (unloading) {
        if (w->Handle() != nullptr) ShowWindow(w->Handle(), SW_HIDE);
        w->Abandon();
    }
    delete w;  // destroys the window unless it was let go
}

template <class W>
W* CreateStatusWindow(WindowThreadState& state) {
    W* w = new W(state);
    if (!w->Create(nullptr)) {
        delete w;
        return nullptr;
    }
    return w;
}

}  // namespace

// A contest that counts zones has the template with the fifth view; any other keeps the four.
Setup_ARRL_RTTY::Setup_ARRL_RTTY(WindowThreadState& state)
    : PlacedDialog(state, kPosition, state.app.Contest().Counts(contest::MultiplierKind::Of::zone) ? IDD_SETUP_ZONES : IDD_SETUP,
                   ControlColors::kTextBackground) {}

// The control window is not a status window: its close ends the window thread, and Escape does what a
// dialog does by default.
const MessageTable<Setup_ARRL_RTTY>& Setup_ARRL_RTTY::Messages() {
    using S = Setup_ARRL_RTTY;
    static const MessageTable<S> table = Chain<S>(
        {
            OnCommand<S>(IDC_SETUP_VIEW_DXCC, BN_CLICKED, &S::OnViewDxcc),
            OnCommand<S>(IDC_SETUP_VIEW_STATE, BN_CLICKED, &S::OnViewState),
            OnMessage<S>(kWmStatsRefresh, &S::OnStatsRefresh),
            OnMessage<S>(WM_TIMER, &S::OnTimer),
            OnCommand<S>(IDC_SETUP_VIEW_DXCC_EXTENDED, BN_CLICKED, &S::OnViewDxccExtended),
            OnCommand<S>(IDC_SETUP_VIEW_TIMER, BN_CLICKED, &S::OnViewTimer),
            OnCommand<S>(IDC_SETUP_VIEW_ZONES, BN_CLICKED, &S::OnViewZones),
            OnCommand<S>(IDC_SETUP_RTTY, BN_CLICKED, &S::OnModeButton),
            OnCommand<S>(IDC_SETUP_BPSK31, BN_CLICKED, &S::OnModeButton),
            OnCommand<S>(IDC_SETUP_BPSK63, BN_CLICKED, &S::OnModeButton),
            OnCommand<S>(IDC_SETUP_AMTOR, BN_CLICKED, &S::OnModeButton),
            OnCommand<S>(IDC_SETUP_PACKET, BN_CLICKED, &S::OnModeButton),
            OnMessage<S>(WM_CLOSE, &S::OnClose),
        },
        PositionMessages(), ColorMessages());
    return table;
}

void Setup_ARRL_RTTY::FieldsToControls() {
    SetCheck(Handle(), IDC_SETUP_VIEW_STATE, viewState);
    SetCheck(Handle(), IDC_SETUP_VIEW_DXCC, viewDxcc);
    SetCheck(Handle(), IDC_SETUP_VIEW_DXCC_EXTENDED, viewDxccExtended);
    SetCheck(Handle(), IDC_SETUP_VIEW_TIMER, viewTimer);
    if (HasZones()) SetCheck(Handle(), IDC_SETUP_VIEW_ZONES, viewZones);
}

void Setup_ARRL_RTTY::ControlsToFields() {
    viewState = GetCheck(Handle(), IDC_SETUP_VIEW_STATE);
    viewDxcc = GetCheck(Handle(), IDC_SETUP_VIEW_DXCC);
    viewDxccExtended = GetCheck(Handle(), IDC_SETUP_VIEW_DXCC_EXTENDED);
    viewTimer = GetCheck(Handle(), IDC_SETUP_VIEW_TIMER);
    if (HasZones()) viewZones = GetCheck(Handle(), IDC_SETUP_VIEW_ZONES);
}

bool Setup_ARRL_RTTY::RussianTexts() const {
    return state_.app.RussianTexts();
}

std::string Setup_ARRL_RTTY::ContestStartYear() const {
    return state_.app.ContestStartYear();
}

void Setup_ARRL_RTTY::SetRefreshPending() { state_.app.SetRefreshPending(); }

BOOL Setup_ARRL_RTTY::OnInitDialog() {
    state_.controlHwnd.store(Handle());
    state_.refreshRequests.Clear();
    Dialog::OnInitDialog();

    viewState = Settings::GetInt(kKeyViewState);
    viewDxcc = Settings::GetInt(kKeyViewDxcc);
    viewDxccExtended = Settings::GetInt(kKeyViewDxccExtended);
    viewTimer = Settings::GetInt(kKeyTimer);
    if (HasZones()) viewZones = Settings::GetInt(kKeyViewZones);
    // A contest whose stations send no location (a prefix contest) has no State/Province window: its box is
    // greyed and the window never opens, whatever a settings file taken over from another contest holds.
    if (state_.app.Contest().LocationCountries().empty()) {
        viewState = 0;
        EnableWindow(Item(IDC_SETUP_VIEW_STATE), FALSE);
    }
    FieldsToControls();

    const bool russian = RussianTexts();
    const std::string year = ContestStartYear();
    if (russian) {
        // The longer Russian headings get wider places, given in 96-dpi pixels.
        const DialogScale scale(Handle());
        SetWindowTextW(Item(IDC_SETUP_VIEW_LABEL), kRussianViewLabel);
        MoveWindow(Item(IDC_SETUP_VIEW_LABEL), scale.X(155), scale.Y(5), scale.X(190), scale.Y(15), TRUE);
        SetWindowTextW(Item(IDC_SETUP_MODE_LABEL), kRussianModeLabel);
        MoveWindow(Item(IDC_SETUP_MODE_LABEL), scale.X(33), scale.Y(5), scale.X(100), scale.Y(15), TRUE);
        SetWindowTextW(Item(IDC_SETUP_VIEW_TIMER), kRussianTimer);
        if (HasZones()) SetWindowTextW(Item(IDC_SETUP_VIEW_ZONES), kRussianZones);
        const std::string name = std::string(state_.app.Contest().windowName) + " " + year;
        SetWindowTextW(Handle(), (std::wstring(kRussianTitleWord) + From1251(name)).c_str());
    } else {
        char title[256];
        std::snprintf(title, sizeof title, kTitleFormat, state_.app.Contest().windowName, year.c_str());
        SetWindowTextFrom1251(Handle(), title);
    }

    const std::pair<CAdvancedButton*, int> attachOrder[] = {{&rtty, IDC_SETUP_RTTY},
                                                            {&bpsk31, IDC_SETUP_BPSK31},
                                                            {&bpsk63, IDC_SETUP_BPSK63},
                                                            {&amtor, IDC_SETUP_AMTOR},
                                                            {&packet, IDC_SETUP_PACKET}};
    for (const auto& [button, id] : attachOrder) {
        button->AttachToItem(id, Handle(), kFace, kLabel, kDisabledLabel);
        button->shape = 0;
        button->Redraw();
    }
    // A mode the contest does not count has its button greyed: the operator is not offered a mode whose QSOs
    // would all be refused.
    for (const ModeClick& m : kModeClicks) {
        if (!state_.app.Contest().AcceptedModes().Contains(m.stored)) EnableWindow(Item(m.buttonId), FALSE);
    }

    FitControlsToTexts(Handle());
    PlaceWindow();

    state_.hostDispatch = DispatchHostLink::Connect();

    state_.rowBands.assign(std::begin(kRowBands), std::end(kRowBands));

    RestoreMode();
    PostRefresh();

    EnableMenuItem(GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_DISABLED);

    // A stop asked for while this window was being made finds it here.
    if (state_.stopRequested.load()) PostMessageW(Handle(), WM_CLOSE, 0, 0);
    return TRUE;
}

CAdvancedButton* Setup_ARRL_RTTY::ButtonOf(int id) {
    switch (id) {
        case IDC_SETUP_RTTY: return &rtty;
        case IDC_SETUP_BPSK31: return &bpsk31;
        case IDC_SETUP_BPSK63: return &bpsk63;
        case IDC_SETUP_AMTOR: return &amtor;
        case IDC_SETUP_PACKET: return &packet;
        default: return nullptr;
    }
}

void Setup_ARRL_RTTY::ShowSelectedMode(CAdvancedButton* selected) {
    if (selected != nullptr) selected->SetFaceColor(kSelectedFace);
    for (CAdvancedButton* button : {&amtor, &packet, &bpsk31, &bpsk63, &rtty}) {
        if (button == selected) continue;
        button->SetFaceColor(kFace);
        button->SetLabelColor(kLabel);
    }
}

void Setup_ARRL_RTTY::SendMacro(const char* macro) {
    if (macro != nullptr && state_.hostDispatch) state_.hostDispatch->SendMacro(macro);
}

void Setup_ARRL_RTTY::PostRefresh() { PostMessageW(Handle(), kWmStatsRefresh, 0, 0); }

void Setup_ARRL_RTTY::RestoreMode() {
    const ModeRestore* rule = RestoreRuleOf(Settings::GetString(kKeyMode, Settings::kPositionBuffer));
    // A mode the contest does not count (another contest's, in a settings file taken over from it) is neither
    // sent nor lit: the host is put in the contest's first mode instead, as at a first start, so that the QSOs
    // count from the first one on.
    const CaseInsensitiveTextSet& modes = state_.app.Contest().AcceptedModes();
    if (rule != nullptr && !modes.Contains(ModeOfButton(rule->buttonId)))
        rule = modes.Count() > 0 ? RestoreRuleOf(modes.At(0)) : nullptr;
    // Anything else: nothing is sent and the buttons keep their first colours.
    if (rule == nullptr) return;
    for (const char* macro : rule->macros) SendMacro(macro);
    ShowSelectedMode(ButtonOf(rule->buttonId));
}

LRESULT Setup_ARRL_RTTY::OnModeButton(WPARAM wParam, LPARAM, bool&) {
    const int id = LOWORD(wParam);
    for (const ModeClick& click : kModeClicks) {
        if (click.buttonId != id) continue;
        for (const char* macro : click.macros) SendMacro(macro);
        // The host's packet settings are asked for once per settings file, on the first PACKET click.
        if (id == IDC_SETUP_PACKET && Settings::GetString(kKeyModePacket, Settings::kPositionBuffer).empty()) {
            SendMacro(kModeSettingsMacro);
            Settings::WriteString(kKeyModePacket, kModePacketDone);
        }
        ShowSelectedMode(ButtonOf(id));
        Settings::WriteString(kKeyMode, click.stored);
        SetRefreshPending();
        PostRefresh();
        break;
    }
    return 0;
}

// --- status windows ---------------------------------------------------------------------------------------

// The status windows are shown without taking the focus: the operator goes on typing where he was, and a window
// activated later by the system would rise above the DXCC window (see KeepDxccWindowOnTop).
void Setup_ARRL_RTTY::OpenDxccWindow() {
    state_.dxccWindow = CreateStatusWindow<Multiplier>(state_);
    if (state_.dxccWindow != nullptr) ShowWindow(state_.dxccWindow->Handle(), SW_SHOWNA);
}

void Setup_ARRL_RTTY::OpenStateWindow() {
    state_.stateWindow = CreateStatusWindow<Stat_Prov>(state_);
    if (state_.stateWindow != nullptr) ShowWindow(state_.stateWindow->Handle(), SW_SHOWNA);
    KeepDxccWindowOnTop();
}

void Setup_ARRL_RTTY::OpenDxccExtWindow() {
    state_.dxccExtWindow = CreateStatusWindow<Multiplier_Mult>(state_);
    if (state_.dxccExtWindow != nullptr) ShowWindow(state_.dxccExtWindow->Handle(), SW_SHOWNA);
    KeepDxccWindowOnTop();
}

void Setup_ARRL_RTTY::OpenZonesWindow() {
    state_.zonesWindow = CreateStatusWindow<CQ_Zones>(state_);
    if (state_.zonesWindow != nullptr) ShowWindow(state_.zonesWindow->Handle(), SW_SHOWNA);
    KeepDxccWindowOnTop();
}

// On a screen too small for all the windows another may have to overlap the DXCC window (see CoveringPlace):
// the DXCC window, whose current band's row the operator reads, stays above it.
void Setup_ARRL_RTTY::KeepDxccWindowOnTop() {
    if (state_.dxccWindow != nullptr)
        SetWindowPos(state_.dxccWindow->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Created but not shown: the callers show it once its count is in its box and its timer runs.
void Setup_ARRL_RTTY::OpenBandChangeWindow() {
    state_.bandChangeWindow = CreateStatusWindow<Change_Band>(state_);
    // The engine counts band changes only while this window exists, from 0.
    if (state_.bandChangeWindow != nullptr) state_.app.SetBandChangeWindowOpen(true);
}

void Setup_ARRL_RTTY::CloseDxccWindow() { CloseAndDelete(state_.dxccWindow, state_.unloading.load()); }
void Setup_ARRL_RTTY::CloseStateWindow() { CloseAndDelete(state_.stateWindow, state_.unloading.load()); }
void Setup_ARRL_RTTY::CloseDxccExtWindow() { CloseAndDelete(state_.dxccExtWindow, state_.unloading.load()); }
void Setup_ARRL_RTTY::CloseZonesWindow() { CloseAndDelete(state_.zonesWindow, state_.unloading.load()); }

void Setup_ARRL_RTTY::CloseBandChangeWindow() {
    if (state_.bandChangeWindow == nullptr) return;
    state_.bandChangeWindow->StopTimer();
    CloseAndDelete(state_.bandChangeWindow, state_.unloading.load());
    state_.app.SetBandChangeWindowOpen(false);
}

void Setup_ARRL_RTTY::CloseStatusWindows() {
    if (state_.bandChangeWindow != nullptr) state_.bandChangeWindow->StopTimer();
    CloseStateWindow();
    CloseDxccWindow();
    CloseDxccExtWindow();
    CloseZonesWindow();
    CloseBandChangeWindow();
}

// The check boxes decide on the window pointer, not on the tick the click has just produced.
LRESULT Setup_ARRL_RTTY::OnViewDxcc(WPARAM, LPARAM, bool&) {
    if (state_.dxccWindow != nullptr) {
        CloseDxccWindow();
        viewDxcc = 0;
        Settings::WriteString(kKeyViewDxccFromCheckBox, "0");
        return 0;
    }
    OpenDxccWindow();
    viewDxcc = 1;
    PostRefresh();
    Settings::WriteString(kKeyViewDxccFromCheckBox, "1");
    return 0;
}

LRESULT Setup_ARRL_RTTY::OnViewState(WPARAM, LPARAM, bool&) {
    if (state_.stateWindow != nullptr) {
        CloseStateWindow();
        viewState = 0;
        Settings::WriteString(kKeyViewState, "0");
        return 0;
    }
    OpenStateWindow();
    viewState = 1;
    PostRefresh();
    Settings::WriteString(kKeyViewState, "1");
    return 0;
}

LRESULT Setup_ARRL_RTTY::OnViewDxccExtended(WPARAM, LPARAM, bool&) {
    if (state_.dxccExtWindow != nullptr) {
        CloseDxccExtWindow();
        viewDxccExtended = 0;
        Settings::WriteString(kKeyViewDxccExtended, "0");
        return 0;
    }
    OpenDxccExtWindow();
    viewDxccExtended = 1;
    PostRefresh();
    Settings::WriteString(kKeyViewDxccExtended, "1");
    return 0;
}

LRESULT Setup_ARRL_RTTY::OnViewTimer(WPARAM, LPARAM, bool&) {
    if (state_.bandChangeWindow != nullptr) {
        CloseBandChangeWindow();
        viewTimer = 0;
        Settings::WriteString(kKeyTimer, "0");
        return 0;
    }
    OpenBandChangeWindow();
    viewTimer = 1;
    if (Change_Band* w = state_.bandChangeWindow) {
        ShowWindow(w->Handle(), SW_SHOWNA);
        KeepDxccWindowOnTop();
        w->StartTimer();
    }
    Settings::WriteString(kKeyTimer, "1");
    return 0;
}

LRESULT Setup_ARRL_RTTY::OnViewZones(WPARAM, LPARAM, bool&) {
    if (state_.zonesWindow != nullptr) {
        CloseZonesWindow();
        viewZones = 0;
        Settings::WriteString(kKeyViewZones, "0");
        return 0;
    }
    OpenZonesWindow();
    viewZones = 1;
    PostRefresh();
    Settings::WriteString(kKeyViewZones, "1");
    return 0;
}

LRESULT Setup_ARRL_RTTY::OnClose(WPARAM, LPARAM, bool&) {
    CloseStatusWindows();
    EndModal(IDCANCEL);
    if (state_.unloading.load()) {
        ShowWindow(Handle(), SW_HIDE);
        Abandon();
    }
    return 0;
}

// --- refresh --------------------------------------------------------------------------------------------

void Setup_ARRL_RTTY::ReopenWindow(StatusWindowKind kind) {
    switch (kind) {
        case StatusWindowKind::Dxcc:
            OpenDxccWindow();
            break;
        case StatusWindowKind::State:
            OpenStateWindow();
            break;
        case StatusWindowKind::DxccExtended:
            OpenDxccExtWindow();
            break;
        case StatusWindowKind::BandChange:
            OpenBandChangeWindow();
            if (Change_Band* w = state_.bandChangeWindow) {
                FieldsToControls();
                w->StartTimer();
                ShowWindow(w->Handle(), SW_SHOWNA);
                KeepDxccWindowOnTop();
            }
            break;
        case StatusWindowKind::Zones:
            OpenZonesWindow();
            break;
    }
}

LRESULT Setup_ARRL_RTTY::OnStatsRefresh(WPARAM, LPARAM, bool&) {
    Refresh();
    return 0;
}

// The refresh that a change made while the last one ran asked for.
LRESULT Setup_ARRL_RTTY::OnTimer(WPARAM wParam, LPARAM, bool& handled) {
    handled = false;
    if (wParam != kFollowUpTimerId) return 0;
    handled = true;
    KillTimer(Handle(), kFollowUpTimerId);
    Refresh();
    return 0;
}

void Setup_ARRL_RTTY::Refresh() {
    state_.refreshRequests.Starting();
    ApplyRefresh();
    // Only now may the engine's call check ask for the next refresh: while the windows were being brought up
    // to date, this request still counted as outstanding.
    SetRefreshPending();
    // How many refreshes this window has handled to the end, as a window property: whoever drives the
    // plug-in from outside (tests, tolvsim) can wait for a refresh to be finished rather than guess.
    auto done = reinterpret_cast<UINT_PTR>(GetPropA(Handle(), kRefreshCountProperty));
    SetPropA(Handle(), kRefreshCountProperty, reinterpret_cast<HANDLE>(done + 1));
    // The engine changed while the windows were being brought up to date: one more refresh, after a pause in
    // which the host's thread may go on changing it undisturbed (a rebuild's burst of QSOs).
    if (state_.refreshRequests.Finished()) SetTimer(Handle(), kFollowUpTimerId, kFollowUpDelayMs, nullptr);
}

void Setup_ARRL_RTTY::ApplyRefresh() {
    NotConnectedHostLink noHost;
    HostLink& host = state_.hostDispatch ? static_cast<HostLink&>(*state_.hostDispatch) : noHost;
    const StatusViewFields views = {viewState, viewDxcc, viewDxccExtended, viewTimer, viewZones};
    const OpenStatusWindows open = {state_.dxccWindow != nullptr, state_.stateWindow != nullptr,
                                    state_.dxccExtWindow != nullptr, state_.bandChangeWindow != nullptr,
                                    state_.zonesWindow != nullptr};
    // A copy: the windows may be closed while the refresh waits for the host.
    StateCellMarks stateMarks;
    if (state_.stateWindow != nullptr) stateMarks = state_.stateWindow->marks;

    std::vector<std::string> workedStates;
    std::atomic<int> refreshPendingAtEnd{0};  // the real flag is set once the windows are updated
    const StatusRefresh r = RefreshStatus(
        state_.model, host, views, open, state_.stateWindow != nullptr ? &stateMarks : nullptr,
        [this, &workedStates](const std::string& call) {
            StatusSnapshot snapshot = state_.app.TakeStatusSnapshot(call);
            workedStates = snapshot.WorkedStateProv();
            return snapshot;
        },
        refreshPendingAtEnd);
    // Without the host nothing opens or changes by itself; once the windows are closing, nothing either.
    if (!r.hostConnected || ModalEnding() || state_.stopRequested.load()) return;

    for (const StatusWindowToReopen& reopen : r.windowsToReopen) {
        ReopenWindow(reopen.kind);
        if (reopen.settingsKey != nullptr) Settings::WriteString(reopen.settingsKey, "1");
    }
    if (Multiplier* w = state_.dxccWindow) SetWindowTextFrom1251(w->Handle(), r.dxccWindowTitle);
    if (Stat_Prov* w = state_.stateWindow) {
        SetWindowTextFrom1251(w->Handle(), r.stateTitle);
        // A cell stays marked only while the worked list names it. Marks are otherwise only ever added, so a
        // state whose last QSO was removed would stay magenta after the score computation has dropped it
        // (the title already counting it out): such a refresh starts the cells afresh from the list.
        StateCellMarks listed;
        for (const std::string& code : workedStates)
            for (size_t cell : StateCellsNamedBy(state_.app.Contest(), code)) listed.Mark(cell);
        bool stale = false;
        for (size_t i = 0; i < kStateCellCount; ++i) stale = stale || (r.stateMarks.Marked(i) && !listed.Marked(i));
        if (r.resetStateCells || stale) w->ResetCells();
        if (stale) {
            for (size_t i = 0; i < kStateCellCount; ++i)
                if (listed.Marked(i)) w->ShowCellWorked(i);
            w->marks = listed;
        } else {
            for (size_t cell : r.stateCellsToMark) w->ShowCellWorked(cell);
            w->marks = r.stateMarks;
        }
        w->FieldsToControls();
    }
    if (Multiplier_Mult* w = state_.dxccExtWindow) {
        SetWindowTextFrom1251(w->Handle(), r.dxccTitle);
        w->marks = r.dxccMarks;
        w->FieldsToControls();
    }
    if (CQ_Zones* w = state_.zonesWindow) {
        SetWindowTextFrom1251(w->Handle(), r.zonesTitle);
        w->ShowMarks(r.zoneMarks);
    }
    if (Multiplier* w = state_.dxccWindow) w->InvalidatePanel();
    return;
}

}  // namespace ui
