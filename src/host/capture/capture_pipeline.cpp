#include "host/capture/capture_pipeline.h"

#include <algorithm>
#include <exception>

#include "platform/demo_error.h"
#include "platform/thread_priority.h"

namespace {

// Runs one step of a thread; false with the reason when it throws.
template <typename Step>
bool Attempt(Step&& step, std::string& error)
{
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

}  // namespace

CapturePipeline::CapturePipeline(const VideoEncoderSettings& settings, const CaptureSound& sound)
    : encoder_(VideoSupport().createWriter(settings)),
      sound_(sound),
      rate_(settings.sampleRate),
      fps_(settings.fps),
      fpsBase_(settings.fpsBase)
{
    for (std::vector<uint8_t>& slot : slots_)
        slot.resize(static_cast<size_t>(settings.width) * settings.height * 4);
    try {
        for (AVFrame*& picture : pictures_)
            picture = encoder_->NewPicture();
        converting_ = std::thread(&CapturePipeline::Convert, this);
        encoding_ = std::thread(&CapturePipeline::Encode, this);
    } catch (...) {
        Stop();
        FreePictures();
        throw;
    }
}

CapturePipeline::~CapturePipeline()
{
    Stop();
    FreePictures();
}

void CapturePipeline::FreePictures()
{
    for (AVFrame*& picture : pictures_)
        if (picture) {
            encoder_->FreePicture(picture);
            picture = nullptr;
        }
}

// Lets the threads finish what is queued, then end. The converting thread
// closes the encoding thread's queue when it ends.
void CapturePipeline::Stop()
{
    drawn_.Close();
    if (converting_.joinable())
        converting_.join();
    else
        converted_.Close();
    if (encoding_.joinable())
        encoding_.join();
}

void CapturePipeline::Fail(const std::string& error)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (failed_)
            return;
        failed_ = true;
        error_ = error;
    }
    drawn_.Refuse();
}

bool CapturePipeline::Failed()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return failed_;
}

std::string CapturePipeline::Error()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return error_;
}

uint8_t* CapturePipeline::NextPicture()
{
    if (next_ < 0)
        next_ = drawn_.TakeFree();
    if (next_ < 0)
        throw DemoError(Error());
    return slots_[next_].data();
}

void CapturePipeline::SubmitNext()
{
    if (next_ < 0)
        return;
    drawn_.Pass(next_);
    next_ = -1;
}

void CapturePipeline::Finish()
{
    Stop();
    if (Failed())
        throw DemoError(Error());
    encoder_->Finish();
}

int64_t CapturePipeline::Abandon()
{
    Stop();
    encoder_->Close();
    return encoder_->CompleteSize();
}

// A software renderer draws on every core; converting and encoding in the
// time it leaves hold the drawing up least. After a failure the slots and
// pictures still go round without work, so no side waits for ever.
void CapturePipeline::Convert()
{
    GiveWayToOtherThreads();
    std::string error;
    for (int slot; (slot = drawn_.TakeReady()) >= 0;) {
        // Never refused: the encoding thread frees every picture it takes.
        const int picture = converted_.TakeFree();
        if (!Failed() && !Attempt([&] { encoder_->FillPicture(slots_[slot].data(), pictures_[picture]); }, error))
            Fail(error);
        // Converted, the slot takes the next picture while this one is encoded.
        drawn_.Free(slot);
        converted_.Pass(picture);
    }
    converted_.Close();
}

void CapturePipeline::Encode()
{
    GiveWayToOtherThreads();
    std::string error;
    for (int picture; (picture = converted_.TakeReady()) >= 0;) {
        if (!Failed() && !Attempt([&] { EncodeOne(pictures_[picture]); }, error))
            Fail(error);
        converted_.Free(picture);
    }
}

void CapturePipeline::EncodeOne(AVFrame* picture)
{
    encoder_->WritePicture(picture);
    // The music from this picture's start to the next one's, counted in whole
    // frames from picture 0 so that no rounding builds up.
    const int64_t from = encoded_ * rate_ * fpsBase_ / fps_;
    ++encoded_;
    WriteMusic(from, encoded_ * rate_ * fpsBase_ / fps_ - from);
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
