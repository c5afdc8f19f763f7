#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "effects/light_scenes.h"
#include "platform/shared_random.h"
#include "support/scene_state.h"

namespace {

using LightSceneTest = ShowDataTest;

// Brings the shared switch state to a known point: a switch at time.
void SwitchAt(Effekter::NanoBall& ball, int time)
{
    ball.Draw(time - 301, 0.8f);  // switches unless the last switch was within 300 ms
    ball.Draw(time, 0.8f);        // so this one always does
}

TEST_F(LightSceneTest, NanoBallDrawsARodForEachMillisecondUpTo512)
{
    Effekter::NanoBall ball(10000, 100000);
    // Each rod draws two numbers after the reseed with 0; a beat below 0.7
    // never switches, so no numbers are thrown away.
    for (int e : {0, 1, 100, 511, 512, 513, 40000}) {
        SeedRandom(77);
        ball.Draw(10000 + e, 0.3f);
        const int next = NextRandom();
        EXPECT_EQ(next, RandomAfter(0, 2 * std::min(e, 512))) << "e " << e;
        ExpectSceneStateRestored();
    }
}

TEST_F(LightSceneTest, NanoBallSwitchesAtMostOncePer300MsOnAStrongBeat)
{
    Effekter::NanoBall ball(0, 1000000);
    SwitchAt(ball, 500000);
    const int switches = Effekter::NanoBall::Switches().switches;
    EXPECT_EQ(Effekter::NanoBall::Switches().lastSwitch, 500000u);

    ball.Draw(500300, 0.9f);  // exactly 300 ms: too soon
    ball.Draw(500301, 0.7f);  // not above 0.7
    EXPECT_EQ(Effekter::NanoBall::Switches().switches, switches);

    // A switch throws two numbers away before the rods draw theirs.
    SeedRandom(5);
    ball.Draw(500301, 0.71f);
    const int next = NextRandom();
    EXPECT_EQ(next, RandomAfter(0, 2 + 2 * 512));
    EXPECT_EQ(Effekter::NanoBall::Switches().switches, switches + 1);
    ExpectSceneStateRestored();
}

TEST_F(LightSceneTest, NanoBallCountsAQuarterOnEveryFourthSwitch)
{
    Effekter::NanoBall ball(0, 1000000);
    SwitchAt(ball, 600000);
    int time = 600000;
    for (int i = 0; i < 8; ++i) {
        const Effekter::NanoBallSwitches before = Effekter::NanoBall::Switches();
        time += 400;
        ball.Draw(time, 1.0f);
        const Effekter::NanoBallSwitches& after = Effekter::NanoBall::Switches();
        EXPECT_EQ(after.switches, before.switches + 1);
        EXPECT_EQ(after.quarters, before.quarters + (after.switches % 4 == 0 ? 1 : 0));
    }
    // A second ball goes on from the same counters.
    Effekter::NanoBall other(0, 1000000);
    const int switches = Effekter::NanoBall::Switches().switches;
    other.Draw(time + 400, 1.0f);
    EXPECT_EQ(Effekter::NanoBall::Switches().switches, switches + 1);
}

TEST_F(LightSceneTest, NanoBallFadesToBlackOverItsLastSevenSeconds)
{
    Effekter::NanoBall ball(0, 20000);
    GLfloat colour[4];
    ball.Draw(5000, 1.0f);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 1.0f);
    ball.Draw(16500, 1.0f);  // half way through the fade
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.5f);
    EXPECT_FLOAT_EQ(colour[3], 0.5f);
    ball.Draw(20000, 0.4f);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.0f);
    EXPECT_FLOAT_EQ(colour[3], 0.0f);
    ExpectSceneStateRestored();
}

TEST_F(LightSceneTest, SceneLightSavesTheColourAndPlacesTheLightInEyeSpace)
{
    Effekter::SceneLight light;
    glColor4f(0.2f, 0.4f, 0.6f, 0.8f);
    glPushMatrix();
    glTranslatef(1, 2, 3);
    light.Apply();
    glPopMatrix();
    EXPECT_FLOAT_EQ(light.savedColour[0], 0.2f);
    EXPECT_FLOAT_EQ(light.savedColour[3], 0.8f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    GLfloat position[4], cutoff = 0, shininess = 0;
    glGetLightfv(GL_LIGHT0, GL_POSITION, position);
    // (0, 0, 0, 10) under the translation: the point (0.1, 0.2, 0.3).
    EXPECT_FLOAT_EQ(position[0], 10);
    EXPECT_FLOAT_EQ(position[1], 20);
    EXPECT_FLOAT_EQ(position[2], 30);
    EXPECT_FLOAT_EQ(position[3], 10);
    glGetLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, &cutoff);
    EXPECT_FLOAT_EQ(cutoff, 180);
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_FLOAT_EQ(shininess, 100);
    glDisable(GL_LIGHT0);
    glColor4f(1, 1, 1, 1);
    ExpectSceneStateRestored();
}

}  // namespace
