// Library load and unload. The module handle is kept for dialogs and resources; unloading runs the
// application's exit, which closes every window before the library goes. When the process is exiting
// (reserved pointer set) the window thread is already gone and nothing is waited for.
#include <windows.h>

#include "app/plugin_object.h"
#include "platform/module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            platform::SetModuleHandle(instance);
            DisableThreadLibraryCalls(instance);
            CTestApp::Instance();
            break;
        case DLL_PROCESS_DETACH:
            try {
                CTestApp::Instance().ExitInstance(reserved != nullptr);
                if (reserved == nullptr) Sleep(20);
            } catch (...) {
            }
            break;
        default:
            break;
    }
    return TRUE;
}
