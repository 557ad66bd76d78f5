#include "ui/win32/mem_dc.h"

namespace ui {

CMemDC::CMemDC(HDC target) : target_(target) {
    // A printer gets the drawing directly.
    offScreen_ = GetDeviceCaps(target, TECHNOLOGY) != DT_RASPRINTER;
    if (!offScreen_) {
        dc_ = target;
        return;
    }
    GetClipBox(target, &area_);
    dc_ = CreateCompatibleDC(target);
    bitmap_ = CreateCompatibleBitmap(target, area_.right - area_.left, area_.bottom - area_.top);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    SetWindowOrgEx(dc_, area_.left, area_.top, nullptr);
}

CMemDC::~CMemDC() {
    if (!offScreen_) return;  // the borrowed handles are not ours to close
    BitBlt(target_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top, dc_, area_.left,
           area_.top, SRCCOPY);
    SelectObject(dc_, oldBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

}  // namespace ui
