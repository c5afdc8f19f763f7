// The SDL window backend: key flags, the close box and a window that cannot open.
#include "platform/window.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/demo_error.h"

namespace {

void Push(Uint8 type, SDLKey key = SDLK_UNKNOWN)
{
    SDL_Event event{};
    event.type = type;
    if (type == SDL_KEYDOWN || type == SDL_KEYUP) {
        event.key.type = type;
        event.key.state = type == SDL_KEYUP ? SDL_RELEASED : SDL_PRESSED;
        event.key.keysym.sym = key;
    }
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

TEST(SdlWindow, KeysActOnReleaseForOneFrame)
{
    const std::unique_ptr<Window> opened = OpenSdlWindow(64, 48, 32, false);
    Window& window = *opened;
    window.FramePump();  // whatever the window manager sent at the start

    Push(SDL_KEYDOWN, SDLK_RIGHT);
    Push(SDL_KEYDOWN, SDLK_ESCAPE);
    window.FramePump();
    EXPECT_FALSE(window.Keys().right) << "held down, not yet released";
    EXPECT_FALSE(window.Keys().escape);

    // Three releases before one pump are still one flag.
    for (int i = 0; i < 3; ++i)
        Push(SDL_KEYUP, SDLK_RIGHT);
    Push(SDL_KEYUP, SDLK_LEFT);
    Push(SDL_KEYUP, SDLK_SPACE);
    Push(SDL_KEYUP, SDLK_a);
    window.FramePump();
    EXPECT_TRUE(window.Keys().right);
    EXPECT_TRUE(window.Keys().left);
    EXPECT_TRUE(window.Keys().space);
    EXPECT_FALSE(window.Keys().escape);

    Push(SDL_KEYUP, SDLK_ESCAPE);
    window.FramePump();
    EXPECT_TRUE(window.Keys().escape);
    EXPECT_FALSE(window.Keys().right) << "the next pump clears the flags";
    EXPECT_FALSE(window.Keys().left);
    EXPECT_FALSE(window.Keys().space);
}

TEST(SdlWindow, ASharedContextFillsTexturesOnAnotherThread)
{
    const std::unique_ptr<Window> window = OpenSdlWindow(64, 48, 32, false);
    std::unique_ptr<SharedContext> shared = window->ShareContext();
    ASSERT_NE(shared, nullptr);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    const std::vector<unsigned char> texels = {200, 40, 90, 255, 10, 220, 30, 255};
    bool current = false;
    std::thread([&] {
        current = shared->MakeCurrent();
        if (!current)
            return;
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        glFinish();
        shared->Release();
    }).join();
    ASSERT_TRUE(current);

    // The window's context is still this thread's and sees the texels.
    std::vector<unsigned char> read(8);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, read.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(read, texels);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[2], 255);
    glDeleteTextures(1, &texture);
    shared.reset();
    window->FramePump();
}

TEST(SdlWindow, CloseBoxEndsTheRun)
{
    const std::unique_ptr<Window> window = OpenSdlWindow(64, 48, 32, false);
    Push(SDL_QUIT);
    try {
        window->FramePump();
        FAIL() << "no error";
    } catch (const WindowClosed& e) {
        // Its own type, so that the run can tell it from a failure; the
        // message is still the one the viewer reads.
        EXPECT_STREQ(e.what(), "You quit?");
    }
}

TEST(SdlWindow, WindowThatCannotOpenLeavesSdlShutDown)
{
    // SDL's dummy video driver has no OpenGL.
    const char* previous = std::getenv("SDL_VIDEODRIVER");
    const std::string saved = previous ? previous : "";
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::string message;
    try {
        OpenSdlWindow(64, 48, 32, false);
    } catch (const DemoError& e) {
        message = e.what();
    }
    if (previous)
        setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
    else
        unsetenv("SDL_VIDEODRIVER");
    EXPECT_EQ(message.rfind("Error: ", 0), 0u) << message;
    EXPECT_EQ(message.back(), '\n');
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
}

}  // namespace
