#pragma once
#include <cstddef>

// Fresh memory faulted in a block at a time, ahead of the library that fills it.
//
// The first write to each page of fresh memory traps into the kernel, one
// trap a page; on a virtual machine a trap costs about 10 µs, more than
// writing the page. Loading a show writes about 90 MiB of fresh memory: the
// GL driver's textures and render targets, each of which the driver clears
// as it allocates it. The kernel fills a whole block in one call for about
// half of that, so the loading readies each thread's heap for the block its
// driver call is about to allocate. Where the C library or the kernel cannot
// (an old kernel), nothing is done and the pages fault in one by one as before.
//
//     LargeBlocksInHeap loading;     // from before the window opens
//     ReadyHeapFor(width * height * 4);
//     glTexImage2D(...);             // the driver's block finds its pages in memory
//     loading.End();                 // once the show is loaded

// Blocks up to this size are taken from the heap, not mapped on their own.
constexpr size_t kLargestHeapBlock = 16u << 20;

// While it lives, blocks of up to kLargestHeapBlock are taken from the heap
// and the heap's free end stays in memory: a block mapped on its own would
// be unmapped when freed, and a trimmed end gives its pages back. Afterwards
// blocks over 128 KiB are mapped on their own again, as the C library starts
// out, and given back to the system when freed: a long show does not hold
// on to freed pieces of the heap. What the loading left free goes back when
// the host trims the heap after it.
class LargeBlocksInHeap {
public:
    LargeBlocksInHeap();
    ~LargeBlocksInHeap() { End(); }
    LargeBlocksInHeap(const LargeBlocksInHeap&) = delete;
    LargeBlocksInHeap& operator=(const LargeBlocksInHeap&) = delete;
    void End();

private:
    bool ended_ = false;
};

// Readies the calling thread's heap for its next allocations, of about bytes
// in all: the pages where they will be placed are written now, in one call.
// For a larger block, or outside a LargeBlocksInHeap, it does nothing.
void ReadyHeapFor(size_t bytes);
