#include <new>

#include "platform/memory.h"

namespace platform {

// Large pages on Windows need a privilege the host does not hold: ordinary memory.
void* AllocateTable(size_t bytes) { return ::operator new(bytes == 0 ? 1 : bytes); }

void FreeTable(void* table, size_t) { ::operator delete(table); }

}  // namespace platform
