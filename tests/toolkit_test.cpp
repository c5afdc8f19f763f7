// Projections, quads, render targets, lights and the scoped state guards.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "render/guards.h"
#include "render/render_target.h"
#include "render/screen.h"
#include "render/texture.h"
#include "support/gl_fixture.h"
#include "support/image_files.h"

namespace {

class ToolkitTest : public GlTest {};

constexpr int W = GlTest::kWidth, H = GlTest::kHeight;

// A 2 x 2 picture: red, green on top; blue, white below.
void LoadQuadrants(CTextureFreeImage& texture)
{
    const std::string path = MakeTempDir() + "/quadrants.png";
    WriteImage(path, 2, 2, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255});
    texture.Load(path.c_str());
    // Nearest sampling makes the quadrants exact.
    glBindTexture(GL_TEXTURE_2D, texture.texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void DrawFullScreen(GLuint texture, float s, float t)
{
    CProjectionScope screen;
    glTranslatef(0, 0, -2);
    CTextureBinder bind(texture);
    TexturedQuad(1, 1).Draw(s, t);
}

TEST_F(ToolkitTest, ScreenQuadShowsThePictureUpright)
{
    CTextureFreeImage texture;
    LoadQuadrants(texture);
    DrawFullScreen(texture.texture, 1, 1);
    ExpectPixelNear(2, 2, 1, 0, 0);          // top-left: red
    ExpectPixelNear(W - 3, 2, 0, 1, 0);      // top-right: green
    ExpectPixelNear(2, H - 3, 0, 0, 1);      // bottom-left: blue
    ExpectPixelNear(W - 3, H - 3, 1, 1, 1);  // every pixel covered
    ExpectDefaultGlState();
}

TEST_F(ToolkitTest, NegativeRepeatFlipsAndLargerRepeats)
{
    CTextureFreeImage texture;
    LoadQuadrants(texture);
    DrawFullScreen(texture.texture, 1, -1);
    ExpectPixelNear(2, 2, 0, 0, 1);  // upside down: blue on top
    ExpectPixelNear(W - 3, H - 3, 0, 1, 0);

    DrawFullScreen(texture.texture, 2, 2);
    ExpectPixelNear(2, 2, 1, 0, 0);
    ExpectPixelNear(W / 2 + 2, 2, 1, 0, 0);  // the picture again, right half
    ExpectPixelNear(W / 2 - 3, 2, 0, 1, 0);
}

TEST_F(ToolkitTest, PerspectiveMatrices)
{
    SetPerspective(800, 600);
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    const double f = 1.0 / std::tan(20.0 * M_PI / 180.0);
    EXPECT_NEAR(m[0], f / (800.0 / 600.0), 1e-6);
    EXPECT_NEAR(m[5], f, 1e-6);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);

    SetScreenOrtho();
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    EXPECT_NEAR(m[0], 1, 1e-9);
    EXPECT_NEAR(m[5], -1, 1e-9);  // y points down the screen
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    ResetPerspective();
    ExpectDefaultGlState();
}

TEST_F(ToolkitTest, GuardsUndoTheirStateOnExceptions)
{
    GLdouble before[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, before);
    try {
        CEnabler depth(GL_DEPTH_TEST);
        CTransparency blend(GL_ONE, GL_ONE);
        CFog fog(0, 1);
        CProjectionScope screen;
        CPushMatrix push;
        glTranslatef(5, 5, 5);
        CTextureBinder bind(1234);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_TRUE(glIsEnabled(GL_FOG));
        throw std::runtime_error("leave");
    } catch (const std::runtime_error&) {
    }
    ExpectDefaultGlState();

    // The blend function and fog settings stay as the guards set them.
    GLint src = 0, dst = 0, fogMode = 0;
    GLfloat fogEnd = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    glGetIntegerv(GL_FOG_MODE, &fogMode);
    glGetFloatv(GL_FOG_END, &fogEnd);
    EXPECT_EQ(src, GL_ONE);
    EXPECT_EQ(dst, GL_ONE);
    EXPECT_EQ(fogMode, GL_LINEAR);
    EXPECT_EQ(fogEnd, 1.0f);
}

TEST_F(ToolkitTest, RenderTargetIsWindowSizedClearedAndBound)
{
    glClearColor(0.5f, 0, 0, 1);
    RenderTarget target;
    glClearColor(0, 0, 0, 0);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), target.texture);
    EXPECT_EQ(target.width, W);
    EXPECT_EQ(target.height, H);
    GLint w = 0, h = 0, format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(w, W);
    EXPECT_EQ(h, H);
    EXPECT_EQ(format, GL_RGBA8);
    std::vector<unsigned char> texels(static_cast<size_t>(W) * H * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_NEAR(texels[0], 128, 1);  // cleared to the clear colour
    glBindTexture(GL_TEXTURE_2D, 0);

    // Drawing into it, then showing it on the screen.
    target.Bind();
    FillScreen(0, 1, 0);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    ExpectDefaultGlState();
    DrawFullScreen(target.texture, 1, 1);
    ExpectPixelNear(W / 2, H / 2, 0, 1, 0);
}

TEST_F(ToolkitTest, DefaultLightAndRotation)
{
    SetupDefaultLight();
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLfloat diffuse[4];
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[0], 1.2f);
    GLint twoSided = 0;
    glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &twoSided);
    EXPECT_EQ(twoSided, 1);
    DisableDefaultLight();
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));  // left as it was
    glDisable(GL_DEPTH_TEST);

    {
        CPushMatrix push;
        Float3 angles;
        RotateXYZ(angles.Set(0, 0, 90));
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        EXPECT_NEAR(m[1], 1, 1e-6);  // x axis turned onto y
        EXPECT_NEAR(m[4], -1, 1e-6);
    }
    ExpectDefaultGlState();
}

}  // namespace
