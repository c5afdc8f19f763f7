#include "host/capture/slot_ring.h"

SlotRing::SlotRing(int count) : ready_(count)
{
    free_.reserve(count);
    for (int i = count - 1; i >= 0; --i)
        free_.push_back(i);
}

int SlotRing::TakeFree()
{
    std::unique_lock<std::mutex> lock(mutex_);
    freed_.wait(lock, [this] { return !free_.empty() || refused_; });
    if (refused_)
        return -1;
    const int slot = free_.back();
    free_.pop_back();
    return slot;
}

void SlotRing::Pass(int slot)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ready_[(head_ + readyCount_++) % ready_.size()] = slot;
    }
    passed_.notify_one();
}

int SlotRing::TakeReady()
{
    std::unique_lock<std::mutex> lock(mutex_);
    passed_.wait(lock, [this] { return readyCount_ > 0 || closed_; });
    if (readyCount_ == 0)
        return -1;
    const int slot = ready_[head_];
    head_ = (head_ + 1) % static_cast<int>(ready_.size());
    --readyCount_;
    return slot;
}

void SlotRing::Free(int slot)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        free_.push_back(slot);
    }
    freed_.notify_one();
}

void SlotRing::Close()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
    }
    passed_.notify_all();
}

void SlotRing::Refuse()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        refused_ = true;
    }
    freed_.notify_all();
}
