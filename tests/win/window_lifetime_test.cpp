// How a window object and its window part: every window class of the window thread, deleted while its window
// is open or outliving a window that was destroyed from outside.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>

#include "ui/win32/setup_arrl_rtty.h"
#include "ui/win32/status_dialogs.h"
#include "window_fixture.h"

namespace {

constexpr UINT_PTR kWatchId = 0x4C54;

// Notes whether WM_DESTROY still found a dialog object behind the window.
LRESULT CALLBACK WatchDestroy(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (message == WM_DESTROY) *reinterpret_cast<bool*>(data) = ui::Dialog::FromHandle(hwnd) != nullptr;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &WatchDestroy, kWatchId);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

class LifetimeTest : public ControlWindowTest {};

// Deleting the object lets go of the window before destroying it, so no message of the destruction runs code of
// a half-destroyed object (a pure virtual call jumps to address 0, which the fixture reports). A window destroyed
// from outside leaves its object, and the controls the object took over, without a handle.
TEST_F(LifetimeTest, EveryWindowLetsGoOfItsObjectBeforeTheWindowIsDestroyed) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    ui::WindowThreadState state(*app);
    HWND pageParent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
    using Parts = std::vector<HWND>;
    struct Case {
        const char* name;
        std::function<ui::Dialog*()> make;
        std::function<Parts(ui::Dialog*)> parts;  // handles of what the object took over besides its window
        HWND parent;
    };
    auto none = [](ui::Dialog*) { return Parts{}; };
    const Case cases[] = {
        {"Setup_ARRL_RTTY", [&] { return new ui::Setup_ARRL_RTTY(state); },
         [](ui::Dialog* d) { return Parts{static_cast<ui::Setup_ARRL_RTTY*>(d)->rtty.Handle()}; }, nullptr},
        {"Multiplier", [&] { return new ui::Multiplier(state); },
         [](ui::Dialog* d) { return Parts{static_cast<ui::Multiplier*>(d)->panel.Handle()}; }, nullptr},
        {"Stat_Prov", [&] { return new ui::Stat_Prov(state); },
         [](ui::Dialog* d) { return Parts{static_cast<ui::Stat_Prov*>(d)->cells[0].Handle()}; }, nullptr},
        {"Multiplier_Mult", [&] { return new ui::Multiplier_Mult(state); },
         [](ui::Dialog* d) {
             Parts pages;
             for (int k = 0; k < kDxccPageCount; ++k)
                 pages.push_back(static_cast<ui::Multiplier_Mult*>(d)->PageAt(k)->Handle());
             return pages;
         },
         nullptr},
        {"Change_Band", [&] { return new ui::Change_Band(state); }, none, nullptr},
        {"CQ_Zones", [&] { return new ui::CQ_Zones(state); },
         [](ui::Dialog* d) { return Parts{static_cast<ui::CQ_Zones*>(d)->cells[0].Handle()}; }, nullptr},
        {"WAE_ALL", [] { return new ui::WAE_ALL(); }, none, pageParent},
        {"AF_DXCC", [] { return new ui::AF_DXCC(); }, none, pageParent},
        {"AS_DXCC", [] { return new ui::AS_DXCC(); }, none, pageParent},
        {"NA_DXCC", [] { return new ui::NA_DXCC(); }, none, pageParent},
        {"SA_DXCC", [] { return new ui::SA_DXCC(); }, none, pageParent},
        {"OC_DXCC", [] { return new ui::OC_DXCC(); }, none, pageParent},
    };
    for (const Case& c : cases) {
        for (bool fromOutside : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (fromOutside ? ", window destroyed from outside" : ", object deleted"));
            std::unique_ptr<ui::Dialog> w(c.make());
            ASSERT_TRUE(w->Create(c.parent));
            const HWND hwnd = w->Handle();
            bool destroyReachedObject = false;
            SetWindowSubclass(hwnd, &WatchDestroy, kWatchId, reinterpret_cast<DWORD_PTR>(&destroyReachedObject));
            if (fromOutside) {
                DestroyWindow(hwnd);
                EXPECT_EQ(w->Handle(), nullptr);
                for (HWND part : c.parts(w.get())) EXPECT_EQ(part, nullptr);
            }
            w.reset();
            EXPECT_FALSE(IsWindow(hwnd));
            if (!fromOutside) {
                EXPECT_FALSE(destroyReachedObject) << "the object was still reached while it was being deleted";
            }
        }
    }
    DestroyWindow(pageParent);
}

}  // namespace
