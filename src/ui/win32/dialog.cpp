#include "ui/win32/dialog.h"

#include "platform/module.h"
#include "ui/win32/owner_drawn.h"

namespace ui {

HINSTANCE ResourceModule() {
    void* module = platform::ModuleHandle();
    return module != nullptr ? static_cast<HINSTANCE>(module) : GetModuleHandleW(nullptr);
}

Dialog::~Dialog() { Destroy(); }

bool Dialog::Create(HWND parent) {
    if (hwnd_ != nullptr) return true;
    HWND hwnd = CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(templateId_), parent, &Dialog::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr && hwnd_ == hwnd;
}

INT_PTR Dialog::DoModal(HWND parent) {
    modalEnded_ = false;
    modalResult_ = 0;
    if (!Create(parent)) return -1;
    ShowWindow(hwnd_, SW_SHOW);
    MSG msg;
    bool quit = false;
    while (!modalEnded_ && hwnd_ != nullptr) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            break;
        }
        if (got < 0) break;
        // Keyboard navigation for this window and for every modeless dialog of the thread.
        HWND root = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (root != nullptr && FromHandle(root) != nullptr && IsDialogMessageW(root, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    Destroy();
    if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
    return modalResult_;
}

void Dialog::EndModal(INT_PTR result) {
    modalResult_ = result;
    modalEnded_ = true;
    if (hwnd_ != nullptr) PostMessageW(hwnd_, WM_NULL, 0, 0);  // wakes the loop if it is waiting
}

void Dialog::Detach() {
    SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    hwnd_ = nullptr;
}

void Dialog::Destroy() {
    if (hwnd_ == nullptr) return;
    HWND hwnd = hwnd_;
    Detach();
    DestroyWindow(hwnd);
}

void Dialog::Abandon() {
    if (hwnd_ == nullptr) return;
    // The end of the thread destroys the window without a message to it, so the font the dialog manager made
    // for the template would outlive the library: it goes now (the window is hidden and paints no more).
    const auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
    SetWindowLongPtrW(hwnd_, DWLP_DLGPROC, 0);
    Detach();
    if (font != nullptr) DeleteObject(font);
}

BOOL Dialog::OnInitDialog() {
    FieldsToControls();
    return TRUE;
}

Dialog* Dialog::FromHandle(HWND hwnd) {
    if (hwnd == nullptr) return nullptr;
    if (reinterpret_cast<DLGPROC>(GetWindowLongPtrW(hwnd, DWLP_DLGPROC)) != &Dialog::DialogProc) return nullptr;
    return reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
        return self->OnInitDialog();
    }
    self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr) return FALSE;

    if (message == WM_DRAWITEM && wParam != 0) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (OwnerDrawnControl* control = OwnerDrawnControl::FromHandle(item->hwndItem)) {
            control->DrawItem(*item);
            SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
    }

    LRESULT result = 0;
    bool handled = self->Dispatch(message, wParam, lParam, result);
    if (message == WM_NCDESTROY) {
        // Destroyed by the system: the object outlives its window.
        self->Detach();
        return FALSE;
    }
    if (!handled) return FALSE;
    switch (message) {
        // These messages return their value directly from a dialog procedure.
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return static_cast<INT_PTR>(result);
        default:
            SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
            return TRUE;
    }
}

std::wstring WindowTextW(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    if (n <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    int got = GetWindowTextW(hwnd, &text[0], n + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

std::wstring From1251(const std::string& cp1251) {
    if (cp1251.empty()) return std::wstring();
    int n = MultiByteToWideChar(1251, 0, cp1251.data(), static_cast<int>(cp1251.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(1251, 0, cp1251.data(), static_cast<int>(cp1251.size()), &out[0], n);
    return out;
}

std::string To1251(const std::wstring& text) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(1251, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(1251, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

void SetWindowTextFrom1251(HWND hwnd, const std::string& cp1251) {
    if (hwnd != nullptr) SetWindowTextW(hwnd, From1251(cp1251).c_str());
}

}  // namespace ui
