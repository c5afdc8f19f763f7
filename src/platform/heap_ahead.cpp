#include "platform/heap_ahead.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace {

// The C library's own starting thresholds.
constexpr int kMappedFrom = 128 << 10;

// Outside a LargeBlocksInHeap a readied block would be mapped and unmapped.
std::atomic<int> g_scopes{0};

}  // namespace

LargeBlocksInHeap::LargeBlocksInHeap()
{
    ++g_scopes;
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kLargestHeapBlock));
    // The rule the C library follows for a threshold it raises itself: a
    // block that size, freed, stays in the heap's free end.
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * kLargestHeapBlock));
#endif
}

void LargeBlocksInHeap::End()
{
    if (ended_)
        return;
    ended_ = true;
    if (--g_scopes > 0)
        return;
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, kMappedFrom);
    mallopt(M_TRIM_THRESHOLD, kMappedFrom);
#endif
}

// A sanitizer's allocator keeps its own heap and holds freed blocks back.
#if defined(__GLIBC__) && defined(MADV_POPULATE_WRITE) && !defined(__SANITIZE_ADDRESS__)
#define HEAP_AHEAD 1
#endif

void ReadyHeapFor(size_t bytes)
{
#ifdef HEAP_AHEAD
    if (bytes == 0 || bytes > kLargestHeapBlock || g_scopes.load() == 0)
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
