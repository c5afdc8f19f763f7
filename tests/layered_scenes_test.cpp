#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>

#include "effects/cloud_layers.h"
#include "effects/quell_ringe.h"
#include "effects/sky_flights.h"
#include "effects/stroboskop.h"
#include "platform/shared_random.h"
#include "render/screen.h"
#include "support/gl_fixture.h"

namespace {

// The effects load their pictures from data/ relative to the working directory.
class LayeredSceneTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        ASSERT_EQ(chdir(SourcePath(".").c_str()), 0);
    }
};

// The next output of the shared generator after seeding it and drawing n numbers.
int NextAfter(uint32_t seed, int n)
{
    SeedRandom(seed);
    for (int i = 0; i < n; ++i)
        NextRandom();
    return NextRandom();
}

// A seed whose first two draws give the ring trigger this speed step.
uint32_t SeedForSpeedStep(int step)
{
    for (uint32_t seed = 1;; ++seed) {
        SeedRandom(seed);
        if (static_cast<int>((NextRandom() & 255) * 0.1) == step)
            return seed;
    }
}

struct TriggerDraw {
    int step;
    float offset;
};

TriggerDraw ExpectedTrigger(uint32_t seed)
{
    SeedRandom(seed);
    const int step = static_cast<int>((NextRandom() & 255) * 0.1);
    const float offset = static_cast<float>((NextRandom() & 127) * 0.01 - 1.2);
    return TriggerDraw{step, offset};
}

long Brightness()
{
    long sum = 0;
    for (int y = 0; y < GlTest::kHeight; y += 2)
        for (int x = 0; x < GlTest::kWidth; x += 2) {
            const Pixel p = ReadPixel(x, y);
            sum += p[0] + p[1] + p[2];
        }
    return sum;
}

// The trigger lives in storage shared by every instance for the run, so its
// whole story is told in one test, in order.
TEST_F(LayeredSceneTest, QuellRingeTriggersOnStrongBeatsAndKeepsItsStateAcrossInstances)
{
    Effekter::QuellRinge rings(0, 200000);

    // The first frame only records its time; until a trigger the rings spin
    // backwards at one degree per 15 ms and the caption stays centred.
    rings.Draw(5000, 1.0f);
    ExpectDefaultGlState();
    EXPECT_EQ(Effekter::QuellRinge::TriggerCount(), 0);
    EXPECT_FLOAT_EQ(Effekter::QuellRinge::SpinAngle(5000), -5000.0f / 15);
    EXPECT_FLOAT_EQ(rings.TextPosition().x, 0.0f);
    EXPECT_FLOAT_EQ(rings.TextPosition().z, -0.45f);

    rings.Draw(5300, 1.0f);   // exactly 300 ms later: too soon
    rings.Draw(5400, 0.7f);   // a beat of exactly 0.7 is not enough
    EXPECT_EQ(Effekter::QuellRinge::TriggerCount(), 0);

    uint32_t seed = SeedForSpeedStep(4);
    TriggerDraw expected = ExpectedTrigger(seed);
    SeedRandom(seed);
    rings.Draw(5400, 0.71f);
    EXPECT_EQ(Effekter::QuellRinge::TriggerCount(), 1);
    EXPECT_FLOAT_EQ(Effekter::QuellRinge::SideOffset(), expected.offset);
    EXPECT_FLOAT_EQ(rings.TextPosition().x, expected.offset);
    EXPECT_FLOAT_EQ(Effekter::QuellRinge::SpinAngle(6000), 6000.0f / 11);  // odd count: forwards
    ExpectDefaultGlState();

    // A second instance continues the same motion; a backward seek wraps the
    // time since the last trigger and fires at the first strong beat. A speed
    // step of 15 would divide by zero: the rings keep their last finite speed
    // and still reverse.
    Effekter::QuellRinge second(0, 200000);
    seed = SeedForSpeedStep(15);
    expected = ExpectedTrigger(seed);
    SeedRandom(seed);
    second.Draw(1000, 0.9f);
    EXPECT_EQ(Effekter::QuellRinge::TriggerCount(), 2);
    EXPECT_FLOAT_EQ(Effekter::QuellRinge::SpinAngle(1500), -1500.0f / 11);
    EXPECT_FLOAT_EQ(second.TextPosition().x, expected.offset);

    seed = SeedForSpeedStep(0);
    SeedRandom(seed);
    second.Draw(2000, 0.9f);
    EXPECT_EQ(Effekter::QuellRinge::TriggerCount(), 3);
    EXPECT_FLOAT_EQ(Effekter::QuellRinge::SpinAngle(2100), 2100.0f / 15);
    ExpectDefaultGlState();
}

TEST_F(LayeredSceneTest, StroboskopCaptionTurnsBeatDrivenAt21000MsWhateverTheStart)
{
    // With a silent beat the twist adds nothing and the backdrop is a steady
    // half grey, so only the caption's level differs: 1 before, 0.5 after.
    for (int start : {0, 20000}) {
        Effekter::Stroboskop strobe(start, 100000);
        strobe.Draw(20999, 0.0f);
        ExpectDefaultGlState();
        const long before = Brightness();
        FillScreen(0, 0, 0);
        strobe.Draw(21000, 0.0f);
        const long after = Brightness();
        EXPECT_GT(after, before + before / 20) << "start " << start;
        ExpectDefaultGlState();
    }
}

TEST_F(LayeredSceneTest, StroboskopDrawsOneRandomNumberAFrame)
{
    Effekter::Stroboskop strobe(0, 100000);
    SeedRandom(555);
    strobe.Draw(30000, 0.8f);
    const int after = NextRandom();
    EXPECT_EQ(after, NextAfter(555, 1));
}

TEST_F(LayeredSceneTest, CloudLayersDrawOnlyThoseWithin15UnitsInFront)
{
    // z = v * rel - c for c = 1000 .. 1; a layer is drawn while z > -15.
    EXPECT_EQ(Effekter::DrawCloudLayers(Effekter::kTunnelFlight, 0, 0, 0.5f, 1), 14);
    EXPECT_EQ(Effekter::DrawCloudLayers(Effekter::kTunnelFlight, 0, 500, 0.5f, 1), 19);
    EXPECT_EQ(Effekter::DrawCloudLayers(Effekter::kTunnelFlight, 0, 200000, 0.5f, 1), 1000);
    // SkyUp moves 40 times slower.
    EXPECT_EQ(Effekter::DrawCloudLayers(Effekter::kSkyUpFlight, 0, 20000, 0.5f, 1), 19);
    ExpectDefaultGlState();
}

TEST_F(LayeredSceneTest, CloudFlightsLeaveTheGeneratorReseededAfterTheLastLayer)
{
    // Later effects of the frame draw on from the last layer's reseed.
    Effekter::Tunnel tunnel(0, 100000);
    SeedRandom(1234);
    tunnel.Draw(3000, 0.3f);
    const int afterTunnel = NextRandom();
    EXPECT_EQ(afterTunnel, NextAfter(Effekter::kCloudSeed, 3));

    Effekter::SkyUp sky(0, 100000, "data/sky/dawnclouds.jpg");
    SeedRandom(1234);
    sky.Draw(3000, 0.3f);
    const int afterSky = NextRandom();
    EXPECT_EQ(afterSky, NextAfter(Effekter::kCloudSeed, 4));
    ExpectDefaultGlState();
}

TEST_F(LayeredSceneTest, TunnelLandscapeFadesInFromFifteenSecondsBeforeTheEnd)
{
    // 110 s in, every cloud layer has passed the viewer, so the landscape is
    // all that shows. It starts after end - 15000 and reaches 0.9 at end - 5000;
    // the screen centre always shows the picture's centre, whatever the zoom.
    Effekter::Tunnel tunnel(0, 130000);
    const int from = 130000 - 15000;
    auto centre = [&](int time) {
        FillScreen(0, 0, 0);
        tunnel.Draw(time, 0.0f);
        const Pixel p = ReadPixel(GlTest::kWidth / 2, GlTest::kHeight / 2);
        return p[0] + p[1] + p[2];
    };
    EXPECT_EQ(centre(from), 0);
    const int half = centre(from + 5000);
    const int full = centre(from + 10000);
    EXPECT_GT(full, 60);
    EXPECT_NEAR(half * 2, full, 12);
    EXPECT_NEAR(centre(from + 14000), full, 6);  // held at 0.9 to the end
    ExpectDefaultGlState();
}

TEST_F(LayeredSceneTest, SkyUpWithoutAReadablePictureStillDraws)
{
    Effekter::SkyUp missing(0, 100000, "data/sky/no-such-picture.jpg");
    missing.Draw(5000, 0.5f);
    Effekter::SkyUp unnamed(0, 100000, nullptr);
    unnamed.Draw(5000, 0.5f);
    ExpectDefaultGlState();
}

}  // namespace
