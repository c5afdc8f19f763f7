// The batch run's music clock: the same positions, loop and spectra as the
// playing stream's, from a track it never holds whole.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "media/fft_analyser.h"
#include "media/forward_music.h"
#include "media/music_stream.h"
#include "support/gl_fixture.h"

namespace {

constexpr int kRate = 8000;
constexpr int kSeconds = 25;  // more than the beginning decoded before a show starts

// A stereo track whose every window differs: a rising tone on the left, noise
// from a fixed generator on the right.
void WriteTrack(const std::string& path)
{
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<short> data;
    uint32_t noise = 12345;
    for (int i = 0; i < kRate * kSeconds; ++i) {
        const double t = static_cast<double>(i) / kRate;
        data.push_back(static_cast<short>(20000 * std::sin(2 * 3.14159265 * (50 + 40 * t) * t)));
        noise = noise * 1664525u + 1013904223u;
        data.push_back(static_cast<short>(static_cast<int>(noise >> 20) - 2048));
    }
    sf_writef_short(file, data.data(), kRate * kSeconds);
    sf_close(file);
}

std::vector<float> SpectrumOf(MusicClock& clock)
{
    std::vector<float> spectrum(kSpectrumSize, -1.0f);
    clock.Spectrum(spectrum.data());
    return spectrum;
}

class ForwardMusicTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    void SetUp() override { dir_ = MakeTempDir(); }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    std::string dir_;
};

TEST_F(ForwardMusicTest, GivesThePlayingStreamsPositionsAndSpectraHoldingLittle)
{
    const std::string path = Path("track.wav");
    WriteTrack(path);
    MusicStream stream;
    testing::internal::CaptureStderr();
    stream.Prefetch(path);
    stream.Open(path);
    ASSERT_EQ(testing::internal::GetCapturedStderr(), "");
    for (const bool prefetch : {true, false}) {
        SCOPED_TRACE(prefetch ? "prefetched" : "opened at once");
        ForwardMusic forward;
        if (prefetch)
            forward.Prefetch(path);
        forward.Open(path);
        EXPECT_EQ(forward.SecondsToBytes(1.0), stream.SecondsToBytes(1.0));

        const int64_t length = int64_t{kRate} * kSeconds;
        // Forward in steps and jumps, across the end of the beginning, back
        // a little and a lot, round the loop, and out of range both ways.
        const int64_t frames[] = {0, 100, 2047, 2048, 5000, 79999, 80000, 80001, 90000, 150000, 149000, 150500,
                                  30000, 199999, length - 1, length, length + 777, 3 * length + 4100, 12, -5};
        for (const int64_t frame : frames) {
            SCOPED_TRACE(frame);
            stream.SetPosition(frame * 4 + 1);
            forward.SetPosition(frame * 4 + 1);
            ASSERT_EQ(forward.Position(), stream.Position());
            ASSERT_EQ(SpectrumOf(forward), SpectrumOf(stream));
            if (frame > 90000 && forward.Position() / 4 > 90000) {
                EXPECT_LE(forward.HeldFrames(), FftAnalyser::kFftSize + kRate + 4096);
            }
        }
        stream.SetPosition(INT64_MAX);
        forward.SetPosition(INT64_MAX);
        EXPECT_EQ(forward.Position(), stream.Position());
        EXPECT_EQ(SpectrumOf(forward), SpectrumOf(stream));
    }
}

TEST_F(ForwardMusicTest, AShortTrackLoopsWithoutReadingItAgain)
{
    const std::string path = Path("short.wav");
    WriteTrack(path);
    // Cut to three seconds: all of it is the beginning.
    SF_INFO info{};
    SNDFILE* in = sf_open(path.c_str(), SFM_READ, &info);
    std::vector<short> data(static_cast<size_t>(3 * kRate) * 2);
    sf_readf_short(in, data.data(), 3 * kRate);
    sf_close(in);
    SNDFILE* out = sf_open(Path("three.wav").c_str(), SFM_WRITE, &info);
    sf_writef_short(out, data.data(), 3 * kRate);
    sf_close(out);

    MusicStream stream;
    ForwardMusic forward;
    stream.Open(Path("three.wav"));
    forward.Open(Path("three.wav"));
    // Gone from the disk: a loop that read it again would turn silent.
    std::remove(Path("three.wav").c_str());
    for (const int64_t frame : {int64_t{100}, int64_t{3 * kRate + 50}, int64_t{20000}, int64_t{5}}) {
        stream.SetPosition(frame * 4);
        forward.SetPosition(frame * 4);
        EXPECT_EQ(forward.Position(), stream.Position());
        EXPECT_EQ(SpectrumOf(forward), SpectrumOf(stream));
    }
    EXPECT_EQ(forward.HeldFrames(), 3 * kRate);
}

TEST_F(ForwardMusicTest, MusicThatCannotBePlayedWarnsAsAStreamDoesAndRunsSilent)
{
    {
        FILE* file = std::fopen(Path("garbage.ogg").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("not a sound file at all", file);
        std::fclose(file);
    }
    for (const std::string name : {"missing.ogg", "garbage.ogg"}) {
        SCOPED_TRACE(name);
        MusicStream stream;
        ForwardMusic forward;
        testing::internal::CaptureStderr();
        stream.Open(Path(name));
        const std::string streamWarning = testing::internal::GetCapturedStderr();
        testing::internal::CaptureStderr();
        forward.Prefetch(Path(name));
        forward.Open(Path(name));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), streamWarning);
        EXPECT_NE(streamWarning.find(Path(name)), std::string::npos);

        EXPECT_EQ(forward.SecondsToBytes(1.0), 176400);
        forward.SetPosition(forward.SecondsToBytes(200.0));
        EXPECT_EQ(forward.Position(), forward.SecondsToBytes(200.0));
        EXPECT_EQ(SpectrumOf(forward), std::vector<float>(kSpectrumSize, 0.0f));
        forward.SetPosition(INT64_MAX);
        stream.SetPosition(INT64_MAX);
        EXPECT_EQ(forward.Position(), stream.Position());
    }
}

}  // namespace
