// Capturing the show to a video file: the command line, the progress report,
// and the player end to end, checked by decoding what it wrote.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "host/capture/capture_progress.h"
#include "host/setup/options.h"
#include "support/held_frame.h"
#include "support/image_files.h"
#include "support/video_files.h"

extern char** environ;

namespace {

constexpr int kRate = 44100;

bool Parse(std::vector<const char*> args, PlayerOptions& o, std::string& error)
{
    args.insert(args.begin(), "player");
    return ParseOptions(static_cast<int>(args.size()), args.data(), o, error);
}

TEST(CaptureOptions, DefaultsAndRefusals)
{
    PlayerOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--capture", "show.mp4"}, o, error)) << error;
    EXPECT_TRUE(o.Captures());
    EXPECT_TRUE(o.SkipsDialog());
    EXPECT_EQ(o.captureFps, 60);
    EXPECT_EQ(o.captureFrom, 0);
    EXPECT_FALSE(o.captureTo.has_value());
    EXPECT_EQ(o.width, 1280);
    EXPECT_EQ(o.height, 720);

    PlayerOptions given;
    ASSERT_TRUE(Parse({"--capture", "a.mkv", "--fps", "25", "--from", "-100", "--to", "900", "--size", "320x240",
                       "--force"},
                      given, error))
        << error;
    EXPECT_EQ(given.captureFps, 25);
    EXPECT_EQ(given.captureFrom, -100);
    EXPECT_EQ(*given.captureTo, 900);
    EXPECT_EQ(given.width, 320);
    EXPECT_TRUE(given.force);
    EXPECT_EQ(given.captureCodec, "h264");

    PlayerOptions ntsc;
    ASSERT_TRUE(Parse({"--capture", "a.mov", "--fps", "30000/1001", "--codec", "prores"}, ntsc, error)) << error;
    EXPECT_EQ(ntsc.captureFps, 30000);
    EXPECT_EQ(ntsc.captureFpsBase, 1001);
    EXPECT_EQ(ntsc.captureCodec, "prores");

    // Batch runs never wait on a message box; a live run keeps it.
    for (const auto& args : std::vector<std::vector<const char*>>{
             {"--capture", "a.mp4"}, {"--render", "0:10:1", "--out", "x"}, {"--times", "t", "--out", "x"}, {"--check"}}) {
        PlayerOptions batch;
        ASSERT_TRUE(Parse(args, batch, error)) << error;
        EXPECT_TRUE(batch.noGui) << args[0];
    }
    PlayerOptions live;
    ASSERT_TRUE(Parse({"--windowed"}, live, error));
    EXPECT_FALSE(live.noGui);

    const std::vector<std::vector<const char*>> bad = {
        {"--capture", "a.mp4", "--fps", "0"},
        {"--capture", "a.mp4", "--fps", "ten"},
        {"--capture", "a.mp4", "--fps", "30000/0"},
        {"--capture", "a.mp4", "--fps", "1/2"},
        {"--capture", "a.mp4", "--fps", "30000/"},
        {"--capture", "a.mp4", "--codec", "vp9"},
        {"--codec", "ffv1"},
        {"--capture", "a.mp4", "--from", "500", "--to", "500"},
        {"--capture", "a.mp4", "--render", "0:10:1", "--out", "x"},
        {"--fps", "30"},
        {"--force"},
        {"--capture"},
    };
    for (const auto& args : bad) {
        PlayerOptions rejected;
        error.clear();
        EXPECT_FALSE(Parse(args, rejected, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

std::string Collect(bool terminal, int total)
{
    char* text = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    CaptureProgress progress(out, total, terminal);
    for (int done = 1; done <= total; ++done)
        progress.Update(done, done * 0.1);
    progress.Done();
    std::fclose(out);
    const std::string result(text, size);
    std::free(text);
    return result;
}

TEST(CaptureProgressTest, TenLinesOffATerminalAndOneRewrittenLineOnIt)
{
    char line[128];
    FormatProgress(line, sizeof line, 45, 90, 4.5);
    EXPECT_STREQ(line, "Capture  50%  45/90 frames  10.0 fps  0:05 left");
    FormatProgress(line, sizeof line, 0, 7200, 0);
    EXPECT_STREQ(line, "Capture   0%  0/7200 frames  0.0 fps  0:00 left");

    const std::string piped = Collect(false, 95);
    int lines = 0;
    for (char c : piped)
        lines += c == '\n';
    EXPECT_EQ(lines, 10) << piped;
    EXPECT_NE(piped.find("Capture  10%  10/95 frames"), std::string::npos) << piped;
    EXPECT_NE(piped.find("Capture 100%  95/95 frames  10.0 fps  0:00 left\n"), std::string::npos) << piped;
    EXPECT_EQ(piped.find('\r'), std::string::npos);

    const std::string terminal = Collect(true, 95);
    EXPECT_NE(terminal.find("\rCapture 100%  95/95 frames"), std::string::npos);
    EXPECT_EQ(terminal.back(), '\n');
    EXPECT_EQ(terminal.find('\n'), terminal.size() - 1) << "one line, rewritten in place";
}

// The test music: quiet noise that makes the cross-correlation sharp, and a
// low thump every 500 ms that moves the beat level.
std::vector<float> TestMusic(double seconds)
{
    std::vector<float> music(static_cast<size_t>(seconds * kRate));
    uint32_t state = 12345;
    for (size_t i = 0; i < music.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        const float noise = (static_cast<float>(state >> 8) / 16777216.0f - 0.5f) * 0.4f;
        const double inBeat = std::fmod(static_cast<double>(i) / kRate, 0.5);
        const float thump = inBeat < 0.12 ? 0.6f * static_cast<float>(std::sin(2 * M_PI * 60 * inBeat)) : 0.0f;
        music[i] = noise + thump;
    }
    return music;
}

void WriteMusic(const std::string& path, const std::vector<float>& music)
{
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    std::vector<float> stereo;
    for (float s : music) {
        stereo.push_back(s);
        stereo.push_back(-s);
    }
    sf_writef_float(file, stereo.data(), static_cast<sf_count_t>(music.size()));
    sf_close(file);
}

// A picture with smooth detail, so a picture off by a frame shows.
void WritePattern(const std::string& path)
{
    const int size = 64;
    std::vector<unsigned char> rgba;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Detail in brightness, gentle colour: what 4:2:0 video keeps.
            const double light = 110 + 90 * std::sin(x * 0.4) * std::cos(y * 0.3);
            rgba.push_back(static_cast<unsigned char>(light + x / 2));
            rgba.push_back(static_cast<unsigned char>(light));
            rgba.push_back(static_cast<unsigned char>(light + y / 2));
            rgba.push_back(220);
        }
    }
    WriteImage(path, size, size, rgba);
}

class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        player_ = std::getenv("DEMO_PLAYER");
        if (!player_)
            GTEST_SKIP() << "needs the player";
        dir_ = MakeTempDir();
        mkdir((dir_ + "/data").c_str(), 0755);
    }

    void WriteScript(const std::string& script) { std::ofstream(dir_ + "/data/demo.txt") << script; }

    // Runs the player in the show folder; returns its exit code. The shell
    // prefix may set limits; a run that would wait on a person ends after a
    // minute with code 124.
    int Run(const std::string& args, const std::string& prefix = "", const char* gui = "--no-gui")
    {
        const std::string command = prefix + " SDL_AUDIODRIVER=dummy timeout 120 '" + player_ + "' -C '" + dir_ +
                                    "' " + gui + " " + args + " 2>'" + dir_ + "/stderr.txt' >'" + dir_ + "/stdout.txt'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string Errors() const
    {
        std::ifstream in(dir_ + "/stderr.txt");
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    bool Exists(const std::string& name) const
    {
        struct stat info;
        return stat((dir_ + "/" + name).c_str(), &info) == 0;
    }

    const char* player_ = nullptr;
    std::string dir_;
};

// Peak signal-to-noise ratio of a decoded RGB picture against a PNG written by --render.
double Psnr(const std::vector<unsigned char>& rgb, const std::string& png)
{
    int w = 0, h = 0;
    const auto rgba = ReadImage(png, w, h);
    if (rgba.empty() || rgb.size() != static_cast<size_t>(w) * h * 3)
        return 0;
    double sum = 0;
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i)
        for (int c = 0; c < 3; ++c) {
            const double d = static_cast<double>(rgb[i * 3 + c]) - rgba[i * 4 + c];
            sum += d * d;
        }
    const double mse = sum / (static_cast<double>(w) * h * 3);
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// The lag in samples at which the sound best matches the music, searched
// within +-limit, over one second starting `at` samples into the sound.
int BestLag(const std::vector<float>& sound, const std::vector<float>& music, long musicAtSoundStart, int at,
            int limit, double& correlation)
{
    int best = 0;
    double bestSum = -1e30, bestNorm = 1;
    for (int lag = -limit; lag <= limit; ++lag) {
        double sum = 0, a2 = 0, b2 = 0;
        for (int i = at; i < at + kRate; ++i) {
            const long m = musicAtSoundStart + i + lag;
            const double a = sound[static_cast<size_t>(i)];
            const double b = m >= 0 && m < static_cast<long>(music.size()) ? music[static_cast<size_t>(m)] : 0;
            sum += a * b;
            a2 += a * a;
            b2 += b * b;
        }
        if (sum > bestSum) {
            bestSum = sum;
            best = lag;
            bestNorm = std::sqrt(a2 * b2);
        }
    }
    correlation = bestNorm > 0 ? bestSum / bestNorm : 0;
    return best;
}

TEST_F(CaptureTest, Mp4HoldsTheRenderedFramesAndTheMusicInStep)
{
    const std::vector<float> music = TestMusic(5);
    WriteMusic(dir_ + "/data/music.wav", music);
    WritePattern(dir_ + "/data/pattern.png");
    WriteScript("data/music.wav\n0\n3\nFlashWhite\n0\n4000\nAlphaBlendImage\n0\n-1\ndata/pattern.png\nBEATCENTER\n"
                "AlphaBlendImage\n0\n4000\ndata/pattern.png\nLEFT\n");
    ASSERT_EQ(Run("--capture out.mp4 --fps 30 --from 500 --to 3500 --size 320x240"), 0) << Errors();
    EXPECT_FALSE(Exists("out.mp4.part"));
    EXPECT_NE(Errors().find("Captured 90 frames (3.00 s) into out.mp4"), std::string::npos) << Errors();

    const DecodedVideo video = DecodeVideo(dir_ + "/out.mp4", true);
    ASSERT_TRUE(video.opened);
    EXPECT_NE(video.format.find("mp4"), std::string::npos);
    EXPECT_EQ(video.videoCodec, "h264");
    EXPECT_EQ(video.width, 320);
    EXPECT_EQ(video.height, 240);
    EXPECT_DOUBLE_EQ(video.frameRate, 30);
    ASSERT_EQ(video.frameCount, 90);

    // Frame k is the show at effect time 500 + k * 1000 / 30, beat included.
    for (int k : {0, 44, 89}) {
        const int t = 500 + k * 1000 / 30;
        ASSERT_EQ(Run("--render " + std::to_string(t) + ":" + std::to_string(t + 1) + ":1 --out frames --size 320x240"),
                  0);
        char name[64];
        std::snprintf(name, sizeof name, "/frames/frame_%07d.png", t);
        EXPECT_GE(Psnr(video.pictures[static_cast<size_t>(k)], dir_ + name), 35.0) << "frame " << k;
    }
    // A neighbouring time is told apart, so the check above means something.
    EXPECT_LT(Psnr(video.pictures[43], dir_ + "/frames/frame_0001966.png"), 35.0);

    EXPECT_EQ(video.audioCodec, "aac");
    EXPECT_EQ(video.sampleRate, kRate);
    EXPECT_EQ(video.channels, 2);
    const double soundEnd = video.soundStart + static_cast<double>(video.sound.size()) / kRate;
    EXPECT_NEAR(soundEnd, 3.0, 1024.0 / kRate);
    ASSERT_GT(video.sound.size(), static_cast<size_t>(2.5 * kRate));
    // The sound heard with the first picture is the music at 500 ms.
    const long musicAtSoundStart = std::lround((0.5 + video.soundStart) * kRate);
    double correlation = 0;
    const int lag = BestLag(video.sound, music, musicAtSoundStart, kRate, kRate / 20, correlation);
    EXPECT_LE(std::abs(lag), kRate * 2 / 1000);
    EXPECT_GT(correlation, 0.9);
}

TEST_F(CaptureTest, MatroskaEndsAtTheEndOfShowAndIsSilentWithoutMusic)
{
    WriteScript("data/missing.ogg\n0\n2\nFlashWhite\n0\n3000\nEndDemo\n1000\n-1\n");
    // Without --to the capture stops where the end-of-show entry starts.
    ASSERT_EQ(Run("--capture out.mkv --fps 30 --size 320x240"), 0) << Errors();
    EXPECT_NE(Errors().find("data/missing.ogg"), std::string::npos) << "the usual warning";
    DecodedVideo video = DecodeVideo(dir_ + "/out.mkv", false);
    ASSERT_TRUE(video.opened);
    EXPECT_NE(video.format.find("matroska"), std::string::npos);
    EXPECT_EQ(video.videoCodec, "h264");
    EXPECT_EQ(video.frameCount, 30);

    // Past it, "End of show" finishes the file like the end of the range:
    // every frame up to the one at 1000 ms is kept.
    ASSERT_EQ(Run("--capture out.mkv --fps 30 --size 320x240 --to 5000 --force"), 0) << Errors();
    video = DecodeVideo(dir_ + "/out.mkv", false);
    EXPECT_EQ(video.frameCount, 31);
    EXPECT_EQ(video.audioCodec, "aac");
    ASSERT_FALSE(video.sound.empty());
    float loudest = 0;
    for (float s : video.sound)
        loudest = std::max(loudest, std::fabs(s));
    EXPECT_LT(loudest, 1e-3f);
    EXPECT_NEAR(video.soundStart + static_cast<double>(video.sound.size()) / kRate, 31.0 / 30, 1024.0 / kRate);
    // Sound and pictures start together, for editors that ignore start times.
    EXPECT_NEAR(video.soundStart, 0, 1e-3);
}

TEST_F(CaptureTest, MatroskaSoundIsInStepWhetherStartTimesAreReadOrNot)
{
    const std::vector<float> music = TestMusic(4);
    WriteMusic(dir_ + "/data/music.wav", music);
    WriteScript("data/music.wav\n0\n1\nFlashWhite\n0\n4000\n");
    ASSERT_EQ(Run("--capture out.mkv --fps 30 --from 500 --to 3500 --size 64x48"), 0) << Errors();
    const DecodedVideo video = DecodeVideo(dir_ + "/out.mkv", false);
    EXPECT_NEAR(video.soundStart, 0, 1e-3);
    // Decoded sample j, counted from the first, is the music at 500 ms + j.
    double correlation = 0;
    const int lag = BestLag(video.sound, music, kRate / 2, kRate, kRate / 20, correlation);
    EXPECT_LE(std::abs(lag), kRate * 2 / 1000);
    EXPECT_GT(correlation, 0.9);
}

TEST_F(CaptureTest, AnErrorKeepsTheFramesSoFar)
{
    // The plug-in throws in its first frame, after 500 ms.
    WriteScript(std::string("m\n0\n2\nFlashWhite\n0\n2000\nPlugin\n500\n-1\n") + TEST_PLUGIN_DIR +
                "/libtest_plugin_throws.so\n");
    EXPECT_EQ(Run("--capture broken.mp4 --fps 30 --size 64x48 --to 2000"), 1);
    EXPECT_NE(Errors().find("Exception: Unknown error\n"), std::string::npos) << Errors();
    EXPECT_FALSE(Exists("broken.mp4.part"));
    const DecodedVideo video = DecodeVideo(dir_ + "/broken.mp4", false);
    ASSERT_TRUE(video.opened);
    EXPECT_EQ(video.frameCount, 16);  // t = 0 .. 500
}

TEST_F(CaptureTest, RefusesBeforeWritingAnything)
{
    WriteScript("m\n0\n1\nFlashWhite\n0\n1000\n");
    std::ofstream(dir_ + "/kept.mp4") << "precious";
    // Without --no-gui too: a batch run never waits on a message box.
    EXPECT_EQ(Run("--capture kept.mp4 --size 64x48 --to 500", "", ""), 1);
    EXPECT_NE(Errors().find("kept.mp4 exists already; --force replaces it"), std::string::npos) << Errors();
    std::ifstream kept(dir_ + "/kept.mp4");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), std::istreambuf_iterator<char>()), "precious");

    EXPECT_EQ(Run("--capture show.avi --size 64x48 --to 500", "", ""), 1);
    EXPECT_NE(Errors().find("the name must end in .mp4 or .mkv"), std::string::npos) << Errors();
    EXPECT_FALSE(Exists("show.avi"));

    // Wider than any offscreen target of Mesa's (the X window's bound is in headless_frames_test).
    EXPECT_EQ(Run("--headless --capture big.mp4 --size 32000x1000 --to 500", "", ""), 1);
    EXPECT_NE(Errors().find("Size 32000x1000 is larger than this OpenGL draws offscreen (at most "), std::string::npos)
        << Errors();
    EXPECT_EQ(Run("--capture odd.mp4 --size 65x48 --to 500"), 1);
    EXPECT_NE(Errors().find("even width and height"), std::string::npos) << Errors();
    for (const char* name : {"big.mp4", "big.mp4.part", "odd.mp4", "odd.mp4.part", "show.avi.part"})
        EXPECT_FALSE(Exists(name)) << name;

    // Found before the show loads (the missing music would be reported then).
    WriteScript("data/missing.ogg\n0\n1\nFlashWhite\n0\n1000\n");
    EXPECT_EQ(Run("--capture nowhere/out.mp4 --size 64x48 --to 500", "", ""), 1);
    EXPECT_NE(Errors().find("Unable to capture to nowhere/out.mp4: there is no folder nowhere"), std::string::npos)
        << Errors();
    EXPECT_EQ(Errors().find("missing.ogg"), std::string::npos) << Errors();
    EXPECT_EQ(Run("--capture out.mp4 --codec ffv1 --size 64x48 --to 500"), 1);
    EXPECT_NE(Errors().find("ffv1 video does not go into a .mp4 file; use .mkv"), std::string::npos) << Errors();
    EXPECT_FALSE(Exists("out.mp4.part"));
}

TEST_F(CaptureTest, NamesAreFileNamesWhateverColonsTheyHold)
{
    WriteScript("m\n0\n1\nFlashWhite\n0\n1000\n");
    for (const char* name : {"take:2.mkv", "pipe:1.mkv"}) {
        ASSERT_EQ(Run(std::string("--capture ") + name + " --size 64x48 --fps 10 --to 500"), 0) << Errors();
        EXPECT_EQ(DecodeVideo(dir_ + "/" + name, false).frameCount, 5) << name;
    }
    std::ifstream out(dir_ + "/stdout.txt");
    EXPECT_EQ(out.peek(), std::ifstream::traits_type::eof()) << "nothing on standard output";
}

TEST_F(CaptureTest, RationalRatesAndCodecsForEditing)
{
    WritePattern(dir_ + "/data/pattern.png");
    WriteScript("m\n0\n1\nAlphaBlendImage\n0\n-1\ndata/pattern.png\nLEFT\n");
    ASSERT_EQ(Run("--capture ntsc.mp4 --fps 30000/1001 --size 160x120 --to 1000"), 0) << Errors();
    DecodedVideo video = DecodeVideo(dir_ + "/ntsc.mp4", false);
    EXPECT_DOUBLE_EQ(video.frameRate, 30000.0 / 1001);
    EXPECT_EQ(video.frameCount, 30);  // 0, 33.4, ... 967.6 ms
    EXPECT_NE(Errors().find("Captured 30 frames (1.00 s)"), std::string::npos) << Errors();

    ASSERT_EQ(Run("--render 300:301:1 --out frames --size 160x120"), 0) << Errors();
    struct Case {
        const char* file;
        const char* codec;
        const char* decoder;
        double psnr;
    } cases[] = {{"lossless.mp4", "h264-lossless", "h264", 45},
                 {"lossless.mkv", "ffv1", "ffv1", 45},
                 {"edit.mov", "prores", "prores", 40}};
    for (const Case& c : cases) {
        ASSERT_EQ(Run(std::string("--capture ") + c.file + " --codec " + c.codec + " --fps 10 --size 160x120 --to 400"),
                  0)
            << Errors();
        video = DecodeVideo(dir_ + "/" + c.file, true);
        EXPECT_EQ(video.videoCodec, c.decoder) << c.codec;
        EXPECT_EQ(video.audioCodec, "aac") << c.codec;
        ASSERT_EQ(video.frameCount, 4) << c.codec;
        EXPECT_GE(Psnr(video.pictures[3], dir_ + "/frames/frame_0000300.png"), c.psnr) << c.codec;
    }
}

TEST_F(CaptureTest, AWriteErrorLeavesNoFileThatDoesNotPlay)
{
    WritePattern(dir_ + "/data/pattern.png");
    WriteMusic(dir_ + "/data/music.wav", TestMusic(60));
    WriteScript("data/music.wav\n0\n1\nAlphaBlendImage\n0\n-1\ndata/pattern.png\nBEATCENTER\n");
    // A file size limit, as a nearly full disk. An MP4 without its index
    // does not play.
    EXPECT_EQ(Run("--capture big.mp4 --size 320x240 --to 60000", "ulimit -f 1000;"), 1) << Errors();
    EXPECT_NE(Errors().find("File too large"), std::string::npos) << Errors();
    EXPECT_NE(Errors().find("big.mp4.part could not be played and is removed"), std::string::npos) << Errors();
    EXPECT_FALSE(Exists("big.mp4.part"));
    EXPECT_FALSE(Exists("big.mp4"));
    // Nor does Matroska without a whole cluster.
    EXPECT_EQ(Run("--capture tiny.mkv --size 320x240 --to 60000", "ulimit -f 20;"), 1) << Errors();
    EXPECT_NE(Errors().find("tiny.mkv.part could not be played and is removed"), std::string::npos) << Errors();
    EXPECT_FALSE(Exists("tiny.mkv.part"));

    // Whole clusters of Matroska play.
    EXPECT_EQ(Run("--capture cut.mkv --size 320x240 --to 60000", "ulimit -f 1000;"), 1) << Errors();
    EXPECT_NE(Errors().find("cut.mkv.part is left unfinished"), std::string::npos) << Errors();
    EXPECT_FALSE(Exists("cut.mkv"));
    const DecodedVideo video = DecodeVideo(dir_ + "/cut.mkv.part", false);
    EXPECT_GE(video.frameCount, 60);
    EXPECT_EQ(video.audioCodec, "aac");
}

// Starts a capture of the pattern show in the background, as FILE at 30
// frames per second up to TO, and waits until it is held in frame 31 (1033 ms,
// the first after the holding plug-in's start): whatever the test does next
// falls into that frame, whatever the machine's speed. The capture runs
// without --no-gui (batch runs never open a box) on the given X display, or
// else on the test's. ReleaseHeldFrame(dir + "/hold") lets it go on. -1 when
// it did not start or never reached the frame.
pid_t StartCapture(const char* player, const std::string& dir, const char* file, const char* to,
                   const std::string& display = "")
{
    WritePattern(dir + "/data/pattern.png");
    std::remove((dir + "/hold").c_str());  // the FIFO of a capture before
    std::ofstream(dir + "/data/demo.txt") << "none.ogg\n0\n2\nAlphaBlendImage\n0\n-1\ndata/pattern.png\nLEFT\n" +
                                                 HoldingEntry(TEST_PLUGIN_DIR, 1000, dir + "/hold");
    const std::string errors = dir + "/stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const char* argv[] = {player, "-C", dir.c_str(), "--capture", file, "--fps", "30", "--size",
                          "160x120", "--to", to, nullptr};
    if (!display.empty())
        setenv("DISPLAY", display.c_str(), 1);
    pid_t pid = 0;
    if (posix_spawn(&pid, player, &actions, nullptr, const_cast<char**>(argv), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (pid > 0 && !WaitForText(errors, "Holding frame at 1033")) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
    return pid;
}

TEST_F(CaptureTest, InterruptFinishesThePlayableFile)
{
    // SIGHUP (a closed terminal) counts as SIGTERM does.
    for (int signal : {SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        const pid_t pid = StartCapture(player_, dir_, "cut.mp4", "100000");
        ASSERT_GT(pid, 0) << Errors();
        kill(pid, signal);
        ReleaseHeldFrame(dir_ + "/hold");
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status)) << Errors();
        EXPECT_EQ(WEXITSTATUS(status), 128 + signal) << Errors();
        EXPECT_NE(Errors().find("Capture stopped:"), std::string::npos) << Errors();
        EXPECT_FALSE(Exists("cut.mp4.part"));
        const DecodedVideo video = DecodeVideo(dir_ + "/cut.mp4", false);
        ASSERT_TRUE(video.opened);
        EXPECT_EQ(video.frameCount, 32);  // the held frame is the last
        EXPECT_EQ(video.audioCodec, "aac");
        std::remove((dir_ + "/cut.mp4").c_str());
    }
}

TEST_F(CaptureTest, ASecondSignalEndsTheRunAtOnce)
{
    const pid_t pid = StartCapture(player_, dir_, "hurry.mp4", "100000");
    ASSERT_GT(pid, 0);
    kill(pid, SIGINT);
    kill(pid, SIGTERM);
    ReleaseHeldFrame(dir_ + "/hold");
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << Errors();
    // Whichever of the two came second gives the code.
    EXPECT_TRUE(WEXITSTATUS(status) == 128 + SIGTERM || WEXITSTATUS(status) == 128 + SIGINT) << Errors();
    EXPECT_NE(Errors().find("Stopped at once; hurry.mp4.part holds what was written so far"), std::string::npos)
        << Errors();
    EXPECT_FALSE(Exists("hurry.mp4"));
}

TEST_F(CaptureTest, XWindowWhoseServerIsKilledEndsTheCaptureWithAPlayableFile)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "the capture draws offscreen without a display";
    // An X server of the test's own, started with the first free display number.
    int numbers[2];
    ASSERT_EQ(pipe(numbers), 0);
    const std::string fd = std::to_string(numbers[1]);
    // -noreset: SDL opens and closes the display once to probe it, and a
    // server that resets when its last client leaves may refuse the next.
    const char* xArgv[] = {"Xvfb", "-displayfd", fd.c_str(), "-noreset", "-screen", "0", "640x480x24", nullptr};
    pid_t server = 0;
    if (posix_spawnp(&server, "Xvfb", nullptr, nullptr, const_cast<char**>(xArgv), environ) != 0)
        GTEST_SKIP() << "needs Xvfb";
    // The server goes on every way out of the test: left running, it would
    // hold ctest's output pipe open and the run would wait for it.
    struct ServerGuard {
        pid_t pid;
        ~ServerGuard()
        {
            if (pid > 0) {
                kill(pid, SIGTERM);
                waitpid(pid, nullptr, 0);
            }
        }
    } guard{server};
    close(numbers[1]);
    char number[16] = "";
    const ssize_t got = read(numbers[0], number, sizeof number - 1);
    close(numbers[0]);
    ASSERT_GT(got, 0);
    const std::string testDisplay = std::getenv("DISPLAY");
    const pid_t pid = StartCapture(player_, dir_, "lost.mkv", "100000", ":" + std::string(number, strcspn(number, "\n")));
    setenv("DISPLAY", testDisplay.c_str(), 1);
    ASSERT_GT(pid, 0) << Errors();
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    guard.pid = 0;
    ReleaseHeldFrame(dir_ + "/hold");
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << Errors();
    EXPECT_EQ(WEXITSTATUS(status), 1) << Errors();
    EXPECT_NE(Errors().find("The display went away; finishing the capture"), std::string::npos) << Errors();
    EXPECT_FALSE(Exists("lost.mkv.part"));
    // Every frame up to the held one: a software renderer's frame is read
    // back from its own memory before the window, which is gone, shows it.
    EXPECT_EQ(DecodeVideo(dir_ + "/lost.mkv", false).frameCount, 32);
}

TEST_F(CaptureTest, AFileThatAppearsDuringTheCaptureIsKept)
{
    const pid_t pid = StartCapture(player_, dir_, "late.mkv", "20000");
    ASSERT_GT(pid, 0);
    std::ofstream(dir_ + "/late.mkv") << "precious";
    ReleaseHeldFrame(dir_ + "/hold");
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << Errors();
    EXPECT_EQ(WEXITSTATUS(status), 1) << Errors();
    EXPECT_NE(Errors().find("late.mkv appeared during the capture and is kept; the video is late.mkv.part"),
              std::string::npos)
        << Errors();
    std::ifstream kept(dir_ + "/late.mkv");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "precious");
    EXPECT_EQ(DecodeVideo(dir_ + "/late.mkv.part", false).frameCount, 600);
}

}  // namespace
