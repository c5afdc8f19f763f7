#pragma once
#include <condition_variable>
#include <mutex>
#include <vector>

// Hands a fixed set of numbered slots from one thread to the next, oldest
// first: the filling side takes a free slot and passes it on when filled; the
// emptying side takes the oldest passed one and frees it when done. Nothing
// is allocated after construction.
class SlotRing {
public:
    explicit SlotRing(int count);

    // A free slot, waiting for one; -1 once Refuse was called.
    int TakeFree();
    void Pass(int slot);
    // The oldest passed slot, waiting for one; -1 once closed and emptied.
    int TakeReady();
    void Free(int slot);

    // No more slots will be passed: TakeReady gives what is left, then -1.
    void Close();
    // TakeFree gives -1 from now on (the emptying side failed), so the filling
    // side never waits for a slot that will not come.
    void Refuse();

private:
    std::mutex mutex_;
    std::condition_variable freed_;
    std::condition_variable passed_;
    std::vector<int> free_;   // a stack
    std::vector<int> ready_;  // a ring, oldest at head_
    int head_ = 0;
    int readyCount_ = 0;
    bool closed_ = false;
    bool refused_ = false;
};
