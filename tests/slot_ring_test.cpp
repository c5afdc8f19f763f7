#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "host/capture/slot_ring.h"

// Many more pictures than slots pass from one thread to another: each comes
// out once, in the order passed, round and round the ring.
TEST(SlotRingTest, PassesEverySlotOnceInOrderAcrossThreads)
{
    constexpr int kSlots = 3;
    constexpr int kPictures = 1000;
    SlotRing ring(kSlots);
    int contents[kSlots] = {};
    std::vector<int> received;
    std::thread consumer([&] {
        for (int slot; (slot = ring.TakeReady()) >= 0;) {
            received.push_back(contents[slot]);
            ring.Free(slot);
        }
    });
    for (int i = 0; i < kPictures; ++i) {
        const int slot = ring.TakeFree();
        ASSERT_GE(slot, 0);
        ASSERT_LT(slot, kSlots);
        contents[slot] = i;
        ring.Pass(slot);
    }
    // What was passed before the close still comes out.
    ring.Close();
    consumer.join();
    ASSERT_EQ(received.size(), static_cast<size_t>(kPictures));
    for (int i = 0; i < kPictures; ++i)
        ASSERT_EQ(received[i], i);
}

// When the emptying side fails it stops freeing slots: a filling side that
// waits for one must be let go, not wait for ever.
TEST(SlotRingTest, RefusingLetsAWaitingFillingSideGo)
{
    SlotRing ring(2);
    ASSERT_GE(ring.TakeFree(), 0);
    ASSERT_GE(ring.TakeFree(), 0);
    int taken = 0;
    std::thread filler([&] { taken = ring.TakeFree(); });
    ring.Refuse();
    filler.join();
    EXPECT_EQ(taken, -1);
    // Freed slots do not come back once refused.
    ring.Free(0);
    EXPECT_EQ(ring.TakeFree(), -1);
    // A closed, empty ring lets its emptying side go too.
    ring.Close();
    EXPECT_EQ(ring.TakeReady(), -1);
}
