#include "platform/heap_ahead.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace {

// Before, a readied block would be mapped on its own and unmapped again.
std::atomic<bool> g_keeping{false};

}  // namespace

void KeepLargeBlocksInHeap()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kLargestHeapBlock));
    // The rule the C library follows for a threshold it raises itself: a
    // block that size, freed, stays in the heap's free end.
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * kLargestHeapBlock));
    g_keeping = true;
#endif
}

// A sanitizer's allocator keeps its own heap and holds freed blocks back.
#if defined(__GLIBC__) && defined(MADV_POPULATE_WRITE) && !defined(__SANITIZE_ADDRESS__)
#define HEAP_AHEAD 1
#endif

void ReadyHeapFor(size_t bytes)
{
#ifdef HEAP_AHEAD
    if (bytes == 0 || bytes > kLargestHeapBlock || !g_keeping.load())
        return;
    // Taken from the heap's free end and given back to it, the block leaves
    // that end in memory for the allocation that follows.
    void* block = std::malloc(bytes);
    if (!block)
        return;
    static const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t start = reinterpret_cast<uintptr_t>(block);
    const uintptr_t first = (start + page - 1) & ~(page - 1);
    const uintptr_t end = (start + bytes) & ~(page - 1);
    if (end > first)
        madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
    std::free(block);
#else
    (void)bytes;
#endif
}
