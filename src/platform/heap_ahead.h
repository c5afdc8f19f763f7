#pragma once
#include <cstddef>

// Fresh memory faulted in a block at a time, ahead of the library that fills it.
//
// The first write to each page of fresh memory traps into the kernel, one
// trap a page; on a virtual machine a trap costs about 10 µs, more than
// writing the page. Loading a show writes about 90 MiB of fresh memory: the
// GL driver's textures and render targets, each of which the driver clears
// as it allocates it. The kernel fills a whole block in one call at about
// half that cost, so the loading readies each thread's heap for the block
// its driver call is about to allocate. Where the C library or the kernel cannot
// (an old kernel), nothing is done and the pages fault in one by one as before.
//
//     KeepLargeBlocksInHeap();       // once, before the window opens
//     ReadyHeapFor(width * height * 4);
//     glTexImage2D(...);             // the driver's block finds its pages in memory

// Blocks up to this size are taken from the heap, not mapped on their own.
constexpr size_t kLargestHeapBlock = 16u << 20;

// From now on, blocks of up to kLargestHeapBlock are taken from the heap and
// the heap keeps its free end, up to twice that, in memory: a block mapped
// on its own would be unmapped when freed, and a trimmed end gives its pages
// back. The C library moves its own thresholds there whenever it sees such a
// block freed; fixed, they stay there. Put back to the library's first
// values after a load, they cost a frame up to half again as much: the
// driver and the encoder map and fault in blocks of a few hundred KiB anew.
// What a load leaves free goes back when the host trims the heap after it.
void KeepLargeBlocksInHeap();

// Readies the calling thread's heap for its next allocations, of about bytes
// in all: the pages where they will be placed are written now, in one call.
// For a larger block, or before KeepLargeBlocksInHeap, it does nothing.
void ReadyHeapFor(size_t bytes);
