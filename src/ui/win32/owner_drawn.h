#pragma once
// A control window taken over by an object of the plug-in: the object subclasses the dialog item and its
// parent dialog hands each WM_DRAWITEM of the item back to the object, as a framework's message
// reflection does.
#include <windows.h>

namespace ui {

class OwnerDrawnControl {
public:
    OwnerDrawnControl() = default;
    virtual ~OwnerDrawnControl();
    OwnerDrawnControl(const OwnerDrawnControl&) = delete;
    OwnerDrawnControl& operator=(const OwnerDrawnControl&) = delete;

    // Subclasses item `id` of `parent`; false, changing nothing, when there is no such item or it is
    // already taken.
    bool SubclassDlgItem(int id, HWND parent);
    void Detach();
    HWND Handle() const { return hwnd_; }

    virtual void DrawItem(const DRAWITEMSTRUCT& item) = 0;

    // The object behind a subclassed control, or null.
    static OwnerDrawnControl* FromHandle(HWND hwnd);

protected:
    // Runs once the window is known, before it is subclassed.
    virtual void PreSubclassWindow() {}

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR refData);
    HWND hwnd_ = nullptr;
};

}  // namespace ui
