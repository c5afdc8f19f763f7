#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "effects/chaos_zoomer.h"
#include "effects/video.h"
#include "platform/demo_error.h"
#include "platform/shared_random.h"
#include "support/gl_fixture.h"
#include "support/image_files.h"
#include "video_writer.h"

namespace {

using Colour = std::array<float, 3>;

// Pass-through programs, so that pixels show the pictures as they are; the
// uniforms only take part so that they stay active.
const char kPlainShader[] =
    "uniform sampler2D tex; uniform float time; uniform float beat;\n"
    "void main() { gl_FragColor = texture2D(tex, gl_TexCoord[0].xy) * gl_Color;\n"
    "  if (time < -1.0 || beat < -1.0) gl_FragColor = vec4(0.5); }\n";
const char kPlainVideoShader[] =
    "uniform sampler2D tex; uniform float time; uniform float beat; uniform int idx;\n"
    "void main() { gl_FragColor = texture2D(tex, gl_TexCoord[0].xy) * gl_Color;\n"
    "  if (time < -1.0 || beat < -1.0 || idx < 0) gl_FragColor = vec4(0.5); }\n";

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

std::vector<unsigned char> TextureBytes(GLuint texture, int& width, int& height)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<unsigned char> bytes(static_cast<size_t>(width) * height * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return bytes;
}

std::vector<unsigned char> TextureBytes(GLuint texture)
{
    int width = 0, height = 0;
    return TextureBytes(texture, width, height);
}

float UniformValue(GLuint program, const char* name)
{
    float value = -1;
    glGetUniformfv(program, glGetUniformLocation(program, name), &value);
    return value;
}

// Beyond what every effect test checks: no framebuffer, program, culling or
// texture generation left behind.
void ExpectCleanState()
{
    ExpectDefaultGlState();
    GLint framebuffer = -1, program = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(framebuffer, WindowFramebuffer());
    EXPECT_EQ(program, 0);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
}

// --- Video ---------------------------------------------------------------

const Colour kFrameColours[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}, {0, 1, 1}, {1, 0, 1}};
constexpr int kFrames = 6;

// A show folder of its own: a video whose frames are pure colours in the top
// half and black below, a black frame picture and pass-through programs.
class VideoTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        const std::string dir = MakeTempDir();
        const std::string video = dir + "/data/vondo/video";
        ASSERT_EQ(system(("mkdir -p " + video).c_str()), 0);
        WriteVideo(video + "/Video.avi", "mjpeg", 80, 60, kFrames, 25, [](int frame, std::vector<uint8_t>& rgba) {
            for (int y = 0; y < 60; ++y)
                for (int x = 0; x < 80; ++x) {
                    uint8_t* p = &rgba[(static_cast<size_t>(y) * 80 + x) * 4];
                    for (int c = 0; c < 3; ++c)
                        p[c] = y < 30 ? static_cast<uint8_t>(kFrameColours[frame][c] * 255) : 0;
                    p[3] = 255;
                }
        });
        WriteSolidImage(video + "/frame.png", 8, 8, 0, 0, 0);
        WriteText(video + "/video.fs", kPlainVideoShader);
        WriteText(video + "/distort.fs", kPlainShader);
        ASSERT_EQ(chdir(dir.c_str()), 0);
    }

    // The top of the screen shows frame `frame` drawn by its colour over the
    // feedback picture: c * c + d * (1 - c); the bottom stays black.
    void ExpectFrameShown(int frame, const std::string& when, const Colour& under = {0, 0, 0})
    {
        SCOPED_TRACE(when);
        Colour c = kFrameColours[frame];
        for (int i = 0; i < 3; ++i)
            c[i] = c[i] * c[i] + under[i] * (1 - c[i]);
        ExpectPixelNear(kWidth / 2, 8, c[0], c[1], c[2], 14);
        ExpectPixelNear(kWidth / 2, kHeight - 8, 0, 0, 0, 14);
    }
};

TEST_F(VideoTest, ShowsOneFrameEvery40MsUprightAndLoops)
{
    const int loop = 40 * kFrames;
    // A fresh effect for each time, so that no feedback of earlier frames mixes in.
    for (int t : {25, 39, 41, 85, 199, loop, loop + 130, 7 * loop + 201}) {
        Effekter::Video video(0, 1000000);
        ASSERT_EQ(video.File().Length(), kFrames);
        glClear(GL_COLOR_BUFFER_BIT);
        video.Draw(t, 0.5f);
        ExpectCleanState();
        ExpectFrameShown((t / 40) % kFrames, "at " + std::to_string(t));
    }
}

TEST_F(VideoTest, FramesCloserThan21MsRepeatOnlyTheScreenPass)
{
    Effekter::Video video(0, 1000000);
    video.Draw(110, 0.2f);  // frame 2
    const std::vector<unsigned char> working = TextureBytes(video.WorkingTexture());
    const std::vector<unsigned char> picture = TextureBytes(video.VideoTexture());

    glClear(GL_COLOR_BUFFER_BIT);
    video.Draw(130, 0.7f);  // frame 3 is due, but 20 ms is not enough for an update
    ExpectCleanState();
    EXPECT_EQ(TextureBytes(video.WorkingTexture()), working);
    EXPECT_EQ(TextureBytes(video.VideoTexture()), picture) << "nothing was uploaded";
    ExpectFrameShown(2, "the repeated screen pass");
    EXPECT_FLOAT_EQ(UniformValue(video.DistortProgram(), "time"), 130);
    EXPECT_FLOAT_EQ(UniformValue(video.DistortProgram(), "beat"), 0.7f);

    video.Draw(131, 0.7f);
    ExpectFrameShown(3, "the next update", kFrameColours[2]);
    EXPECT_FLOAT_EQ(UniformValue(video.VideoProgram(), "time"), 0.131f);
    GLint idx = -1;
    glGetUniformiv(video.VideoProgram(), glGetUniformLocation(video.VideoProgram(), "idx"), &idx);
    EXPECT_EQ(idx, 0);
}

TEST_F(VideoTest, AMissingVideoEndsConstructionWithTheMessage)
{
    ASSERT_EQ(std::remove("data/vondo/video/Video.avi"), 0);
    try {
        Effekter::Video video(0, 1000);
        ADD_FAILURE() << "no error";
    } catch (const DemoError& e) {
        EXPECT_STREQ(e.what(), "Error reading AVI");
    }
}

// --- ChaosZoomer ---------------------------------------------------------

// The default show's own pictures, model and program.
class ChaosZoomerTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        ASSERT_EQ(chdir(SourcePath(".").c_str()), 0);
    }
};

TEST_F(ChaosZoomerTest, EverySceneLeavesTheDefaultStateAndTheSceneIsSharedByAllInstances)
{
    EXPECT_EQ(Effekter::ChaosZoomer::SceneNumber(), 3) << "the scene before any switch";
    Effekter::ChaosZoomer zoomer(0, 1000000);
    for (int scene = 0; scene < 4; ++scene) {
        Effekter::ChaosZoomer::SceneNumber() = scene;
        zoomer.Draw(1000 + 100 * scene, 0.8f);
        SCOPED_TRACE("scene " + std::to_string(scene));
        ExpectCleanState();
    }
    // Every five seconds a scene from the shared generator: rand() & 3.
    SeedRandom(4242);
    const int first = NextRandom() & 3;
    const int second = NextRandom() & 3;
    SeedRandom(4242);
    zoomer.Draw(5001, 0.5f);
    EXPECT_EQ(Effekter::ChaosZoomer::SceneNumber(), first);
    zoomer.Draw(10001, 0.5f);
    EXPECT_EQ(Effekter::ChaosZoomer::SceneNumber(), first) << "exactly 5000 ms is not yet a switch";
    zoomer.Draw(10002, 0.5f);
    EXPECT_EQ(Effekter::ChaosZoomer::SceneNumber(), second);
    ExpectCleanState();

    Effekter::ChaosZoomer another(0, 1000000);
    EXPECT_EQ(Effekter::ChaosZoomer::SceneNumber(), second);
}

TEST_F(ChaosZoomerTest, FramesCloserThan21MsShowTheSameFeedbackPicture)
{
    Effekter::ChaosZoomer zoomer(0, 1000000);
    Effekter::ChaosZoomer::SceneNumber() = 0;
    for (int t = 1000; t <= 3000; t += 40)
        zoomer.Draw(t, 0.6f);
    const std::vector<unsigned char> working = TextureBytes(zoomer.WorkingTexture());
    int lit = 0;
    for (size_t i = 0; i < working.size(); i += 4)
        lit += working[i] + working[i + 1] + working[i + 2] > 60;
    EXPECT_GT(lit, 50) << "the flowers left their trails";

    zoomer.Draw(3020, 0.3f);
    EXPECT_EQ(TextureBytes(zoomer.WorkingTexture()), working);
    EXPECT_FLOAT_EQ(UniformValue(zoomer.SplitProgram(), "time"), 3020);
    EXPECT_FLOAT_EQ(UniformValue(zoomer.SplitProgram(), "beat"), 0.3f);
    zoomer.Draw(3041, 0.3f);
    EXPECT_NE(TextureBytes(zoomer.WorkingTexture()), working);
}

// A show folder whose portraits are pure colours, to see which one is drawn.
class ChaosSceneTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        const std::string dir = MakeTempDir();
        const std::string misc = dir + "/data/misc";
        ASSERT_EQ(system(("mkdir -p " + misc).c_str()), 0);
        WriteSolidImage(misc + "/tov.jpg", 8, 8, 255, 0, 0);
        WriteSolidImage(misc + "/mig.jpg", 8, 8, 0, 255, 0);
        WriteSolidImage(misc + "/bust.jpg", 8, 8, 0, 0, 255);
        WriteSolidImage(misc + "/quell.jpg", 8, 8, 255, 255, 255);
        WriteSolidImage(misc + "/twist.jpg", 8, 8, 255, 255, 255);
        WriteText(misc + "/split.txt", kPlainShader);
        ASSERT_EQ(chdir(dir.c_str()), 0);
    }
};

TEST_F(ChaosSceneTest, PortraitSpinShowsTovMigBustQuellInSwitchOrder)
{
    Effekter::ChaosZoomer zoomer(0, 10000000);
    const Colour expected[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}, {1, 0, 0}};
    for (int k = 0; k < 5; ++k) {
        const int switchTime = k * 5001;
        if (k > 0)
            zoomer.Draw(switchTime, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        zoomer.PortraitSpin(switchTime + 700, 0);  // after the half-second fade-in
        SCOPED_TRACE("switch " + std::to_string(k));
        ExpectCleanState();
        const Colour& c = expected[k];
        ExpectPixelNear(kWidth / 2, kHeight / 2, c[0], c[1], c[2], 6);
        ExpectPixelNear(2, 2, 0, 0, 0, 2);
    }
}

TEST_F(ChaosSceneTest, TwistLayersWithoutBeatLeaveThePictureUnchanged)
{
    Effekter::ChaosZoomer zoomer(0, 10000000);
    FillScreen(0.2f, 0.5f, 0.8f);
    zoomer.TwistLayers(1000, 0);
    ExpectCleanState();
    for (int x : {0, kWidth / 3, kWidth / 2, kWidth - 1})
        ExpectPixelNear(x, kHeight / 2, 0.2f, 0.5f, 0.8f, 2);
    // With a full beat the white layers show: c * c + d * (1 - c) with c = 1.01.
    zoomer.TwistLayers(1000, 1);
    ExpectPixelNear(kWidth / 2, kHeight / 2, 1, 1, 1, 2);
}

}  // namespace
