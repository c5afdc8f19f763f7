#pragma once
#include <memory>
#include <string>

#include "media/fft_analyser.h"
#include "media/file_prefetch.h"
#include "media/music_clock.h"
#include "media/pcm_positions.h"
#include "media/pcm_track.h"

// The music clock of a batch run (--render, --times): it never plays, its
// position is where it was last set, and of the music it holds only the 2048
// frames that the spectrum there is taken from, so that a long track never
// sits whole in memory. A position further on decodes on from the last one;
// one behind what is held decodes again from the start. Positions, the loop
// past the end, the spectra and the warnings are MusicStream's.
class ForwardMusic : public MusicClock {
public:
    ForwardMusic() = default;
    ForwardMusic(const ForwardMusic&) = delete;
    ForwardMusic& operator=(const ForwardMusic&) = delete;

    void Open(const std::string& path) override;
    void Prefetch(const std::string& path) override;
    // Goes back to the start, where it stays.
    void Play() override { frame_ = 0; }
    int64_t SecondsToBytes(double seconds) const override { return positions_.SecondsToBytes(seconds); }
    double BytesToSeconds(int64_t bytes) const override { return positions_.BytesToSeconds(bytes); }
    int64_t Position() const override { return positions_.BytesOfFrame(frame_); }
    void SetPosition(int64_t bytes) override;
    void Spectrum(float* out) override;

    // The frames of the track held now (for tests): the decoder's memory.
    int64_t HeldFrames() const { return decoder_ ? decoder_->Track().Frames() : 0; }

private:
    struct Started {
        std::unique_ptr<TrackDecoder> decoder;
        TrackDecoder::Progress progress = TrackDecoder::kFailed;
    };
    static Started Start(const std::string& path);
    // The decoder's beginning taken in, or the warning that the show runs silent.
    void Take(Started started);
    // Decodes until frame is decoded or the track ends.
    void DecodeTo(int64_t frame);
    // Where frame lands in the looping track, with what its spectrum needs held.
    int64_t Wrap(int64_t frame);
    // Goes back to the beginning after it was let go; when the file cannot
    // be read again the show runs silent from then on.
    void Restart();

    FilePrefetch<Started> prefetch_;
    std::string path_;
    std::unique_ptr<TrackDecoder> decoder_;  // null: no music, a silent clock
    PcmPositions positions_;
    int64_t beginning_ = 0;  // the frames that Start decodes
    int64_t length_ = -1;    // the frames that loop, once known
    int64_t frame_ = 0;
    FftAnalyser analyser_;
};
