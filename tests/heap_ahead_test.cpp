// Heap blocks faulted in ahead of the allocation that fills them.
#include <gtest/gtest.h>

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/heap_ahead.h"

namespace {

constexpr size_t kBytes = 12u << 20;

// The share of the whole pages of [block, block + bytes) that are in memory.
double ResidentShare(const void* block, size_t bytes)
{
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t start = reinterpret_cast<uintptr_t>(block);
    const uintptr_t first = (start + page - 1) & ~(page - 1);
    const uintptr_t end = (start + bytes) & ~(page - 1);
    const size_t pages = (end - first) / page;
    std::vector<unsigned char> resident(pages);
    if (mincore(reinterpret_cast<void*>(first), end - first, resident.data()) != 0) {
        ADD_FAILURE() << "mincore failed";
        return -1;
    }
    size_t in = 0;
    for (const unsigned char flags : resident)
        in += flags & 1;
    return static_cast<double>(in) / static_cast<double>(pages);
}

// The next block of its size, taken on a thread of its own as the loading's
// are; nothing before has written the free end of the heap it gets.
double ShareInMemoryOfNextBlock(bool readied)
{
    double share = -1;
    std::thread([&] {
        if (readied)
            ReadyHeapFor(kBytes);
        void* block = std::malloc(kBytes);
        share = ResidentShare(block, kBytes);
        std::free(block);
    }).join();
    return share;
}

// Kept from the compiler, which may drop an allocation nothing uses.
void* volatile g_kept;

bool MappedOnItsOwn(size_t bytes)
{
    const size_t before = mallinfo2().hblks;
    void* block = std::malloc(bytes);
    g_kept = block;
    const size_t after = mallinfo2().hblks;
    std::free(block);
    return after > before;
}

bool KernelFaultsInAhead()
{
#if defined(MADV_POPULATE_WRITE) && !defined(__SANITIZE_ADDRESS__)
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    void* probe = mmap(nullptr, page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    const bool supported = probe != MAP_FAILED && madvise(probe, page, MADV_POPULATE_WRITE) == 0;
    if (probe != MAP_FAILED)
        munmap(probe, page);
    return supported;
#else
    return false;
#endif
}

TEST(HeapAheadTest, TheNextBlockOfAThreadFindsItsPagesInMemory)
{
    if (!KernelFaultsInAhead())
        GTEST_SKIP() << "no block is faulted in ahead here (an old kernel, or a sanitizer's heap)";
    // The first large block freed in this process comes after this call: the
    // C library has not moved its thresholds itself.
    KeepLargeBlocksInHeap();
    EXPECT_FALSE(MappedOnItsOwn(kBytes));
    // Without readying, a block from the heap's unwritten end is not in
    // memory until written: the measure tells the two apart.
    EXPECT_LT(ShareInMemoryOfNextBlock(false), 0.1);
    EXPECT_EQ(ShareInMemoryOfNextBlock(true), 1.0);
    // A block readied and given back stays ready for the next one.
    std::thread([] {
        ReadyHeapFor(kBytes);
        void* first = std::malloc(kBytes);
        g_kept = first;
        std::free(first);
        void* second = std::malloc(kBytes);
        EXPECT_EQ(ResidentShare(second, kBytes), 1.0);
        std::free(second);
    }).join();
}

}  // namespace
