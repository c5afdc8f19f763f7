#include "host/capture/capture_pipeline.h"

#include <algorithm>
#include <cstring>

#include "platform/demo_error.h"
#include "platform/thread_priority.h"

CapturePipeline::CapturePipeline(const VideoEncoderSettings& settings, const CaptureSound& sound)
    : encoder_(VideoSupport().createWriter(settings)),
      sound_(sound),
      rate_(settings.sampleRate),
      fps_(settings.fps),
      fpsBase_(settings.fpsBase)
{
    for (int i = 0; i < kSlots; ++i) {
        slots_[i].resize(static_cast<size_t>(settings.width) * settings.height * 4);
        free_[freeCount_++] = i;
    }
    picture_ = encoder_->NewPicture();
    worker_ = std::thread(&CapturePipeline::Work, this);
}

CapturePipeline::~CapturePipeline()
{
    Stop();
    encoder_->FreePicture(picture_);
}

void CapturePipeline::Stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    slotReady_.notify_one();
    if (worker_.joinable())
        worker_.join();
}

void CapturePipeline::Submit(const uint8_t* bgra)
{
    int slot = 0;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        slotFree_.wait(lock, [this] { return freeCount_ > 0 || failed_; });
        if (failed_)
            throw DemoError(error_);
        slot = free_[--freeCount_];
    }
    std::memcpy(slots_[slot].data(), bgra, slots_[slot].size());
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ready_[(readyHead_ + readyCount_++) % kSlots] = slot;
    }
    slotReady_.notify_one();
}

void CapturePipeline::Finish()
{
    Stop();
    if (failed_)
        throw DemoError(error_);
    encoder_->Finish();
}

int64_t CapturePipeline::Abandon()
{
    Stop();
    encoder_->Close();
    return encoder_->CompleteSize();
}

void CapturePipeline::Work()
{
    // A software renderer draws on every core; encoding in the time it leaves
    // holds the drawing up least.
    GiveWayToOtherThreads();
    // Runs one step; a failure is kept for the drawing side's next Submit.
    auto attempt = [this](auto&& step) {
        try {
            step();
            return true;
        } catch (const std::exception& e) {
            std::lock_guard<std::mutex> lock(mutex_);
            failed_ = true;
            error_ = e.what();
            return false;
        }
    };
    for (;;) {
        int slot = 0;
        bool failed = false;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            slotReady_.wait(lock, [this] { return readyCount_ > 0 || closing_; });
            if (readyCount_ == 0)
                return;
            slot = ready_[readyHead_];
            readyHead_ = (readyHead_ + 1) % kSlots;
            --readyCount_;
            failed = failed_;
        }
        // After a failure the slots still come back, so the drawing side never waits forever.
        failed = failed || !attempt([&] { encoder_->FillPicture(slots_[slot].data(), picture_); });
        // Converted, the slot takes the next picture while this one is encoded.
        {
            std::lock_guard<std::mutex> lock(mutex_);
            free_[freeCount_++] = slot;
        }
        slotFree_.notify_one();
        if (!failed)
            attempt([&] {
                encoder_->WritePicture(picture_);
                // The music from this picture's start to the next one's, counted in
                // whole frames from picture 0 so that no rounding builds up.
                const int64_t from = encoded_ * rate_ * fpsBase_ / fps_;
                ++encoded_;
                WriteMusic(from, encoded_ * rate_ * fpsBase_ / fps_ - from);
            });
    }
}

// The music loops as it does in a live run; before its start there is silence.
void CapturePipeline::WriteMusic(int64_t from, int64_t count)
{
    const PcmTrack* track = sound_.track;
    const int64_t length = track ? track->Frames() : 0;
    int64_t position = sound_.firstFrame + from;
    while (count > 0) {
        int64_t run = count;
        if (length == 0 || position < 0) {
            if (length > 0)
                run = std::min(count, -position);
            encoder_->WriteSound(nullptr, run, 0);
        } else {
            const int64_t frame = position % length;
            run = std::min(count, length - frame);
            encoder_->WriteSound(&track->samples[static_cast<size_t>(frame * track->channels)], run, track->channels);
        }
        position += run;
        count -= run;
    }
}
