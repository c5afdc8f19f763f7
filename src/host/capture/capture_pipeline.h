#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "host/capture/frame_sink.h"
#include "host/capture/slot_ring.h"
#include "media/pcm_track.h"
#include "media/video_support.h"

// The music that goes with the pictures of a capture.
struct CaptureSound {
    const PcmTrack* track = nullptr;  // null or empty: silence
    int64_t firstFrame = 0;           // track frame heard with picture 0; before 0 is silence
};

// The encoding half of a capture, in two steps on threads of their own, so
// that they overlap with drawing and with each other. The drawing thread only
// copies each picture's bytes into one of a few fixed slots and queues it; a
// converting thread turns it into the encoder's picture format; an encoding
// thread encodes that with the music that plays during it and writes the file.
// Nothing is allocated per picture.
class CapturePipeline : public FrameSink {
public:
    CapturePipeline(const VideoEncoderSettings& settings, const CaptureSound& sound);
    // Stops the threads; a file that was not finished stays unfinished.
    ~CapturePipeline();
    CapturePipeline(const CapturePipeline&) = delete;
    CapturePipeline& operator=(const CapturePipeline&) = delete;

    // Queues pictures (in the settings' pixel order, bottom row first) in two
    // steps: where the next one goes, waiting while the queue is full, then
    // that it is there.
    // NextPicture throws the first error of the other threads once they have
    // failed.
    uint8_t* NextPicture() override;
    void SubmitNext() override;
    // Encodes what is queued and finishes the file. Throws on failure.
    void Finish();
    // Stops encoding and closes the file as it is; gives the size of its
    // whole clusters.
    int64_t Abandon();

private:
    static constexpr int kSlots = 3;
    static constexpr int kPictures = 2;

    void Convert();
    void Encode();
    void EncodeOne(AVFrame* picture);
    void WriteMusic(int64_t from, int64_t count);
    void Stop();
    void FreePictures();
    // Keeps the first failure for the drawing side, which stops waiting for slots.
    void Fail(const std::string& error);
    bool Failed();
    std::string Error();

    std::unique_ptr<VideoWriter> encoder_;
    CaptureSound sound_;
    int rate_;
    int fps_;
    int fpsBase_;
    std::vector<uint8_t> slots_[kSlots];  // pictures as drawn
    AVFrame* pictures_[kPictures] = {};   // slots converted for the encoder
    SlotRing drawn_{kSlots};              // from drawing to converting
    SlotRing converted_{kPictures};       // from converting to encoding

    std::mutex mutex_;
    bool failed_ = false;
    std::string error_;
    int next_ = -1;        // the slot NextPicture gave, not yet submitted
    int64_t encoded_ = 0;  // encoding thread only
    std::thread converting_;
    std::thread encoding_;
};
