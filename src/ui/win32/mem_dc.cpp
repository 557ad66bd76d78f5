#include "ui/win32/mem_dc.h"

namespace ui {

// A printer gets the drawing directly.
CMemDC::CMemDC(HDC target) : target_(target), offScreen_(GetDeviceCaps(target, TECHNOLOGY) != DT_RASPRINTER) {
    if (!offScreen_) return;
    GetClipBox(target, &area_);
    memory_.reset(CreateCompatibleDC(target));
    bitmap_.reset(CreateCompatibleBitmap(target, area_.right - area_.left, area_.bottom - area_.top));
    bitmapSelection_.Select(memory_.get(), bitmap_.get());
    SetWindowOrgEx(memory_.get(), area_.left, area_.top, nullptr);
}

CMemDC::~CMemDC() {
    if (!offScreen_) return;  // the borrowed context is not ours to close
    BitBlt(target_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top, memory_.get(),
           area_.left, area_.top, SRCCOPY);
}

}  // namespace ui
