#pragma once
#include <cstdint>
#include <memory>

#include "platform/demo_error.h"
#include "platform/shared_context.h"

// The window seam: what the player needs of a window and its OpenGL context.
// A backend is one file that implements Window and the Open function declared
// for it below; nothing above this header knows which backend is in use.

// The keys of one frame. Keys act on release: each flag is set for the frame
// after the pump that saw the key come up.
struct WindowKeys {
    bool escape = false;
    bool space = false;
    bool right = false;
    bool left = false;
    bool home = false;  // the show maker's keys of a live run
    bool f1 = false;
    bool f5 = false;
};

// Thrown by FramePump when the viewer closes the window: the run ends as
// after Escape, not as a failure.
class WindowClosed : public RunEnded {
public:
    WindowClosed() : RunEnded("You quit?") {}
};

class Window {
public:
    virtual ~Window() = default;

    // Shows the frame drawn since the last pump (swaps the buffers) and polls
    // the events. Throws WindowClosed when the window is closed, and
    // StopRequested once a headless run has caught a stop signal.
    virtual void FramePump() = 0;
    // The events alone, as FramePump polls them, for a window on loan.
    virtual void PollEvents() = 0;
    // The keys released before the last pump.
    virtual const WindowKeys& Keys() const = 0;
    // Milliseconds since the window opened, running forward.
    virtual uint32_t TicksMs() const = 0;
    // What glReadBuffer takes to read the frame drawn since the last pump.
    virtual unsigned ReadBuffer() const = 0;
    // A context sharing this window's objects, for another thread, or nullptr
    // where the backend cannot make one. Called on the GL thread.
    virtual std::unique_ptr<SharedContext> ShareContext() { return nullptr; }
    // The window lent to another thread, or nullptr where the backend cannot
    // lend it. Called on the GL thread, which must not pump frames until the
    // loan ends.
    virtual std::unique_ptr<WindowLoan> LendWindow() { return nullptr; }
};

// Each backend opens with its GL context current and the GL entry points
// loaded (platform/gl_entry_points.h), and throws "Error: %s\n" or "Opengl
// 2.0 not supported" when it cannot.

// An SDL 1.2 window on the X display (platform/sdl_window.cpp).
std::unique_ptr<Window> OpenSdlWindow(int width, int height, int bitsPerPixel, bool fullScreen);

// No window and no X server: an EGL context drawing into a framebuffer of
// the given size that stands in for the window's (platform/egl_window.cpp).
// It has no keys and is never closed; its ticks come from a monotonic clock.
// Also throws "Size WxH is larger than ..." above the context's limits.
std::unique_ptr<Window> OpenOffscreenWindow(int width, int height);
