#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "effects/posed_scenes.h"
#include "effects/prikker.h"
#include "platform/shared_random.h"
#include "render/screen.h"
#include "support/frame_probe.h"
#include "support/gl_fixture.h"

namespace {

class PosedSceneTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        ASSERT_EQ(chdir(SourcePath(".").c_str()), 0);
    }
};

int LitPixels(const std::vector<Pixel>& frame)
{
    int lit = 0;
    for (const Pixel& p : frame)
        if (p[0] + p[1] + p[2] > 30)
            ++lit;
    return lit;
}

void ClearDepth()
{
    glClear(GL_DEPTH_BUFFER_BIT);
}

TEST_F(PosedSceneTest, Quell3DBuildsItsRingOnTheFirstDrawAndSwitchesTheLightOffAfter)
{
    Effekter::Quell3D ring(0, 100000);
    EXPECT_EQ(ring.ModelList(), -1);
    ring.Draw(1000, 0.5f);
    ASSERT_NE(ring.ModelList(), -1);
    EXPECT_TRUE(glIsList(static_cast<GLuint>(ring.ModelList())));
    const int32_t list = ring.ModelList();
    ring.Draw(2000, 0.5f);
    EXPECT_EQ(ring.ModelList(), list);  // built once
    ExpectDefaultGlState();
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
}

TEST_F(PosedSceneTest, PosedScenesDrawTheSamePictureAtAnyTimeAndBeat)
{
    Effekter::Quell3D ring(0, 100000);
    Effekter::FogRotator poles(0, 100000);
    auto frame = [&](int time, float beat) {
        FillScreen(0, 0, 0);
        ClearDepth();
        ring.Draw(time, beat);
        ExpectDefaultGlState();
        poles.Draw(time, beat);
        ExpectDefaultGlState();
        return ReadFrame();
    };
    const std::vector<Pixel> first = frame(10, 0.0f);
    EXPECT_GT(LitPixels(first), GlTest::kWidth * GlTest::kHeight / 20);
    EXPECT_EQ(frame(77777, 1.0f), first);
    EXPECT_EQ(frame(-5, 0.4f), first);
}

TEST_F(PosedSceneTest, FogRotatorPolesLieSideBySideAcrossTheScreen)
{
    // Three poles from x = 6 to x = -6, one unit apart in y, ten units in
    // front of the camera: a band across the whole width around the middle row.
    Effekter::FogRotator poles(0, 100000);
    poles.Draw(1000, 0.0f);
    ExpectDefaultGlState();
    for (int x : {2, GlTest::kWidth / 2, GlTest::kWidth - 3}) {
        const Pixel middle = ReadPixel(x, GlTest::kHeight / 2);
        EXPECT_GT(middle[0] + middle[1] + middle[2], 30) << "at x " << x;
        const Pixel top = ReadPixel(x, 1);
        EXPECT_EQ(top[0] + top[1] + top[2], 0) << "at x " << x;
    }
}

TEST_F(PosedSceneTest, PrikkerLaysItsDotsOutFromSeed100)
{
    Effekter::Prikker first(0, 100000);
    const int afterLayout = NextRandom();
    Effekter::Prikker second(0, 100000);

    // Five draws a dot, in the stated order.
    SeedRandom(100);
    for (int i = 0; i < Effekter::Prikker::kDots; ++i) {
        const float a = RandomUnit(), b = RandomUnit(), c = RandomUnit();
        const float brightness = 2 * RandomUnit();
        const float speed = static_cast<float>(0.001 * RandomUnit());
        const Effekter::Prikker::Dot& dot = first.Dots()[static_cast<size_t>(i)];
        ASSERT_EQ(dot.position.x, c + 0.25f * static_cast<float>(i)) << "dot " << i;
        ASSERT_EQ(dot.position.y, b);
        ASSERT_EQ(dot.position.z, a);
        ASSERT_EQ(dot.brightness, brightness);
        ASSERT_EQ(dot.speed, speed);
        ASSERT_EQ(dot.texture, 2);
        const Effekter::Prikker::Dot& twin = second.Dots()[static_cast<size_t>(i)];
        ASSERT_EQ(twin.position.x, dot.position.x);
        ASSERT_EQ(twin.speed, dot.speed);
    }
    EXPECT_EQ(NextRandom(), afterLayout);
}

TEST_F(PosedSceneTest, PrikkerIsBlackAtItsStartAndGlowsLater)
{
    Effekter::Prikker dots(5000, 100000);
    dots.Draw(5000, 1.0f);
    ExpectDefaultGlState();
    EXPECT_EQ(LitPixels(ReadFrame()), 0);

    FillScreen(0, 0, 0);
    dots.Draw(5000 + 2500, 0.0f);
    ExpectDefaultGlState();
    EXPECT_GT(LitPixels(ReadFrame()), 0);
}

}  // namespace
