#pragma once
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "media/pcm_track.h"
#include "media/video_support.h"

// The music that goes with the pictures of a capture.
struct CaptureSound {
    const PcmTrack* track = nullptr;  // null or empty: silence
    int64_t firstFrame = 0;           // track frame heard with picture 0; before 0 is silence
};

// The encoding half of a capture. The drawing thread only copies each
// picture's bytes into one of a few fixed slots and queues it; a worker thread
// converts it for the encoder, encodes it with the music that plays during it
// and writes the file, so drawing and encoding overlap. Nothing is allocated
// per picture.
class CapturePipeline {
public:
    CapturePipeline(const VideoEncoderSettings& settings, const CaptureSound& sound);
    // Stops the worker; a file that was not finished stays unfinished.
    ~CapturePipeline();
    CapturePipeline(const CapturePipeline&) = delete;
    CapturePipeline& operator=(const CapturePipeline&) = delete;

    // Queues one picture (BGRA, bottom row first), waiting while the queue is
    // full. Throws the worker's error once encoding has failed.
    void Submit(const uint8_t* bgra);
    // Encodes what is queued and finishes the file. Throws on failure.
    void Finish();
    // Stops encoding and closes the file as it is; gives the size of its
    // whole clusters.
    int64_t Abandon();

private:
    static constexpr int kSlots = 3;

    void Work();
    void WriteMusic(int64_t from, int64_t count);
    void Stop();

    std::unique_ptr<VideoWriter> encoder_;
    CaptureSound sound_;
    int rate_;
    int fps_;
    int fpsBase_;
    std::vector<uint8_t> slots_[kSlots];  // BGRA pictures as drawn
    AVFrame* picture_ = nullptr;          // worker only: a slot converted for the encoder

    std::mutex mutex_;
    std::condition_variable slotFree_;
    std::condition_variable slotReady_;
    int free_[kSlots];  // a stack of free slots
    int freeCount_ = 0;
    int ready_[kSlots];  // a ring of filled slots, oldest first
    int readyHead_ = 0;
    int readyCount_ = 0;
    bool closing_ = false;
    bool failed_ = false;
    std::string error_;
    int64_t encoded_ = 0;  // worker only
    std::thread worker_;
};
