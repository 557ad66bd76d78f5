#pragma once
// Off-screen drawing over a target context: drawing in the target's coordinates lands in a bitmap of the
// target's clipping box, and the end of the object copies the picture to the target in one go.
#include <windows.h>

#include "ui/win32/gdi.h"

namespace ui {

class CMemDC {
public:
    explicit CMemDC(HDC target);
    ~CMemDC();
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    HDC Dc() const { return offScreen_ ? memory_.get() : target_; }
    const RECT& Area() const { return area_; }
    bool OffScreen() const { return offScreen_; }

private:
    HDC target_;
    bool offScreen_;
    RECT area_ = {0, 0, 0, 0};
    MemoryDc memory_;
    Bitmap bitmap_;
    Selection bitmapSelection_;
};

}  // namespace ui
