#include "media/forward_music.h"

#include <algorithm>
#include <optional>

#include "media/music_warnings.h"

ForwardMusic::Started ForwardMusic::Start(const std::string& path)
{
    Started started;
    started.decoder = std::make_unique<TrackDecoder>();
    started.progress = started.decoder->Begin(path);
    return started;
}

void ForwardMusic::Prefetch(const std::string& path)
{
    prefetch_.Start(path, Start);
}

void ForwardMusic::Open(const std::string& path)
{
    path_ = path;
    std::optional<Started> prefetched = prefetch_.Take(path);
    Take(prefetched ? std::move(*prefetched) : Start(path));
    frame_ = Wrap(frame_);
}

void ForwardMusic::Take(Started started)
{
    decoder_.reset();
    length_ = -1;
    if (started.progress == TrackDecoder::kFailed) {
        WarnMusicSilent(path_, started.decoder->Error());
        positions_ = PcmPositions();
        return;
    }
    decoder_ = std::move(started.decoder);
    positions_ = {decoder_->Track().rate, decoder_->Track().channels};
    beginning_ = decoder_->DecodedFrames();
    // A short track is held whole and never decoded again.
    if (started.progress == TrackDecoder::kEnd)
        length_ = beginning_;
}

void ForwardMusic::Restart()
{
    Started started = Start(path_);
    if (started.progress != TrackDecoder::kFailed && started.decoder->DecodedFrames() == beginning_) {
        decoder_ = std::move(started.decoder);
        return;
    }
    // Changed or gone since it was opened.
    WarnMusicSilent(path_, "the file changed while the show ran");
    decoder_.reset();
}

void ForwardMusic::DecodeTo(int64_t frame)
{
    while (decoder_ && (length_ < 0 || frame < length_) && decoder_->DecodedFrames() <= frame) {
        const int64_t decoded = decoder_->DecodedFrames();
        // A second at a time, so that a long jump holds no more than that.
        const TrackDecoder::Progress progress =
            decoder_->Decode(std::min<int64_t>(frame + 1 - decoded, positions_.rate));
        decoder_->Drop(std::min(frame, decoder_->DecodedFrames()) - FftAnalyser::kFftSize);
        if (progress == TrackDecoder::kEnd) {
            length_ = decoder_->DecodedFrames();
        } else if (progress == TrackDecoder::kFailed) {
            // As a playing stream does: the beginning plays on in a loop.
            WarnMusicCut(path_, decoder_->Error(), static_cast<double>(beginning_) / positions_.rate);
            length_ = beginning_;
            Restart();
        }
    }
}

int64_t ForwardMusic::Wrap(int64_t frame)
{
    if (frame < 0 || !decoder_)
        return WrapFrame(frame, 0);
    // Decoding on to the frame finds the end, if it lies before it.
    DecodeTo(frame);
    if (length_ >= 0)
        frame = WrapFrame(frame, length_);
    // Behind what is held: from the start again.
    if (decoder_ && decoder_->FirstFrame() > 0 && frame - FftAnalyser::kFftSize < decoder_->FirstFrame())
        Restart();
    DecodeTo(frame);
    return frame;
}

void ForwardMusic::SetPosition(int64_t bytes)
{
    frame_ = Wrap(positions_.FrameFromBytes(bytes));
}

void ForwardMusic::Spectrum(float* out)
{
    if (!decoder_) {
        std::fill(out, out + kSpectrumSize, 0.0f);
        return;
    }
    analyser_.Analyse(decoder_->Track(), decoder_->FirstFrame(), frame_, out);
}

std::unique_ptr<MusicClock> MakeBatchMusicClock()
{
    return std::make_unique<ForwardMusic>();
}
