// Reading data/demo.txt into a show, with the loading display. The grammar
// alone is tested without a window in script_reader_test.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <vector>

#include "effects/image_layers.h"
#include "platform/demo_error.h"
#include "platform/window.h"
#include "show/loading_screen.h"
#include "show/show_loader.h"
#include "support/gl_fixture.h"

namespace {

// Runs each test in a fresh folder holding only data/demo.txt with the given text.
class DemoScriptTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        previous_ = cwd;
        const std::string dir = MakeTempDir();
        ASSERT_EQ(chdir(dir.c_str()), 0);
        ASSERT_EQ(mkdir("data", 0755), 0);
    }
    void TearDown() override { ASSERT_EQ(chdir(previous_.c_str()), 0); }

    void WriteScript(const std::string& text) { std::ofstream("data/demo.txt") << text; }

    // Loads the script; returns the message thrown, or "" when it loaded.
    std::string Load()
    {
        show = std::make_unique<Show>();
        try {
            LoadShow(*show, &TestWindow());
        } catch (const DemoError& e) {
            return e.what();
        }
        return "";
    }

    std::unique_ptr<Show> show;
    const EffectList& effects() const { return show->effects; }

private:
    std::string previous_;
};

TEST_F(DemoScriptTest, EntriesBecomeTheirEffectsInOrder)
{
    WriteScript("data/song.ogg\n30\n3\n"
                "FlashWhite\n100\n200\n"
                "AlphaBlendImage\n0\n-1\ndata/none.png\nBEATBACK\n"
                "Mask  \t\n5\n6\ndata/none.png\n"
                "EndDemo\n7\n8");
    EXPECT_EQ(Load(), "");
    EXPECT_EQ(show->musicFile, "data/song.ogg");
    EXPECT_EQ(ScriptMusicFile(), show->musicFile);
    EXPECT_EQ(show->startOffset, 30);
    EXPECT_EQ(show->names, (std::vector<std::string>{"FlashWhite", "AlphaBlendImage", "Mask", "EndDemo"}));
    EXPECT_EQ(show->lines, (std::vector<int>{4, 7, 12, 16}));
    EXPECT_EQ(show->endMs, 7);
    ASSERT_EQ(effects().size(), 4u);
    EXPECT_NE(dynamic_cast<Effekter::FlashWhite*>(effects()[0].get()), nullptr);
    EXPECT_EQ(effects()[0]->start, 100);
    EXPECT_EQ(effects()[0]->end, 200);
    auto* layer = dynamic_cast<Effekter::AlphaBlendImage*>(effects()[1].get());
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->GetMode(), Effekter::AlphaBlendImage::BEATBACK);
    EXPECT_EQ(effects()[1]->end, -1);
    EXPECT_NE(dynamic_cast<Effekter::Mask*>(effects()[2].get()), nullptr);  // trailing blanks cut
    EXPECT_NE(dynamic_cast<Effekter::EndDemo*>(effects()[3].get()), nullptr);
    ExpectDefaultGlState();
}

TEST_F(DemoScriptTest, TheFirstReachableEndOfShowEntryEndsTheShow)
{
    // An end entry that starts before 0 is never reached by a capture.
    WriteScript("m\n0\n3\nEndDemo\n-5\n-1\nEndDemo\n9000\n-1\nEndDemo\n4000\n-1\n");
    EXPECT_EQ(Load(), "");
    EXPECT_EQ(show->endMs, 4000);
    WriteScript("m\n0\n1\nFlashWhite\n0\n10\n");
    EXPECT_EQ(Load(), "");
    EXPECT_FALSE(show->endMs);
}

TEST_F(DemoScriptTest, UnknownNamesEndLoadingAndKeepWhatWasMade)
{
    WriteScript("m\n0\n2\nOverlays\n0\n10\n Tunnel\n0\n10");
    EXPECT_EQ(Load(), "Unknown entry ' Tunnel' in file, please correct");
    EXPECT_EQ(effects().size(), 1u);
}

TEST_F(DemoScriptTest, AnEntryCutOffTakesItsDefaults)
{
    WriteScript("m\n0\n1\nAlphaBlendImage\n0\n10\n");
    EXPECT_EQ(Load(), "");
    ASSERT_EQ(effects().size(), 1u);
    EXPECT_EQ(dynamic_cast<Effekter::AlphaBlendImage*>(effects()[0].get())->GetMode(),
              Effekter::AlphaBlendImage::STATIC);
}

TEST_F(DemoScriptTest, MissingScript)
{
    ASSERT_EQ(unlink("data/demo.txt"), -1);
    EXPECT_EQ(Load(), "Unable to load data/demo.txt");
    ASSERT_EQ(mkdir("data/demo.txt", 0755), 0);
    EXPECT_EQ(Load(), "Unable to load data/demo.txt");
    EXPECT_EQ(ScriptMusicFile(), "");
    rmdir("data/demo.txt");
}

TEST_F(DemoScriptTest, LoadingPictureRisesOneStepPerEntry)
{
    LoadingScreen four(TestWindow(), 4);
    for (float expected : {-0.5f, -0.25f, 0.0f, 0.25f}) {
        EXPECT_FLOAT_EQ(four.Offset(), expected);
        four.ShowProgress();
        ExpectDefaultGlState();
    }
    EXPECT_FLOAT_EQ(four.Offset(), 0.5f);

    // With no usable count the picture stays at its first position.
    for (int count : {0, -3}) {
        LoadingScreen none(TestWindow(), count);
        none.ShowProgress();
        EXPECT_FLOAT_EQ(none.Offset(), -0.5f);
    }
}

// Passes everything to the test window and keeps each frame it is asked to show.
class RecordingWindow : public Window {
public:
    void FramePump() override
    {
        std::vector<uint8_t> frame(static_cast<size_t>(GlTest::kWidth) * GlTest::kHeight * 4);
        glReadBuffer(ReadBuffer());
        glReadPixels(0, 0, GlTest::kWidth, GlTest::kHeight, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
        shown.push_back(std::move(frame));
        TestWindow().FramePump();
    }
    void PollEvents() override { TestWindow().PollEvents(); }
    const WindowKeys& Keys() const override { return TestWindow().Keys(); }
    uint32_t TicksMs() const override { return TestWindow().TicksMs(); }
    unsigned ReadBuffer() const override { return TestWindow().ReadBuffer(); }

    std::vector<std::vector<uint8_t>> shown;
};

TEST_F(DemoScriptTest, EachLoadingStepIsShownOnceInTurnTheLastWhenLoadingEnds)
{
    ASSERT_EQ(mkdir("data/overlay", 0755), 0);
    std::ifstream picture(SourcePath("data/overlay/loader.jpg"), std::ios::binary);
    ASSERT_TRUE(picture.good());
    std::ofstream("data/overlay/loader.jpg", std::ios::binary) << picture.rdbuf();

    // Each step shown as soon as it is drawn.
    RecordingWindow eager;
    {
        LoadingScreen steps(eager, 3);
        for (int i = 0; i < 3; ++i) {
            steps.ShowProgress();
            steps.Present();
        }
    }
    ASSERT_EQ(eager.shown.size(), 3u);
    EXPECT_NE(eager.shown[0], eager.shown[1]);
    EXPECT_NE(eager.shown[1], eager.shown[2]);

    // The first step shows at once; each later one while the next is drawn,
    // the last one at Present; the same pictures.
    RecordingWindow window;
    LoadingScreen steps(window, 3);
    for (size_t shown : {1u, 1u, 2u}) {
        steps.ShowProgress();
        EXPECT_EQ(window.shown.size(), shown);
        ExpectDefaultGlState();
    }
    steps.Present();
    steps.Present();
    EXPECT_EQ(window.shown, eager.shown);

    // Loading a show shows every step of its entries by its end.
    WriteScript("m\n0\n3\nOverlays\n0\n10\nOverlays\n0\n10\nOverlays\n0\n10\n");
    RecordingWindow loading;
    Show show;
    LoadShow(show, &loading);
    EXPECT_EQ(loading.shown, eager.shown);
}

}  // namespace
