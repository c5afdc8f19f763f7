// The image layer effects, checked by pixel probes against their formulas.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "effects/image_layers.h"
#include "platform/demo_error.h"
#include "platform/shared_random.h"
#include "support/gl_fixture.h"
#include "support/image_files.h"

namespace {

using Effekter::AlphaBlendImage;

constexpr int W = GlTest::kWidth, H = GlTest::kHeight;

// Pixel column / row of a screen-space coordinate (-1..1, y down).
int Column(float x) { return std::clamp(static_cast<int>((x + 1) / 2 * W), 0, W - 1); }
int Row(float y) { return std::clamp(static_cast<int>((y + 1) / 2 * H), 0, H - 1); }
// Screen-space x of a pixel column's centre.
float CentreX(int column) { return (column + 0.5f) / W * 2 - 1; }

class ImageLayersTest : public GlTest {
protected:
    static void SetUpTestSuite()
    {
        GlTest::SetUpTestSuite();
        const std::string dir = MakeTempDir();
        white = dir + "/white.png";
        black = dir + "/black.png";
        gradient = dir + "/gradient.png";
        WriteSolidImage(white, 8, 8, 255, 255, 255);
        WriteSolidImage(black, 8, 8, 0, 0, 0);
        // Red rises from 0 at the left to 255 at the right, one step a texel.
        std::vector<unsigned char> pixels;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 256; ++x)
                pixels.insert(pixels.end(), {static_cast<unsigned char>(x), 0, 0, 255});
        WriteImage(gradient, 256, 4, pixels);
    }

    // Red of the gradient picture drawn centred at centreX with half-size size, at column c.
    static float GradientRed(int column, float size, float centreX = 0)
    {
        const float s = (CentreX(column) - (centreX - size)) / (2 * size);
        return std::clamp(s * 256 - 0.5f, 0.0f, 255.0f) / 255;
    }

    void DrawAndCheck(Effekt& effect, int t, float beat)
    {
        effect.Draw(t, beat);
        ExpectDefaultGlState();
    }

    static std::string white, black, gradient;
};
std::string ImageLayersTest::white, ImageLayersTest::black, ImageLayersTest::gradient;

TEST_F(ImageLayersTest, ModeTextsSelectModes)
{
    const char* names[] = {"UP", "DOWN", "LEFT", "RIGHT", "UPCENTER", "BEATUP", "BEATBACK", "RANDOM",
                           "BEATCENTER", "STATICFADEOUT", "STATICFADEIN", "STATIC"};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(AlphaBlendImage(0, 1, nullptr, names[i]).GetMode(), i) << names[i];
    EXPECT_EQ(AlphaBlendImage(0, 1, nullptr, "up").GetMode(), AlphaBlendImage::STATIC);
}

TEST_F(ImageLayersTest, UpSlidesThroughTheScreen)
{
    AlphaBlendImage up(0, 1000, white.c_str(), "UP");
    DrawAndCheck(up, 250, 0);  // centre at y = 1: only the lower half is covered
    ExpectPixelNear(W / 2, Row(-0.5f), 0, 0, 0);
    ExpectPixelNear(W / 2, Row(0.5f), 1, 1, 1);

    FillScreen(0, 0, 0);
    DrawAndCheck(up, 500, 0);  // exactly over the window
    ExpectPixelNear(0, 0, 1, 1, 1);
    ExpectPixelNear(W - 1, H - 1, 1, 1, 1);

    FillScreen(0, 0, 0);
    AlphaBlendImage right(0, 1000, gradient.c_str(), "RIGHT");
    DrawAndCheck(right, 625, 0);  // x = 0.5
    const int c = Column(0.75f);
    ExpectPixelNear(Column(-0.75f), H / 2, 0, 0, 0);
    ExpectPixelNear(c, H / 2, GradientRed(c, 1, 0.5f), 0, 0);
}

TEST_F(ImageLayersTest, UpCenterArrivesFasterAndFaster)
{
    AlphaBlendImage layer(0, 1000, white.c_str(), "UPCENTER");
    DrawAndCheck(layer, 500, 0);  // y = 1.5: covers from y = 0.5 down
    ExpectPixelNear(W / 2, Row(0.4f), 0, 0, 0);
    ExpectPixelNear(W / 2, Row(0.6f), 1, 1, 1);
}

TEST_F(ImageLayersTest, BeatCenterGrowsWithTheBeat)
{
    AlphaBlendImage layer(0, 1000, gradient.c_str(), "BEATCENTER");
    const int c = Column(-0.5f);
    DrawAndCheck(layer, 500, 0);
    ExpectPixelNear(c, H / 2, GradientRed(c, 1), 0, 0, 2);
    DrawAndCheck(layer, 500, 1);  // half-size 1.125
    ExpectPixelNear(c, H / 2, GradientRed(c, 1.125f), 0, 0, 2);
}

TEST_F(ImageLayersTest, BeatBackShrinksAfterABeat)
{
    AlphaBlendImage layer(0, 2200, gradient.c_str(), "BEATBACK");
    DrawAndCheck(layer, 1000, 0.5f);  // the beat: full size, tilted
    FillScreen(0, 0, 0);
    DrawAndCheck(layer, 1100, 0);  // 100 ms later: size 0.75, centre y = 0.5 at mid-window
    const int c = Column(-0.5f);
    ExpectPixelNear(c, Row(0.5f), GradientRed(c, 0.75f), 0, 0, 2);
    ExpectPixelNear(Column(-0.85f), Row(0.5f), 0, 0, 0);  // outside the shrunken picture
    ExpectPixelNear(c, Row(-0.5f), 0, 0, 0);              // above it
}

TEST_F(ImageLayersTest, RandomTakesBeatsOnlyAfter200Ms)
{
    // RANDOM reseeds the shared generator with the time of the last beat it took
    // and draws three numbers, so the next number tells which beat that was.
    auto nextAfterSeed = [](uint32_t seed) {
        SeedRandom(seed);
        for (int i = 0; i < 3; ++i)
            NextRandom();
        return NextRandom();
    };
    AlphaBlendImage layer(0, 100000, white.c_str(), "RANDOM");
    auto beatTakenAt = [&](int t, float beat, uint32_t expected) {
        DrawAndCheck(layer, t, beat);
        const int next = NextRandom();
        EXPECT_EQ(next, nextAfterSeed(expected)) << "frame at " << t;
    };
    beatTakenAt(1000, 1, 1000);
    beatTakenAt(1150, 1, 1000);  // too soon
    beatTakenAt(1250, 1, 1250);
    beatTakenAt(2050, 0, 1250);
}

TEST_F(ImageLayersTest, FadesScaleColourAndAlpha)
{
    FillScreen(0.5f, 0.5f, 0.5f);
    AlphaBlendImage in(0, 1000, white.c_str(), "STATICFADEIN");
    DrawAndCheck(in, 250, 0);  // colour 0.25 at alpha 0.25 over grey
    const float expected = 0.25f * 0.25f + 0.5f * 0.75f;
    ExpectPixelNear(W / 2, H / 2, expected, expected, expected);

    FillScreen(0, 0, 0);
    AlphaBlendImage out(0, 1000, white.c_str(), "STATICFADEOUT");
    DrawAndCheck(out, 250, 0);
    ExpectPixelNear(W / 2, H / 2, 0.5625f, 0.5625f, 0.5625f);
}

TEST_F(ImageLayersTest, FlashWhiteAddsWhatIsLeftOfTheWindow)
{
    FillScreen(0.5f, 0.2f, 0);
    Effekter::FlashWhite flash(0, 1000);
    DrawAndCheck(flash, 750, 0);
    ExpectPixelNear(0, 0, 0.75f, 0.45f, 0.25f);
    ExpectPixelNear(W - 1, H - 1, 0.75f, 0.45f, 0.25f);
}

TEST_F(ImageLayersTest, MaskMultipliesTheScreen)
{
    FillScreen(0.6f, 0.4f, 0.2f);
    Effekter::Mask keep(0, 10, white.c_str());
    DrawAndCheck(keep, 5, 0);
    ExpectPixelNear(W / 3, H / 3, 0.6f, 0.4f, 0.2f);

    Effekter::Mask blackout(0, 10, black.c_str());
    DrawAndCheck(blackout, 5, 0);
    ExpectPixelNear(W / 3, H / 3, 0, 0, 0);
}

TEST_F(ImageLayersTest, EndDemoEndsTheShowAndOverlaysDrawNothing)
{
    FillScreen(0.2f, 0.2f, 0.2f);
    Effekter::Overlays overlays(0, 10);
    DrawAndCheck(overlays, 5, 1);
    ExpectPixelNear(1, 1, 0.2f, 0.2f, 0.2f);

    Effekter::EndDemo end(5000, -1);
    try {
        end.Draw(5001, 0);
        FAIL() << "no exception";
    } catch (const ShowEnded& e) {
        // Its own type, a normal end of the run; the message is the viewer's.
        EXPECT_STREQ(e.what(), "End of show");
    }
    ExpectDefaultGlState();
}

}  // namespace
