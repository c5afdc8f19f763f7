#include <GL/glew.h>

#include <chrono>

#include "platform/egl_offscreen.h"
#include "platform/stop_signals.h"
#include "platform/window.h"

namespace {

class EglWindow : public Window {
public:
    EglWindow(int width, int height) : gl_(width, height) {}
    ~EglWindow() override
    {
        for (GLsync fence : drawing_)
            if (fence)
                glDeleteSync(fence);
    }

    // Nothing to show and no events: the frame stays in the framebuffer for
    // the read-back, and only the stop signals end the run. Like a window's
    // buffer swaps, the pump lets the frames before be drawn while the next
    // is made, two at most: without that wait a software renderer queues
    // frame after frame and its memory grows by hundreds of megabytes over a
    // show; waiting for each frame would leave the loading display's steps
    // nothing to overlap with.
    void FramePump() override
    {
        if (GLEW_ARB_sync) {
            GLsync drawn = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
            WaitFor(drawing_[next_]);
            drawing_[next_] = drawn;
            next_ = (next_ + 1) % kInFlight;
        } else {
            glFinish();
        }
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

private:
    static void WaitFor(GLsync& fence)
    {
        if (!fence)
            return;
        constexpr GLuint64 kSecond = 1000000000;
        GLenum waited = GL_TIMEOUT_EXPIRED;
        for (GLbitfield flags = GL_SYNC_FLUSH_COMMANDS_BIT; waited == GL_TIMEOUT_EXPIRED; flags = 0)
            waited = glClientWaitSync(fence, flags, kSecond);
        glDeleteSync(fence);
        fence = nullptr;
    }

    static constexpr int kInFlight = 2;
    EglOffscreen gl_;
    GLsync drawing_[kInFlight] = {};  // the frames of the last pumps, the oldest at next_
    int next_ = 0;
    WindowKeys keys_;  // never pressed
    std::chrono::steady_clock::time_point opened_ = std::chrono::steady_clock::now();
};

}  // namespace

std::unique_ptr<Window> OpenOffscreenWindow(int width, int height)
{
    return std::make_unique<EglWindow>(width, height);
}
