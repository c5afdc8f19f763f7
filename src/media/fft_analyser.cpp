#include "media/fft_analyser.h"

#include <fftw3.h>

#include <cmath>
#include <new>

struct FftAnalyser::Fftw {
    Fftw() : input(fftwf_alloc_real(kFftSize)), output(fftwf_alloc_complex(kFftSize / 2 + 1))
    {
        if (!input || !output) {
            fftwf_free(input);
            fftwf_free(output);
            throw std::bad_alloc();
        }
        plan = fftwf_plan_dft_r2c_1d(kFftSize, input, output, FFTW_ESTIMATE);
    }
    ~Fftw()
    {
        fftwf_destroy_plan(plan);
        fftwf_free(input);
        fftwf_free(output);
    }
    Fftw(const Fftw&) = delete;
    Fftw& operator=(const Fftw&) = delete;

    float* input;
    fftwf_complex* output;
    fftwf_plan plan = nullptr;
};

FftAnalyser::FftAnalyser() : fftw_(std::make_unique<Fftw>())
{
    const double pi = std::acos(-1.0);
    for (int n = 0; n < kFftSize; ++n)
        window_[n] = static_cast<float>(0.5 * (1.0 - std::cos(2.0 * pi * n / kFftSize)));
}

FftAnalyser::~FftAnalyser() = default;

void FftAnalyser::Analyse(const PcmTrack& held, int64_t firstFrame, int64_t endFrame, float* out)
{
    const int channels = held.channels;
    const int64_t first = endFrame - kFftSize - firstFrame;
    const float scale = channels > 0 ? 1.0f / (32768.0f * channels) : 0.0f;
    for (int n = 0; n < kFftSize; ++n) {
        const int64_t frame = first + n;
        float sum = 0;
        if (frame >= 0 && frame < held.Frames()) {
            const int16_t* samples = &held.samples[static_cast<size_t>(frame * channels)];
            for (int c = 0; c < channels; ++c)
                sum += samples[c];
        }
        fftw_->input[n] = sum * scale * window_[n];
    }
    fftwf_execute(fftw_->plan);

    const float dcScale = 2.0f / kFftSize, binScale = 4.0f / kFftSize;
    for (int k = 0; k < kSpectrumSize; ++k) {
        const fftwf_complex& bin = fftw_->output[k];
        const float magnitude = std::sqrt(bin[0] * bin[0] + bin[1] * bin[1]);
        out[k] = magnitude * (k == 0 ? dcScale : binScale);
    }
}
