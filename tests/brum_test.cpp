#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "effects/brum.h"
#include "effects/brum_trail.h"
#include "platform/shared_random.h"
#include "render/screen.h"
#include "support/gl_fixture.h"

namespace {

using Effekter::BrumParticle;
using Effekter::BrumTrail;

const Float3 kFigure(0.5f, -0.25f, -4.5f);

// The particles a trail draws at a time, newest first.
std::vector<BrumParticle> Live(const BrumTrail& trail, uint32_t time)
{
    std::vector<BrumParticle> live;
    trail.ForEachLive(time, [&](const BrumParticle& p) { live.push_back(p); });
    return live;
}

TEST(BrumTrailTest, NothingIsBornWithin10MsOfTheLastSpawn)
{
    BrumTrail trail;
    uint32_t lastSpawn = 0;
    trail.Update(0, kFigure, lastSpawn);
    trail.Update(10, kFigure, lastSpawn);  // the show's first frames
    EXPECT_EQ(trail.Count(), 0u);
    trail.Update(11, kFigure, lastSpawn);
    EXPECT_EQ(trail.Count(), 1u);
    EXPECT_EQ(lastSpawn, 11u);
    trail.Update(21, kFigure, lastSpawn);
    EXPECT_EQ(trail.Count(), 1u);
}

TEST(BrumTrailTest, ABirthDrawsFiveNumbersInTheStatedOrder)
{
    BrumTrail trail;
    uint32_t lastSpawn = 0;
    SeedRandom(4242);
    trail.Update(5000, kFigure, lastSpawn);

    SeedRandom(4242);
    const float r1 = RandomUnit(), r2 = RandomUnit(), r3 = RandomUnit();
    const float r4 = std::fabs(RandomUnit()), r5 = RandomUnit();
    const BrumParticle& p = trail.Newest();
    EXPECT_EQ(p.direction.x, r3);
    EXPECT_EQ(p.direction.y, r2);
    EXPECT_EQ(p.direction.z, r1);
    EXPECT_EQ(p.death, static_cast<uint32_t>(r4 * 10000 + 5000.0f));
    EXPECT_EQ(p.birth, 5000u);
    EXPECT_EQ(p.speed, r5 * 0.5f);
    EXPECT_EQ(p.start.x, kFigure.x);
    EXPECT_EQ(p.start.z, kFigure.z);
}

TEST(BrumTrailTest, AParticleIsDrawnAtItsDeathWithFadeZeroAndNeverAfter)
{
    BrumTrail trail;
    uint32_t lastSpawn = 0;
    SeedRandom(7);
    trail.Update(1000, kFigure, lastSpawn);
    const BrumParticle born = trail.Newest();
    ASSERT_GT(born.death, born.birth);

    const Effekter::ParticleLook atBirth = Effekter::LookAt(born, born.birth);
    EXPECT_FLOAT_EQ(atBirth.fade, 1.0f);
    EXPECT_FLOAT_EQ(atBirth.position.x, kFigure.x);
    const Effekter::ParticleLook atDeath = Effekter::LookAt(born, born.death);
    EXPECT_FLOAT_EQ(atDeath.fade, 0.0f);
    EXPECT_FLOAT_EQ(atDeath.position.x, kFigure.x + born.direction.x * born.speed);

    EXPECT_EQ(Live(trail, born.death).size(), 1u);
    EXPECT_TRUE(Live(trail, born.death + 1).empty());
    uint32_t keep = born.death + 1;  // no new spawn in this frame
    trail.Update(born.death + 1, kFigure, keep);
    EXPECT_EQ(trail.Count(), 0u);
}

TEST(BrumTrailTest, AZeroLifetimeGivesFadeZeroInsteadOfNaN)
{
    BrumParticle p{kFigure, Float3(1, 1, 1), 0.5f, 3000, 3000};
    const Effekter::ParticleLook look = Effekter::LookAt(p, 3000);
    EXPECT_FLOAT_EQ(look.fade, 0.0f);
    EXPECT_FALSE(std::isnan(look.position.x));
}

TEST(BrumTrailTest, ThirtyMinutesOfPlayKeepTheListSmallAndDrawWhatTheFullListWould)
{
    // Every spawned particle is kept in `all`, as a list that never drops
    // anything would; at sampled frames both must draw the same particles.
    BrumTrail trail;
    uint32_t lastSpawn = 0;
    std::vector<BrumParticle> all;
    SeedRandom(1);
    size_t largest = 0;
    int frame = 0;
    for (uint32_t time = 16; time < 30u * 60 * 1000; time += 16, ++frame) {
        trail.Update(time, kFigure, lastSpawn);
        if (lastSpawn == time)
            all.push_back(trail.Newest());
        largest = std::max(largest, trail.Count());
        if (frame % 997 != 0)
            continue;
        std::vector<BrumParticle> expected;
        for (auto it = all.rbegin(); it != all.rend(); ++it)
            if (time <= it->death)
                expected.push_back(*it);
        const std::vector<BrumParticle> live = Live(trail, time);
        ASSERT_EQ(live.size(), expected.size()) << "at " << time;
        for (size_t i = 0; i < live.size(); ++i) {
            ASSERT_EQ(live[i].birth, expected[i].birth);
            ASSERT_EQ(live[i].death, expected[i].death);
        }
    }
    EXPECT_GT(all.size(), 100000u);
    EXPECT_LE(largest, 10000u / 16 + 1);
}

TEST(BrumTrailTest, SeekingBackAgainAndAgainStaysWithinTheCap)
{
    // Each backward step wraps the time since the last spawn, so every frame
    // spawns a particle that dies in the future of the next, earlier frame.
    BrumTrail trail;
    uint32_t lastSpawn = 0;
    SeedRandom(3);
    for (uint32_t time = 3000000; time > 1000000; time -= 500)
        trail.Update(time, kFigure, lastSpawn);
    EXPECT_EQ(trail.Count(), BrumTrail::kMaxParticles);
}

class BrumTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        ASSERT_EQ(chdir(SourcePath(".").c_str()), 0);
    }
};

TEST_F(BrumTest, DrawsTheBackgroundAndTheFigureAndSharesTheLastSpawnTime)
{
    Effekter::Brum brum(0, 100000);
    brum.Draw(20000, 0.5f);
    ExpectDefaultGlState();
    EXPECT_EQ(Effekter::Brum::LastSpawn(), 20000u);
    EXPECT_EQ(brum.Trail().Count(), 1u);

    // A second Brum continues from the first one's spawn time.
    Effekter::Brum second(0, 100000);
    second.Draw(20005, 0.5f);
    EXPECT_EQ(second.Trail().Count(), 0u);
    second.Draw(20016, 0.5f);
    EXPECT_EQ(second.Trail().Count(), 1u);
    ExpectDefaultGlState();
}

TEST_F(BrumTest, TheFigureFollowsItsLoop)
{
    const Float3 p = Effekter::Brum::FigurePosition(40000);
    EXPECT_FLOAT_EQ(p.x, std::sin(40.0f));
    EXPECT_FLOAT_EQ(p.y, std::cos(20.0f));
    EXPECT_FLOAT_EQ(p.z, -4 - std::cos(1.0f));
}

}  // namespace
