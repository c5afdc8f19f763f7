// The window's key flags, the close box and a window that cannot open.
#include "host/demo_window.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/demo_error.h"
#include "render/screen.h"

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

TEST(DemoWindow, KeysActOnReleaseForOneFrame)
{
    DemoWindow window(64, 48, 32, false);
    EXPECT_EQ(ScreenWidth, 64);
    EXPECT_EQ(ScreenHeight, 48);
    window.FramePump();  // whatever the window manager sent at the start

    Push(SDL_KEYDOWN, SDLK_RIGHT);
    Push(SDL_KEYDOWN, SDLK_ESCAPE);
    window.FramePump();
    EXPECT_FALSE(window.RightPressed()) << "held down, not yet released";
    EXPECT_FALSE(window.EscapePressed());

    // Three releases before one pump are still one flag.
    for (int i = 0; i < 3; ++i)
        Push(SDL_KEYUP, SDLK_RIGHT);
    Push(SDL_KEYUP, SDLK_LEFT);
    Push(SDL_KEYUP, SDLK_SPACE);
    Push(SDL_KEYUP, SDLK_a);
    window.FramePump();
    EXPECT_TRUE(window.RightPressed());
    EXPECT_TRUE(window.LeftPressed());
    EXPECT_TRUE(window.SpacePressed());
    EXPECT_FALSE(window.EscapePressed());

    Push(SDL_KEYUP, SDLK_ESCAPE);
    window.FramePump();
    EXPECT_TRUE(window.EscapePressed());
    EXPECT_FALSE(window.RightPressed()) << "the next pump clears the flags";
    EXPECT_FALSE(window.LeftPressed());
    EXPECT_FALSE(window.SpacePressed());
}

TEST(DemoWindow, CloseBoxEndsTheRun)
{
    DemoWindow window(64, 48, 32, false);
    Push(SDL_QUIT);
    try {
        window.FramePump();
        FAIL() << "no error";
    } catch (const DemoError& e) {
        EXPECT_STREQ(e.what(), "You quit?");
    }
}

TEST(DemoWindow, WindowThatCannotOpenLeavesSdlShutDown)
{
    // SDL's dummy video driver has no OpenGL.
    const char* previous = std::getenv("SDL_VIDEODRIVER");
    const std::string saved = previous ? previous : "";
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::string message;
    try {
        DemoWindow window(64, 48, 32, false);
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
