#pragma once
#include <cstdint>
#include <memory>

#include "media/music_clock.h"
#include "media/pcm_track.h"

// The magnitude spectrum of the 2048 frames before a position in a track:
// channels averaged, periodic Hann window, one real FFT planned once. Scaled
// so that a full-scale sine centred on a bin reads 1.0 in that bin.
class FftAnalyser {
public:
    static constexpr int kFftSize = 2 * kSpectrumSize;

    FftAnalyser();
    ~FftAnalyser();
    FftAnalyser(const FftAnalyser&) = delete;
    FftAnalyser& operator=(const FftAnalyser&) = delete;

    // Writes kSpectrumSize magnitudes for the frames endFrame-2048 .. endFrame-1
    // of a track whose frames from firstFrame on are held in `held`; frames
    // not held (before the start of the track, say) count as silence.
    void Analyse(const PcmTrack& held, int64_t firstFrame, int64_t endFrame, float* out);
    void Analyse(const PcmTrack& track, int64_t endFrame, float* out) { Analyse(track, 0, endFrame, out); }

private:
    struct Fftw;  // the plan and its buffers: fftw3.h stays in the .cpp file
    std::unique_ptr<Fftw> fftw_;
    float window_[kFftSize];
};
