// Time windows, window progress, beat level, effect time and the shared random generator.
#include <gtest/gtest.h>

#include <limits>

#include "host/frame.h"
#include "media/music_clock.h"
#include "platform/shared_random.h"
#include "render/screen.h"
#include "timeline/effekt.h"

namespace {

struct Probe : Effekt {
    using Effekt::Effekt;
    void Draw(int, float) override {}
};

// A clock that stands still at a chosen position, 176400 bytes a second.
struct FixedClock : MusicClock {
    int64_t position = 0;
    void Open(const std::string&) override {}
    void Play() override {}
    int64_t SecondsToBytes(double s) const override { return static_cast<int64_t>(s * 44100) * 4; }
    double BytesToSeconds(int64_t b) const override { return static_cast<double>(b / 4) / 44100; }
    int64_t Position() const override { return position; }
    void SetPosition(int64_t b) override { position = b; }
    void Spectrum(float* out) override { std::fill(out, out + kSpectrumSize, 0.0f); }
};

TEST(EffectWindow, DrawsStrictlyInsideItsWindow)
{
    Probe e(1000, 2000);
    EXPECT_FALSE(e.IsActiveAt(1000));
    EXPECT_TRUE(e.IsActiveAt(1001));
    EXPECT_TRUE(e.IsActiveAt(1999));
    EXPECT_FALSE(e.IsActiveAt(2000));
    EXPECT_FLOAT_EQ(e.Progress(1500), 0.5f);

    Probe fromZero(0, 100);
    EXPECT_FALSE(fromZero.IsActiveAt(0));
}

TEST(EffectWindow, ComparesUnsigned)
{
    Probe forever(5000, -1);  // -1 is 4294967295
    EXPECT_TRUE(forever.IsActiveAt(5001));
    EXPECT_TRUE(forever.IsActiveAt(2000000000));
    EXPECT_LT(forever.Progress(100000), 1e-4f);

    Probe negativeStart(-10, 1000);  // start 4294967286: never reached
    EXPECT_FALSE(negativeStart.IsActiveAt(0));
    EXPECT_FALSE(negativeStart.IsActiveAt(500));
}

TEST(BeatLevel, WorkedValues)
{
    float spectrum[kSpectrumSize] = {};
    EXPECT_EQ(BeatLevel(spectrum), 0.0f);

    for (int i = 0; i < 16; ++i)
        spectrum[i] = 0.9f / 16;
    EXPECT_NEAR(BeatLevel(spectrum), 0.531441f, 1e-5);

    spectrum[0] += 0.3f;  // sum 1.2
    EXPECT_EQ(BeatLevel(spectrum), 1.0f);

    // Only the 16 lowest bins count.
    float high[kSpectrumSize] = {};
    for (int i = 16; i < kSpectrumSize; ++i)
        high[i] = 1.0f;
    EXPECT_EQ(BeatLevel(high), 0.0f);
}

TEST(EffectTime, MillisecondsPlusOffset)
{
    FixedClock clock;
    clock.position = clock.SecondsToBytes(12.3456);
    EXPECT_EQ(EffectTime(clock, 0), 12345);
    // The offset is added as milliseconds.
    EXPECT_EQ(EffectTime(clock, 30), 12375);
}

TEST(EffectTime, SeekMovesBySeconds)
{
    FixedClock clock;
    clock.position = clock.SecondsToBytes(10.0);
    SeekMusic(clock, 1.0);
    EXPECT_EQ(EffectTime(clock, 0), 11000);
    SeekMusic(clock, 1.0);
    SeekMusic(clock, -1.0);
    EXPECT_EQ(EffectTime(clock, 0), 11000);
}

TEST(SharedRandom, FollowsTheClassicSequence)
{
    SeedRandom(1);
    EXPECT_EQ(NextRandom(), 41);
    EXPECT_EQ(NextRandom(), 18467);
    EXPECT_EQ(NextRandom(), 6334);
    EXPECT_EQ(NextRandom(), 26500);
    EXPECT_EQ(NextRandom(), 19169);

    // Reseeding repeats the sequence, and outputs stay within 0..32767.
    SeedRandom(12345);
    const int first = NextRandom();
    int highest = 0;
    for (int i = 0; i < 100000; ++i)
        highest = std::max(highest, NextRandom());
    EXPECT_EQ(highest, 32767);
    SeedRandom(12345);
    EXPECT_EQ(NextRandom(), first);
}

TEST(SharedRandom, RandomUnitSpansZeroToOne)
{
    SeedRandom(1);
    EXPECT_FLOAT_EQ(RandomUnit(), static_cast<float>(41 / 32767.0));
    float lowest = 1, highest = 0;
    for (int i = 0; i < 200000; ++i) {
        const float u = RandomUnit();
        lowest = std::min(lowest, u);
        highest = std::max(highest, u);
    }
    EXPECT_EQ(lowest, 0.0f);
    EXPECT_EQ(highest, 1.0f);
}

TEST(SilentClock, AdvancesWhilePlayingAndHoldsWhenNot)
{
    static double now = 0;
    auto clock = MakeSilentClock([] { return now; });
    clock->SetPosition(clock->SecondsToBytes(2.0));
    now = 3;
    EXPECT_EQ(clock->Position(), 2 * 176400);
    clock->Play();
    EXPECT_EQ(clock->Position(), 0);
    now = 3.5;
    EXPECT_EQ(clock->Position(), 88200);
    clock->SetPosition(clock->SecondsToBytes(10.0));
    now = 3.75;
    EXPECT_EQ(clock->Position(), 10 * 176400 + 44100);
    clock->SetPosition(-5000);
    EXPECT_EQ(clock->Position(), 0);
    // Absurd seeks stay in range instead of overflowing.
    for (double seconds : {1e300, -1e300, std::numeric_limits<double>::quiet_NaN()}) {
        clock->SetPosition(clock->SecondsToBytes(seconds));
        EXPECT_GE(clock->Position(), 0);
        EXPECT_LT(clock->BytesToSeconds(clock->Position()), 2e9);
    }
    float spectrum[kSpectrumSize];
    clock->Spectrum(spectrum);
    EXPECT_EQ(BeatLevel(spectrum), 0.0f);
}

}  // namespace
