#include "media/music_stream.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>

#include "media/music_warnings.h"
#include "platform/thread_priority.h"

namespace {

constexpr int kBytesPerSample = 2;

// Holds SDL's audio lock for a scope when the device is running.
class AudioLock {
public:
    explicit AudioLock(bool device) : device_(device)
    {
        if (device_)
            SDL_LockAudio();
    }
    ~AudioLock()
    {
        if (device_)
            SDL_UnlockAudio();
    }

private:
    bool device_;
};

}  // namespace

MusicStream::MusicStream(bool acceptDummyDriver, TimeSource now)
    : acceptDummyDriver_(acceptDummyDriver), now_(now), clock_(rate_)
{
}

MusicStream::~MusicStream()
{
    CloseDevice();
    // A prefetch still running finishes as the stream goes: it was given
    // nothing of the stream's own.
    DropRest();
}

MusicStream::Decoded MusicStream::Decode(const std::string& path)
{
    Decoded decoded;
    decoded.ok = DecodeTrack(path, decoded.track, decoded.error);
    return decoded;
}

MusicStream::Decoded MusicStream::DecodeBeginning(const std::string& path)
{
    auto decoder = std::make_unique<TrackDecoder>();
    const TrackDecoder::Progress progress = decoder->Begin(path);
    Decoded decoded;
    decoded.ok = progress != TrackDecoder::kFailed;
    decoded.error = decoder->Error();
    if (progress == TrackDecoder::kMore) {
        decoded.track = decoder->Track();
        decoded.rest = std::move(decoder);
    } else {
        decoded.track = std::move(decoder->Track());
    }
    return decoded;
}

MusicStream::Decoded MusicStream::DecodeRest(std::unique_ptr<TrackDecoder> decoder, const std::atomic<bool>* stop)
{
    // The show's drawing goes first; the music needed next is seconds away.
    GiveWayToOtherThreads();
    Decoded decoded;
    decoded.ok = decoder->Decode(-1, stop) == TrackDecoder::kEnd;
    decoded.error = decoder->Error();
    decoded.track = std::move(decoder->Track());
    return decoded;
}

void MusicStream::TakeRest(bool wait) const
{
    if (!rest_.valid() || (!wait && rest_.wait_for(std::chrono::seconds(0)) != std::future_status::ready))
        return;
    Decoded rest = rest_.get();
    AudioLock lock(device_);
    whole_ = true;
    if (rest.ok) {
        track_ = std::move(rest.track);
        return;
    }
    // What was read plays on as the whole track.
    WarnMusicCut(path_, rest.error, static_cast<double>(track_.Frames()) / rate_);
}

void MusicStream::DropRest()
{
    if (!rest_.valid())
        return;
    stopRest_ = true;
    rest_.wait();
    rest_ = std::future<Decoded>();
    stopRest_ = false;
}

const PcmTrack& MusicStream::Track() const
{
    TakeRest(true);
    return track_;
}

void MusicStream::Prefetch(const std::string& path)
{
    prefetch_.Start(path, DecodeBeginning);
}

void MusicStream::Open(const std::string& path)
{
    // The callback reads the track and plays at its rate, so a stream already
    // on the device stops before the track is replaced; Play opens it anew.
    CloseDevice();
    deviceTried_ = false;
    playing_ = false;
    paused_ = false;
    written_ = 0;
    DropRest();
    whole_ = true;
    path_ = path;
    opened_ = true;
    std::optional<Decoded> prefetched = prefetch_.Take(path);
    Decoded decoded = prefetched ? std::move(*prefetched) : Decode(path);
    track_ = std::move(decoded.track);
    if (decoded.rest) {
        whole_ = false;
        try {
            rest_ = std::async(std::launch::async, DecodeRest, std::move(decoded.rest), &stopRest_);
        } catch (const std::system_error&) {
            rest_ = std::future<Decoded>();
            whole_ = true;
            decoded.ok = DecodeTrack(path, track_, decoded.error);
        }
    }
    if (!decoded.ok) {
        WarnMusicSilent(path, decoded.error);
        rate_ = 44100;
        channels_ = 2;
    } else {
        rate_ = track_.rate;
        channels_ = track_.channels;
    }
    outChannels_ = std::min(channels_, 2);
    clock_ = PlaybackClock(rate_);
    seekFrame_ = WrapFrame(seekFrame_);
}

void MusicStream::Play()
{
    if (!deviceTried_ && !track_.Empty()) {
        deviceTried_ = true;
        device_ = OpenDevice();
    }
    AudioLock lock(device_);
    playing_ = true;
    paused_ = false;
    cursor_ = 0;
    seekFrame_ = 0;
    wallStart_ = now_();
    seekLinear_ = device_ ? written_ : 0;
    if (device_)
        SDL_PauseAudio(0);
}

void MusicStream::SetPaused(bool paused)
{
    if (paused && playing_) {
        // Held where the listener is now; what the device had queued beyond
        // that is played again on resuming.
        const int64_t heard = HeardFrame();
        AudioLock lock(device_);
        playing_ = false;
        paused_ = true;
        seekFrame_ = heard;
        cursor_ = heard;
        if (device_)
            SDL_PauseAudio(1);
    } else if (!paused && paused_) {
        AudioLock lock(device_);
        playing_ = true;
        paused_ = false;
        cursor_ = seekFrame_;
        seekLinear_ = device_ ? written_ : HeardLinear(now_());
        if (device_)
            SDL_PauseAudio(0);
    }
}

bool MusicStream::OpenDevice()
{
    const char* reason = nullptr;
    char driver[32] = "";
    const bool wasInit = SDL_WasInit(SDL_INIT_AUDIO) != 0;
    if (!wasInit && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        reason = SDL_GetError();
    } else {
        quitAudioOnClose_ = !wasInit;
        SDL_AudioDriverName(driver, sizeof driver);
        if (std::strcmp(driver, "dummy") == 0 && !acceptDummyDriver_) {
            reason = "dummy audio driver";
        } else {
            SDL_AudioSpec want{};
            want.freq = rate_;
            want.format = AUDIO_S16SYS;
            want.channels = static_cast<Uint8>(outChannels_);
            want.samples = rate_ <= 48000 ? 1024 : 2048;
            want.callback = AudioCallback;
            want.userdata = this;
            // Without an "obtained" format SDL converts to the device's format itself.
            if (SDL_OpenAudio(&want, nullptr) == 0)
                return true;
            reason = SDL_GetError();
        }
    }
    CloseDevice();
    std::fprintf(stderr, "Warning: no audio device (%s); the music runs silent on the wall clock\n", reason);
    return false;
}

void MusicStream::CloseDevice()
{
    if (device_)
        SDL_CloseAudio();
    device_ = false;
    // SDL_CloseAudio quits the subsystem too; a second quit is harmless.
    if (quitAudioOnClose_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    quitAudioOnClose_ = false;
}

void MusicStream::AudioCallback(void* self, uint8_t* stream, int len)
{
    static_cast<MusicStream*>(self)->FillPeriod(stream, len);
}

void MusicStream::FillPeriod(uint8_t* stream, int len)
{
    const int frames = len / (kBytesPerSample * outChannels_);
    clock_.OnCallback(now_(), written_, frames);
    if (track_.Empty())
        std::memset(stream, 0, static_cast<size_t>(len));
    else
        Fill(reinterpret_cast<int16_t*>(stream), frames);
    written_ += frames;
}

void MusicStream::Fill(int16_t* out, int frames)
{
    const int64_t length = track_.Frames();
    for (int i = 0; i < frames; ++i) {
        if (cursor_ >= length && !whole_) {
            // Played past what is decoded yet: silence in step, until the
            // main thread takes in the rest.
            std::fill(out, out + static_cast<ptrdiff_t>(frames - i) * outChannels_, int16_t{0});
            cursor_ += frames - i;
            return;
        }
        if (cursor_ >= length)
            cursor_ = 0;
        const int16_t* in = &track_.samples[static_cast<size_t>(cursor_ * channels_)];
        // Files with more than two channels play their first two.
        for (int c = 0; c < outChannels_; ++c)
            *out++ = in[c];
        ++cursor_;
    }
}

int64_t MusicStream::SecondsToBytes(double seconds) const
{
    return Positions().SecondsToBytes(seconds);
}

double MusicStream::BytesToSeconds(int64_t bytes) const
{
    return Positions().BytesToSeconds(bytes);
}

int64_t MusicStream::WrapFrame(int64_t frame) const
{
    // Only a position beyond the beginning waits for the rest.
    if (!whole_ && frame >= track_.Frames())
        TakeRest(true);
    return ::WrapFrame(frame, track_.Frames());
}

int64_t MusicStream::HeardLinear(double now) const
{
    if (device_)
        return clock_.Heard(now);
    return static_cast<int64_t>(std::floor((now - wallStart_) * rate_));
}

int64_t MusicStream::HeardFrame() const
{
    TakeRest(false);
    return playing_ ? WrapFrame(HeardUnwrapped()) : seekFrame_;
}

int64_t MusicStream::HeardUnwrapped() const
{
    AudioLock lock(device_);
    const int64_t sinceSeek = HeardLinear(now_()) - seekLinear_;
    return seekFrame_ + std::max<int64_t>(0, sinceSeek);
}

int64_t MusicStream::Position() const
{
    return Positions().BytesOfFrame(HeardFrame());
}

void MusicStream::SetPosition(int64_t bytes)
{
    const int64_t frame = WrapFrame(Positions().FrameFromBytes(bytes));
    AudioLock lock(device_);
    seekFrame_ = frame;
    cursor_ = frame;
    if (playing_)
        seekLinear_ = device_ ? written_ : HeardLinear(now_());
}

void MusicStream::Spectrum(float* out)
{
    if (track_.Empty()) {
        std::fill(out, out + kSpectrumSize, 0.0f);
        return;
    }
    analyser_.Analyse(track_, HeardFrame(), out);
}

std::unique_ptr<MusicClock> MakeMusicClock()
{
    return std::make_unique<MusicStream>();
}
