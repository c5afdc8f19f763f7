#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "render/texture.h"
#include "support/gl_fixture.h"
#include "support/image_files.h"
#include "effects/effect_factory.h"
#include "timeline/effekt.h"
#include "timeline/script_reader.h"

namespace {

class SceneAssetTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        ASSERT_EQ(chdir(SourcePath(".").c_str()), 0);
    }
};

TEST_F(SceneAssetTest, EveryPictureTheScenesLoadIsThere)
{
    const char* const pictures[] = {
        "data/brakvolde/ringe/rotate.png", "data/brakvolde/ringe/bg.png", "data/strobo/twist.jpg",
        "data/strobo/bg.jpg",              "data/strobo/text.jpg",        "data/sky/clouds.jpg",
        "data/sky/landskab1.jpg",          "data/sky/landskab1_add.jpg",  "data/sky/dawnclouds.jpg",
        "data/rubber/env.jpg",             "data/rubber/background.jpg",  "data/rubber/background1.jpg",
        "data/vondo/prikker/prik1.png",    "data/vondo/prikker/prik2.png", "data/vondo/prikker/prik3.png",
        "data/vondo/prikker/prik4.png",    "data/vondo/fog/pole1.jpg",    "data/vondo/brum/brum.png",
        "data/vondo/brum/pastelmand.jpg",  "data/vondo/brum/stjern1.jpg",
    };
    for (const char* path : pictures) {
        CTextureFreeImage texture;
        texture.Load(path);
        glBindTexture(GL_TEXTURE_2D, texture.texture);
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glBindTexture(GL_TEXTURE_2D, 0);
        EXPECT_GE(width, 64) << path;
    }
}

TEST_F(SceneAssetTest, FigureAndDotsHaveSoftAlphaEdges)
{
    for (const char* path : {"data/vondo/brum/brum.png", "data/vondo/prikker/prik3.png"}) {
        int width = 0, height = 0;
        const std::vector<unsigned char> pixels = ReadImage(path, width, height);
        ASSERT_FALSE(pixels.empty()) << path;
        auto alpha = [&](int x, int y) { return pixels[(static_cast<size_t>(y) * width + x) * 4 + 3]; };
        EXPECT_EQ(alpha(0, 0), 0) << path;
        EXPECT_EQ(alpha(width - 1, height - 1), 0) << path;
        EXPECT_EQ(alpha(width / 2, height / 2), 255) << path;
        // Somewhere between, the edge is neither clear nor solid.
        int soft = 0;
        for (int x = 0; x < width; ++x)
            soft += alpha(x, height / 2) > 0 && alpha(x, height / 2) < 255;
        EXPECT_GT(soft, 0) << path;
    }
}

// Builds one entry through the factory and checks that it read exactly its lines.
void ExpectEntryBuilds(const char* name, const std::string& extraLines)
{
    const std::string text = extraLines + "NEXT\n";
    FILE* script = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    ASSERT_NE(script, nullptr);
    std::unique_ptr<Effekt> effect(CreateEffect(name, 100, 200, script));
    ASSERT_NE(effect, nullptr) << name;
    EXPECT_EQ(effect->start, 100);
    EXPECT_EQ(effect->end, 200);
    EXPECT_EQ(ReadLine(script), "NEXT") << name << " read the wrong number of lines";
    fclose(script);
}

TEST_F(SceneAssetTest, FactoryBuildsTheScenesFromTheirEntryLines)
{
    for (const char* name :
         {"QuellRinge", "Stroboskop", "Tunnel", "Rubber3d", "Quell3D", "FogRotator", "Prikker", "Brum"})
        ExpectEntryBuilds(name, "");
    ExpectEntryBuilds("SkyUp", "data/sky/clouds.jpg\n");
    ExpectDefaultGlState();
}

}  // namespace
