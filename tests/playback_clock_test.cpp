#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "media/playback_clock.h"

namespace {

constexpr int kRate = 44100;
constexpr int kPeriod = 1024;
constexpr double kPeriodSeconds = static_cast<double>(kPeriod) / kRate;

// Drives the clock with callbacks at the given times (seconds) and checks it
// every 0.25 ms: never backwards, never past what has been written.
struct Simulation {
    PlaybackClock clock{kRate};
    int64_t written = 0;
    int64_t last = 0;
    double worstLag = 0;  // how far behind the ideal (one period of latency) it fell

    void RunUntil(double until, double& nextCallback, double jitter = 0, int* tick = nullptr)
    {
        for (double now = nextCallback - 0.001; now < until; now += 0.00025) {
            while (now >= nextCallback) {
                clock.OnCallback(nextCallback, written, kPeriod);
                written += kPeriod;
                const int n = tick ? (*tick)++ : 0;
                nextCallback += kPeriodSeconds + ((n % 3) - 1) * jitter;
            }
            const int64_t heard = clock.Heard(now);
            ASSERT_GE(heard, last);
            ASSERT_LE(heard, written);
            last = heard;
            const double ideal = (now - kPeriodSeconds) * kRate;
            if (ideal > 0)
                worstLag = std::fmax(worstLag, ideal - heard);
        }
    }
};

TEST(PlaybackClockTest, FollowsRegularCallbacksFrameByFrame)
{
    Simulation sim;
    EXPECT_EQ(sim.clock.Heard(0.0), 0);
    double next = 0;
    sim.RunUntil(2.0, next);
    // With callbacks on time the heard frame is the elapsed time less one period.
    EXPECT_LE(sim.worstLag, 1.0);
    EXPECT_NEAR(static_cast<double>(sim.clock.Heard(2.0)), (2.0 - kPeriodSeconds) * kRate, 2.0);
}

TEST(PlaybackClockTest, JitteryCallbacksNeitherJumpBackNorRunAhead)
{
    Simulation sim;
    double next = 0;
    int tick = 0;
    sim.RunUntil(2.0, next, 0.004, &tick);
    // Early and late callbacks shift it by no more than their jitter.
    EXPECT_LE(sim.worstLag, 0.0045 * kRate);
}

TEST(PlaybackClockTest, StopsTwoPeriodsAfterTheLastCallback)
{
    PlaybackClock clock(kRate);
    clock.OnCallback(10.0, 5 * kPeriod, kPeriod);
    EXPECT_EQ(clock.Heard(10.0), 4 * kPeriod);
    EXPECT_NEAR(clock.Heard(10.0 + kPeriodSeconds / 2), 4 * kPeriod + kPeriod / 2, 1);
    // The device starved: what was written has all been heard, and no more.
    EXPECT_EQ(clock.Heard(11.0), 6 * kPeriod);
    EXPECT_EQ(clock.Heard(12.0), 6 * kPeriod);
    // A callback that reports an earlier estimate does not move it back.
    clock.OnCallback(12.0, 6 * kPeriod, kPeriod);
    EXPECT_EQ(clock.Heard(12.0), 6 * kPeriod);
    EXPECT_NEAR(clock.Heard(12.0 + 2 * kPeriodSeconds), 7 * kPeriod, 1);
}

}  // namespace
