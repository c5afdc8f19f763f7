// The live frame loop: --start, pause, the seek keys, Home, reloading the
// show and the readout, driven by key flags and clocks the tests control.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <memory>

#include "host/frame.h"
#include "host/live/live_show.h"
#include "host/authoring/readout.h"
#include "media/music_stream.h"
#include "support/frame_probe.h"
#include "support/gl_fixture.h"
#include "support/work_dir.h"

namespace {

double g_now = 0;  // seconds, the time source of the clocks under test
double FakeNow()
{
    return g_now;
}

// Remembers the times it is drawn at and tells when it is destroyed.
class Recorder : public Effekt {
public:
    Recorder(int start, int end, bool* destroyed) : Effekt(start, end), destroyed_(destroyed) {}
    ~Recorder() override { *destroyed_ = true; }
    void Draw(int timeMs, float) override
    {
        lastTime = timeMs;
        ++draws;
    }
    int lastTime = -1;
    int draws = 0;

private:
    bool* destroyed_;
};

LiveKeys Key(bool LiveKeys::*which)
{
    LiveKeys keys;
    keys.*which = true;
    return keys;
}

int Count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// Each test runs in a fresh folder that holds data/, on a silent clock at
// fake time 0 with one Recorder in the show.
class LiveShowTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        g_now = 0;
        clock = MakeSilentClock(FakeNow);
        clock->Play();
        show->effects.push_back(std::make_unique<Recorder>(0, -1, &recorderDestroyed));
        recorder = static_cast<Recorder*>(show->effects[0].get());
        show->names = {"Recorder"};
    }

    void Start(std::optional<int> startMs = std::nullopt)
    {
        clock->SetPosition(StartPosition(*clock, show->startOffset, startMs));
        live = std::make_unique<LiveShow>(*clock, show, profile, false);
        live->Watch({});
    }
    void Frame(const LiveKeys& keys = {}) { live->Frame(keys, static_cast<uint32_t>(g_now * 1000)); }
    void WriteScript(const std::string& text) { std::ofstream("data/demo.txt") << text; }

    std::unique_ptr<MusicClock> clock;
    std::unique_ptr<Show> show = std::make_unique<Show>();
    bool recorderDestroyed = false;
    Recorder* recorder = nullptr;
    FrameProfile profile;
    std::unique_ptr<LiveShow> live;
    TempWorkDir folder;  // destroyed last: the effects go while it is current
};

TEST_F(LiveShowTest, StartPutsTheFirstFrameAtTheAskedTime)
{
    for (int offset : {0, 30}) {
        for (int ms : {31, 999, 1001, 12345, 46080, 153499}) {
            show->startOffset = offset;
            Start(ms);
            Frame();
            EXPECT_EQ(live->Time(), ms) << "offset " << offset;
            EXPECT_EQ(recorder->lastTime, ms);
        }
    }
    // A time before the music's start plays from the start of the music.
    show->startOffset = 30;
    Start(10);
    Frame();
    EXPECT_EQ(live->Time(), 30);
}

TEST(LiveStart, EveryMillisecondOnTheMusicStreamToo)
{
    // The stream the player uses, running silent on the fake clock: its byte
    // positions round to frames, which must not lose the millisecond.
    MusicStream stream(false, FakeNow);
    testing::internal::CaptureStderr();
    stream.Open("no such file.ogg");
    stream.Play();
    testing::internal::GetCapturedStderr();
    g_now = 5;
    for (int ms = 0; ms < 3000; ++ms) {
        stream.SetPosition(StartPosition(stream, 0, ms));
        ASSERT_EQ(EffectTime(stream, 0), ms);
    }
    stream.SetPosition(StartPosition(stream, 0));
    EXPECT_EQ(EffectTime(stream, 0), 0);
}

TEST_F(LiveShowTest, PauseHoldsTheTimeWhileTheSeekKeysStillMoveIt)
{
    Start();
    g_now = 2.5;
    Frame(Key(&LiveKeys::space));
    ASSERT_TRUE(live->Paused());
    EXPECT_EQ(live->Time(), 2500);
    const int draws = recorder->draws;
    g_now = 10;
    Frame();
    Frame();
    EXPECT_EQ(live->Time(), 2500);
    EXPECT_EQ(recorder->lastTime, 2500);
    EXPECT_EQ(recorder->draws, draws + 2);  // frames keep being drawn

    Frame(Key(&LiveKeys::right));
    EXPECT_EQ(live->Time(), 3500);
    Frame(Key(&LiveKeys::left));
    Frame(Key(&LiveKeys::left));
    EXPECT_EQ(live->Time(), 1500);
    g_now = 11;
    Frame();
    EXPECT_EQ(live->Time(), 1500);

    // Resumed, the show runs on from where it was held.
    Frame(Key(&LiveKeys::space));
    EXPECT_FALSE(live->Paused());
    EXPECT_EQ(live->Time(), 1500);
    g_now = 11.25;
    Frame();
    EXPECT_EQ(live->Time(), 1750);
}

TEST_F(LiveShowTest, HomeGoesBackToTheScriptsStartOffset)
{
    show->startOffset = 30;  // seconds into the music, and 30 ms on the effect time
    Start(50000);
    g_now = 4;
    Frame();
    EXPECT_EQ(live->Time(), 54000);
    Frame(Key(&LiveKeys::home));
    EXPECT_EQ(live->Time(), 30030);
    g_now = 5;
    Frame();
    EXPECT_EQ(live->Time(), 31030);

    // Paused, Home moves the held time and the show stays held.
    Frame(Key(&LiveKeys::space));
    g_now = 9;
    Frame(Key(&LiveKeys::home));
    EXPECT_TRUE(live->Paused());
    EXPECT_EQ(live->Time(), 30030);
}

TEST_F(LiveShowTest, F5SwapsInTheNewShowAtTheSameMusicPosition)
{
    Start();
    g_now = 1.2;
    Frame();
    const int64_t position = clock->Position();
    WriteScript("m\n7\n2\nFlashWhite\n0\n5000\nEndDemo\n900000\n-1\n");
    testing::internal::CaptureStderr();
    Frame(Key(&LiveKeys::reload));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Reloaded data/demo.txt: 2 entries in "), std::string::npos) << err;

    EXPECT_TRUE(recorderDestroyed);
    ASSERT_EQ(show->effects.size(), 2u);
    EXPECT_EQ(show->names, (std::vector<std::string>{"FlashWhite", "EndDemo"}));
    EXPECT_EQ(show->startOffset, 7);
    EXPECT_EQ(clock->Position(), position);
    EXPECT_EQ(live->Time(), 1207);  // the new offset on the same music position
    ExpectPixelNear(kWidth / 2, kHeight / 2, 1 - 1207.0f / 5000, 1 - 1207.0f / 5000, 1 - 1207.0f / 5000);
}

TEST_F(LiveShowTest, AFailedReloadKeepsTheOldShowPlaying)
{
    Start();
    WriteScript("m\n0\n2\nFlashWhite\n0\n5000\nFlashWite\n0\n10\n");
    testing::internal::CaptureStderr();
    Frame(Key(&LiveKeys::reload));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Reload failed: Unknown entry 'FlashWite' in file, please correct\n"), std::string::npos)
        << err;
    EXPECT_FALSE(recorderDestroyed);
    ASSERT_EQ(show->effects.size(), 1u);
    EXPECT_EQ(show->effects[0].get(), recorder);
    EXPECT_EQ(show->names, std::vector<std::string>{"Recorder"});

    g_now = 2;
    Frame();
    EXPECT_EQ(recorder->lastTime, 2000);

    ASSERT_EQ(unlink("data/demo.txt"), 0);
    testing::internal::CaptureStderr();
    Frame(Key(&LiveKeys::reload));
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Reload failed: Unable to load data/demo.txt"), std::string::npos) << err;
    EXPECT_EQ(show->effects[0].get(), recorder);
}

TEST_F(LiveShowTest, ABurstOfSavesReloadsOnce)
{
    WriteScript("m\n0\n1\nFlashWhite\n0\n5000\n");
    Start();
    testing::internal::CaptureStderr();
    // An editor's save: several writes and a rename over the file, 10 ms apart.
    for (int i = 0; i < 4; ++i) {
        WriteScript("m\n0\n1\nFlashWhite\n0\n500" + std::to_string(i) + "\n");
        Frame();
        g_now += 0.01;
    }
    std::ofstream("data/demo.txt.new") << "m\n0\n1\nFlashWhite\n0\n6000\n";
    ASSERT_EQ(rename("data/demo.txt.new", "data/demo.txt"), 0);
    Frame();
    const bool heldBack = !recorderDestroyed;
    for (int i = 0; i < 20; ++i) {
        g_now += 0.05;
        Frame();
    }
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(heldBack) << "reloaded before the writes settled";
    EXPECT_EQ(Count(err, "Reloaded data/demo.txt"), 1) << err;
    ASSERT_EQ(show->effects.size(), 1u);
    EXPECT_EQ(show->effects[0]->end, 6000);
}

TEST_F(LiveShowTest, F5DuringASaveDoesNotReloadAgainAfterIt)
{
    WriteScript("m\n0\n1\nFlashWhite\n0\n5000\n");
    Start();
    testing::internal::CaptureStderr();
    WriteScript("m\n0\n1\nFlashWhite\n0\n6000\n");
    Frame(Key(&LiveKeys::reload));
    for (int i = 0; i < 10; ++i) {
        g_now += 0.05;
        Frame();
    }
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Count(err, "Reloaded data/demo.txt"), 1) << err;
}

TEST_F(LiveShowTest, TheReadoutCoversItsCornerOnlyAndLeavesNoTrace)
{
    show->effects.clear();
    WriteScript("m\n0\n1\nFlashWhite\n0\n5000\n");
    testing::internal::CaptureStderr();
    Start();
    Frame(Key(&LiveKeys::reload));
    testing::internal::GetCapturedStderr();
    g_now = 1;

    // The frame a plain run or --render draws at this time.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawEffects(show->effects, 1000, 0);
    const std::vector<Pixel> plain = ReadFrame();

    Frame();
    EXPECT_EQ(ReadFrame(), plain);

    Frame(Key(&LiveKeys::readout));
    ASSERT_TRUE(live->ReadoutShown());
    ExpectDefaultGlState();
    const std::vector<Pixel> shown = ReadFrame();
    Readout readout;
    const int width = readout.Width(show->effects, show->names, 1000);
    const int height = readout.Height(show->effects, 1000);
    ASSERT_LT(height, kHeight);
    bool cornerDrawn = false;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const size_t i = static_cast<size_t>(y * kWidth + x);
            if (x < width && y < height)
                cornerDrawn = cornerDrawn || shown[i] != plain[i];
            else
                ASSERT_EQ(shown[i], plain[i]) << x << "," << y;
        }
    EXPECT_TRUE(cornerDrawn);

    // Frames drawn after it, as --render draws them, are byte for byte the same.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawEffects(show->effects, 1000, 0);
    EXPECT_EQ(ReadFrame(), plain);
    Frame(Key(&LiveKeys::readout));
    EXPECT_FALSE(live->ReadoutShown());
    EXPECT_EQ(ReadFrame(), plain);
}

TEST(Readout, FormatsTimeAndMeasuresTheFrameRate)
{
    char text[24];
    FormatEffectTime(83456, text, sizeof text);
    EXPECT_STREQ(text, "1:23.456");
    FormatEffectTime(0, text, sizeof text);
    EXPECT_STREQ(text, "0:00.000");
    FormatEffectTime(-1500, text, sizeof text);
    EXPECT_STREQ(text, "-0:01.500");
    FormatEffectTime(-2147483647 - 1, text, sizeof text);
    EXPECT_STREQ(text, "-35791:23.648");

    Readout readout;
    EXPECT_EQ(readout.FramesPerSecond(), 0);
    for (uint32_t ms = 4294967000u; ms != 4294967000u + 600; ms += 20)  // across the clock's wrap
        readout.CountFrame(ms);
    EXPECT_NEAR(readout.FramesPerSecond(), 50, 0.01);
}

}  // namespace
