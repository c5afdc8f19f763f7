#include <GL/glew.h>

#include <chrono>

#include "platform/draw_pacer.h"
#include "platform/egl_offscreen.h"
#include "platform/stop_signals.h"
#include "platform/window.h"

namespace {

class EglWindow : public Window {
public:
    EglWindow(int width, int height) : gl_(width, height) {}

    // Nothing to show and no events: the frame stays in the framebuffer for
    // the read-back, and only the stop signals end the run. Like a window's
    // buffer swaps, the pump lets the frames before be drawn while the next
    // is made, two at most: without that wait a software renderer queues
    // frame after frame and its memory grows by hundreds of megabytes over a
    // show; waiting for each frame would leave the loading display's steps
    // nothing to overlap with.
    void FramePump() override
    {
        if (!frames_.Step())
            glFinish();
        PollEvents();
    }
    void PollEvents() override
    {
        if (const int signal = StopSignal())
            throw StopRequested(signal);
    }
    const WindowKeys& Keys() const override { return keys_; }
    uint32_t TicksMs() const override
    {
        const auto elapsed = std::chrono::steady_clock::now() - opened_;
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    }
    unsigned ReadBuffer() const override { return EglOffscreen::ReadBuffer(); }
    std::unique_ptr<SharedContext> ShareContext() override { return gl_.ShareContext(); }

private:
    EglOffscreen gl_;
    DrawPacer frames_{2};
    WindowKeys keys_;  // never pressed
    std::chrono::steady_clock::time_point opened_ = std::chrono::steady_clock::now();
};

}  // namespace

std::unique_ptr<Window> OpenOffscreenWindow(int width, int height)
{
    return std::make_unique<EglWindow>(width, height);
}
