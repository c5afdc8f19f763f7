#pragma once
#include <atomic>
#include <cstdint>
#include <future>
#include <string>

#include "media/file_prefetch.h"
#include "media/music_clock.h"
#include "media/pcm_positions.h"
#include "media/pcm_track.h"
#include "media/playback_clock.h"
#include "media/fft_analyser.h"

// Our audio layer: the music file decoded into memory, played in a loop
// through SDL's audio device, with the heard position as the show's clock.
// Without an audio device (or with SDL's dummy driver) the same stream runs on
// the monotonic wall clock in silence; without a readable music file the clock
// runs anyway with an all-zero spectrum. Problems are one-line warnings on
// standard error.
//
// Positions are bytes of 16-bit interleaved PCM at the file's own rate and
// channel count (44.1 kHz stereo when there is no file).
class MusicStream : public MusicClock {
public:
    // acceptDummyDriver: play through SDL's dummy driver as if it were a real
    // device (for measuring the callback clock); normally the wall clock is
    // more exact there. now: where the stream reads the time, both for the
    // wall clock and for the moments of the device's callbacks.
    explicit MusicStream(bool acceptDummyDriver = false, TimeSource now = MonotonicSeconds);
    ~MusicStream() override;
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    void Open(const std::string& path) override;
    void Prefetch(const std::string& path) override;
    void Play() override;
    void SetPaused(bool paused) override;
    int64_t SecondsToBytes(double seconds) const override;
    double BytesToSeconds(int64_t bytes) const override;
    int64_t Position() const override;
    void SetPosition(int64_t bytes) override;
    void Spectrum(float* out) override;

    // Whether the stream was opened on this file last.
    bool OpenedOn(const std::string& path) const { return opened_ && path_ == path; }
    bool PlaysOnDevice() const { return device_; }
    int Rate() const { return rate_; }
    int Channels() const { return channels_; }
    // The decoded music (empty without a readable file), once all of it is.
    int64_t LengthFrames() const { return Track().Frames(); }
    const PcmTrack& Track() const;

    // One period of the device's work, as SDL's audio thread asks for it:
    // len bytes of output. Tests call it themselves, with the device paused,
    // to play the device's part at moments of their choosing.
    void FillPeriod(uint8_t* stream, int len);

private:
    static void AudioCallback(void* self, uint8_t* stream, int len);
    void Fill(int16_t* out, int frames);
    bool OpenDevice();
    void CloseDevice();
    PcmPositions Positions() const { return {rate_, channels_}; }
    int64_t WrapFrame(int64_t frame) const;
    int64_t HeardLinear(double now) const;
    int64_t HeardFrame() const;
    int64_t HeardUnwrapped() const;

    // A decoding: the track, or the reason it failed. A prefetch decodes the
    // first seconds only and leaves the rest to `rest`, for Open to finish
    // while the show plays.
    struct Decoded {
        PcmTrack track;
        std::string error;
        bool ok = false;
        std::unique_ptr<TrackDecoder> rest;
    };
    static Decoded Decode(const std::string& path);
    static Decoded DecodeBeginning(const std::string& path);
    static Decoded DecodeRest(std::unique_ptr<TrackDecoder> decoder, const std::atomic<bool>* stop);
    // Ends the decoding of the rest, unused.
    void DropRest();
    // Puts the whole track in place of its beginning once its decoding is
    // done; with wait, waits for it.
    void TakeRest(bool wait) const;

    bool acceptDummyDriver_;
    FilePrefetch<Decoded> prefetch_;
    TimeSource now_;
    // The beginning of the music while the rest still decodes (whole_ false),
    // then all of it. Taken in by const readers too, hence mutable; only the
    // main thread changes them, the audio thread reads them under the lock.
    mutable PcmTrack track_;
    mutable std::future<Decoded> rest_;
    mutable bool whole_ = true;
    std::atomic<bool> stopRest_{false};
    std::string path_;
    bool opened_ = false;
    int rate_ = 44100;
    int channels_ = 2;
    int outChannels_ = 2;
    FftAnalyser analyser_;

    bool playing_ = false;
    bool paused_ = false;  // held by SetPaused: playing_ is false meanwhile
    bool device_ = false;
    bool deviceTried_ = false;
    bool quitAudioOnClose_ = false;
    double wallStart_ = 0;

    // Shared with the audio callback; the main thread holds SDL's audio lock
    // while it touches them and the device runs.
    int64_t written_ = 0;     // linear frames handed to the device since it opened
    int64_t cursor_ = 0;      // next track frame the callback writes
    int64_t seekFrame_ = 0;   // track frame at the last start or seek
    int64_t seekLinear_ = 0;  // linear frame at which seekFrame_ plays
    mutable PlaybackClock clock_;
};
