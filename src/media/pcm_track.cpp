#include "media/pcm_track.h"

#include <sndfile.h>

#include <algorithm>
#include <new>
#include <utility>

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

}  // namespace

void TrackDecoder::SndfileCloser::operator()(SNDFILE* file) const
{
    sf_close(file);
}

TrackDecoder::Progress TrackDecoder::Fail(const std::string& reason)
{
    file_.reset();
    track_ = PcmTrack();
    first_ = 0;
    error_ = reason;
    return kFailed;
}

TrackDecoder::Progress TrackDecoder::End()
{
    const int readError = sf_error(file_.get());
    file_.reset();
    if (readError != SF_ERR_NO_ERROR && DecodedFrames() == 0)
        return Fail(sf_error_number(readError));
    if (DecodedFrames() == 0)
        return Fail("no audio in the file");
    // What a header promised beyond the end is given back.
    track_.samples.shrink_to_fit();
    return kEnd;
}

TrackDecoder::Progress TrackDecoder::Open(const std::string& path)
{
    track_ = PcmTrack();
    first_ = 0;
    error_.clear();
    // Opening a FIFO or a device would wait for ever.
    if (!IsPlainFile(path.c_str()))
        return Fail("not a plain file");
    SF_INFO info{};
    file_.reset(sf_open(path.c_str(), SFM_READ, &info));
    if (!file_)
        return Fail(sf_strerror(nullptr));
    if (info.channels < 1 || info.channels > kMaxChannels || info.samplerate < kMinRate ||
        info.samplerate > kMaxRate)
        return Fail("unsupported channel count or sample rate");
    track_.rate = info.samplerate;
    track_.channels = info.channels;
    maxFrames_ = kMaxSeconds * info.samplerate;
    // Float reading normalises every source format to -1..1; the conversion
    // back to 16 bits clips what lossy decoders overshoot.
    chunk_.resize(static_cast<size_t>(kChunkFrames) * info.channels);
    // The header's length only sizes the first allocation: a damaged file may
    // promise far more than it holds, so when that much memory is not to be
    // had the samples grow as they are read instead.
    if (info.frames > 0 && info.frames <= maxFrames_) {
        try {
            track_.samples.reserve(static_cast<size_t>(info.frames) * info.channels);
        } catch (const std::bad_alloc&) {
        }
    }
    return kMore;
}

TrackDecoder::Progress TrackDecoder::Decode(int64_t frames, const std::atomic<bool>* stop)
{
    if (!file_)
        return DecodedFrames() == 0 ? kFailed : kEnd;
    const int channels = track_.channels;
    const int64_t until = frames < 0 ? maxFrames_ + 1 : DecodedFrames() + frames;
    try {
        while (DecodedFrames() < until) {
            if (stop && stop->load(std::memory_order_relaxed))
                return Fail("stopped");
            const sf_count_t got = sf_readf_float(file_.get(), chunk_.data(), kChunkFrames);
            if (got <= 0)
                return End();
            const size_t end = track_.samples.size();
            track_.samples.resize(end + static_cast<size_t>(got * channels));
            int16_t* out = track_.samples.data() + end;
            for (sf_count_t i = 0; i < got * channels; ++i)
                out[i] = ToPcm16(chunk_[i]);
            if (DecodedFrames() > maxFrames_)
                return Fail("longer than an hour");
        }
    } catch (const std::bad_alloc&) {
        return Fail("out of memory");
    }
    return kMore;
}

void TrackDecoder::Drop(int64_t frame)
{
    const int64_t dropped = std::min(frame - first_, track_.Frames());
    if (dropped <= 0)
        return;
    auto& samples = track_.samples;
    samples.erase(samples.begin(), samples.begin() + static_cast<ptrdiff_t>(dropped * track_.channels));
    // The first drop gives back the room reserved for the whole track and the
    // beginning decoded into it; what is decoded next grows a small buffer.
    if (first_ == 0)
        samples.shrink_to_fit();
    first_ += dropped;
}

TrackDecoder::Progress TrackDecoder::Begin(const std::string& path)
{
    const Progress progress = Open(path);
    return progress == kMore ? Decode(static_cast<int64_t>(kBeginningSeconds) * track_.rate) : progress;
}

bool DecodeTrack(const std::string& path, PcmTrack& track, std::string& error)
{
    TrackDecoder decoder;
    const bool ok = decoder.Open(path) != TrackDecoder::kFailed && decoder.Decode(-1) == TrackDecoder::kEnd;
    track = std::move(decoder.Track());
    error = decoder.Error();
    return ok;
}
