#include "host/capture/capture_pipeline.h"

#include <algorithm>

#include "platform/demo_error.h"

CapturePipeline::CapturePipeline(const VideoEncoderSettings& settings, const CaptureSound& sound)
    : encoder_(VideoSupport().createWriter(settings)),
      sound_(sound),
      rate_(settings.sampleRate),
      fps_(settings.fps),
      fpsBase_(settings.fpsBase)
{
    try {
        for (int i = 0; i < kSlots; ++i) {
            pictures_[i] = encoder_->NewPicture();
            free_[freeCount_++] = i;
        }
    } catch (...) {
        for (AVFrame* picture : pictures_)
            encoder_->FreePicture(picture);
        throw;
    }
    worker_ = std::thread(&CapturePipeline::Work, this);
}

CapturePipeline::~CapturePipeline()
{
    Stop();
    for (AVFrame* picture : pictures_)
        encoder_->FreePicture(picture);
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
    encoder_->FillPicture(bgra, pictures_[slot]);
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
        if (!failed) {
            try {
                encoder_->WritePicture(pictures_[slot]);
                // The music from this picture's start to the next one's, counted in
                // whole frames from picture 0 so that no rounding builds up.
                const int64_t from = encoded_ * rate_ * fpsBase_ / fps_;
                ++encoded_;
                WriteMusic(from, encoded_ * rate_ * fpsBase_ / fps_ - from);
            } catch (const std::exception& e) {
                std::lock_guard<std::mutex> lock(mutex_);
                failed_ = true;
                error_ = e.what();
            }
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            free_[freeCount_++] = slot;
        }
        slotFree_.notify_one();
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
