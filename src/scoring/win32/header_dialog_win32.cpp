// The Cabrillo header dialog (resource 101), run modally on the calling thread.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/module.h"
#include "resources/resource.h"
#include "scoring/header_dialog.h"

namespace {

bool IsComboBox(HWND control) {
    char cls[16] = {0};
    GetClassNameA(control, cls, sizeof cls);
    return lstrcmpiA(cls, "ComboBox") == 0;
}

// Fills the combo boxes from the dialog's initialisation data. A damaged entry ends the walk rather than
// reading past the resource.
void AddListEntries(HWND dialog, HINSTANCE module) {
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(IDD_CABRILLO), MAKEINTRESOURCEA(RT_DLGINIT_DATA));
    if (info == nullptr) return;
    HGLOBAL loaded = LoadResource(module, info);
    const auto* p = static_cast<const unsigned char*>(LockResource(loaded));
    if (p == nullptr) return;
    const unsigned char* end = p + SizeofResource(module, info);
    for (;;) {
        if (end - p < 2) return;
        uint16_t id;
        std::memcpy(&id, p, 2);
        if (id == 0) return;
        if (end - p < 8) return;
        uint16_t message;
        uint32_t length;
        std::memcpy(&message, p + 2, 2);
        std::memcpy(&length, p + 4, 4);
        p += 8;
        if (length == 0 || static_cast<uint32_t>(end - p) < length || p[length - 1] != '\0') return;
        if (message == DLGINIT_ADDSTRING) {
            SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p));
        }
        p += length;
    }
}

// A combo box shows a value from its list as the selected entry and any other value as typed text.
void SetControlText(HWND dialog, int id, const std::string& value) {
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) return;
    if (IsComboBox(control)) {
        LRESULT index = SendMessageA(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(value.c_str()));
        if (index != CB_ERR) {
            SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
            return;
        }
    }
    SetWindowTextA(control, value.c_str());
}

std::string ControlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) return std::string();
    int length = GetWindowTextLengthA(control);
    std::vector<char> buffer(static_cast<size_t>(length) + 2, '\0');
    int got = GetWindowTextA(control, buffer.data(), length + 1);
    return std::string(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            auto* fields = reinterpret_cast<CabrilloHeaderFields*>(lParam);
            AddListEntries(dialog, static_cast<HINSTANCE>(platform::ModuleHandle()));
            for (const CabrilloHeaderTag& c : CabrilloHeaderTags()) {
                SetControlText(dialog, c.controlId, fields->*c.member);
            }
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                auto* fields = reinterpret_cast<CabrilloHeaderFields*>(GetWindowLongPtrA(dialog, DWLP_USER));
                for (const CabrilloHeaderTag& c : CabrilloHeaderTags()) {
                    fields->*c.member = ControlText(dialog, c.controlId);
                }
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

class Win32HeaderDialog : public HeaderDialog {
public:
    // false on cancel or when the dialog cannot be created, `fields` unchanged.
    bool Edit(CabrilloHeaderFields& fields) override {
        CabrilloHeaderFields edited = fields;
        // The host's window, when it has one on this thread, owns the dialog and is disabled while it is open.
        INT_PTR result = DialogBoxParamA(static_cast<HINSTANCE>(platform::ModuleHandle()),
                                         MAKEINTRESOURCEA(IDD_CABRILLO), GetActiveWindow(), DialogProc,
                                         reinterpret_cast<LPARAM>(&edited));
        if (result != IDOK) return false;
        fields = edited;
        return true;
    }
};

}  // namespace

HeaderDialog& PlatformHeaderDialog() {
    static Win32HeaderDialog dialog;
    return dialog;
}
