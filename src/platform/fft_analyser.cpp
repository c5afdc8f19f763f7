#include "platform/fft_analyser.h"

#include <cmath>
#include <new>

FftAnalyser::FftAnalyser()
    : input_(fftwf_alloc_real(kFftSize)), output_(fftwf_alloc_complex(kFftSize / 2 + 1)), plan_(nullptr)
{
    if (!input_ || !output_) {
        fftwf_free(input_);
        fftwf_free(output_);
        throw std::bad_alloc();
    }
    plan_ = fftwf_plan_dft_r2c_1d(kFftSize, input_, output_, FFTW_ESTIMATE);
    const double pi = std::acos(-1.0);
    for (int n = 0; n < kFftSize; ++n)
        window_[n] = static_cast<float>(0.5 * (1.0 - std::cos(2.0 * pi * n / kFftSize)));
}

FftAnalyser::~FftAnalyser()
{
    fftwf_destroy_plan(plan_);
    fftwf_free(input_);
    fftwf_free(output_);
}

void FftAnalyser::Analyse(const PcmTrack& track, int64_t endFrame, float* out)
{
    const int channels = track.channels;
    const int64_t first = endFrame - kFftSize;
    const float scale = channels > 0 ? 1.0f / (32768.0f * channels) : 0.0f;
    for (int n = 0; n < kFftSize; ++n) {
        const int64_t frame = first + n;
        float sum = 0;
        if (frame >= 0 && frame < track.Frames()) {
            const int16_t* samples = &track.samples[static_cast<size_t>(frame * channels)];
            for (int c = 0; c < channels; ++c)
                sum += samples[c];
        }
        input_[n] = sum * scale * window_[n];
    }
    fftwf_execute(plan_);

    const float dcScale = 2.0f / kFftSize, binScale = 4.0f / kFftSize;
    for (int k = 0; k < kSpectrumSize; ++k) {
        const float magnitude = std::sqrt(output_[k][0] * output_[k][0] + output_[k][1] * output_[k][1]);
        out[k] = magnitude * (k == 0 ? dcScale : binScale);
    }
}
