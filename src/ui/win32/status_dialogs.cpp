#include "ui/win32/status_dialogs.h"

#include <mutex>

#include "engine/test_app.h"
#include "resources/resource.h"

namespace ui {

// --- Multiplier (105) -----------------------------------------------------------------------------------

Multiplier::Multiplier(WindowThreadState& state) : StatusDialog(IDD_MULTIPLIER, state, kPosition) {
    panel.source = &state.model;
}

const MessageTable<Multiplier>& Multiplier::Messages() {
    static const MessageTable<Multiplier> table = {
        OnMessage<Multiplier>(WM_SETCURSOR, &Multiplier::OnSetCursor),
        OnMessage<Multiplier>(WM_SIZE, &Multiplier::OnSize),
        OnMessage<Multiplier>(WM_CLOSE, &Multiplier::OnClose),
        OnCommand<Multiplier>(IDCANCEL, BN_CLICKED, &Multiplier::OnClose),
    };
    return table;
}

BOOL Multiplier::OnInitDialog() {
    panel.SubclassDlgItem(IDC_MULTIPLIER_PANEL, Handle());
    PlaceWindow();
    return TRUE;
}

LRESULT Multiplier::OnSize(WPARAM, LPARAM lParam, bool& handled) {
    handled = false;  // default processing as well
    HWND button = Item(IDC_MULTIPLIER_PANEL);
    if (button != nullptr)
        MoveWindow(button, 1, 1, static_cast<int>(LOWORD(lParam)) - 4, static_cast<int>(HIWORD(lParam)) - 4, TRUE);
    return 0;
}

void Multiplier::InvalidatePanel() {
    HWND button = Item(IDC_MULTIPLIER_PANEL);
    if (button != nullptr) InvalidateRect(button, nullptr, FALSE);
}

// --- Stat_Prov (115) ------------------------------------------------------------------------------------

namespace {
constexpr COLORREF kCellFace = RGB(0, 255, 0);
constexpr COLORREF kCellLabel = RGB(1, 1, 1);
constexpr COLORREF kCellDisabledLabel = RGB(128, 128, 128);
constexpr COLORREF kWorkedFace = RGB(255, 0, 255);
constexpr COLORREF kWorkedLabel = RGB(255, 255, 0);
constexpr COLORREF kStateBackground = RGB(255, 250, 198);
constexpr COLORREF kStateTextBackground = RGB(255, 240, 198);
}  // namespace

Stat_Prov::Stat_Prov(WindowThreadState& state) : StatusDialog(IDD_STAT_PROV, state, kPosition) {}

Stat_Prov::~Stat_Prov() {
    Destroy();
    if (brush != nullptr) DeleteObject(brush);
}

const MessageTable<Stat_Prov>& Stat_Prov::Messages() {
    static const MessageTable<Stat_Prov> table = {
        OnMessage<Stat_Prov>(WM_SETCURSOR, &Stat_Prov::OnSetCursor),
        OnMessage<Stat_Prov>(WM_CTLCOLORDLG, &Stat_Prov::OnCtlColor),
        OnMessage<Stat_Prov>(WM_CTLCOLORSTATIC, &Stat_Prov::OnCtlColor),
        OnMessage<Stat_Prov>(WM_CTLCOLORBTN, &Stat_Prov::OnCtlColor),
        OnMessage<Stat_Prov>(WM_CLOSE, &Stat_Prov::OnClose),
        OnCommand<Stat_Prov>(IDCANCEL, BN_CLICKED, &Stat_Prov::OnClose),
    };
    return table;
}

BOOL Stat_Prov::OnInitDialog() {
    Dialog::OnInitDialog();
    LoadPosition(state_, keys_);
    for (size_t i = 0; i < kStateCellCount; ++i) {
        CAdvancedButton& cell = cells[i];
        cell.AttachToItem(StateCellAt(i).controlId, Handle(), kCellFace, kCellLabel, kCellDisabledLabel);
        cell.shape = CAdvancedButton::kShapeEllipse;
        cell.Redraw();
    }
    brush = CreateSolidBrush(kStateBackground);
    PlaceTopmostAtLastPosition(state_, Handle());
    SetLargeIcon(Handle());
    return TRUE;
}

void Stat_Prov::FieldsToControls() {
    for (size_t i = 0; i < kStateCellCount; ++i)
        CheckDlgButton(Handle(), StateCellAt(i).controlId, marks.Marked(i) ? BST_CHECKED : BST_UNCHECKED);
}

void Stat_Prov::ResetCells() {
    marks.Clear();
    for (CAdvancedButton& cell : cells) {
        cell.SetFaceColor(kCellFace);
        cell.SetLabelColor(kCellLabel);
    }
}

void Stat_Prov::ShowCellWorked(size_t index) {
    if (index >= kStateCellCount) return;
    cells[index].SetFaceColor(kWorkedFace);
    cells[index].SetLabelColor(kWorkedLabel);
}

LRESULT Stat_Prov::OnCtlColor(WPARAM wParam, LPARAM, bool&) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, kStateTextBackground);
    return reinterpret_cast<LRESULT>(brush);
}

// --- Multiplier_Mult (116) ------------------------------------------------------------------------------

Multiplier_Mult::Multiplier_Mult(WindowThreadState& state)
    : StatusDialog(IDD_MULTIPLIER_MULT, state, kPosition),
      icon_(LoadIconW(ResourceModule(), MAKEINTRESOURCEW(IDI_STATS))) {}

Multiplier_Mult::~Multiplier_Mult() = default;  // icons from resources are shared, not destroyed

const MessageTable<Multiplier_Mult>& Multiplier_Mult::Messages() {
    static const MessageTable<Multiplier_Mult> table = {
        OnMessage<Multiplier_Mult>(WM_SETCURSOR, &Multiplier_Mult::OnSetCursor),
        OnMessage<Multiplier_Mult>(WM_CLOSE, &Multiplier_Mult::OnClose),
        OnCommand<Multiplier_Mult>(IDCANCEL, BN_CLICKED, &Multiplier_Mult::OnClose),
    };
    return table;
}

BOOL Multiplier_Mult::OnInitDialog() {
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    LoadPosition(state_, keys_);
    PlaceTopmostAtLastPosition(state_, Handle());
    return TRUE;
}

// --- Change_Band (123) ----------------------------------------------------------------------------------

Change_Band::Change_Band(WindowThreadState& state) : StatusDialog(IDD_CHANGE_BAND, state, kPosition) {}

const MessageTable<Change_Band>& Change_Band::Messages() {
    static const MessageTable<Change_Band> table = {
        OnMessage<Change_Band>(WM_TIMER, &Change_Band::OnTimer),
        OnMessage<Change_Band>(WM_SETCURSOR, &Change_Band::OnSetCursor),
        OnMessage<Change_Band>(WM_CLOSE, &Change_Band::OnClose),
        OnCommand<Change_Band>(IDCANCEL, BN_CLICKED, &Change_Band::OnClose),
    };
    return table;
}

BOOL Change_Band::OnInitDialog() {
    PlaceWindow();
    return TRUE;
}

void Change_Band::StartTimer() {
    if (Handle() != nullptr) SetTimer(Handle(), kTimerId, kTimerPeriodMs, nullptr);
}

void Change_Band::StopTimer() {
    if (Handle() != nullptr) KillTimer(Handle(), kTimerId);
}

void Change_Band::ApplyRussianTexts() {
    const BandChangeCaptions& captions = BandChangeRussianCaptions();
    SetWindowTextFrom1251(Item(IDC_CHANGE_BAND_LABEL), captions.control1026);
    SetWindowTextFrom1251(Item(IDC_CHANGE_BAND_MINUTES_LABEL), captions.control1025);
    SetWindowTextFrom1251(Handle(), captions.title);
}

LRESULT Change_Band::OnTimer(WPARAM wParam, LPARAM, bool& handled) {
    if (wParam != kTimerId) {
        handled = false;
        return 0;
    }
    // Killed and restarted on every tick, so ticks never pile up while one is handled.
    StopTimer();
    StartTimer();
    handled = false;
    return 0;
}

}  // namespace ui
