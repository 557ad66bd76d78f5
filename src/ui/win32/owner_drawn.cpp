#include "ui/win32/owner_drawn.h"

#include <commctrl.h>

namespace ui {

namespace {
constexpr UINT_PTR kSubclassId = 0x5354;  // one subclass of ours per control
}

OwnerDrawnControl::~OwnerDrawnControl() { Detach(); }

bool OwnerDrawnControl::SubclassDlgItem(int id, HWND parent) {
    if (hwnd_ != nullptr || parent == nullptr) return false;
    HWND item = GetDlgItem(parent, id);
    if (item == nullptr || FromHandle(item) != nullptr) return false;
    hwnd_ = item;
    PreSubclassWindow();
    if (!SetWindowSubclass(item, &OwnerDrawnControl::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        hwnd_ = nullptr;
        return false;
    }
    return true;
}

void OwnerDrawnControl::Detach() {
    if (hwnd_ == nullptr) return;
    RemoveWindowSubclass(hwnd_, &OwnerDrawnControl::SubclassProc, kSubclassId);
    hwnd_ = nullptr;
}

OwnerDrawnControl* OwnerDrawnControl::FromHandle(HWND hwnd) {
    DWORD_PTR refData = 0;
    if (hwnd == nullptr || !GetWindowSubclass(hwnd, &OwnerDrawnControl::SubclassProc, kSubclassId, &refData))
        return nullptr;
    return reinterpret_cast<OwnerDrawnControl*>(refData);
}

LRESULT CALLBACK OwnerDrawnControl::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                 DWORD_PTR refData) {
    if (message == WM_NCDESTROY) {
        auto* self = reinterpret_cast<OwnerDrawnControl*>(refData);
        RemoveWindowSubclass(hwnd, &OwnerDrawnControl::SubclassProc, kSubclassId);
        if (self != nullptr) self->hwnd_ = nullptr;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace ui
