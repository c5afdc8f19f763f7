#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "effects/manden.h"
#include "support/image_files.h"
#include "support/scene_state.h"

namespace {

// A data folder of plain colours: a blue background, opaque red greetings,
// a green pole and a program that shows the composite as it is.
class MandenTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        const std::string dir = MakeTempDir();
        const std::string folder = dir + "/data/brakvolde/mansphere/";
        MakeParentFolders(folder + "x");
        WriteSolidImage(folder + "manden.png", 4, 4, 0, 0, 255);
        WriteSolidImage(folder + "greets.png", 4, 4, 255, 0, 0);
        WriteSolidImage(folder + "pole.jpg", 4, 4, 0, 255, 0);
        WriteTextFile(folder + "manden.fs", kPassThroughFragment);
        ASSERT_EQ(chdir(dir.c_str()), 0);
    }
};

// The columns (at mid height) where the pole stands: it alone writes depth.
std::pair<int, int> PoleColumns()
{
    int first = -1, last = -1;
    for (int x = 0; x < GlTest::kWidth; ++x)
        if (DepthAt(x, GlTest::kHeight / 2) < 1.0f) {
            if (first < 0)
                first = x;
            last = x;
        }
    return {first, last};
}

TEST_F(MandenTest, PoleStandsAtX30AtTheStartAndAtMinus20From500Ms)
{
    Effekter::Manden manden(0, 10000);
    // x 30 at z -60 is near the right edge; -20 is in the left third.
    manden.Draw(0, 0.0f);
    ExpectSceneStateRestored();
    auto columns = PoleColumns();
    EXPECT_GT(columns.first, kWidth * 3 / 4);
    EXPECT_EQ(columns.second, kWidth - 1);
    for (int t : {500, 600, 9000}) {
        manden.Draw(t, 0.0f);
        columns = PoleColumns();
        EXPECT_LT(columns.first, kWidth / 8) << t;
        EXPECT_LT(columns.second, kWidth / 2) << t;
    }
    // Half way in, at x 5, it stands a little right of the middle.
    manden.Draw(250, 0.0f);
    columns = PoleColumns();
    EXPECT_GT(columns.first, kWidth / 4);
    EXPECT_LT(columns.second, kWidth);
    EXPECT_GT((columns.first + columns.second) / 2, kWidth / 2);
}

TEST_F(MandenTest, GreetingsSlideFromMinus2To2AndDimOnTheBeat)
{
    Effekter::Manden manden(0, 4000);
    // A quarter through, the greetings (half-size 1.5) are centred at x -1
    // and reach x 0.5 of the screen's -1 .. 1, three quarters across.
    manden.Draw(1000, 0.0f);
    ExpectSceneStateRestored();
    ExpectPixelNear(kWidth * 5 / 8, kHeight / 2, 1, 0, 0);
    ExpectPixelNear(kWidth * 7 / 8, kHeight / 2, 0, 0, 1);
    ExpectPixelNear(kWidth * 7 / 8, 2, 0, 0, 1);

    // A full beat: colour and alpha 0.75 over the blue background.
    manden.Draw(1000, 1.0f);
    ExpectPixelNear(kWidth * 5 / 8, kHeight / 2, 0.5625f, 0, 0.25f);

    // Near the end they have slid to the right quarter of the screen.
    manden.Draw(3999, 0.0f);
    ExpectPixelNear(kWidth * 5 / 8, kHeight / 2, 0, 0, 1);
    ExpectPixelNear(kWidth - 2, kHeight / 2, 1, 0, 0);
    ExpectSceneStateRestored();
}

TEST_F(MandenTest, ManDrawsOverNothingThatCameBefore)
{
    Effekter::Manden manden(0, 4000);
    FillScreen(1, 1, 0);
    FillDepth(0.0f);  // a depth that would hide the pole
    manden.Draw(2000, 0.0f);
    EXPECT_LT(PoleColumns().first, kWidth / 8);
    ExpectPixelNear(kWidth * 7 / 8, 2, 1, 0, 0);  // centred at 0: red everywhere but the pole
    ExpectSceneStateRestored();
}

}  // namespace
