// Every entry kind drawn at the times that matter for it and compared with the
// reference strips in tests/golden/ (one strip of frames per case, left to right).
//
// Pictures: the show's generated pictures are partly symmetric (rings,
// vignettes, dots, flares), so a mirrored or turned texture could look the
// same. The effects therefore run in a work folder whose data/ links the
// show's files but holds, in place of every picture, a code-made test pattern
// of the same size (colour ramps, a checkerboard, a different mark in each
// corner, a diagonal alpha ramp).
//
// Determinism: the shared generator is seeded before each effect is made,
// beats are fixed per frame, and the test drives effect time; no music plays.
// The tolerance is in support/golden.cpp.
//
// Remaking references on purpose: tools/golden.sh --update (GOLDEN_UPDATE=1).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>

#include "platform/shared_random.h"
#include "support/gl_fixture.h"
#include "support/golden.h"
#include "support/scene_state.h"
#include "effects/effect_factory.h"
#include "timeline/effekt.h"

namespace {

// Every entry spans 1000..5000 ms unless it says otherwise (Tunnel shows its
// landscape only in its last 15 s). Frames: "T/B" draws at effect time T with
// beat B and keeps the frame in the strip; "A..B" plays every 40 ms from A to
// B on a kick every 480 ms and keeps the last frame. A time before the one
// drawn last is a backward seek. "over": each frame starts from a test pattern
// instead of black; "seed:N" seeds the shared generator before the next draw.
constexpr const char* kFrames = "1040/0 3000/0 3000/1 4960/0.5";
// ShaderSuite3D's model slides in and out over its first and last 250 ms.
constexpr const char* kSlides = "1040/0 1200/0 3000/0 3000/1 4800/0.5 4960/0.5";
// ChaosZoomer picks a scene from the generator on every seek back: seeds 3, 1
// and 5 give the flower tunnel, the portraits and the fog object (the first
// frames show the twisting layers).
constexpr const char* kEveryScene = "1040/0 3000/1 seed:3 1100..1400 seed:1 1040..1300 seed:5 1100..1400 4960/0.5";
// Kinds that change what is already on the screen draw over a test pattern.
constexpr const char* kOver = "over 1040/0 3000/0 3000/1 4960/0.5";
// The stateful kinds add a played stretch of five kicks (from a seek back) and
// another seek back.
constexpr const char* kPlayed = "1040/0 3000/0 3000/1 1100..3600 4960/0.5 1500/0.3";

struct GoldenCase {
    const char* name;    // the reference's file name
    const char* entry;   // the entry's name (and end, if not 5000) and extra lines
    const char* frames;  // nullptr: drawing ends the show
};

void PrintTo(const GoldenCase& c, std::ostream* out)
{
    *out << c.name;
}

const GoldenCase kCases[] = {
    {"plugin", "Plugin\ndata/plugins/libbeatrings.so\n0.3 0.8 1\n8", kFrames},
    {"chaos_zoomer", "ChaosZoomer", kEveryScene},
    {"stroboskop", "Stroboskop", kFrames},
    {"rubber3d", "Rubber3d", kFrames},
    {"plasma2d", "Plasma2D\n7", kFrames},
    {"brum", "Brum", kPlayed},
    {"banger", "Banger", "1040/0 1500/1 3000/0 3000/1 4960/0.5"},  // the slider shows for 1 s,
    {"color_box", "ColorBox", "1040/0 3000/0 3000/1 1100..3600 4960/0.5"},
    {"zoomba", "Zoomba\ndata/zoomer/petal.jpg\ndata/zoomer/deepspace.jpg\ndata/zoomer/haze.jpg", kFrames},
    {"zoombb", "Zoombb", kFrames},
    {"solaris", "Solaris", kFrames},
    {"flash_white", "FlashWhite", kFrames},
    {"polar_coords", "PolarCoords", kFrames},
    {"fog_rotator", "FogRotator", kFrames},
    {"walk_cube", "WalkCube", kFrames},
    {"sky_up", "SkyUp\ndata/sky/clouds.jpg", kFrames},
    {"image_up", "AlphaBlendImage\ndata/layers/title.png\nUP", kFrames},
    {"image_down", "AlphaBlendImage\ndata/layers/title.png\nDOWN", kFrames},
    {"image_left", "AlphaBlendImage\ndata/layers/title.png\nLEFT", kFrames},
    {"image_upcenter", "AlphaBlendImage\ndata/layers/title.png\nUPCENTER", kFrames},
    {"image_beatup", "AlphaBlendImage\ndata/layers/ring.png\nBEATUP", kPlayed},
    {"image_beatback", "AlphaBlendImage\ndata/layers/ring.png\nBEATBACK", kPlayed},
    {"image_random", "AlphaBlendImage\ndata/layers/ring.png\nRANDOM", kPlayed},
    {"image_static", "AlphaBlendImage\ndata/layers/title.png\nSTATIC", kFrames},
    {"image_beatcenter", "AlphaBlendImage\ndata/layers/ring.png\nBEATCENTER", kFrames},
    {"image_right", "AlphaBlendImage\ndata/layers/ring.png\nRIGHT", kFrames},
    {"image_fadein", "AlphaBlendImage\ndata/layers/greetings.png\nSTATICFADEIN", kFrames},
    {"image_fadeout", "AlphaBlendImage\ndata/layers/black.png\nSTATICFADEOUT", kFrames},
    {"tunnel", "Tunnel 20000", "1040/0 3000/1 8000/1 15000/1 19960/0.5"},
    {"faces", "Faces", kFrames},
    {"twist_box", "TwistBox", kFrames},
    {"circles", "Circles", kFrames},
    {"nano_ball", "NanoBall", kPlayed},
    {"overlays", "Overlays", kOver},
    {"end_demo", "EndDemo", nullptr},
    {"shader_suite3d", "ShaderSuite3D", kSlides},
    {"quell3d", "Quell3D", kFrames},
    {"prikker", "Prikker", kFrames},
    {"video", "Video", kPlayed},
    {"spheres", "Spheres", kFrames},
    {"mirror", "Mirror", kFrames},
    {"balls_bounce", "BallsBounce", kFrames},
    {"manden", "Manden", kFrames},
    {"quell_ringe", "QuellRinge", kPlayed},
    {"shader_kaleido", "ShaderShow\ndata/shadershow/kaleido.fs\ndata/layers/nebula.jpg", kFrames},
    {"shader_glitch", "ShaderShow\ndata/shadershow/glitch.fs\ndata/shadershow/skyline.jpg", kFrames},
    {"mask", "Mask\ndata/layers/vignette.png", kOver},
};

// A test pattern of the window's size, bottom row first as glDrawPixels takes it.
Picture FlippedTestPattern()
{
    Picture pattern = TestPattern(GlTest::kWidth, GlTest::kHeight), flipped = pattern;
    const size_t row = static_cast<size_t>(pattern.width) * 4;
    for (int y = 0; y < pattern.height; ++y)
        std::copy_n(pattern.rgba.begin() + y * row, row, flipped.rgba.begin() + (pattern.height - 1 - y) * row);
    return flipped;
}

float Kick(int timeMs)
{
    return 1.0f - static_cast<float>(timeMs % 480) / 480.0f;
}

class GoldenFrames : public GlTest, public ::testing::WithParamInterface<GoldenCase> {
protected:
    static void SetUpTestSuite()
    {
        GlTest::SetUpTestSuite();
        char cwd[4096];
        failureDir_ = std::string(getcwd(cwd, sizeof cwd) ? cwd : "/tmp") + "/golden-failures";
        workDir_ = MakePatternedShowFolder();
    }

    static void TearDownTestSuite()
    {
        EXPECT_EQ(chdir(failureDir_.substr(0, failureDir_.rfind('/')).c_str()), 0);
        std::filesystem::remove_all(workDir_);
    }

    void SetUp() override
    {
        GlTest::SetUp();
        ASSERT_EQ(chdir(workDir_.c_str()), 0);
    }

    void DrawAt(Effekt& effect, int timeMs, float beat, bool over)
    {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (over) {
            static const Picture backdrop = FlippedTestPattern();
            glDisable(GL_TEXTURE_2D);
            glWindowPos2i(0, 0);
            glDrawPixels(kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, backdrop.rgba.data());
            glEnable(GL_TEXTURE_2D);
        }
        effect.Draw(timeMs, beat);
        ExpectSceneStateRestored();
    }

    static std::string failureDir_;
    static std::string workDir_;
};

std::string GoldenFrames::failureDir_;
std::string GoldenFrames::workDir_;

std::unique_ptr<Effekt> Make(const std::string& entry)
{
    const size_t newline = entry.find('\n');
    std::istringstream first(entry.substr(0, newline));
    std::string name;
    int end = 5000;
    first >> name >> end;
    const std::string lines = newline == std::string::npos ? "" : entry.substr(newline + 1) + "\n";
    FILE* script = fmemopen(const_cast<char*>(lines.data()), lines.size() + 1, "r");
    SeedRandom(1);
    std::unique_ptr<Effekt> effect(CreateEffect(name, 1000, end, script));
    fclose(script);
    return effect;
}

TEST_P(GoldenFrames, MatchReference)
{
    const GoldenCase& c = GetParam();
    std::unique_ptr<Effekt> effect = Make(c.entry);
    ASSERT_TRUE(effect) << c.entry;
    if (!c.frames) {
        EXPECT_ANY_THROW(effect->Draw(1040, 0));
        return;
    }
    Picture strip;
    std::istringstream frames(c.frames);
    bool over = false;
    for (std::string token; frames >> token;) {
        if (token == "over") {
            over = true;
            continue;
        }
        if (token.rfind("seed:", 0) == 0) {
            SeedRandom(static_cast<uint32_t>(std::stoul(token.substr(5))));
            continue;
        }
        const size_t range = token.find("..");
        if (range != std::string::npos) {
            const int last = std::stoi(token.substr(range + 2));
            for (int t = std::stoi(token); t <= last; t += 40)
                DrawAt(*effect, t, Kick(t), over);
        } else {
            DrawAt(*effect, std::stoi(token), std::stof(token.substr(token.find('/') + 1)), over);
        }
        AppendRight(strip, ReadWindow());
    }
    const std::string failure = CompareWithGolden(c.name, strip, failureDir_);
    EXPECT_TRUE(failure.empty()) << failure;
}

INSTANTIATE_TEST_SUITE_P(EveryKind, GoldenFrames, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) { return std::string(info.param.name); });

}  // namespace
