#pragma once
// Owners of what the windows paint with: each holder frees its pen, brush, font, bitmap or device context when
// it goes, and a selection puts back what it replaced, so nothing is deleted or restored by hand.
#include <windows.h>

#include <memory>
#include <type_traits>
#include <vector>

namespace ui {

// A GDI object (pen, brush, font, bitmap) or a memory context, deleted when its holder goes or takes another.
struct GdiObjectDeleter {
    void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
struct MemoryDcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
template <class H>
using GdiObject = std::unique_ptr<std::remove_pointer_t<H>, GdiObjectDeleter>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Font = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

// Objects selected into a context; for each kind of object (pen, brush, font, bitmap) the one the first
// selection of that kind replaced goes back when the holder goes. Declare it after the objects it selects, so
// that it lets go of them before they are deleted.
class Selection {
public:
    Selection() = default;
    Selection(HDC dc, HGDIOBJ object) { Select(dc, object); }
    ~Selection() {
        for (auto it = originals_.rbegin(); it != originals_.rend(); ++it) SelectObject(it->dc, it->object);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

    void Select(HDC dc, HGDIOBJ object) {
        const DWORD kind = KindOf(object);
        HGDIOBJ replaced = SelectObject(dc, object);
        if (replaced == nullptr || replaced == HGDI_ERROR) return;
        for (const Original& o : originals_) {
            if (o.dc == dc && o.kind == kind) return;  // the first of its kind is already kept
        }
        originals_.push_back({dc, kind, replaced});
    }

private:
    struct Original {
        HDC dc;
        DWORD kind;
        HGDIOBJ object;
    };
    // An extended pen takes the place of a pen.
    static DWORD KindOf(HGDIOBJ object) {
        const DWORD type = GetObjectType(object);
        return type == OBJ_EXTPEN ? OBJ_PEN : type;
    }
    std::vector<Original> originals_;
};

// The client-area context of a window, released when the holder goes.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// The context of one WM_PAINT, from BeginPaint to EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}
    ~PaintDc() { EndPaint(hwnd_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND hwnd_;
    PAINTSTRUCT paint_ = {};
    HDC dc_;
};

}  // namespace ui
