#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "effects/rubber3d.h"
#include "platform/shared_random.h"
#include "render/screen.h"
#include "support/frame_probe.h"
#include "support/gl_fixture.h"

namespace {

class Rubber3dTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        ASSERT_EQ(chdir(SourcePath(".").c_str()), 0);
    }
};

TEST(RubberStripTest, StripsCoverEveryColumnWithAtMostAPixelOfOverlap)
{
    for (int width : {96, 124, 125, 126, 250, 641, 1023, 1024, 1920}) {
        std::vector<int> covered(static_cast<size_t>(width) + 16, 0);
        for (int i = 0; i < Effekter::Rubber3d::kStrips; ++i) {
            const Effekter::ScissorStrip strip = Effekter::RubberStrip(i, width);
            EXPECT_EQ(strip.width, (width + 124) / 125);
            for (int x = strip.x; x < strip.x + strip.width; ++x)
                ++covered[static_cast<size_t>(x)];
        }
        for (int x = 0; x < width; ++x) {
            EXPECT_GE(covered[static_cast<size_t>(x)], 1) << "width " << width << " column " << x;
            EXPECT_LE(covered[static_cast<size_t>(x)], 2) << "width " << width << " column " << x;
        }
        if (width % 125 == 0) {
            for (int x = 0; x < width; ++x)
                EXPECT_EQ(covered[static_cast<size_t>(x)], 1) << "width " << width;
        }
    }
}

TEST_F(Rubber3dTest, SlideFactorIsOneAtBothEndsAndZeroBetween)
{
    Effekter::Rubber3d rubber(1000, 11000);
    EXPECT_FLOAT_EQ(rubber.SlideFactor(1000), 1.0f);
    EXPECT_FLOAT_EQ(rubber.SlideFactor(1125), 0.5f);
    EXPECT_FLOAT_EQ(rubber.SlideFactor(1250), 0.0f);
    EXPECT_FLOAT_EQ(rubber.SlideFactor(10750), 0.0f);
    EXPECT_FLOAT_EQ(rubber.SlideFactor(10875), 0.5f);
    EXPECT_FLOAT_EQ(rubber.SlideFactor(11000), 1.0f);
}

TEST_F(Rubber3dTest, EveryStripReseedsWithTheTwistSeedAndDrawsTenNumbers)
{
    // Later effects of the frame draw on from the last strip's numbers.
    Effekter::Rubber3d rubber(0, 100000);
    SeedRandom(999);
    rubber.Draw(20000, 0.6f);
    const int after = NextRandom();
    SeedRandom(72);
    for (int i = 0; i < 10; ++i)
        NextRandom();
    EXPECT_EQ(after, NextRandom());
}

// Clears colour and depth, as the frame loop does between frames.
void NewFrame()
{
    FillScreen(0, 0, 0);
    glClear(GL_DEPTH_BUFFER_BIT);
}

int Differences(const std::vector<Pixel>& a, const std::vector<Pixel>& b)
{
    int count = 0;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::abs(a[i][0] - b[i][0]) + std::abs(a[i][1] - b[i][1]) + std::abs(a[i][2] - b[i][2]) > 24)
            ++count;
    return count;
}

TEST_F(Rubber3dTest, TheModelShowsOnlyAfterAKickAndRecedesBeyondTheFarPlane)
{
    // 11250 ms after the start the model crosses the middle of the screen.
    const int start = 0, time = 11250;

    // Never kicked: the kick distance is the whole music time, far behind the
    // far plane, so only the background shows.
    Effekter::Rubber3d quiet(start, 100000);
    NewFrame();
    quiet.Draw(time + 1, 0.2f);
    const std::vector<Pixel> background = ReadFrame();

    // Kicked 1 ms before: the model sits about 500 units away, in view.
    NewFrame();
    Effekter::Rubber3d kicked(start, 100000);
    kicked.Draw(time, 0.3f);
    NewFrame();
    kicked.Draw(time + 1, 0.2f);
    EXPECT_GT(Differences(ReadFrame(), background), GlTest::kWidth * GlTest::kHeight / 50);

    // 800 ms after the kick even its nearest side has passed the far plane.
    NewFrame();
    Effekter::Rubber3d receded(start, 100000);
    receded.Draw(time - 799, 0.3f);
    NewFrame();
    receded.Draw(time + 1, 0.2f);
    EXPECT_EQ(Differences(ReadFrame(), background), 0);
    ExpectDefaultGlState();
}

}  // namespace
