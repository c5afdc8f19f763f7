#include "support/gl_fixture.h"

#include <stdlib.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "platform/window.h"
#include "render/guards.h"
#include "render/screen.h"

namespace {

std::unique_ptr<Window> g_window;

void ExpectMatrixNear(GLenum which, const GLdouble* expected, const char* name)
{
    GLdouble actual[16];
    glGetDoublev(which, actual);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-5) << name << " element " << i;
}

}  // namespace

void GlTest::SetUpTestSuite()
{
    if (g_window)
        return;
    ScreenWidth = kWidth;
    ScreenHeight = kHeight;
    g_window = OpenTestWindow(kWidth, kHeight);
    ResetPerspective();
    glEnable(GL_TEXTURE_2D);
}

std::unique_ptr<Window> OpenTestWindow(int width, int height)
{
    const char* backend = std::getenv("DEMO_TEST_WINDOW");
    if (backend && std::string(backend) == "sdl")
        return OpenSdlWindow(width, height, 32, false);
    return OpenOffscreenWindow(width, height);
}

GLint WindowFramebuffer()
{
    GLint bound = 0, window = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &bound);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &window);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, bound == window ? 0 : bound);
    return window;
}

Window& TestWindow()
{
    return *g_window;
}

void GlTest::SetUp()
{
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
}

Pixel ReadPixel(int x, int y)
{
    unsigned char p[4];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(g_window->ReadBuffer());
    glReadPixels(x, GlTest::kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

void FillScreen(float r, float g, float b)
{
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
}

void ExpectDefaultGlState()
{
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "blending left on";
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST)) << "depth test left on";
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING)) << "lighting left on";
    EXPECT_FALSE(glIsEnabled(GL_FOG)) << "fog left on";
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D)) << "2D texturing switched off";
    GLint bound = -1, mode = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0) << "a texture is left bound";
    GLint environment = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &environment);
    EXPECT_EQ(environment, GL_MODULATE) << "texture environment changed";
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW) << "matrix mode changed";
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], GlTest::kWidth);
    EXPECT_EQ(viewport[3], GlTest::kHeight);

    const GLdouble identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    ExpectMatrixNear(GL_MODELVIEW_MATRIX, identity, "model-view");

    // gluPerspective(40, w / h, 0.1f, 1000)
    const double f = 1.0 / std::tan(20.0 * M_PI / 180.0);
    const double aspect = static_cast<double>(GlTest::kWidth) / GlTest::kHeight;
    const double n = static_cast<double>(0.1f), far = 1000.0;
    const GLdouble perspective[16] = {f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (far + n) / (n - far), -1,
                                      0, 0, 2 * far * n / (n - far), 0};
    ExpectMatrixNear(GL_PROJECTION_MATRIX, perspective, "projection");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

void ExpectPixelNear(int x, int y, float r, float g, float b, int tolerance)
{
    const Pixel p = ReadPixel(x, y);
    EXPECT_NEAR(p[0], r * 255, tolerance) << "red at " << x << "," << y;
    EXPECT_NEAR(p[1], g * 255, tolerance) << "green at " << x << "," << y;
    EXPECT_NEAR(p[2], b * 255, tolerance) << "blue at " << x << "," << y;
}

std::string SourcePath(const std::string& relative)
{
    const char* root = std::getenv("DEMO_SOURCE_DIR");
    return std::string(root ? root : ".") + "/" + relative;
}

std::string MakeTempDir()
{
    char pattern[] = "/tmp/demo_test_XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir ? dir : "/tmp";
}
