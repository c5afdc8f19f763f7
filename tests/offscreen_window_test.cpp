// The offscreen window backend: its size limits, framebuffer 0 meaning its
// target for code written for a window, and the pacing of its drawing.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>

#include "platform/draw_pacer.h"
#include "platform/window.h"
#include "render/gl.h"

namespace {

// The largest width and height the offscreen context takes.
void Limits(int& width, int& height)
{
    const std::unique_ptr<Window> window = OpenOffscreenWindow(16, 16);
    GLint renderbuffer = 0;
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE_EXT, &renderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    width = std::min(renderbuffer, viewport[0]);
    height = std::min(renderbuffer, viewport[1]);
}

std::array<int, 4> PixelAt(const Window& window, int x, int y)
{
    unsigned char p[4];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(window.ReadBuffer());
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

TEST(OffscreenWindow, RefusesASizeAboveItsLimitsNamingThem)
{
    int width = 0, height = 0;
    Limits(width, height);
    ASSERT_GE(width, 3840) << "a 4K capture must fit";
    ASSERT_GE(height, 2160);
    const std::string limit = "(at most " + std::to_string(width) + "x" + std::to_string(height) + ")";
    for (const auto& size : {std::make_pair(width + 1, 16), std::make_pair(16, height + 1)}) {
        try {
            OpenOffscreenWindow(size.first, size.second);
            ADD_FAILURE() << size.first << "x" << size.second << " was taken";
        } catch (const std::exception& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("is larger than this OpenGL draws offscreen " + limit), std::string::npos)
                << message;
        }
    }
    // A refusal leaves nothing behind: the next window draws as usual.
    const std::unique_ptr<Window> window = OpenOffscreenWindow(8, 8);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(PixelAt(*window, 7, 7), (std::array<int, 4>{0, 0, 255, 255}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(OffscreenWindow, FramebufferZeroIsTheWindowsTarget)
{
    const std::unique_ptr<Window> window = OpenOffscreenWindow(32, 24);
    // A render target as the effects make one, drawn red.
    GLuint texture = 0, framebuffer = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 16, 16, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffersEXT(1, &framebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, texture, 0);
    glClearColor(1, 0, 0, 0.5f);
    glClear(GL_COLOR_BUFFER_BIT);

    // Back to "the window", which is cleared green without alpha, as a window's
    // colour buffer without an alpha channel reads.
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glClearColor(0, 1, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    window->FramePump();
    EXPECT_EQ(PixelAt(*window, 31, 23), (std::array<int, 4>{0, 255, 0, 255}));

    unsigned char texel[16 * 16 * 4];
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    EXPECT_EQ(texel[0], 255) << "the render target kept its own picture";
    EXPECT_EQ(texel[1], 0);
    EXPECT_NEAR(texel[3], 128, 1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteFramebuffersEXT(1, &framebuffer);
    glDeleteTextures(1, &texture);
    EXPECT_FALSE(window->Keys().escape);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(OffscreenWindow, APacerOfDepthTwoLeavesAtMostTheLastTwoStepsUndrawn)
{
    const std::unique_ptr<Window> window = OpenOffscreenWindow(64, 48);
    const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (renderer.find("llvmpipe") == std::string::npos)
        GTEST_SKIP() << "paced here only on the software renderer, not on " << renderer;
    DrawPacer pacer(2, DrawPacer::kSoftwareRenderer);
    GLsync steps[4] = {};
    for (GLsync& step : steps) {
        glClearColor(0.2f, 0.4f, 0.6f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        step = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
        ASSERT_TRUE(pacer.Step());
    }
    // Four steps taken: the first two have been waited for.
    for (int i = 0; i < 4; ++i) {
        const GLenum state = glClientWaitSync(steps[i], 0, 0);
        if (i < 2) {
            EXPECT_EQ(state, static_cast<GLenum>(GL_ALREADY_SIGNALED)) << "step " << i;
        }
        glDeleteSync(steps[i]);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
