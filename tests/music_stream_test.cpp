#include <gtest/gtest.h>
#include <SDL.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "host/frame.h"
#include "media/music_stream.h"
#include "support/gl_fixture.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kRate = 44100;

// Writes a sound file whose sample (frame, channel) comes from the generator.
void WriteSound(const std::string& path, int format, int channels, int frames,
                const std::function<double(int, int)>& sample, int rate = kRate)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<double> data(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            data[static_cast<size_t>(i) * channels + c] = sample(i, c);
    for (int at = 0; at < frames; at += 4096)
        sf_writef_double(file, &data[static_cast<size_t>(at) * channels], std::min(4096, frames - at));
    sf_close(file);
}

// A sine of the given amplitude at a (possibly fractional) FFT bin.
std::function<double(int, int)> Sine(double bin, double amplitude = 32767.0 / 32768.0)
{
    return [=](int i, int) { return amplitude * std::sin(2 * kPi * bin * i / 2048.0 + 0.3); };
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// Decodes a file in a process whose address space may grow by only 2 GB and
// exits with 0 when it gave 1000 frames.
[[noreturn]] void DecodeWithTwoGigabytesToSpare(const std::string& path)
{
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit cap{};
    cap.rlim_cur = cap.rlim_max = static_cast<rlim_t>(pages) * 4096 + (2ull << 30);
    setrlimit(RLIMIT_AS, &cap);
    PcmTrack track;
    std::string error;
    const bool ok = DecodeTrack(path, track, error);
    std::fprintf(stderr, "%s\n", error.c_str());
    std::exit(ok && track.Frames() == 1000 ? 0 : 1);
}
#endif

// The clock the deterministic tests drive.
double gFakeNow = 0;
double FakeNow()
{
    return gFakeNow;
}

class MusicStreamTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    void SetUp() override { dir_ = MakeTempDir(); }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    // Opens a file, capturing (and returning) what went to standard error.
    static std::string OpenQuietly(MusicStream& stream, const std::string& path)
    {
        testing::internal::CaptureStderr();
        stream.Open(path);
        return testing::internal::GetCapturedStderr();
    }
    static std::string PlayQuietly(MusicStream& stream)
    {
        testing::internal::CaptureStderr();
        stream.Play();
        return testing::internal::GetCapturedStderr();
    }

    std::string dir_;
};

TEST_F(MusicStreamTest, DecodesLosslessAndLossyFormats)
{
    struct Case {
        const char* name;
        int format;
        double tolerance;  // peak magnitude; lossy codecs wobble a little
        int lengthSlack;   // frames of encoder padding
        int rate;
    };
    const Case cases[] = {
        {"tone.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1e-4, 0, kRate},
        {"tone.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1e-4, 0, kRate},
        {"tone.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 0.03, 0, kRate},
        {"tone.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 0.03, 2304, kRate},
        {"tone.opus", SF_FORMAT_OGG | SF_FORMAT_OPUS, 0.03, 960, 48000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int frames = c.rate;
        WriteSound(Path(c.name), c.format, 2, frames, Sine(50, 0.5), c.rate);
        MusicStream stream;
        EXPECT_EQ(OpenQuietly(stream, Path(c.name)), "");
        EXPECT_EQ(stream.Rate(), c.rate);
        EXPECT_EQ(stream.Channels(), 2);
        EXPECT_GE(stream.LengthFrames(), frames - c.lengthSlack);
        EXPECT_LE(stream.LengthFrames(), frames + c.lengthSlack);

        stream.SetPosition(stream.SecondsToBytes(0.5));
        float spectrum[kSpectrumSize];
        stream.Spectrum(spectrum);
        EXPECT_NEAR(spectrum[50], 0.5, c.tolerance);
        EXPECT_NEAR(spectrum[49], 0.25, c.tolerance);
        EXPECT_LT(spectrum[200], 0.01);
    }
}

TEST_F(MusicStreamTest, PositionsAreWholeFramesOfTheFilesOwnFormat)
{
    WriteSound(Path("mono22k.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 22050, Sine(10), 22050);
    MusicStream mono;
    OpenQuietly(mono, Path("mono22k.wav"));
    EXPECT_EQ(mono.SecondsToBytes(1.0), 44100);
    EXPECT_EQ(mono.SecondsToBytes(0.25), 11024);

    WriteSound(Path("stereo.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, kRate * 3, Sine(10));
    MusicStream stream;
    OpenQuietly(stream, Path("stereo.wav"));
    EXPECT_EQ(stream.SecondsToBytes(1.0), 176400);
    EXPECT_EQ(stream.SecondsToBytes(12.3456), 544440 * 4);  // 12.3456 s = 544440.96 frames
    EXPECT_DOUBLE_EQ(stream.BytesToSeconds(176400), 1.0);
    EXPECT_DOUBLE_EQ(stream.BytesToSeconds(176403), 1.0);  // part frames round down
    EXPECT_EQ(static_cast<int64_t>(stream.BytesToSeconds(stream.SecondsToBytes(12.3456)) * 1000), 12345);
    // Every whole-frame position survives the trip through seconds, so the
    // seek keys cannot drift by a frame.
    for (int64_t frame = 0; frame < 3 * kRate; frame += 7) {
        const int64_t bytes = frame * 4;
        ASSERT_EQ(stream.SecondsToBytes(stream.BytesToSeconds(bytes)), bytes);
    }
}

TEST_F(MusicStreamTest, SpectrumIsScaledToTheSinesAmplitude)
{
    const int frames = 8192;
    WriteSound(Path("onbin.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, frames, Sine(64));
    WriteSound(Path("halfbin.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, frames, Sine(100.5));
    WriteSound(Path("onechannel.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, frames,
               [](int i, int c) { return c == 0 ? Sine(64)(i, c) : 0.0; });
    WriteSound(Path("silence.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, frames, [](int, int) { return 0.0; });

    float spectrum[kSpectrumSize];
    auto analyse = [&](const char* name, double seconds) {
        MusicStream stream;
        OpenQuietly(stream, Path(name));
        stream.SetPosition(stream.SecondsToBytes(seconds));
        stream.Spectrum(spectrum);
    };

    analyse("onbin.wav", 0.1);
    EXPECT_NEAR(spectrum[64], 1.0, 1e-4);
    EXPECT_NEAR(spectrum[63], 0.5, 1e-4);
    EXPECT_NEAR(spectrum[65], 0.5, 1e-4);
    EXPECT_NEAR(spectrum[62], 0.0, 1e-4);
    EXPECT_NEAR(spectrum[0], 0.0, 1e-4);

    analyse("halfbin.wav", 0.1);
    const double scallop = 8.0 / (3.0 * kPi);  // the Hann window half a bin off centre
    EXPECT_NEAR(spectrum[100], scallop, 1e-4);
    EXPECT_NEAR(spectrum[101], scallop, 1e-4);

    analyse("onechannel.wav", 0.1);
    EXPECT_NEAR(spectrum[64], 0.5, 1e-4);

    analyse("silence.wav", 0.1);
    for (int k = 0; k < kSpectrumSize; ++k)
        ASSERT_EQ(spectrum[k], 0.0f) << k;
    EXPECT_EQ(BeatLevel(spectrum), 0.0f);

    // The window ends at the position: at the very start it holds only silence.
    analyse("onbin.wav", 0.0);
    EXPECT_EQ(spectrum[64], 0.0f);
}

TEST_F(MusicStreamTest, SeeksWrapPastTheEndAndStopAtTheStart)
{
    WriteSound(Path("short.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, kRate, Sine(10));
    MusicStream stream;
    OpenQuietly(stream, Path("short.wav"));
    EXPECT_EQ(stream.Position(), 0);
    stream.SetPosition(1000 * 4 + 3);
    EXPECT_EQ(stream.Position(), 1000 * 4);
    stream.SetPosition((kRate + 500) * 4);
    EXPECT_EQ(stream.Position(), 500 * 4);
    stream.SetPosition(-5 * 4);
    EXPECT_EQ(stream.Position(), 0);
    stream.SetPosition(INT64_MIN);
    EXPECT_EQ(stream.Position(), 0);
    stream.SetPosition(INT64_MAX);
    EXPECT_GE(stream.Position(), 0);
    EXPECT_LT(stream.Position(), kRate * 4);
    SeekMusic(stream, -1.0);
    EXPECT_EQ(stream.Position(), 0);
}

TEST_F(MusicStreamTest, WallClockRunsWithTimeAndLoops)
{
    WriteSound(Path("short.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, kRate * 3 / 2, Sine(10));
    MusicStream stream(false, FakeNow);
    OpenQuietly(stream, Path("short.wav"));
    gFakeNow = 10.0;
    EXPECT_NE(PlayQuietly(stream).find("Warning: no audio device"), std::string::npos);
    EXPECT_FALSE(stream.PlaysOnDevice());
    EXPECT_EQ(stream.Position(), 0);
    gFakeNow = 10.25;
    EXPECT_EQ(stream.Position(), 11025 * 4);
    gFakeNow = 10.25 + 1.5 / kRate;
    EXPECT_EQ(stream.Position(), 11026 * 4);

    // One second forward and one back in the same frame lands where it was.
    const int64_t before = stream.Position();
    SeekMusic(stream, 1.0);
    EXPECT_EQ(stream.Position() - before, kRate * 4);
    SeekMusic(stream, -1.0);
    EXPECT_EQ(stream.Position(), before);

    // The one-and-a-half-second track loops.
    stream.SetPosition(stream.SecondsToBytes(1.375));
    gFakeNow += 0.25;
    EXPECT_EQ(stream.Position(), stream.SecondsToBytes(0.125));
}

// The device's side played by hand: SDL's thread is paused, and the test
// fills periods at moments of its fake clock.
class DeviceByHand {
public:
    explicit DeviceByHand(MusicStream& stream) : stream_(stream)
    {
        SDL_PauseAudio(1);
        // A callback already running finishes under the lock; none follows.
        SDL_LockAudio();
        SDL_UnlockAudio();
    }
    // Fills one period of `frames` frames at the given time; returns its samples.
    std::vector<int16_t> Period(double now, int frames)
    {
        gFakeNow = now;
        std::vector<int16_t> out(static_cast<size_t>(frames) * stream_.Channels());
        stream_.FillPeriod(reinterpret_cast<uint8_t*>(out.data()), static_cast<int>(out.size() * 2));
        return out;
    }

private:
    MusicStream& stream_;
};

TEST_F(MusicStreamTest, DeviceClockFollowsTheCallbacks)
{
    WriteSound(Path("tone.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, kRate * 2, Sine(10));
    PcmTrack track;
    std::string error;
    ASSERT_TRUE(DecodeTrack(Path("tone.wav"), track, error)) << error;
    MusicStream stream(true, FakeNow);
    OpenQuietly(stream, Path("tone.wav"));
    gFakeNow = 1.0;
    if (!PlayQuietly(stream).empty() || !stream.PlaysOnDevice())
        GTEST_SKIP() << "SDL's dummy audio driver did not open";
    DeviceByHand device(stream);

    constexpr int kPeriod = 1024;
    constexpr double kPeriodSeconds = static_cast<double>(kPeriod) / kRate;
    constexpr int64_t kSeek = kRate / 2;
    stream.SetPosition(kSeek * 4);
    EXPECT_EQ(stream.Position(), kSeek * 4);

    // What the device is given starts at the seek; it is heard one period later.
    double now = 2.0;
    const std::vector<int16_t> first = device.Period(now, kPeriod);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), track.samples.begin() + kSeek * 2));
    EXPECT_EQ(stream.Position(), kSeek * 4);
    now += kPeriodSeconds;
    device.Period(now, kPeriod);
    EXPECT_EQ(stream.Position(), kSeek * 4);

    // Between callbacks the position moves on with the clock...
    gFakeNow = now + 0.015625;
    EXPECT_EQ(stream.Position(), (kSeek + 689) * 4);
    // ...but never more than two periods past the last callback...
    gFakeNow = now + 1.0;
    EXPECT_EQ(stream.Position(), (kSeek + 2 * kPeriod) * 4);
    // ...and a late callback does not take it back.
    device.Period(now + 1.0, kPeriod);
    EXPECT_EQ(stream.Position(), (kSeek + 2 * kPeriod) * 4);

    // A seek past the end of the two-second track comes round the loop.
    stream.SetPosition(stream.SecondsToBytes(1.5));
    SeekMusic(stream, 1.0);
    const int64_t looped = stream.SecondsToBytes(0.5) / 4;
    EXPECT_EQ(stream.Position(), looped * 4);
    now += 1.0;
    for (int i = 0; i < 10; ++i)
        device.Period(now += kPeriodSeconds, kPeriod);
    // Ten periods written, the last one not yet heard, the first heard from the seek.
    EXPECT_EQ(stream.Position(), (looped + 8 * kPeriod) * 4);
}

TEST_F(MusicStreamTest, DeviceThreadDrivesTheClock)
{
    // SDL's dummy driver calls back on its own thread. With the test's clock
    // standing still the heard position moves only with those callbacks: in
    // whole periods, forwards, from the start of the track. The track is long
    // enough that no pause of the test lets it loop in between.
    constexpr int kPeriod = 1024;
    WriteSound(Path("tone.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, kRate * 30, Sine(10));
    MusicStream stream(true, FakeNow);
    OpenQuietly(stream, Path("tone.wav"));
    gFakeNow = 3.0;
    if (!PlayQuietly(stream).empty() || !stream.PlaysOnDevice())
        GTEST_SKIP() << "SDL's dummy audio driver did not open";
    int64_t last = 0;
    // At most a minute: the driver's thread paces itself on the real clock.
    for (int i = 0; i < 6000 && last == 0; ++i) {
        const int64_t position = stream.Position();
        ASSERT_GE(position, last);
        ASSERT_EQ(position % (kPeriod * 4), 0) << position;
        last = position;
        usleep(10000);
    }
    EXPECT_GT(last, 0);
}

TEST_F(MusicStreamTest, UnreadableMusicLeavesASilentClock)
{
    WriteSound(Path("garbage.ogg"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 100, Sine(10));
    {
        FILE* file = std::fopen(Path("garbage.ogg").c_str(), "r+b");
        ASSERT_NE(file, nullptr);
        std::fputs("not a sound file at all", file);
        std::fclose(file);
    }
    for (const std::string name : {"missing.ogg", "garbage.ogg"}) {
        SCOPED_TRACE(name);
        MusicStream stream(false, FakeNow);
        const std::string warning = OpenQuietly(stream, Path(name));
        EXPECT_NE(warning.find(Path(name)), std::string::npos) << warning;
        EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1);
        EXPECT_EQ(stream.SecondsToBytes(1.0), 176400);

        stream.SetPosition(stream.SecondsToBytes(200.0));
        EXPECT_EQ(stream.Position(), stream.SecondsToBytes(200.0));
        gFakeNow = 5.0;
        EXPECT_EQ(PlayQuietly(stream), "");  // the file's warning is the only one
        gFakeNow = 5.0625;
        EXPECT_EQ(stream.Position(), stream.SecondsToBytes(0.0625));
        float spectrum[kSpectrumSize];
        spectrum[3] = 1;
        stream.Spectrum(spectrum);
        EXPECT_EQ(spectrum[3], 0.0f);

        // Without a track there is no end to wrap at; a far seek must not
        // overflow once running time is added.
        stream.SetPosition(INT64_MAX);
        const int64_t far = stream.Position();
        EXPECT_GT(far, stream.SecondsToBytes(1e9));
        gFakeNow += 100;
        EXPECT_EQ(stream.Position(), far);  // held at the far end, never wrapped negative
    }
}

TEST_F(MusicStreamTest, OpeningAnotherFileStopsTheOneOnTheDevice)
{
    WriteSound(Path("tone.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, kRate, Sine(10));
    WriteSound(Path("mono8k.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 8000, Sine(10, 0.5), 8000);
    MusicStream stream(true, FakeNow);
    OpenQuietly(stream, Path("tone.wav"));
    if (!PlayQuietly(stream).empty() || !stream.PlaysOnDevice())
        GTEST_SKIP() << "SDL's dummy audio driver did not open";

    // The callback must not go on reading a track that has been replaced.
    OpenQuietly(stream, Path("missing.wav"));
    EXPECT_FALSE(stream.PlaysOnDevice());
    gFakeNow += 1;
    EXPECT_EQ(stream.Position(), 0);

    // A file of another rate plays at its own rate once started.
    OpenQuietly(stream, Path("mono8k.wav"));
    EXPECT_EQ(PlayQuietly(stream), "");
    ASSERT_TRUE(stream.PlaysOnDevice());
    EXPECT_EQ(stream.Rate(), 8000);
    DeviceByHand device(stream);
    stream.SetPosition(stream.SecondsToBytes(0.5));
    device.Period(gFakeNow + 1, 512);
    device.Period(gFakeNow + 0.064, 512);
    gFakeNow += 0.03125;
    EXPECT_EQ(stream.Position(), stream.SecondsToBytes(0.53125));
}

TEST_F(MusicStreamTest, PrefetchedMusicIsTheFileThatOpenNames)
{
    WriteSound(Path("tone.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, kRate, Sine(10));
    WriteSound(Path("mono8k.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 8000, Sine(10, 0.5), 8000);
    MusicStream direct;
    OpenQuietly(direct, Path("tone.wav"));

    MusicStream prefetched;
    prefetched.Prefetch(Path("tone.wav"));
    EXPECT_EQ(OpenQuietly(prefetched, Path("tone.wav")), "");
    EXPECT_EQ(prefetched.Rate(), kRate);
    EXPECT_EQ(prefetched.Track().samples, direct.Track().samples);

    // A prefetch of another file is dropped; Open reads its own.
    MusicStream other;
    other.Prefetch(Path("tone.wav"));
    EXPECT_EQ(OpenQuietly(other, Path("mono8k.wav")), "");
    EXPECT_EQ(other.Rate(), 8000);
    EXPECT_EQ(other.LengthFrames(), 8000);
    // A second Open of the same file does not wait for a prefetch long taken.
    EXPECT_EQ(OpenQuietly(other, Path("mono8k.wav")), "");
    EXPECT_EQ(other.LengthFrames(), 8000);

    // A file that cannot be read warns once, at Open, as without a prefetch.
    MusicStream missing;
    missing.Prefetch(Path("missing.wav"));
    const std::string warning = OpenQuietly(missing, Path("missing.wav"));
    EXPECT_NE(warning.find(Path("missing.wav")), std::string::npos) << warning;
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1);
    EXPECT_TRUE(missing.Track().Empty());

    // A stream that goes before Open waits for its prefetch to end.
    MusicStream unopened;
    unopened.Prefetch(Path("tone.wav"));
    unopened.Prefetch(Path("mono8k.wav"));
}

TEST_F(MusicStreamTest, PrefetchedMusicStartsBeforeTheRestIsDecoded)
{
    // 25 s with no two neighbouring samples alike: the first seconds come with
    // Open, the rest decodes while the stream plays.
    constexpr int kLongRate = 8000, kSeconds = 25;
    WriteSound(Path("long.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, kLongRate * kSeconds,
               [](int i, int) { return ((i * 7919) % 65536 - 32768) / 32768.0; }, kLongRate);
    PcmTrack whole;
    std::string error;
    ASSERT_TRUE(DecodeTrack(Path("long.wav"), whole, error)) << error;

    // A seek beyond the beginning waits for the rest and wraps at the true end.
    {
        MusicStream stream;
        stream.Prefetch(Path("long.wav"));
        EXPECT_EQ(OpenQuietly(stream, Path("long.wav")), "");
        stream.SetPosition(stream.SecondsToBytes(kSeconds + 3.0));
        EXPECT_EQ(stream.Position(), stream.SecondsToBytes(3.0));
        EXPECT_EQ(stream.Track().samples, whole.samples);
    }

    // The device plays on past what is decoded in silence, keeping its place,
    // and goes on with the music once the main thread has taken in the rest.
    MusicStream stream(true, FakeNow);
    stream.Prefetch(Path("long.wav"));
    OpenQuietly(stream, Path("long.wav"));
    gFakeNow = 1.0;
    if (!PlayQuietly(stream).empty() || !stream.PlaysOnDevice())
        GTEST_SKIP() << "SDL's dummy audio driver did not open";
    DeviceByHand device(stream);
    const int from = kLongRate * 19 / 2;  // 9.5 s
    stream.SetPosition(stream.SecondsToBytes(9.5));
    const std::vector<int16_t> first = device.Period(2.0, kLongRate);
    const auto heard = whole.samples.begin() + from;
    const auto differs = std::mismatch(first.begin(), first.end(), heard).first - first.begin();
    EXPECT_GE(differs, kLongRate / 2) << "the first 10 s come with Open";
    EXPECT_LT(differs, kLongRate);
    EXPECT_TRUE(std::all_of(first.begin() + differs, first.end(), [](int16_t s) { return s == 0; }));

    EXPECT_EQ(stream.LengthFrames(), whole.Frames());
    const std::vector<int16_t> next = device.Period(3.0, kLongRate);
    EXPECT_TRUE(std::equal(next.begin(), next.end(), heard + kLongRate));
}

TEST_F(MusicStreamTest, FloatSamplesRoundHalfToEvenAndClip)
{
    // Halves round to the even neighbour; beyond full scale the samples clip,
    // also just below it where rounding would overflow.
    const std::vector<double> in = {0.5 / 32768,     1.5 / 32768,      2.5 / 32768,     -0.5 / 32768,
                                    -1.5 / 32768,    -2.5 / 32768,     0.4999 / 32768,  1000.5 / 32768,
                                    32766.5 / 32768, 32766.51 / 32768, 1.0,             1.5,
                                    -32767.5 / 32768, -1.0,            -7.0,            1e-30,
                                    std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    const std::vector<int16_t> out = {0, 2, 2, 0, -2, -2, 0, 1000, 32766, 32767, 32767, 32767, -32768, -32768, -32768, 0,
                                      32767, -32768};
    WriteSound(Path("rounding.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, static_cast<int>(in.size()),
               [&](int i, int) { return in[static_cast<size_t>(i)]; });
    PcmTrack track;
    std::string error;
    ASSERT_TRUE(DecodeTrack(Path("rounding.wav"), track, error)) << error;
    EXPECT_EQ(track.samples, out);
}

TEST_F(MusicStreamTest, DamagedFilesDecodeSafely)
{
    // NaN samples in a float file play as silence.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    WriteSound(Path("nan.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 100,
               [=](int i, int) { return i % 2 ? nan : 0.5; });
    PcmTrack track;
    std::string error;
    ASSERT_TRUE(DecodeTrack(Path("nan.wav"), track, error)) << error;
    ASSERT_EQ(track.Frames(), 100);
    EXPECT_EQ(track.samples[0], 16384);
    EXPECT_EQ(track.samples[2], 0);

    // A short FLAC whose header claims an hour of eight channels at 192 kHz
    // (11 GB of samples) still decodes where that much memory is not to be had.
    WriteSound(Path("liar.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 8, 1000, Sine(10, 0.5), 192000);
    std::string bytes;
    {
        std::ifstream in(Path("liar.flac"), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ASSERT_GT(bytes.size(), 26u);
    ASSERT_EQ(bytes.compare(0, 4, "fLaC"), 0);
    // Stream info: "fLaC", a block header, then 36 bits of total frames
    // in the low bits of the eight bytes from offset 18.
    const uint64_t claimed = 3600ull * 192000;
    for (int i = 0; i < 4; ++i)
        bytes[22 + i] = static_cast<char>(claimed >> (8 * (3 - i)));
    bytes[21] = static_cast<char>((bytes[21] & 0xf0) | (claimed >> 32));
    std::ofstream(Path("liar.flac"), std::ios::binary) << bytes;
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers abort instead of failing an allocation";
#else
    EXPECT_EXIT(DecodeWithTwoGigabytesToSpare(Path("liar.flac")), testing::ExitedWithCode(0), "");
#endif
}

}  // namespace
