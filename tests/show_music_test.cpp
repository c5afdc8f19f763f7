#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "host/frame.h"
#include "media/music_stream.h"
#include "support/gl_fixture.h"

namespace {

constexpr double kBeatSeconds = 0.48;
constexpr int kBars = 88;

// Intro 0-7 and breakdown 48-59 and outro 84-87 have no kick; the build
// (8-23), the drop (24-47) and the finale (60-83) have one on every beat.
bool KickBar(int bar)
{
    return (bar >= 8 && bar < 48) || (bar >= 60 && bar < 84);
}

class ShowMusicTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        stream_ = new MusicStream;
        testing::internal::CaptureStderr();
        stream_->Open(SourcePath("data/music.ogg"));
        warnings_ = new std::string(testing::internal::GetCapturedStderr());
    }
    static void TearDownTestSuite()
    {
        delete stream_;
        delete warnings_;
    }

    static float BeatAt(double seconds)
    {
        stream_->SetPosition(stream_->SecondsToBytes(seconds));
        float spectrum[kSpectrumSize];
        stream_->Spectrum(spectrum);
        return BeatLevel(spectrum);
    }

    static MusicStream* stream_;
    static std::string* warnings_;
};

MusicStream* ShowMusicTest::stream_ = nullptr;
std::string* ShowMusicTest::warnings_ = nullptr;

TEST_F(ShowMusicTest, IsEightyEightBarsAt125Bpm)
{
    ASSERT_EQ(*warnings_, "") << "build the assets first";
    EXPECT_EQ(stream_->Rate(), 44100);
    EXPECT_EQ(stream_->Channels(), 2);
    EXPECT_EQ(stream_->LengthFrames(), 44100 * 16896 / 100);
}

// The show's beat level: near 1 just after every kick, near 0 between kicks
// and throughout the sections without a kick.
TEST_F(ShowMusicTest, BeatLevelFollowsTheKick)
{
    ASSERT_EQ(*warnings_, "");
    float weakestKick = 1, loudestGap = 0, loudestQuiet = 0;
    for (int bar = 0; bar < kBars; ++bar)
        for (int beat = 0; beat < 4; ++beat) {
            const double at = (bar * 4 + beat) * kBeatSeconds;
            if (KickBar(bar)) {
                weakestKick = std::min({weakestKick, BeatAt(at + 0.03), BeatAt(at + 0.06)});
                loudestGap = std::max({loudestGap, BeatAt(at + 0.25), BeatAt(at + 0.32), BeatAt(at + 0.42)});
            } else {
                for (double step = 0.0; step < kBeatSeconds; step += 0.06)
                    loudestQuiet = std::max(loudestQuiet, BeatAt(at + step));
            }
        }
    EXPECT_GT(weakestKick, 0.9f);
    EXPECT_LT(loudestGap, 0.05f);
    EXPECT_LT(loudestQuiet, 0.02f);
}

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The show goes on without its music: a warning naming the file, silent
// frames rendered all the same.
TEST(ShowWithoutMusicTest, RendersWithAWarning)
{
    const char* player = std::getenv("DEMO_PLAYER");
    if (!player)
        GTEST_SKIP() << "needs the player";
    const std::string dir = MakeTempDir();
    mkdir((dir + "/data").c_str(), 0755);
    mkdir((dir + "/data/overlay").c_str(), 0755);
    {
        std::ifstream loader(SourcePath("data/overlay/loader.jpg"), std::ios::binary);
        std::ofstream copy(dir + "/data/overlay/loader.jpg", std::ios::binary);
        copy << loader.rdbuf();
        std::ofstream script(dir + "/data/demo.txt");
        script << "data/no_such_music.ogg\n0\n0\n";
    }
    const std::string command = std::string("SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 '") + player +
                                "' -C '" + dir + "' --render 0:100:50 --out out --size 64x48 --no-gui 2>'" + dir +
                                "/stderr.txt'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string errors = ReadWhole(dir + "/stderr.txt");
    EXPECT_NE(errors.find("data/no_such_music.ogg"), std::string::npos) << errors;
    struct stat info;
    EXPECT_EQ(stat((dir + "/out/frame_0000050.png").c_str(), &info), 0);
}

}  // namespace
