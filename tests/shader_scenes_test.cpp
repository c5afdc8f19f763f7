#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <fstream>
#include <memory>
#include <set>
#include <string>

#include "effects/draw_cube.h"
#include "effects/shader_scenes.h"
#include "render/screen.h"
#include "render/texture.h"
#include "support/image_files.h"
#include "support/scene_state.h"
#include "effects/effect_factory.h"

namespace {

using ShaderSceneTest = ShowDataTest;

std::array<float, 4> Uniform(GLuint program, const char* name)
{
    std::array<float, 4> value{-1, -1, -1, -1};
    glGetUniformfv(program, glGetUniformLocation(program, name), value.data());
    return value;
}

TEST_F(ShaderSceneTest, DrawCubeFillsEveryFaceWithTheWholeTextureOnce)
{
    // Four texels of their own colour: a face showing the texture once shows
    // all four, one in each quarter.
    const unsigned char texels[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 0, 255};
    CTexture texture;
    ImageRecord image;
    image.pixels = texels;
    image.width = 2;
    image.height = 2;
    image.clamp = true;
    image.noMipmap = true;
    texture.Upload(image);

    // An orthographic box of -1..1 that DrawCube(1) fills exactly from every side.
    const float turns[][4] = {{0, 0, 1, 0}, {180, 0, 1, 0}, {90, 1, 0, 0}, {-90, 1, 0, 0}, {-90, 0, 1, 0}, {90, 0, 1, 0}};
    for (const auto& turn : turns) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1, 1, -1, 1, -3, 3);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotatef(turn[0], turn[1], turn[2], turn[3]);
        glEnable(GL_DEPTH_TEST);
        glBindTexture(GL_TEXTURE_2D, texture.texture);
        Effekter::DrawCube(1);
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_DEPTH_TEST);

        std::set<Pixel> quarters;
        for (int qy = 0; qy < 2; ++qy)
            for (int qx = 0; qx < 2; ++qx)
                quarters.insert(ReadPixel(kWidth / 4 + qx * kWidth / 2, kHeight / 4 + qy * kHeight / 2));
        EXPECT_EQ(quarters.size(), 4u) << "turned " << turn[0] << " about " << turn[1] << turn[2] << turn[3];
        for (int x : {0, kWidth - 1})
            for (int y : {0, kHeight - 1})
                EXPECT_GT(ReadPixel(x, y)[3], 0) << "corner " << x << "," << y << " not covered";
    }
    // The last face set (left) leaves its normal current: half length.
    GLfloat normal[4];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_FLOAT_EQ(normal[0], -0.5f);
    EXPECT_FLOAT_EQ(normal[1], 0);
    EXPECT_FLOAT_EQ(normal[2], 0);
    ResetPerspective();
    glColor4f(1, 1, 1, 1);
    ExpectSceneStateRestored();
}

TEST_F(ShaderSceneTest, MirrorClearsWhatEarlierEntriesDrewAndSendsSeconds)
{
    Effekter::Mirror mirror(0, 100000);
    // A red screen and a near depth: without both clears the cube would be
    // hidden behind the old depth and the red would stay.
    FillScreen(1, 0, 0);
    FillDepth(0.5f);
    mirror.Draw(12345, 0.5f);
    ExpectSceneStateRestored();
    int drawn = 0;
    for (int y = 0; y < kHeight; y += 6)
        for (int x = 0; x < kWidth; x += 6) {
            const Pixel p = ReadPixel(x, y);
            EXPECT_FALSE(p[0] == 255 && p[1] == 0 && p[2] == 0) << "red left at " << x << "," << y;
            drawn += DepthAt(x, y) < 1.0f;
        }
    EXPECT_GT(drawn, 0) << "no cube";
    EXPECT_FLOAT_EQ(Uniform(mirror.Program(), "time")[0], 12.345f);
}

// A data folder of its own for ShaderSuite3D: the show's model, a white
// environment and a plain program that lights every pass the same, so that
// what shows does not hang on the show's pictures.
class ShaderSuiteTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        const std::string dir = MakeTempDir();
        MakeParentFolders(dir + "/data/rubber/x");
        std::ifstream model(SourcePath("data/rubber/simple.3ds"), std::ios::binary);
        std::ofstream(dir + "/data/rubber/simple.3ds", std::ios::binary) << model.rdbuf();
        WriteSolidImage(dir + "/data/rubber/env.jpg", 4, 4, 255, 255, 255);
        WriteTextFile(dir + "/data/suite/vs.txt",
                      "#version 110\nvoid main() { gl_TexCoord[0] = gl_MultiTexCoord0; gl_Position = ftransform(); }\n");
        WriteTextFile(dir + "/data/suite/fs.txt",
                      "#version 110\nuniform float step; uniform float time;\n"
                      "void main() { gl_FragColor = vec4(vec3(0.5 + 0.01 * step + 0.001 * fract(time)), 1.0); }\n");
        ASSERT_EQ(chdir(dir.c_str()), 0);
    }
};

TEST_F(ShaderSuiteTest, ShaderSuite3DEndsOnStep095AndLeavesDepthWritesOn)
{
    Effekter::ShaderSuite3D suite(10000, 40000);
    for (int t : {10001, 21250, 39900}) {
        suite.Draw(t, 0.5f);
        ExpectSceneStateRestored();
        // The twenty passes set step to 0, 0.05, ... 0.95: the last one stays.
        EXPECT_FLOAT_EQ(Uniform(suite.Program(), "step")[0], 0.95f);
        EXPECT_FLOAT_EQ(Uniform(suite.Program(), "time")[0], static_cast<float>(t) / 1000);
    }
    // The host's clear works again after the effect.
    FillDepth(0.25f);
    glClear(GL_DEPTH_BUFFER_BIT);
    EXPECT_FLOAT_EQ(DepthAt(kWidth / 2, kHeight / 2), 1.0f);
}

TEST_F(ShaderSuiteTest, ShaderSuite3DCrossesTheMiddleAt11250MsAndLiftsAwayAtTheEnds)
{
    // The model moves right at one unit per 75 ms from x -150, 500 units away.
    auto middle = [](int t) {
        Effekter::ShaderSuite3D suite(0, 60000);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        suite.Draw(t, 0.0f);
        long light = 0;
        for (int y = 0; y < kHeight; y += 2)
            light += ReadPixel(kWidth / 2, y)[1];
        return light;
    };
    EXPECT_GT(middle(11250), 0);
    EXPECT_EQ(middle(45000), 0);  // 450 units to the right: out of view
    EXPECT_EQ(middle(1), 0);      // 500 units up at the start
    ExpectSceneStateRestored();
}

TEST_F(ShaderSceneTest, TwistBoxWidthsStayInRangeAndMeetBetweenSlices)
{
    for (float t : {0.0f, 1234.0f, 98765.0f, 4.0e6f})
        for (float beat : {0.0f, 0.5f, 1.0f})
            for (int i = 0; i <= 1000; ++i) {
                const float r = Effekter::TwistBox::HalfWidth(i, t, beat);
                EXPECT_GE(r, 0.5f);
                EXPECT_LE(r, 3.5f);
                // Neighbouring edges stay close, so the outline has no steps.
                EXPECT_LT(std::fabs(Effekter::TwistBox::HalfWidth(i + 1, t, beat) - r), 0.035f);
            }
}

TEST_F(ShaderSceneTest, TwistBoxSetsItsUniformsAndDrawsTheTower)
{
    Effekter::TwistBox box(0, 100000);
    box.Draw(3000, 1.0f);
    ExpectSceneStateRestored();
    EXPECT_FLOAT_EQ(Uniform(box.Program(), "intensity")[0], 0.15f);
    const auto resolution = Uniform(box.Program(), "resolution");
    EXPECT_FLOAT_EQ(resolution[0], static_cast<float>(kWidth));
    EXPECT_FLOAT_EQ(resolution[1], static_cast<float>(kHeight));
    const auto pos = Uniform(box.Program(), "pos");
    EXPECT_FLOAT_EQ(pos[0], 0.5f * std::sin(1.5f));
    EXPECT_FLOAT_EQ(pos[1], 0.5f);
    // The tower stands in the middle of the screen, at least 0.5 wide.
    EXPECT_LT(DepthAt(kWidth / 2, kHeight / 2), 1.0f);
    EXPECT_FLOAT_EQ(DepthAt(0, 0), 1.0f);
}

// A texture name held for the length of a block; GL hands out names in
// increasing order, so two of these bracket the names made in between.
struct NameMark {
    GLuint name = 0;
    NameMark() { glGenTextures(1, &name); }
    ~NameMark() { glDeleteTextures(1, &name); }
};

TEST_F(ShaderSceneTest, FactoryBuildsTheEightSceneEffectsFromTheShowsData)
{
    for (const char* name :
         {"Mirror", "ShaderSuite3D", "TwistBox", "WalkCube", "BallsBounce", "NanoBall", "Spheres", "Manden"}) {
        SCOPED_TRACE(name);
        const NameMark before;
        std::unique_ptr<Effekt> effect(CreateEffect(name, 1000, 60000, nullptr));
        ASSERT_TRUE(effect);
        const NameMark after;
        // A picture that cannot be read leaves its texture empty (never even
        // bound) without a word: every texture the effect made must have an image.
        ASSERT_LT(before.name, after.name);
        for (GLuint texture = before.name + 1; texture < after.name; ++texture) {
            GLint width = 0;
            glBindTexture(GL_TEXTURE_2D, texture);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
            glBindTexture(GL_TEXTURE_2D, 0);
            EXPECT_GT(width, 0) << "texture " << texture << " has no image";
        }
        effect->Draw(1400, 0.8f);
        effect->Draw(30000, 0.1f);
        ExpectSceneStateRestored();
    }
}

}  // namespace
