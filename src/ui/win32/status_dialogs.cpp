#include "ui/win32/status_dialogs.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "ui/status_windows.h"
#include "resources/resource.h"
#include "ui/win32/dialog_scale.h"

namespace ui {

namespace {

// Wide enough for the window's title with the largest count it can show, in the language of the texts.
void WidenForWidestTitle(WindowThreadState& state, HWND hwnd,
                         std::string (*widest)(const contest::Record&, bool russian,
                                               const std::string& contestStartYear)) {
    const bool russian = state.app.RussianTexts();
    const std::string year = state.app.ContestStartYear();
    WidenForTitle(hwnd, From1251(widest(state.app.Contest(), russian, year)));
}

// Closes up a run of items of `dialog` over those it does not keep: the kept ones, in reading order (row by
// row, left to right), take the places of the run's first items, and the others are destroyed, so a window
// that leaves out some of its template's boxes shows no gaps.
void CloseUp(HWND dialog, const std::vector<std::pair<int, bool>>& items) {
    struct Item {
        HWND hwnd;
        RECT place;
        bool keep;
    };
    std::vector<Item> run;
    for (const auto& [id, keep] : items) {
        HWND hwnd = GetDlgItem(dialog, id);
        if (hwnd == nullptr) continue;
        RECT r;
        GetWindowRect(hwnd, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        run.push_back({hwnd, r, keep});
    }
    std::stable_sort(run.begin(), run.end(), [](const Item& a, const Item& b) {
        return a.place.top != b.place.top ? a.place.top < b.place.top : a.place.left < b.place.left;
    });
    size_t next = 0;
    for (const Item& item : run) {
        if (!item.keep) {
            DestroyWindow(item.hwnd);
            continue;
        }
        const RECT& to = run[next++].place;
        SetWindowPos(item.hwnd, nullptr, to.left, to.top, to.right - to.left, to.bottom - to.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace

// --- Multiplier (105) -----------------------------------------------------------------------------------

Multiplier::Multiplier(WindowThreadState& state) : PlacedDialog(state, kPosition, IDD_MULTIPLIER) {
    panel.source = &state.model;
}

const MessageTable<Multiplier>& Multiplier::Messages() {
    static const MessageTable<Multiplier> table =
        Chain<Multiplier>({OnMessage<Multiplier>(WM_SIZE, &Multiplier::OnSize)}, StatusMessages());
    return table;
}

BOOL Multiplier::OnInitDialog() {
    panel.SubclassDlgItem(IDC_MULTIPLIER_PANEL, Handle());
    WidenForWidestTitle(state_, Handle(), &WidestDxccTitle);
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
}  // namespace

Stat_Prov::Stat_Prov(WindowThreadState& state)
    : PlacedDialog(state, kPosition, IDD_STAT_PROV, ControlColors::kTextBackground) {}

const MessageTable<Stat_Prov>& Stat_Prov::Messages() {
    static const MessageTable<Stat_Prov> table = Chain<Stat_Prov>({}, StatusMessages(), ColorMessages());
    return table;
}

BOOL Stat_Prov::OnInitDialog() {
    Dialog::OnInitDialog();
    // The cells of the locations the contest counts, each country's closed up over those it does not.
    const contest::Record& contest = state_.app.Contest();
    std::map<std::string, std::vector<std::pair<int, bool>>> countries;
    for (size_t i = 0; i < kStateCellCount; ++i)
        countries[StateCellAt(i).country].push_back({StateCellAt(i).controlId, StateCellShown(contest, i)});
    for (const auto& [country, run] : countries) CloseUp(Handle(), run);
    // The cells are taken over in the order 1016, 1018 to 1032, 1017 (MD), 1033 to 1077, 1113 (DC).
    std::array<size_t, kStateCellCount> attachOrder;
    for (size_t i = 0; i < kStateCellCount; ++i) attachOrder[i] = i;
    std::rotate(attachOrder.begin() + 1, attachOrder.begin() + 2, attachOrder.begin() + 17);
    for (size_t i : attachOrder) {
        if (!StateCellShown(contest, i)) continue;
        CAdvancedButton& cell = cells[i];
        cell.AttachToItem(StateCellAt(i).controlId, Handle(), kCellFace, kCellLabel, kCellDisabledLabel);
        cell.shape = CAdvancedButton::kShapeEllipse;
        cell.Redraw();
    }
    WidenForWidestTitle(state_, Handle(), &WidestStateTitle);
    FitControlsToTexts(Handle());
    PlaceWindow();
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

// --- CQ_Zones (124) -------------------------------------------------------------------------------------

CQ_Zones::CQ_Zones(WindowThreadState& state)
    : PlacedDialog(state, kPosition, IDD_CQ_ZONES, ControlColors::kTextBackground) {}

const MessageTable<CQ_Zones>& CQ_Zones::Messages() {
    static const MessageTable<CQ_Zones> table = Chain<CQ_Zones>({}, StatusMessages(), ColorMessages());
    return table;
}

BOOL CQ_Zones::OnInitDialog() {
    Dialog::OnInitDialog();
    for (size_t i = 0; i < kZoneCellCount; ++i) {
        CAdvancedButton& cell = cells[i];
        cell.AttachToItem(IDC_ZONE_FIRST_CELL + static_cast<int>(i), Handle(), kCellFace, kCellLabel,
                          kCellDisabledLabel);
        cell.shape = CAdvancedButton::kShapeEllipse;
        cell.Redraw();
    }
    WidenForWidestTitle(state_, Handle(), &WidestZonesTitle);
    FitControlsToTexts(Handle());
    PlaceWindow();
    return TRUE;
}

void CQ_Zones::ShowMarks(const ZoneMarks& next) {
    for (size_t i = 0; i < kZoneCellCount; ++i) {
        if (next[i] == marks[i]) continue;
        marks[i] = next[i];
        CAdvancedButton& cell = cells[i];
        switch (next[i]) {
            case ZoneMark::none:
                cell.SetFaceColor(kCellFace);
                cell.SetLabelColor(kCellLabel);
                break;
            case ZoneMark::otherBand:
                cell.SetFaceColor(kOtherBandFace);
                cell.SetLabelColor(kCellLabel);
                break;
            case ZoneMark::currentBand:
                cell.SetFaceColor(kWorkedFace);
                cell.SetLabelColor(kWorkedLabel);
                break;
        }
    }
}

// --- continent pages (117 to 122) -----------------------------------------------------------------------

// The DXCC windows answer with the background colour as the text background too.
DxccPageDialog::DxccPageDialog(DxccPage page)
    : ColoredDialog(DxccEntityTable::Page(page).templateId, ControlColors::kBackground),
      marks(DxccEntityTable::PageRows(page).size(), 0), page_(page) {}

BOOL DxccPageDialog::OnInitDialog() {
    std::vector<std::pair<int, bool>> boxes;
    for (const DxccEntity& row : DxccEntityTable::PageRows(page_))
        boxes.push_back({row.controlId, DxccEntityTable::Shown(row, waeCountries)});
    CloseUp(Handle(), boxes);
    return Dialog::OnInitDialog();
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

// --- Multiplier_Mult (116) ------------------------------------------------------------------------------

namespace {
// Tab texts, in tab order: three blanks before the continent and one after.
constexpr const wchar_t* kTabTexts[kDxccPageCount] = {L"   EU ", L"   AF ", L"   AS ", L"   NA ", L"   SA ", L"   OC "};
}  // namespace

Multiplier_Mult::Multiplier_Mult(WindowThreadState& state)
    : PlacedDialog(state, kPosition, IDD_MULTIPLIER_MULT, ControlColors::kBackground),
      icon_(LoadIconW(ResourceModule(), MAKEINTRESOURCEW(IDI_STATS))) {}

// The pages' windows are children of this one, so it goes first and takes them with it while the page objects
// are still whole. Let go of by the library's unload, it leaves the pages to the end of the thread as well.
// Icons from resources are shared, not destroyed.
Multiplier_Mult::~Multiplier_Mult() {
    if (Handle() != nullptr) {
        Destroy();
    } else {
        for (int k = 0; k < kDxccPageCount; ++k) PageAt(k)->Abandon();
    }
}

const MessageTable<Multiplier_Mult>& Multiplier_Mult::Messages() {
    using M = Multiplier_Mult;
    static const MessageTable<M> table = Chain<M>(
        {
            OnMessage<M>(WM_PAINT, &M::OnPaint),
            OnMessage<M>(WM_QUERYDRAGICON, &M::OnQueryDragIcon),
            OnMessage<M>(WM_SHOWWINDOW, &M::OnShowWindow),
            OnMessage<M>(WM_NOTIFY, &M::OnNotify),
        },
        StatusMessages(), ColorMessages());
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
    WidenForWidestTitle(state_, Handle(), &WidestDxccTitle);
    PlaceWindow();
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

    RECT tabRect = {0, 0, 0, 0};
    if (tabs_ != nullptr) GetWindowRect(tabs_, &tabRect);
    const DialogScale scale(Handle(), DialogScale::kArialUnits);
    pageWidth = (tabRect.right - tabRect.left) - scale.X(7);
    // The pages start close under the tab buttons and reach to the tab control's foot: Africa's ten rows of boxes
    // fit in a window no taller than the other status windows leave room for.
    pageHeight = (tabRect.bottom - tabRect.top) - scale.Y(32);
    pageX = scale.X(13);
    pageY = scale.Y(38);

    for (int k = 0; k < kDxccPageCount; ++k) {  // EU, AF, AS, NA, SA, OC
        PageAt(k)->waeCountries = state_.app.Contest().waeCountries;
        PageAt(k)->Create(Handle());
    }
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

LRESULT Multiplier_Mult::OnPaint(WPARAM, LPARAM, bool& handled) {
    if (!IsIconic(Handle())) {
        handled = false;
        return 0;
    }
    PaintDc dc(Handle());
    SendMessageW(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
    RECT client;
    GetClientRect(Handle(), &client);
    const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    DrawIcon(dc.Get(), (client.right - cx + 1) / 2, (client.bottom - cy + 1) / 2, icon_);
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

Change_Band::Change_Band(WindowThreadState& state)
    : PlacedDialog(state, kPosition, IDD_CHANGE_BAND, ControlColors::kBackground) {}

const MessageTable<Change_Band>& Change_Band::Messages() {
    using C = Change_Band;
    static const MessageTable<C> table = Chain<C>(
        {
            OnMessage<C>(WM_TIMER, &C::OnTimer),
            OnMessage<C>(WM_PAINT, &C::OnPaint),
            OnCommand<C>(IDC_CHANGE_BAND_COUNT, EN_SETFOCUS, &C::OnEditFocus),
            OnCommand<C>(IDC_CHANGE_BAND_MINUTES, EN_SETFOCUS, &C::OnEditFocus),
        },
        StatusMessages(), ColorMessages());
    return table;
}

BOOL Change_Band::OnInitDialog() {
    Dialog::OnInitDialog();
    // The captions of its language before it is sized for them and placed.
    if (state_.app.RussianTexts()) ApplyRussianTexts();
    FitControlsToTexts(Handle());
    PlaceWindow();
    // A circle at every dpi: its centre scaled along each axis, its size along one (dialog units grow a little
    // differently across and down).
    const DialogScale scale(Handle());
    const int radius = scale.X((kIndicator.right - kIndicator.left) / 2);
    const POINT centre = {scale.X((kIndicator.left + kIndicator.right) / 2), scale.Y((kIndicator.top + kIndicator.bottom) / 2)};
    indicator = {centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius};

    screenWidth_ = GetSystemMetrics(SM_CXSCREEN);
    screenHeight_ = GetSystemMetrics(SM_CYSCREEN);
    {
        WindowDc windowDc(Handle());
        pictureDc_.reset(CreateCompatibleDC(windowDc.Get()));
        picture_.reset(CreateCompatibleBitmap(windowDc.Get(), screenWidth_, screenHeight_));
    }
    if (pictureDc_ && picture_) {
        pictureSelection_.Select(pictureDc_.get(), picture_.get());
        {
            Selection dcBrush(pictureDc_.get(), GetStockObject(DC_BRUSH));
            SetDCBrushColor(pictureDc_.get(), ControlColors::kBackground);
            PatBlt(pictureDc_.get(), 0, 0, screenWidth_, screenHeight_, PATCOPY);
        }
        pen_.reset(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
        penSelection_.Select(pictureDc_.get(), pen_.get());
        PaintIndicator(kGreen);
    }
    InvalidateRect(Handle(), nullptr, FALSE);
    return TRUE;
}

void Change_Band::PaintIndicator(COLORREF color) {
    indicatorColor = color;
    if (!pictureDc_ || !picture_) return;
    Brush next(CreateSolidBrush(color));
    indicatorSelection_.Select(pictureDc_.get(), next.get());
    indicatorBrush_ = std::move(next);  // only one indicator brush at a time: the one it replaces is freed
    Ellipse(pictureDc_.get(), indicator.left, indicator.top, indicator.right, indicator.bottom);
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
    // The contest's hour is the UTC clock hour, in which the engine counts the changes: in a zone not on the
    // hour the local minute 0 falls in the middle of it.
    const ClockTime now = CurrentClock().UtcTime();
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
    // Red from the change the entry's rule allows last on (without a category given, the contest's
    // multi-operator limit: the Roundup's sixth, the CQ WW's eighth; never for a category no limit binds), and
    // it stays red until minute 0 even if the count falls back.
    const int limit = state_.app.BandChangeLimit();
    if (limit >= 0 && count >= limit) PaintIndicator(kRed);
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

// The two boxes only show numbers: a caret blinking in one would stand on its first digit.
LRESULT Change_Band::OnEditFocus(WPARAM, LPARAM lParam, bool&) {
    HideCaret(reinterpret_cast<HWND>(lParam));
    return 0;
}

LRESULT Change_Band::OnPaint(WPARAM, LPARAM, bool&) {
    PaintDc dc(Handle());
    RECT client;
    GetClientRect(Handle(), &client);
    if (pictureDc_) BitBlt(dc.Get(), 0, 0, client.right, client.bottom, pictureDc_.get(), 0, 0, SRCCOPY);
    return 0;
}

}  // namespace ui
