// What a frame passes to GL where the frame itself is too small to show a
// mistake: thousands of sub-pixel cubes, shader intensities.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "effects/chaos_zoomer.h"
#include "effects/floor_scenes.h"
#include "effects/light_scenes.h"
#include "platform/shared_random.h"
#include "render/screen.h"
#include "support/gl_recorder.h"
#include "support/scene_state.h"

namespace {

using GlCallTest = ShowDataTest;

void ExpectCall(const GlCall& call, std::vector<float> args)
{
    ASSERT_EQ(call.args.size(), args.size()) << call.name;
    for (size_t i = 0; i < args.size(); ++i)
        EXPECT_NEAR(call.args[i], args[i], 1e-4f * std::max(1.0f, std::fabs(args[i]))) << call.name << " " << i;
}

TEST_F(GlCallTest, SpheresPlaceAndTurnEachCubeFromItsOwnSixNumbersAfterSeed123)
{
    Effekter::Spheres spheres(1000, 60000);
    const int timeMs = 7000;
    const float beat = 0.4f, t = 7000, e = 6000;
    GlRecording recording;
    SeedRandom(1);
    spheres.Draw(timeMs, beat);
    const int after = NextRandom();
    ExpectSceneStateRestored();
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));

    const int cubes = Effekter::Spheres::kCubes;
    const std::vector<GlCall> moves = recording.Named("Translatef"), turns = recording.Named("Rotatef");
    ASSERT_GE(moves.size(), static_cast<size_t>(cubes));
    ASSERT_GE(turns.size(), static_cast<size_t>(3 * cubes));
    const size_t firstMove = moves.size() - cubes - 1, firstTurn = turns.size() - 3 * cubes;  // one move after the cubes
    SeedRandom(123);
    for (int i = 0; i < 3; ++i)
        RandomUnit();  // the sphere's spin
    const float k = beat + 2.5f, a = beat * 0.2f + 1;
    for (int i = 0; i < cubes; ++i) {
        SCOPED_TRACE(i);
        const float g = static_cast<float>(i) / 200 - e / 500 + 10, h = std::fabs(g);
        const float l = std::max(0.0f, 2.5f - h * h / k) * a;
        const float m = 1 - 2 * RandomUnit();
        NextRandom();
        const float n = 1 - 2 * RandomUnit() + (g < 0 ? 0.25f : -0.25f) * h * h;
        ExpectCall(moves[firstMove + i], {g, m + l * m, n + n * l});
        const float r4 = RandomUnit(), r5 = RandomUnit(), r6 = RandomUnit();
        ExpectCall(turns[firstTurn + 3 * i], {t * r6, 1, 0, 0});
        ExpectCall(turns[firstTurn + 3 * i + 1], {t * r5, 0, 1, 0});
        ExpectCall(turns[firstTurn + 3 * i + 2], {t * r4, 0, 0, 1});
        if (HasFailure())
            return;
    }
    EXPECT_EQ(NextRandom(), after) << "the generator is left just after the last cube's numbers";
}

TEST_F(GlCallTest, WalkCubeFloorIntensityFallsWithTheBeat)
{
    Effekter::WalkCube walk(1000, 60000);
    for (float beat : {0.0f, 0.6f, 1.0f}) {
        GlRecording recording;
        walk.Draw(5000, beat);
        const std::vector<GlCall> uniforms = recording.Named("Uniform1f");
        ASSERT_FALSE(uniforms.empty());
        EXPECT_NEAR(uniforms.front().args[1], 0.25f - 0.1f * beat, 1e-6f) << beat;
    }
    ExpectSceneStateRestored();
}

TEST_F(GlCallTest, ChaosZoomerFlowersTurn20DegreesApartAndOnceEvery180Seconds)
{
    Effekter::ChaosZoomer zoomer(0, 1000000);
    Effekter::ChaosZoomer::SceneNumber() = 0;  // the flower tunnel
    GlRecording recording;
    zoomer.Draw(3000, 0.5f);
    ExpectSceneStateRestored();
    // A flower i is drawn while 3 s - i lies above -10, turned about z.
    std::vector<float> turns;
    for (const GlCall& call : recording.Named("Rotatef"))
        if (call.args[3] == 1 && call.args[1] == 0 && call.args[2] == 0)
            turns.push_back(call.args[0]);
    std::vector<float> expected;
    for (int i = 0; i < 13; ++i)
        expected.push_back(static_cast<float>(i * 20) + 3000.0f / 500);
    EXPECT_NE(std::search(turns.begin(), turns.end(), expected.begin(), expected.end()), turns.end())
        << "no run of " << expected.size() << " flower turns starting at " << expected[0];
    EXPECT_EQ(std::count_if(turns.begin(), turns.end(), [](float a) { return a >= 6 && a < 6 + 20 * 13; }), 13);
}

TEST_F(GlCallTest, NanoBallTipsEachRodAtItsOwnLengthAndBindsEachPictureOnceAFrame)
{
    Effekter::NanoBall ball(10000, 100000);
    const int timeMs = 12000;  // 2 s in: all 512 rods
    const int rods = Effekter::NanoBall::kMaxRods;
    GlRecording recording;
    ball.Draw(timeMs, 0.3f);  // too weak a beat to switch
    ExpectSceneStateRestored();

    // Rebinding per rod would cost a software renderer a copy of its sampler
    // state each time: the background, the rods and the flares, and unbinds.
    EXPECT_LE(recording.Named("BindTexture").size(), 6u);

    // The flare of rod i sits at its tip: two numbers a rod after the reseed.
    const std::vector<GlCall> moves = recording.Named("Translatef");
    ASSERT_GE(moves.size(), static_cast<size_t>(rods));
    const size_t firstTip = moves.size() - rods;
    SeedRandom(0);
    for (int i = 0; i < rods; ++i) {
        SCOPED_TRACE(i);
        const float a = static_cast<float>(NextRandom() & 31) * 0.2f;
        const float length = std::sin(RandomUnit() * 2 * static_cast<float>(rods) + 12000.0f / 1000) + (8 - a);
        ExpectCall(moves[firstTip + i], {0, 0, length});
        if (HasFailure())
            return;
    }
}

}  // namespace
