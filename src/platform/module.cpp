#include "platform/module.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<void*> moduleHandle{nullptr};
}
void SetModuleHandle(void* handle) { moduleHandle.store(handle); }
void* ModuleHandle() { return moduleHandle.load(); }
}  // namespace platform
