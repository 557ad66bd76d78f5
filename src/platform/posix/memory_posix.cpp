#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

#include "platform/memory.h"

namespace platform {

namespace {
constexpr size_t kLargePage = 2u << 20;
constexpr size_t kMapped = 2 * kLargePage;  // from this size on a table gets pages of its own
}  // namespace

// A big table is mapped fresh, aligned to a large page and marked before anything is written, so the whole of
// it is eligible; memory the heap has used before would already stand on small pages.
void* AllocateTable(size_t bytes) {
    if (bytes < kMapped) {
        void* table = std::malloc(bytes == 0 ? 1 : bytes);
        if (table == nullptr) throw std::bad_alloc();
        return table;
    }
    const size_t mapped = bytes + kLargePage;
    void* raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const uintptr_t start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (start + kLargePage - 1) & ~(kLargePage - 1);
    // The unused head and tail go back at once.
    if (aligned > start) munmap(raw, aligned - start);
    const uintptr_t end = start + mapped, tableEnd = aligned + bytes;
    if (end > tableEnd) munmap(reinterpret_cast<void*>(tableEnd), end - tableEnd);
#if defined(MADV_HUGEPAGE)
    madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<void*>(aligned);
}

void FreeTable(void* table, size_t bytes) {
    if (bytes < kMapped) {
        std::free(table);
    } else {
        munmap(table, bytes);
    }
}

}  // namespace platform
