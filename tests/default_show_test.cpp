// The default show, data/demo.txt as it ships: every kind of entry in it, a
// timeline that fits its music, and nothing that the show check objects to.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "host/authoring/show_check.h"
#include "media/music_stream.h"
#include "support/gl_fixture.h"
#include "show/show_loader.h"
#include "effects/effect_factory.h"
#include "timeline/script_reader.h"

namespace {

// Entries that only lay something over a scene, or end the show; the rest draw
// a scene of their own.
const std::set<std::string> kLayers = {"AlphaBlendImage", "FlashWhite", "Mask", "Overlays", "EndDemo"};

// Loads the default show once for every test, from the repository root.
class DefaultShowTest : public GlTest {
protected:
    static void SetUpTestSuite()
    {
        GlTest::SetUpTestSuite();
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        ASSERT_EQ(chdir(SourcePath("").c_str()), 0);
        show_ = new Show;
        LoadShow(*show_, &TestWindow());
        effects_ = &show_->effects;
        names_ = &show_->names;
        music_ = show_->musicFile;
        offset_ = show_->startOffset;
        MusicStream stream;
        stream.Open(music_);
        musicMs_ = static_cast<int>(stream.LengthFrames() * 1000 / stream.Rate());
        ASSERT_EQ(chdir(cwd), 0);
    }
    static void TearDownTestSuite()
    {
        delete show_;
    }

    static Show* show_;
    static EffectList* effects_;
    static std::vector<std::string>* names_;
    static std::string music_;
    static int offset_;
    static int musicMs_;
};

Show* DefaultShowTest::show_ = nullptr;
EffectList* DefaultShowTest::effects_ = nullptr;
std::vector<std::string>* DefaultShowTest::names_ = nullptr;
std::string DefaultShowTest::music_;
int DefaultShowTest::offset_ = -1;
int DefaultShowTest::musicMs_ = 0;

TEST_F(DefaultShowTest, UsesEveryKindOfEntry)
{
    ASSERT_EQ(names_->size(), effects_->size());
    const std::set<std::string> used(names_->begin(), names_->end());
    std::string missing;
    for (const std::string& name : EffectNames())
        if (!used.count(name))
            missing += " " + name;
    EXPECT_EQ(missing, "") << "kinds missing from data/demo.txt:" << missing;
}

TEST_F(DefaultShowTest, HeaderCountsTheEntries)
{
    FILE* script = std::fopen(SourcePath("data/demo.txt").c_str(), "r");
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(ReadLine(script), "data/music.ogg");
    EXPECT_EQ(ReadInt(script), 0);
    EXPECT_EQ(ReadInt(script), static_cast<int>(names_->size()));
    std::fclose(script);
    EXPECT_EQ(music_, "data/music.ogg");
    EXPECT_EQ(offset_, 0);
}

// Every window lies inside the music, the show ends with its end-of-show
// entry before the music runs out, and some scene draws at every moment
// until then, so no stretch is left to the black of the cleared screen.
TEST_F(DefaultShowTest, ScenesCoverTheMusicUpToTheEnd)
{
    ASSERT_GT(musicMs_, 150000);
    ASSERT_FALSE(names_->empty());
    EXPECT_EQ(names_->back(), "EndDemo");
    const int endOfShow = effects_->back()->start;
    EXPECT_LT(endOfShow, musicMs_);
    EXPECT_GT(endOfShow, musicMs_ - 1000);
    for (size_t i = 0; i < effects_->size(); ++i) {
        const Effekt& effect = *(*effects_)[i];
        EXPECT_GE(effect.start, 0) << (*names_)[i];
        if (effect.end != -1) {
            EXPECT_LT(effect.start, effect.end) << (*names_)[i] << " at " << effect.start;
            EXPECT_LE(effect.end, musicMs_) << (*names_)[i] << " at " << effect.start;
        }
    }
    std::string uncovered;
    for (int t = 250; t < endOfShow; t += 250) {
        bool scene = false;
        for (size_t i = 0; i < effects_->size() && !scene; ++i)
            scene = !kLayers.count((*names_)[i]) && (*effects_)[i]->IsActiveAt(t);
        if (!scene)
            uncovered += " " + std::to_string(t);
    }
    EXPECT_EQ(uncovered, "") << "times (ms) without a scene:" << uncovered;
}

TEST_F(DefaultShowTest, CheckFindsNoProblems)
{
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(SourcePath("").c_str()), 0);
    FILE* report = std::tmpfile();
    ASSERT_NE(report, nullptr);
    const int code = CheckShow(report);
    std::rewind(report);
    std::string text;
    char line[1024];
    while (std::fgets(line, sizeof line, report))
        text += line;
    std::fclose(report);
    ASSERT_EQ(chdir(cwd), 0);
    EXPECT_EQ(code, 0) << text;
    EXPECT_NE(text.find("no problems found"), std::string::npos) << text;
}

}  // namespace
