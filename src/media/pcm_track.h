#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A whole music file decoded into memory as 16-bit interleaved PCM at the
// file's own sample rate and channel count.
struct PcmTrack {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;

    int64_t Frames() const { return channels > 0 ? static_cast<int64_t>(samples.size()) / channels : 0; }
    bool Empty() const { return samples.empty(); }
};

// Decodes every format libsndfile reads (WAV, FLAC, Ogg Vorbis, Opus, MP3...).
// On failure returns false with the reason in error and leaves track empty.
bool DecodeTrack(const std::string& path, PcmTrack& track, std::string& error);

// DecodeTrack a piece at a time, for a player that starts on the beginning of
// the music while the rest decodes.
class TrackDecoder {
public:
    enum Progress { kMore, kEnd, kFailed };

    // Opens the file and checks its format; kFailed with Error() when it
    // cannot be played.
    Progress Open(const std::string& path);
    // Opens the file and decodes its beginning: what a player prefetches
    // before the show starts (the rest decodes while it plays, hundreds of
    // times faster than it is heard).
    static constexpr int kBeginningSeconds = 10;
    Progress Begin(const std::string& path);
    // Appends at least `frames` more to Track() (or all that is left, when
    // frames is negative): kMore while the file goes on, kEnd at its end, or
    // kFailed with Error() and an empty track. A file that fails to read
    // after some audio keeps what was read and ends, as in DecodeTrack. When
    // *stop turns true (from another thread) it stops soon, as kFailed.
    Progress Decode(int64_t frames, const std::atomic<bool>* stop = nullptr);
    // Lets go of the frames decoded before `frame`, for a reader that only
    // goes forward; Track() then holds the frames from FirstFrame() on.
    void Drop(int64_t frame);
    int64_t FirstFrame() const { return first_; }
    // The frames decoded so far, dropped ones included.
    int64_t DecodedFrames() const { return first_ + track_.Frames(); }

    PcmTrack& Track() { return track_; }
    const std::string& Error() const { return error_; }

private:
    Progress Fail(const std::string& reason);
    Progress End();

    struct SndfileCloser {
        void operator()(struct sf_private_tag* file) const;
    };
    std::unique_ptr<struct sf_private_tag, SndfileCloser> file_;
    PcmTrack track_;
    std::string error_;
    std::vector<float> chunk_;
    int64_t maxFrames_ = 0;
    int64_t first_ = 0;
};
