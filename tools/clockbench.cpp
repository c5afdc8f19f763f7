// Measures the music clock: how its heard position tracks the wall clock
// frame by frame, with SDL's dummy driver and (when there is one) a real
// audio device, and how long the default track takes to decode.
//
//   clockbench [MUSIC_FILE [SECONDS]]    (defaults: data/music.ogg, 3)
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "media/music_stream.h"
#include "media/pcm_track.h"

namespace {

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void MeasureDecode(const std::string& path)
{
    double best = 1e9;
    PcmTrack track;
    for (int run = 0; run < 3; ++run) {
        std::string error;
        const double start = Now();
        if (!DecodeTrack(path, track, error)) {
            std::printf("decode: %s: %s\n", path.c_str(), error.c_str());
            return;
        }
        best = std::fmin(best, Now() - start);
    }
    const double seconds = static_cast<double>(track.Frames()) / track.rate;
    std::printf("decode: %s, %.1f s of %d Hz x %d: best of 3 %.0f ms (%.0fx real time)\n", path.c_str(), seconds,
                track.rate, track.channels, best * 1000, seconds / best);
}

// Samples the position once per 60 Hz frame and compares it with wall time.
// Lag is the mean of wall time minus heard time from the start of play.
void MeasureClock(const char* label, const char* driver, bool acceptDummy, const std::string& path, double seconds)
{
    if (driver)
        setenv("SDL_AUDIODRIVER", driver, 1);
    else
        unsetenv("SDL_AUDIODRIVER");
    MusicStream stream(acceptDummy);
    stream.Open(path);
    const double playStart = Now();
    stream.Play();
    if (!driver && !stream.PlaysOnDevice()) {
        std::printf("%-28s no audio device available\n", label);
        return;
    }
    // The first quarter second (device start-up) is left out of the figures.
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    std::vector<double> wall, heard;
    const double start = Now();
    while (Now() - start < seconds) {
        const double before = Now();
        const double position = stream.BytesToSeconds(stream.Position());
        wall.push_back((before + Now()) / 2 - playStart);
        heard.push_back(position);
        std::this_thread::sleep_until(std::chrono::steady_clock::now() + std::chrono::microseconds(16667));
    }
    // Drift: least-squares slope of heard against wall; jitter: what remains.
    const size_t n = wall.size();
    double mw = 0, mh = 0;
    for (size_t i = 0; i < n; ++i) {
        mw += wall[i] / n;
        mh += heard[i] / n;
    }
    double sww = 0, swh = 0;
    for (size_t i = 0; i < n; ++i) {
        sww += (wall[i] - mw) * (wall[i] - mw);
        swh += (wall[i] - mw) * (heard[i] - mh);
    }
    const double slope = swh / sww;
    double rms = 0, worst = 0, worstStep = 0, lag = 0;
    int backwards = 0;
    for (size_t i = 0; i < n; ++i) {
        const double residual = heard[i] - (mh + slope * (wall[i] - mw));
        rms += residual * residual / n;
        worst = std::fmax(worst, std::fabs(residual));
        lag += (wall[i] - heard[i]) / n;
        if (i > 0) {
            const double step = (heard[i] - heard[i - 1]) - (wall[i] - wall[i - 1]);
            worstStep = std::fmax(worstStep, std::fabs(step));
            backwards += heard[i] < heard[i - 1];
        }
    }
    std::printf("%-28s %zu frames: lag %6.2f ms, drift %+8.0f ppm, jitter rms %5.2f ms, max %5.2f ms, "
                "worst frame step error %5.2f ms, %d steps back\n",
                label, n, lag * 1000, (slope - 1) * 1e6, std::sqrt(rms) * 1000, worst * 1000, worstStep * 1000,
                backwards);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string path = argc > 1 ? argv[1] : "data/music.ogg";
    const double seconds = argc > 2 ? std::atof(argv[2]) : 3.0;
    MeasureDecode(path);
    MeasureClock("dummy driver, wall clock:", "dummy", false, path, seconds);
    MeasureClock("dummy driver, callbacks:", "dummy", true, path, seconds);
    MeasureClock("default device, callbacks:", nullptr, false, path, seconds);
    return 0;
}
