#include "ui/win32/status_dialogs.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <mutex>

#include "engine/test_app.h"
#include "platform/clock.h"
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
    // The cells are taken over in the order 1016, 1018 to 1032, 1017 (MD), 1033 to 1077, 1113 (DC).
    std::array<size_t, kStateCellCount> attachOrder;
    for (size_t i = 0; i < kStateCellCount; ++i) attachOrder[i] = i;
    std::rotate(attachOrder.begin() + 1, attachOrder.begin() + 2, attachOrder.begin() + 17);
    for (size_t i : attachOrder) {
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

// --- continent pages (117 to 122) -----------------------------------------------------------------------

namespace {
constexpr COLORREF kDxccBackground = RGB(255, 250, 198);  // 0xC6FAFF, also the text background
}  // namespace

DxccPageDialog::DxccPageDialog(DxccPage page)
    : DialogImpl(DxccEntityTable::Page(page).templateId), marks(DxccEntityTable::PageRows(page).size(), 0),
      page_(page) {}

DxccPageDialog::~DxccPageDialog() {
    Destroy();
    if (brush != nullptr) DeleteObject(brush);
}

const MessageTable<DxccPageDialog>& DxccPageDialog::Messages() {
    static const MessageTable<DxccPageDialog> table = {
        OnMessage<DxccPageDialog>(WM_CTLCOLORDLG, &DxccPageDialog::OnCtlColor),
        OnMessage<DxccPageDialog>(WM_CTLCOLORSTATIC, &DxccPageDialog::OnCtlColor),
        OnMessage<DxccPageDialog>(WM_CTLCOLORBTN, &DxccPageDialog::OnCtlColor),
    };
    return table;
}

BOOL DxccPageDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    brush = CreateSolidBrush(kDxccBackground);
    return TRUE;
}

void DxccPageDialog::FieldsToControls() {
    const DxccRowRange rows = DxccEntityTable::PageRows(page_);
    for (size_t i = 0; i < rows.size() && i < marks.size(); ++i)
        CheckDlgButton(Handle(), rows[i].controlId, marks[i] ? BST_CHECKED : BST_UNCHECKED);
}

void DxccPageDialog::ControlsToFields() {
    const DxccRowRange rows = DxccEntityTable::PageRows(page_);
    for (size_t i = 0; i < rows.size() && i < marks.size(); ++i)
        marks[i] = IsDlgButtonChecked(Handle(), rows[i].controlId) == BST_CHECKED ? 1 : 0;
}

LRESULT DxccPageDialog::OnCtlColor(WPARAM wParam, LPARAM, bool&) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, kDxccBackground);
    return reinterpret_cast<LRESULT>(brush);
}

// --- Multiplier_Mult (116) ------------------------------------------------------------------------------

namespace {
// Tab texts, in tab order: three blanks before the continent and one after.
constexpr const wchar_t* kTabTexts[kDxccPageCount] = {L"   EU ", L"   AF ", L"   AS ", L"   NA ", L"   SA ", L"   OC "};
}  // namespace

Multiplier_Mult::Multiplier_Mult(WindowThreadState& state)
    : StatusDialog(IDD_MULTIPLIER_MULT, state, kPosition),
      icon_(LoadIconW(ResourceModule(), MAKEINTRESOURCEW(IDI_STATS))) {}

Multiplier_Mult::~Multiplier_Mult() {
    if (Handle() != nullptr) {
        Destroy();  // takes the pages with it
    } else {
        // Let go of by the library's unload: the pages are let go with it, not destroyed.
        for (int k = 0; k < kDxccPageCount; ++k) PageAt(k)->Abandon();
    }
    if (brush != nullptr) DeleteObject(brush);
    // Icons from resources are shared, not destroyed.
}

const MessageTable<Multiplier_Mult>& Multiplier_Mult::Messages() {
    using M = Multiplier_Mult;
    static const MessageTable<M> table = {
        OnMessage<M>(WM_CTLCOLORDLG, &M::OnCtlColor),
        OnMessage<M>(WM_CTLCOLORSTATIC, &M::OnCtlColor),
        OnMessage<M>(WM_CTLCOLORBTN, &M::OnCtlColor),
        OnMessage<M>(WM_PAINT, &M::OnPaint),
        OnMessage<M>(WM_QUERYDRAGICON, &M::OnQueryDragIcon),
        OnMessage<M>(WM_SHOWWINDOW, &M::OnShowWindow),
        OnMessage<M>(WM_NOTIFY, &M::OnNotify),
        OnMessage<M>(WM_SETCURSOR, &M::OnSetCursor),
        OnMessage<M>(WM_CLOSE, &M::OnClose),
        OnCommand<M>(IDCANCEL, BN_CLICKED, &M::OnClose),
    };
    return table;
}

DxccPageDialog* Multiplier_Mult::PageAt(int index) {
    switch (index) {
        case 0: return &euPage;
        case 1: return &afPage;
        case 2: return &asPage;
        case 3: return &naPage;
        case 4: return &saPage;
        case 5: return &ocPage;
        default: return nullptr;
    }
}

BOOL Multiplier_Mult::OnInitDialog() {
    tabs_ = Item(IDC_MULTIPLIER_TABS);
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    LoadPosition(state_, keys_);
    PlaceTopmostAtLastPosition(state_, Handle());

    RECT tabRect = {0, 0, 0, 0};
    if (tabs_ != nullptr) GetWindowRect(tabs_, &tabRect);
    pageWidth = (tabRect.right - tabRect.left) - 7;
    pageHeight = (tabRect.bottom - tabRect.top) - 38;
    pageX = 13;
    pageY = 44;

    for (int k = 0; k < kDxccPageCount; ++k) PageAt(k)->Create(Handle());  // EU, AF, AS, NA, SA, OC
    brush = CreateSolidBrush(kDxccBackground);
    ShowPage(0);

    for (int k = 0; k < kDxccPageCount; ++k) {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(kTabTexts[k]);
        SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(&item));
    }
    return TRUE;
}

void Multiplier_Mult::FieldsToControls() {
    for (int k = 0; k < kDxccPageCount; ++k) {
        DxccPageDialog* page = PageAt(k);
        const size_t count = page->marks.size();
        for (size_t i = 0; i < count; ++i) page->marks[i] = marks.Worked(page->Page(), i);
        if (page->Handle() != nullptr) page->FieldsToControls();
    }
}

void Multiplier_Mult::ShowPage(int index) {
    if (index < 0 || index >= kDxccPageCount) return;
    for (int k = 0; k < kDxccPageCount; ++k) {
        HWND page = PageAt(k)->Handle();
        if (k == index) {
            if (page != nullptr)
                SetWindowPos(page, HWND_TOP, pageX, pageY, pageWidth, pageHeight, SWP_SHOWWINDOW);
            if (tabs_ != nullptr) SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(k), 0);
        } else if (page != nullptr) {
            ShowWindow(page, SW_HIDE);
        }
    }
}

LRESULT Multiplier_Mult::OnCtlColor(WPARAM wParam, LPARAM, bool&) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, kDxccBackground);
    return reinterpret_cast<LRESULT>(brush);
}

LRESULT Multiplier_Mult::OnPaint(WPARAM, LPARAM, bool& handled) {
    if (!IsIconic(Handle())) {
        handled = false;
        return 0;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    SendMessageW(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(Handle(), &client);
    const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    DrawIcon(dc, (client.right - cx + 1) / 2, (client.bottom - cy + 1) / 2, icon_);
    EndPaint(Handle(), &ps);
    return 0;
}

LRESULT Multiplier_Mult::OnQueryDragIcon(WPARAM, LPARAM, bool&) { return reinterpret_cast<LRESULT>(icon_); }

LRESULT Multiplier_Mult::OnShowWindow(WPARAM wParam, LPARAM, bool& handled) {
    handled = false;
    if (wParam) ShowPage(0);
    return 0;
}

LRESULT Multiplier_Mult::OnNotify(WPARAM, LPARAM lParam, bool& handled) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == nullptr || header->idFrom != IDC_MULTIPLIER_TABS || header->code != TCN_SELCHANGE) {
        handled = false;
        return 0;
    }
    ShowPage(static_cast<int>(SendMessageW(tabs_, TCM_GETCURFOCUS, 0, 0)));
    return 0;
}

// --- Change_Band (123) ----------------------------------------------------------------------------------

Change_Band::Change_Band(WindowThreadState& state) : StatusDialog(IDD_CHANGE_BAND, state, kPosition) {}

Change_Band::~Change_Band() {
    Destroy();
    FreePicture();
    if (brush_ != nullptr) DeleteObject(brush_);
}

const MessageTable<Change_Band>& Change_Band::Messages() {
    using C = Change_Band;
    static const MessageTable<C> table = {
        OnMessage<C>(WM_TIMER, &C::OnTimer),
        OnMessage<C>(WM_PAINT, &C::OnPaint),
        OnMessage<C>(WM_SETCURSOR, &C::OnSetCursor),
        OnMessage<C>(WM_CTLCOLORDLG, &C::OnCtlColor),
        OnMessage<C>(WM_CTLCOLORSTATIC, &C::OnCtlColor),
        OnMessage<C>(WM_CTLCOLOREDIT, &C::OnCtlColor),
        OnMessage<C>(WM_CTLCOLORBTN, &C::OnCtlColor),
        OnMessage<C>(WM_CLOSE, &C::OnClose),
        OnCommand<C>(IDCANCEL, BN_CLICKED, &C::OnClose),
    };
    return table;
}

BOOL Change_Band::OnInitDialog() {
    Dialog::OnInitDialog();
    PlaceWindow();
    brush_ = CreateSolidBrush(kStateBackground);

    screenWidth_ = GetSystemMetrics(SM_CXSCREEN);
    screenHeight_ = GetSystemMetrics(SM_CYSCREEN);
    HDC windowDc = GetDC(Handle());
    pictureDc_ = CreateCompatibleDC(windowDc);
    picture_ = CreateCompatibleBitmap(windowDc, screenWidth_, screenHeight_);
    ReleaseDC(Handle(), windowDc);
    if (pictureDc_ != nullptr && picture_ != nullptr) {
        oldBitmap_ = SelectObject(pictureDc_, picture_);
        HGDIOBJ previousBrush = SelectObject(pictureDc_, GetStockObject(DC_BRUSH));
        SetDCBrushColor(pictureDc_, kStateBackground);
        PatBlt(pictureDc_, 0, 0, screenWidth_, screenHeight_, PATCOPY);
        SelectObject(pictureDc_, previousBrush);
        pen_ = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
        oldPen_ = SelectObject(pictureDc_, pen_);
        PaintIndicator(kGreen);
    }
    InvalidateRect(Handle(), nullptr, FALSE);
    return TRUE;
}

void Change_Band::FreePicture() {
    if (pictureDc_ == nullptr) return;
    if (oldBrush_ != nullptr) SelectObject(pictureDc_, oldBrush_);
    if (oldPen_ != nullptr) SelectObject(pictureDc_, oldPen_);
    if (oldBitmap_ != nullptr) SelectObject(pictureDc_, oldBitmap_);
    if (indicatorBrush_ != nullptr) DeleteObject(indicatorBrush_);
    if (pen_ != nullptr) DeleteObject(pen_);
    if (picture_ != nullptr) DeleteObject(picture_);
    DeleteDC(pictureDc_);
    pictureDc_ = nullptr;
    indicatorBrush_ = nullptr;
    pen_ = nullptr;
    picture_ = nullptr;
}

void Change_Band::PaintIndicator(COLORREF color) {
    indicatorColor = color;
    if (pictureDc_ == nullptr) return;
    HBRUSH next = CreateSolidBrush(color);
    HGDIOBJ replaced = SelectObject(pictureDc_, next);
    if (indicatorBrush_ == nullptr) {
        oldBrush_ = replaced;  // the context's own brush, put back when the picture goes
    } else {
        DeleteObject(indicatorBrush_);  // only one indicator brush at a time
    }
    indicatorBrush_ = next;
    Ellipse(pictureDc_, kIndicator.left, kIndicator.top, kIndicator.right, kIndicator.bottom);
    if (Handle() != nullptr) InvalidateRect(Handle(), nullptr, FALSE);
}

void Change_Band::FieldsToControls() {
    SetDlgItemInt(Handle(), IDC_CHANGE_BAND_COUNT, static_cast<UINT>(bandChangeCount), TRUE);
    SetDlgItemInt(Handle(), IDC_CHANGE_BAND_MINUTES, static_cast<UINT>(minutesLeft), TRUE);
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

void Change_Band::Tick() {
    const LocalClockTime now = CurrentClock().LocalTime();
    // The engine keeps the count while this window exists; the window only shows it.
    int count = state_.app.BandChangeCount();
    if (now.valid && now.minute == 0) {
        // A new hour: the count starts again from 0 (in the engine, where the next QSO adds to it).
        state_.app.SetBandChangeWindowOpen(true);
        count = 0;
        minutesLeft = 0;
        PaintIndicator(kGreen);
    } else {
        minutesLeft = now.valid ? 60 - now.minute : 61;
    }
    // Red from the sixth change on, and it stays red until minute 0 even if the count falls back.
    if (count > 5) PaintIndicator(kRed);
    bandChangeCount = count;
    FieldsToControls();
}

LRESULT Change_Band::OnTimer(WPARAM wParam, LPARAM, bool& handled) {
    handled = false;
    if (wParam != kTimerId) return 0;
    // Killed and restarted on every tick, so ticks never pile up while one is handled.
    StopTimer();
    Tick();
    StartTimer();
    return 0;
}

LRESULT Change_Band::OnPaint(WPARAM, LPARAM, bool&) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    RECT client;
    GetClientRect(Handle(), &client);
    if (pictureDc_ != nullptr) BitBlt(dc, 0, 0, client.right, client.bottom, pictureDc_, 0, 0, SRCCOPY);
    EndPaint(Handle(), &ps);
    return 0;
}

LRESULT Change_Band::OnCtlColor(WPARAM wParam, LPARAM, bool&) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, kStateBackground);
    return reinterpret_cast<LRESULT>(brush_);
}

}  // namespace ui
