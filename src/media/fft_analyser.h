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

    // Writes kSpectrumSize magnitudes for the frames endFrame-2048 .. endFrame-1;
    // frames before the start of the track count as silence.
    void Analyse(const PcmTrack& track, int64_t endFrame, float* out);

private:
    struct Fftw;  // the plan and its buffers: fftw3.h stays in the .cpp file
    std::unique_ptr<Fftw> fftw_;
    float window_[kFftSize];
};
