#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>

#include "effects/color_box.h"
#include "effects/solaris.h"
#include "effects/zoomers.h"
#include "platform/shared_random.h"
#include "render/screen.h"
#include "support/gl_fixture.h"

namespace {

// The effects load their pictures from data/ relative to the working directory.
class ZoomerTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        ASSERT_EQ(chdir(SourcePath(".").c_str()), 0);
    }
};

float DepthAt(int x, int y)
{
    float depth = -1;
    glReadPixels(x, GlTest::kHeight - 1 - y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    return depth;
}

void FillDepth(float depth)
{
    glClearDepth(depth);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1);
}

// The tile that a retarget at this time picks.
void ExpectedTarget(uint32_t time, int& column, int& row)
{
    SeedRandom(time);
    column = static_cast<int>(4 * RandomUnit());
    row = static_cast<int>(4 * RandomUnit());
}

TEST_F(ZoomerTest, ColorBoxRetargetsOnAFallingBeatAtMostEvery200Ms)
{
    Effekter::ColorBox box(0, 100000);
    int column = 0, row = 0;

    box.Draw(5000, 0.5f);  // the first frame falls from the initial 10
    ExpectDefaultGlState();
    ExpectedTarget(5000, column, row);
    EXPECT_EQ(box.TargetColumn(), column);
    EXPECT_EQ(box.TargetRow(), row);

    box.Draw(5100, 0.1f);  // falling, but too soon
    box.Draw(5300, 0.8f);  // rising
    EXPECT_EQ(box.TargetColumn(), column);
    EXPECT_EQ(box.TargetRow(), row);

    // Find a later time whose pick differs, so the retarget is visible.
    uint32_t later = 5400;
    int laterColumn = column, laterRow = row;
    while (laterColumn == column && laterRow == row)
        ExpectedTarget(++later, laterColumn, laterRow);
    box.Draw(static_cast<int>(later), 0.3f);  // falling, 200 ms after the last retarget
    EXPECT_EQ(box.TargetColumn(), laterColumn);
    EXPECT_EQ(box.TargetRow(), laterRow);
    ExpectDefaultGlState();
}

TEST_F(ZoomerTest, ColorBoxRetargetsAtOnceAfterSeekingBackAndFarAwayBelow70Ms)
{
    Effekter::ColorBox box(0, 100000);
    box.Draw(5000, 0.5f);
    box.Draw(50, 0.2f);  // backwards: the unsigned difference is huge
    EXPECT_EQ(box.TargetColumn(), 100);
    EXPECT_EQ(box.TargetRow(), 100);
    ExpectDefaultGlState();
}

TEST_F(ZoomerTest, ColorBoxCameraWalksInTenthsAndRestsJustBelowItsTarget)
{
    Effekter::ColorBox box(0, 100000);
    box.Draw(6000, 0.5f);
    const float column = static_cast<float>(box.TargetColumn());
    const float row = static_cast<float>(box.TargetRow());
    EXPECT_FLOAT_EQ(box.CameraX(), column > 0 ? 0.1f : 0.0f);
    EXPECT_FLOAT_EQ(box.CameraY(), row > 0 ? 0.1f : 0.0f);
    for (int i = 1; i < 60; ++i)
        box.Draw(6000 + i, 0.5f);  // steady beat: no retarget
    EXPECT_LE(box.CameraX(), column);
    EXPECT_GT(box.CameraX(), column - 0.1001f);
    EXPECT_LE(box.CameraY(), row);
    EXPECT_GT(box.CameraY(), row - 0.1001f);
    ExpectDefaultGlState();
}

TEST_F(ZoomerTest, ColorBoxTilesFadeInOverTheirFirstSeconds)
{
    // Compare the same frame at two fade levels; the beat stays silent so only
    // the plain tiles light the screen.
    auto brightness = [](int time, int start) {
        Effekter::ColorBox box(start, start + 100000);
        FillScreen(0, 0, 0);
        box.Draw(time, 0.0f);
        long sum = 0;
        for (int y = 0; y < GlTest::kHeight; y += 3)
            for (int x = 0; x < GlTest::kWidth; x += 3) {
                const Pixel p = ReadPixel(x, y);
                sum += p[0] + p[1] + p[2];
            }
        return sum;
    };
    const long early = brightness(7000, 6500);  // 500 ms into the fade-in
    const long full = brightness(7000, 0);
    EXPECT_LT(early * 3, full);
    ExpectDefaultGlState();
}

// The next output of the shared generator after seeding it and drawing n numbers.
int NextAfter(uint32_t seed, int n)
{
    SeedRandom(seed);
    for (int i = 0; i < n; ++i)
        NextRandom();
    return NextRandom();
}

TEST_F(ZoomerTest, ReseedingEffectsLeaveTheSharedGeneratorAfterTheirOwnDraws)
{
    // Later effects of the same frame draw on from here, so the count matters.
    // Solaris at 3100 ms: layers down to z = 6.2 - 48 / 3, one number each.
    Effekter::Solaris solaris(0, 100000);
    SeedRandom(777);
    solaris.Draw(3100, 0.5f);
    const int afterSolaris = NextRandom();
    EXPECT_EQ(afterSolaris, NextAfter(4, 49));

    // ColorBox draws two numbers when it retargets and none otherwise.
    Effekter::ColorBox box(0, 100000);
    SeedRandom(777);
    box.Draw(5000, 0.5f);
    const int afterRetarget = NextRandom();
    EXPECT_EQ(afterRetarget, NextAfter(5000, 2));
    SeedRandom(777);
    box.Draw(5010, 0.5f);
    const int afterSteady = NextRandom();
    EXPECT_EQ(afterSteady, NextAfter(777, 0));
    ExpectDefaultGlState();
}

TEST_F(ZoomerTest, SolarisClearsWhatEarlierEntriesDrew)
{
    Effekter::Solaris solaris(0, 100000);
    FillScreen(0, 0, 1);
    FillDepth(0.5f);
    solaris.Draw(3000, 0.0f);
    ExpectDefaultGlState();
    // Fire layers carry almost no blue and the overlay only darkens.
    for (int x = 0; x < GlTest::kWidth; x += 8)
        EXPECT_LT(ReadPixel(x, GlTest::kHeight / 2)[2], 100) << "at x " << x;
    EXPECT_FLOAT_EQ(DepthAt(10, 10), 1.0f);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 0.0f);
}

TEST_F(ZoomerTest, SolarisOverlayDarkensTheScreenEdges)
{
    Effekter::Solaris solaris(0, 100000);
    solaris.Draw(20000, 1.0f);
    // The overlay's bars black out the top and bottom rows.
    for (int x = 0; x < GlTest::kWidth; x += 8)
        ExpectPixelNear(x, 0, 0, 0, 0, 8);
    ExpectDefaultGlState();
}

TEST_F(ZoomerTest, ZoombbClearsToWhiteAndLeavesTheClearColourBlack)
{
    Effekter::Zoombb zoombb(0, 100000);
    FillScreen(1, 0, 0);
    FillDepth(0.5f);
    // Near time 0 the background drifts half a unit right, leaving a strip on
    // the left where the layers darken the clear colour: neutral grey over
    // white, but reddish over the red fill.
    zoombb.Draw(1, 0.0f);
    ExpectDefaultGlState();
    EXPECT_FLOAT_EQ(DepthAt(10, 10), 1.0f);
    long red = 0, green = 0;
    for (int y = 0; y < GlTest::kHeight; y += 8) {
        red += ReadPixel(1, y)[0];
        green += ReadPixel(1, y)[1];
    }
    EXPECT_GT(green * 10, red * 8) << "the red fill shows through";
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 0.0f);
}

TEST_F(ZoomerTest, ZoombaDrawsOverTheScreenWithoutClearing)
{
    Effekter::Zoomba zoomba(0, 100000, "data/zoomer/petal.jpg", "data/zoomer/deepspace.jpg", "data/zoomer/haze.jpg");
    glClearColor(0.3f, 0.3f, 0.3f, 0.3f);
    FillDepth(0.5f);
    zoomba.Draw(9000, 0.4f);
    ExpectDefaultGlState();
    EXPECT_FLOAT_EQ(DepthAt(10, 10), 0.5f);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 0.0f) << "the clear colour is set to black";
    EXPECT_GT(ReadPixel(GlTest::kWidth / 2, GlTest::kHeight / 2)[0] + ReadPixel(5, 5)[2], 20);
}

TEST_F(ZoomerTest, ZoombaWithoutPicturesStillDraws)
{
    Effekter::Zoomba zoomba(0, 100000, nullptr, "", "data/no/such/picture.jpg");
    zoomba.Draw(1000, 1.0f);
    ExpectDefaultGlState();
}

}  // namespace
