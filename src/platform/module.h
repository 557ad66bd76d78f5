#pragma once
// The plug-in module's own handle (the DLL's HINSTANCE on Windows), saved when the library loads:
// dialogs and resources must be created from it, not from the host's.

namespace platform {
void SetModuleHandle(void* handle);
void* ModuleHandle();
}  // namespace platform
