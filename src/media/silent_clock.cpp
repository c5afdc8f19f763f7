#include "media/music_clock.h"

#include <chrono>

#include <cmath>
#include <algorithm>

namespace {

// Positions are counted as 44.1 kHz stereo 16-bit frames, 176400 bytes a second.
constexpr int64_t kBytesPerFrame = 4;
constexpr int64_t kFramesPerSecond = 44100;
constexpr double kMaxSeconds = 1e9;

class SilentClock : public MusicClock {
public:
    explicit SilentClock(TimeSource now) : now_(now) {}

    void Open(const std::string&) override {}

    void Play() override
    {
        playing_ = true;
        held_ = false;
        base_ = 0;
        started_ = now_();
    }

    void SetPaused(bool paused) override
    {
        if (paused && playing_) {
            base_ = Position();
            playing_ = false;
            held_ = true;
        } else if (!paused && held_) {
            playing_ = true;
            held_ = false;
            started_ = now_();
        }
    }

    int64_t SecondsToBytes(double seconds) const override
    {
        // Keeps absurd seeks (and NaN) inside a range where the arithmetic cannot overflow.
        if (!(seconds > -kMaxSeconds))
            seconds = seconds < 0 ? -kMaxSeconds : 0;
        seconds = std::min(seconds, kMaxSeconds);
        return static_cast<int64_t>(std::floor(seconds * kFramesPerSecond)) * kBytesPerFrame;
    }

    double BytesToSeconds(int64_t bytes) const override
    {
        return static_cast<double>(bytes / kBytesPerFrame) / kFramesPerSecond;
    }

    int64_t Position() const override
    {
        if (!playing_)
            return base_;
        return base_ + SecondsToBytes(now_() - started_);
    }

    void SetPosition(int64_t bytes) override
    {
        base_ = std::clamp<int64_t>(bytes / kBytesPerFrame * kBytesPerFrame, 0, SecondsToBytes(kMaxSeconds));
        started_ = now_();
    }

    void Spectrum(float* out) override { std::fill(out, out + kSpectrumSize, 0.0f); }

private:
    TimeSource now_;
    bool playing_ = false;
    bool held_ = false;
    int64_t base_ = 0;
    double started_ = 0;
};

}  // namespace

double MonotonicSeconds()
{
    static const auto epoch = std::chrono::steady_clock::now();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - epoch).count();
}

std::unique_ptr<MusicClock> MakeSilentClock(TimeSource now)
{
    return std::make_unique<SilentClock>(now);
}
