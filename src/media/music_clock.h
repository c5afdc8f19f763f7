#pragma once
#include <cstdint>
#include <memory>
#include <string>

constexpr int kSpectrumSize = 1024;

// Where a clock reads the time: seconds on a monotonic clock. Tests give a
// clock one they drive themselves.
using TimeSource = double (*)();
// Seconds since the first call, from the system's monotonic clock.
double MonotonicSeconds();

// The music as the player sees it: a looping stream whose playing position is
// the show's clock, addressed in bytes of 16-bit interleaved PCM, plus the
// magnitude spectrum of what is being heard.
class MusicClock {
public:
    virtual ~MusicClock() = default;

    // Creates a looping stream on the music file. Problems are reported as
    // warnings; the clock keeps running without them.
    virtual void Open(const std::string& path) = 0;
    // Begins reading the music file ahead of Open, in the background, so that
    // it overlaps the show's loading; Open of the same path then takes the
    // result. The default, for clocks without a file, does nothing.
    virtual void Prefetch(const std::string&) {}
    // Starts playback from the beginning. A stream that was never played keeps
    // the position it was set to (used for headless rendering).
    virtual void Play() = 0;
    // Holds (true) or lets go (false) playback and the position with it; a
    // held position still moves with SetPosition. Only a playing stream holds.
    // The default, for clocks that stand still anyway, does nothing.
    virtual void SetPaused(bool) {}

    virtual int64_t SecondsToBytes(double seconds) const = 0;
    virtual double BytesToSeconds(int64_t bytes) const = 0;
    // Position of what is being heard now, in bytes.
    virtual int64_t Position() const = 0;
    virtual void SetPosition(int64_t bytes) = 0;
    // kSpectrumSize magnitudes of a 2048-sample FFT, lowest frequency first.
    virtual void Spectrum(float* out) = 0;
};

// A clock without sound: a monotonic wall clock and an all-zero spectrum.
std::unique_ptr<MusicClock> MakeSilentClock(TimeSource now = MonotonicSeconds);

// The clock the player uses.
std::unique_ptr<MusicClock> MakeMusicClock();

// The clock of a batch run, which only sets positions (media/forward_music.h).
std::unique_ptr<MusicClock> MakeBatchMusicClock();
