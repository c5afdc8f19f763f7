#include "media/pcm_track.h"

#include <sndfile.h>

#include <new>

#include "platform/plain_file.h"

namespace {

constexpr int kChunkFrames = 4096;
constexpr int kMaxChannels = 8;
constexpr int kMinRate = 4000;
constexpr int kMaxRate = 192000;
// A show's music is minutes long; a cap keeps a broken or huge file from
// swallowing all memory.
constexpr int64_t kMaxSeconds = 60 * 60;

// Rounds half to even, as nearbyint does in the default rounding mode, and
// clips. Adding and taking away 1.5 * 2^23 rounds a float below 2^22 to a
// whole number in the FPU's own mode; unlike a call to nearbyint per sample
// the loop over a chunk then vectorises.
int16_t ToPcm16(float x)
{
    const float scaled = x * 32768.0f;
    // A float file may hold NaNs; converting one to an integer is undefined.
    if (scaled != scaled)
        return 0;
    if (scaled >= 32767.0f)
        return 32767;
    if (scaled <= -32768.0f)
        return -32768;
    constexpr float kRounder = 12582912.0f;
    return static_cast<int16_t>((scaled + kRounder) - kRounder);
}

bool Fail(PcmTrack& track, std::string& error, const std::string& reason)
{
    track = PcmTrack();
    error = reason;
    return false;
}

}  // namespace

bool DecodeTrack(const std::string& path, PcmTrack& track, std::string& error)
{
    track = PcmTrack();
    // Opening a FIFO or a device would wait for ever.
    if (!IsPlainFile(path.c_str()))
        return Fail(track, error, "not a plain file");
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return Fail(track, error, sf_strerror(nullptr));
    if (info.channels < 1 || info.channels > kMaxChannels || info.samplerate < kMinRate ||
        info.samplerate > kMaxRate) {
        sf_close(file);
        return Fail(track, error, "unsupported channel count or sample rate");
    }
    track.rate = info.samplerate;
    track.channels = info.channels;
    const int64_t maxFrames = kMaxSeconds * info.samplerate;

    // Float reading normalises every source format to -1..1; the conversion
    // back to 16 bits clips what lossy decoders overshoot.
    std::vector<float> chunk(static_cast<size_t>(kChunkFrames) * info.channels);
    // The header's length only sizes the first allocation: a damaged file may
    // promise far more than it holds, so when that much memory is not to be
    // had the samples grow as they are read instead.
    if (info.frames > 0 && info.frames <= maxFrames) {
        try {
            track.samples.reserve(static_cast<size_t>(info.frames) * info.channels);
        } catch (const std::bad_alloc&) {
        }
    }
    try {
        for (;;) {
            const sf_count_t got = sf_readf_float(file, chunk.data(), kChunkFrames);
            if (got <= 0)
                break;
            const size_t end = track.samples.size();
            track.samples.resize(end + static_cast<size_t>(got * info.channels));
            int16_t* out = track.samples.data() + end;
            for (sf_count_t i = 0; i < got * info.channels; ++i)
                out[i] = ToPcm16(chunk[i]);
            if (track.Frames() > maxFrames) {
                sf_close(file);
                return Fail(track, error, "longer than an hour");
            }
        }
    } catch (const std::bad_alloc&) {
        sf_close(file);
        return Fail(track, error, "out of memory");
    }
    const int readError = sf_error(file);
    sf_close(file);
    if (readError != SF_ERR_NO_ERROR && track.Empty())
        return Fail(track, error, sf_error_number(readError));
    if (track.Empty())
        return Fail(track, error, "no audio in the file");
    return true;
}
