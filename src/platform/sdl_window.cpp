#include <GL/glew.h>
#include <SDL/SDL.h>

#include <string>

#include "platform/demo_error.h"
#include "platform/gl_entry_points.h"
#include "platform/glx_shared_context.h"
#include "platform/stop_signals.h"
#include "platform/window.h"

namespace {

class SdlWindow : public Window {
public:
    SdlWindow(int width, int height, int bitsPerPixel, bool fullScreen);
    ~SdlWindow() override { SDL_Quit(); }
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    void FramePump() override;
    void PollEvents() override;
    const WindowKeys& Keys() const override { return keys_; }
    uint32_t TicksMs() const override { return SDL_GetTicks(); }
    unsigned ReadBuffer() const override { return GL_BACK; }
    std::unique_ptr<SharedContext> ShareContext() override { return ShareCurrentGlxContext(); }
    std::unique_ptr<WindowLoan> LendWindow() override { return LendCurrentGlxWindow(); }

private:
    WindowKeys keys_;
};

SdlWindow::SdlWindow(int width, int height, int bitsPerPixel, bool fullScreen)
{
    // A machine without a sound card, joystick or CD drive must still show the
    // show, so only the video subsystem is required to start. No parachute:
    // SDL's fault handler quits SDL, which waits for ever on the audio thread,
    // so a fault must end the process instead.
    if (SDL_Init(SDL_INIT_EVERYTHING | SDL_INIT_NOPARACHUTE) != 0 &&
        SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_NOPARACHUTE) != 0)
        ThrowMessage("Error: %s\n", SDL_GetError());

    const Uint32 flags = fullScreen ? (SDL_FULLSCREEN | SDL_OPENGL) : (SDL_OPENGL | SDL_RESIZABLE);
    // Without a surface there is no GL context, and every later GL call would fail.
    if (!SDL_SetVideoMode(width, height, bitsPerPixel, flags)) {
        // No destructor runs for a half-made window: shut SDL down here, so
        // that a full-screen attempt leaves the desktop as it was.
        const std::string reason = SDL_GetError();
        SDL_Quit();
        ThrowMessage("Error: %s\n", reason.c_str());
    }

    // SDL 1.2 applies these only at the next mode change, which never comes:
    // the context in use is the one SDL_SetVideoMode made with its defaults.
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 8);
}

void SdlWindow::FramePump()
{
    SDL_GL_SwapBuffers();
    PollEvents();
}

void SdlWindow::PollEvents()
{
    keys_ = WindowKeys();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_KEYUP) {
            switch (event.key.keysym.sym) {
            case SDLK_ESCAPE: keys_.escape = true; break;
            case SDLK_SPACE: keys_.space = true; break;
            case SDLK_RIGHT: keys_.right = true; break;
            case SDLK_LEFT: keys_.left = true; break;
            case SDLK_HOME: keys_.home = true; break;
            case SDLK_F1: keys_.f1 = true; break;
            case SDLK_F5: keys_.f5 = true; break;
            default: break;
            }
        } else if (event.type == SDL_QUIT) {
            throw WindowClosed();
        }
    }
    // Set only where a headless run catches the signals itself.
    if (const int signal = StopSignal())
        throw StopRequested(signal);
}

}  // namespace

std::unique_ptr<Window> OpenSdlWindow(int width, int height, int bitsPerPixel, bool fullScreen)
{
    auto window = std::make_unique<SdlWindow>(width, height, bitsPerPixel, fullScreen);
    LoadGlEntryPoints();  // a failure closes the window again
    return window;
}
