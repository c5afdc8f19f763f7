#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "effects/floor_scenes.h"
#include "platform/shared_random.h"
#include "render/guards.h"
#include "render/screen.h"
#include "render/texture.h"
#include "support/scene_state.h"

namespace {

using FloorSceneTest = ShowDataTest;

// A repeating texture: white in its top half, black in its bottom half.
void UploadHalves(CTexture& texture)
{
    std::vector<unsigned char> pixels;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const unsigned char c = y < 4 ? 255 : 0;
            pixels.insert(pixels.end(), {c, c, c, 255});
        }
    ImageRecord image;
    image.pixels = pixels.data();
    image.width = 8;
    image.height = 8;
    image.noMipmap = true;
    texture.Upload(image);
}

// The screen row at the quarter and three-quarter heights after drawing the
// full-screen quad with the texture shifted by v.
std::pair<int, int> QuartersWithOffset(GLuint texture, float v)
{
    CProjectionScope screen;
    CPushMatrix matrix;
    glTranslatef(0, 0, -2);
    glBindTexture(GL_TEXTURE_2D, texture);
    TexturedQuad(1, 1).DrawOffset(1, 1, 0, v);
    glBindTexture(GL_TEXTURE_2D, 0);
    return {ReadPixel(GlTest::kWidth / 2, GlTest::kHeight / 4)[0],
            ReadPixel(GlTest::kWidth / 2, 3 * GlTest::kHeight / 4)[0]};
}

TEST_F(FloorSceneTest, FloorQuadScrollsARepeatingTextureWithoutBound)
{
    CTexture halves;
    UploadHalves(halves);
    // No shift: as Draw(1, 1), the top half at the top of the window.
    EXPECT_EQ(QuartersWithOffset(halves.texture, 0), std::make_pair(255, 0));
    // Half a repeat turns it over; far along the music it still repeats.
    EXPECT_EQ(QuartersWithOffset(halves.texture, 0.5f), std::make_pair(0, 255));
    EXPECT_EQ(QuartersWithOffset(halves.texture, 0.002f * 3.0e5f), std::make_pair(255, 0));
    EXPECT_EQ(QuartersWithOffset(halves.texture, 0.002f * 3.0e5f + 0.5f), std::make_pair(0, 255));
    ExpectSceneStateRestored();
}

TEST_F(FloorSceneTest, BallsRestAtTheFloorOnASilentBeatWhileTheirShadowsPulse)
{
    for (uint32_t rel : {0u, 700u, 20000u}) {
        SeedRandom(123);
        bool pulsing = false;
        for (int i = 0; i < Effekter::BallsBounce::kBalls; ++i) {
            const Effekter::BallPlace a = Effekter::BallsBounce::PlaceBall(i, rel, 5000, 0.0f, 0.5f);
            EXPECT_EQ(a.lift, 0.0f);
            EXPECT_GE(a.shadow, 0.5f);
            EXPECT_LE(a.shadow, 1.0f);
            pulsing = pulsing || a.shadow < 0.9f;
        }
        EXPECT_TRUE(pulsing);
    }
    // At the end k is 0: no bounce and a full shadow whatever the beat.
    SeedRandom(123);
    for (int i = 0; i < Effekter::BallsBounce::kBalls; ++i) {
        const Effekter::BallPlace a = Effekter::BallsBounce::PlaceBall(i, 0, 5000, 1.0f, 0.0f);
        EXPECT_EQ(a.lift, 0.0f);
        EXPECT_EQ(a.shadow, 1.0f);
    }
    // With a full beat they jump, at most 25 units.
    SeedRandom(123);
    float highest = 0;
    for (int i = 0; i < Effekter::BallsBounce::kBalls; ++i)
        highest = std::max(highest, Effekter::BallsBounce::PlaceBall(i, 0, 5000, 1.0f, 1.0f).lift);
    EXPECT_GT(highest, 5.0f);
    EXPECT_LE(highest, 25.0f);
}

TEST_F(FloorSceneTest, BallIVanishes82ITimesPlus500MsAfterTheStart)
{
    for (int i : {0, 1, 37, 499}) {
        const uint32_t gone = 82 * i + 500;
        SeedRandom(1);
        EXPECT_TRUE(Effekter::BallsBounce::PlaceBall(i, gone - 2, 0, 0.5f, 1).shown) << i;
        EXPECT_FALSE(Effekter::BallsBounce::PlaceBall(i, gone + 2, 0, 0.5f, 1).shown) << i;
    }
    // Each ball draws its four numbers whether it shows or not.
    SeedRandom(9);
    Effekter::BallsBounce::PlaceBall(0, 100000, 0, 0.5f, 1);
    const int next = NextRandom();
    EXPECT_EQ(next, RandomAfter(9, 4));
}

TEST_F(FloorSceneTest, BallsBounceLeavesTheGeneratorAfterItsSecondPass)
{
    Effekter::BallsBounce balls(0, 41000);
    for (int t : {1, 300, 12000, 40999}) {
        SeedRandom(4242);
        balls.Draw(t, 0.7f);
        const int next = NextRandom();
        EXPECT_EQ(next, RandomAfter(123, 2000)) << t;
        ExpectSceneStateRestored();
    }
}

TEST_F(FloorSceneTest, BallsBounceShowsBallsOverTheFloorUntilTheyHaveAllLeft)
{
    // The same frame of the floor with 445 balls left (5 s in) and with none
    // (every ball is gone 41.4 s in): the balls stand in front of the floor.
    auto depths = [](int start) {
        Effekter::BallsBounce balls(start, start + 100000);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        balls.Draw(50000, 0.0f);
        std::vector<float> depth;
        for (int y = 0; y < kHeight; y += 2)
            for (int x = 0; x < kWidth; x += 2)
                depth.push_back(DepthAt(x, y));
        return depth;
    };
    const std::vector<float> empty = depths(0);
    const std::vector<float> full = depths(45000);
    int nearer = 0;
    for (size_t i = 0; i < full.size(); ++i) {
        EXPECT_LE(full[i], empty[i] + 1e-6f);
        nearer += full[i] < empty[i] - 1e-4f;
    }
    EXPECT_GT(nearer, 10);
    ExpectSceneStateRestored();
}

}  // namespace
