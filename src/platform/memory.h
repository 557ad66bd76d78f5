#pragma once
// Memory for the log's big random-access tables.
#include <cstddef>

namespace platform {

// Room for a big table that is probed at random (the log's call index): where the system has large pages
// it is placed on them, so that one probe does not also cost a walk of the page tables. Never null (throws
// std::bad_alloc); given back with FreeTable and the same size.
void* AllocateTable(size_t bytes);
void FreeTable(void* table, size_t bytes);

}  // namespace platform
