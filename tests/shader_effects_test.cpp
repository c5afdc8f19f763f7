#include <gtest/gtest.h>
#include <unistd.h>

#include <FreeImage.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "effects/banger.h"
#include "effects/circles.h"
#include "effects/plasma2d.h"
#include "effects/polar_coords.h"
#include "effects/shader_show.h"
#include "platform/demo_error.h"
#include "platform/shared_random.h"
#include "render/screen.h"
#include "support/gl_fixture.h"
#include "effects/effect_factory.h"
#include "timeline/script_reader.h"

namespace {

// The effects load their files from data/ relative to the working directory.
class ShaderEffectTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        ASSERT_EQ(chdir(SourcePath(".").c_str()), 0);
    }
};

std::array<float, 4> Uniform(GLuint program, const char* name)
{
    std::array<float, 4> value{-1, -1, -1, -1};
    glGetUniformfv(program, glGetUniformLocation(program, name), value.data());
    return value;
}

// A small picture of one colour, written as PNG.
std::string WriteSolidPicture(const std::string& path, int r, int g, int b)
{
    FIBITMAP* bitmap = FreeImage_Allocate(4, 4, 32);
    for (unsigned y = 0; y < 4; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, y);
        for (int x = 0; x < 4; ++x) {
            row[x * 4 + FI_RGBA_RED] = static_cast<BYTE>(r);
            row[x * 4 + FI_RGBA_GREEN] = static_cast<BYTE>(g);
            row[x * 4 + FI_RGBA_BLUE] = static_cast<BYTE>(b);
            row[x * 4 + FI_RGBA_ALPHA] = 255;
        }
    }
    FreeImage_Save(FIF_PNG, bitmap, path.c_str(), PNG_DEFAULT);
    FreeImage_Unload(bitmap);
    return path;
}

int Brightness(const Pixel& p)
{
    return p[0] + p[1] + p[2];
}

TEST_F(ShaderEffectTest, Plasma2DFeedsTheSameSeededWavesEveryFrameAndTimeInSeconds)
{
    Effekter::Plasma2D plasma(0, 100000, 1234);
    SeedRandom(1234);
    std::array<float, 4> dx0, dy0, dx1, dy1;
    for (int i = 0; i < 4; ++i) {
        dx0[i] = RandomUnit() * 10;
        dy0[i] = RandomUnit() * 10;
        dx1[i] = RandomUnit();
        dy1[i] = RandomUnit();
    }
    for (int t : {1500, 42000, 1500}) {
        SeedRandom(99);  // whatever ran before does not matter
        plasma.Draw(t, 0.5f);
        ExpectDefaultGlState();
        EXPECT_EQ(Uniform(plasma.Program(), "dx0"), dx0) << "at " << t;
        EXPECT_EQ(Uniform(plasma.Program(), "dy0"), dy0);
        EXPECT_EQ(Uniform(plasma.Program(), "dx1"), dx1);
        EXPECT_EQ(Uniform(plasma.Program(), "dy1"), dy1);
        EXPECT_FLOAT_EQ(Uniform(plasma.Program(), "time")[0], t / 1000.0f);
    }
    // The plasma covers the whole window.
    for (auto xy : {std::array<int, 2>{0, 0}, {GlTest::kWidth - 1, GlTest::kHeight - 1}, {48, 36}})
        EXPECT_GT(Brightness(ReadPixel(xy[0], xy[1])), 30);
}

TEST_F(ShaderEffectTest, PolarCoordsKeepsTheWindowViewportAndFillsOnlyThatPartOfItsBuffer)
{
    Effekter::PolarCoords polar(0, 100000);
    FillScreen(1, 0, 0);
    polar.Draw(2500, 0.7f);
    ExpectDefaultGlState();
    GLint framebuffer = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
    EXPECT_EQ(framebuffer, WindowFramebuffer());
    EXPECT_EQ(Uniform(polar.Program(), "time")[0], 0.0f) << "time is never fed";

    // Pass 2 cleared the screen and shows the tunnel's glowing core in the middle.
    const Pixel core = ReadPixel(GlTest::kWidth / 2, GlTest::kHeight / 2);
    EXPECT_GT(core[0], 100);
    EXPECT_LT(ReadPixel(0, 0)[0], 200) << "the red fill was not cleared";

    // Pass 1 drew with the window viewport: only the lower-left window-sized
    // part of the 1024 x 1024 buffer holds the boxes.
    const int size = Effekter::PolarCoords::kBufferSize;
    std::vector<unsigned char> buffer(static_cast<size_t>(size) * size * 4);
    glBindTexture(GL_TEXTURE_2D, polar.OffscreenTexture());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, buffer.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    long inside = 0, outside = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const unsigned char* p = &buffer[(static_cast<size_t>(y) * size + x) * 4];
            const int sum = p[0] + p[1] + p[2];
            (x < GlTest::kWidth && y < GlTest::kHeight ? inside : outside) += sum;
        }
    EXPECT_GT(inside, 0);
    EXPECT_EQ(outside, 0);
}

// The next output of the shared generator after seeding it and drawing n numbers.
int NextAfter(uint32_t seed, int n)
{
    SeedRandom(seed);
    for (int i = 0; i < n; ++i)
        NextRandom();
    return NextRandom();
}

TEST_F(ShaderEffectTest, ReseedingEffectsLeaveTheSharedGeneratorAfterTheirOwnDraws)
{
    // Later effects of the same frame draw on from here, so the count matters.
    Effekter::Plasma2D plasma(0, 100000, 1234);
    SeedRandom(777);
    plasma.Draw(1500, 0.5f);
    const int afterPlasma = NextRandom();
    EXPECT_EQ(afterPlasma, NextAfter(1234, 16)) << "four numbers for each of four waves";

    Effekter::PolarCoords polar(0, 100000);
    SeedRandom(777);
    polar.Draw(2500, 0.5f);
    const int afterPolar = NextRandom();
    EXPECT_EQ(afterPolar, NextAfter(123, 441)) << "one height per box";
    ExpectDefaultGlState();
}

TEST_F(ShaderEffectTest, DrawTexturedBoxDrawsSixFacesInOneBatch)
{
    // Seen from the front the box covers the middle of the window in the
    // current colour (texture 0 has no image).
    glTranslatef(0, 0, -5);
    glColor4f(0, 1, 0, 1);
    Effekter::DrawTexturedBox(1, 1, 1, 0.5f, 1);
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    ExpectPixelNear(GlTest::kWidth / 2, GlTest::kHeight / 2, 0, 1, 0);
    ExpectPixelNear(2, 2, 0, 0, 0);
    ExpectDefaultGlState();
}

// Summed brightness of every fourth pixel of the window.
long ScreenBrightness()
{
    long sum = 0;
    for (int y = 0; y < GlTest::kHeight; y += 4)
        for (int x = 0; x < GlTest::kWidth; x += 4)
            sum += Brightness(ReadPixel(x, y));
    return sum;
}

TEST_F(ShaderEffectTest, BangerSwitchesFromTheSliderToTheAdditivePairAfterOneSecond)
{
    Effekter::Banger banger(1000, 9000);
    const int x = GlTest::kWidth / 2, y = GlTest::kHeight / 2;

    banger.Draw(1999, 0.0f);  // 999 ms in: the slider, with the picture just in place
    ExpectDefaultGlState();
    EXPECT_EQ(Uniform(banger.Program(), "time")[0], 999.0f) << "milliseconds since its own start";
    const Pixel intro = ReadPixel(x, y);
    const long introSum = ScreenBrightness();

    banger.Draw(2000, 0.0f);  // silent beat: the first picture alone
    ExpectDefaultGlState();
    const Pixel alone = ReadPixel(x, y);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(alone[c], intro[c], 6) << "the slide-in ends with the picture in place";

    // The slider ignores the beat; the additive pair lights up with it.
    banger.Draw(1999, 1.0f);
    EXPECT_NEAR(ScreenBrightness(), introSum, introSum / 20);
    FillScreen(0, 0, 1);
    banger.Draw(2000, 1.0f);
    ExpectDefaultGlState();
    EXPECT_GT(ScreenBrightness(), introSum + introSum / 5);
    EXPECT_EQ(Uniform(banger.Program(), "time")[0], 999.0f) << "no program in the second branch";

    // The additive branch clears first: the blue fill does not add in.
    FillScreen(0, 0, 1);
    banger.Draw(2000, 0.0f);
    EXPECT_NEAR(ReadPixel(x, y)[2], alone[2], 3);
    EXPECT_NEAR(ReadPixel(0, 0)[2], 0, 60);
}

TEST_F(ShaderEffectTest, BangerSlidesInFromTheSidesAtItsStart)
{
    Effekter::Banger banger(1000, 9000);
    banger.Draw(1001, 0.0f);
    const Pixel early = ReadPixel(GlTest::kWidth / 2, GlTest::kHeight / 2);
    banger.Draw(1999, 0.0f);
    const Pixel late = ReadPixel(GlTest::kWidth / 2, GlTest::kHeight / 2);
    EXPECT_GT(Brightness(late), Brightness(early) + 60) << "the picture is not in place yet at the start";
    ExpectDefaultGlState();
}

TEST_F(ShaderEffectTest, CirclesAndFacesFeedAbsoluteMilliseconds)
{
    Effekter::Circles circles(0, 100000);
    circles.Draw(12345, 0.9f);
    ExpectDefaultGlState();
    EXPECT_EQ(Uniform(circles.Program(), "time")[0], 12345.0f);
    EXPECT_EQ(Uniform(circles.Program(), "beat")[0], 0.0f) << "Circles never feeds the beat";
    EXPECT_GT(Brightness(ReadPixel(GlTest::kWidth / 2, GlTest::kHeight / 2)), 30);

    Effekter::Faces faces(0, 100000);
    faces.Draw(23456, 0.75f);
    ExpectDefaultGlState();
    EXPECT_EQ(Uniform(faces.Program(), "time")[0], 23456.0f);
    EXPECT_EQ(Uniform(faces.Program(), "beat")[0], 0.75f);
    GLint current = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(current, 0);
}

TEST_F(ShaderEffectTest, FacesAddsTheTextLayerOnlyWithTheBeat)
{
    Effekter::Faces faces(0, 100000);
    // Same time, so the program draws the same picture; only the text differs.
    faces.Draw(5000, 0.0f);
    std::vector<Pixel> quiet;
    for (int x = 0; x < GlTest::kWidth; x += 4)
        quiet.push_back(ReadPixel(x, 20));
    faces.Draw(5000, 0.0f);
    for (int x = 0, i = 0; x < GlTest::kWidth; x += 4, ++i)
        EXPECT_EQ(ReadPixel(x, 20), quiet[i]) << "Faces draws over the screen, nothing accumulates";
    ExpectDefaultGlState();
}

TEST_F(ShaderEffectTest, ShaderShowWithoutProgramShowsItsImageInTheCurrentColour)
{
    const std::string image = WriteSolidPicture(MakeTempDir() + "/orange.png", 255, 128, 64);
    testing::internal::CaptureStderr();
    Effekter::ShaderShow show(0, 100000, "", image.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "no uniform look-ups without a program";
    EXPECT_EQ(show.Program(), 0u);

    glColor4f(0.5f, 1, 1, 1);
    show.Draw(3000, 0.5f);
    glColor4f(1, 1, 1, 1);
    ExpectPixelNear(GlTest::kWidth / 2, GlTest::kHeight / 2, 0.5f, 128 / 255.0f, 64 / 255.0f);
    ExpectPixelNear(0, 0, 0.5f, 128 / 255.0f, 64 / 255.0f);
    ExpectDefaultGlState();
}

TEST_F(ShaderEffectTest, ShaderShowFeedsSecondsAndTheBeat)
{
    const std::string dir = MakeTempDir();
    const std::string shader = dir + "/show.fs";
    std::ofstream(shader) << "#version 110\nuniform float time;\nuniform float beat;\n"
                             "void main() { gl_FragColor = vec4(beat, time / 100.0, 0.0, 1.0); }\n";
    const std::string image = WriteSolidPicture(dir + "/grey.png", 128, 128, 128);
    Effekter::ShaderShow show(0, 100000, shader.c_str(), image.c_str());
    show.Draw(50000, 0.25f);
    ExpectPixelNear(GlTest::kWidth / 2, GlTest::kHeight / 2, 0.25f, 0.5f, 0);
    ExpectDefaultGlState();
}

TEST_F(ShaderEffectTest, MissingOrBrokenProgramsStopConstruction)
{
    const std::string dir = MakeTempDir();
    const std::string absent = dir + "/absent.fs";
    try {
        Effekter::ShaderShow show(0, 1, absent.c_str(), "data/shadershow/crystal.jpg");
        ADD_FAILURE() << "no error";
    } catch (const DemoError& e) {
        EXPECT_EQ(std::string(e.what()), "Error opening: " + absent);
    }
    const std::string broken = dir + "/broken.fs";
    std::ofstream(broken) << "void main() { nonsense }";
    testing::internal::CaptureStderr();
    EXPECT_THROW(Effekter::ShaderShow(0, 1, broken.c_str(), ""), DemoError);
    testing::internal::GetCapturedStderr();
}

TEST_F(ShaderEffectTest, OurProgramsHaveEveryUniformTheEffectsLookUp)
{
    testing::internal::CaptureStderr();
    {
        Effekter::Plasma2D plasma(0, 1, 1);
        Effekter::PolarCoords polar(0, 1);
        Effekter::Banger banger(0, 1);
        Effekter::Circles circles(0, 1);
        Effekter::Faces faces(0, 1);
        Effekter::ShaderShow kaleido(0, 1, "data/shadershow/kaleido.fs", "data/shadershow/crystal.jpg");
        Effekter::ShaderShow glitch(0, 1, "data/shadershow/glitch.fs", "data/shadershow/skyline.jpg");
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// Reads one entry's extra lines through the factory and checks that exactly
// those lines were used.
void ExpectEntryBuilds(const char* name, const std::string& extraLines)
{
    const std::string text = extraLines + "NEXT\n";
    FILE* script = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    ASSERT_NE(script, nullptr);
    std::unique_ptr<Effekt> effect(CreateEffect(name, 100, 200, script));
    EXPECT_NE(effect, nullptr) << name;
    if (effect) {
        EXPECT_EQ(effect->start, 100);
        EXPECT_EQ(effect->end, 200);
    }
    EXPECT_EQ(ReadLine(script), "NEXT") << name << " read the wrong number of lines";
    fclose(script);
}

TEST_F(ShaderEffectTest, FactoryBuildsEachEffectFromItsEntryLines)
{
    testing::internal::CaptureStderr();
    ExpectEntryBuilds("Plasma2D", "7\n");
    ExpectEntryBuilds("PolarCoords", "");
    ExpectEntryBuilds("Banger", "");
    ExpectEntryBuilds("Circles", "");
    ExpectEntryBuilds("Faces", "");
    ExpectEntryBuilds("ShaderShow", "data/shadershow/kaleido.fs\ndata/shadershow/crystal.jpg\n");
    ExpectEntryBuilds("ShaderShow", "\ndata/shadershow/crystal.jpg\n");
    ExpectEntryBuilds("Zoomba", "data/zoomer/petal.jpg\ndata/zoomer/deepspace.jpg\ndata/zoomer/haze.jpg\n");
    ExpectEntryBuilds("Zoombb", "");
    ExpectEntryBuilds("ColorBox", "");
    ExpectEntryBuilds("Solaris", "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
