#include "platform/draw_pacer.h"

#include <algorithm>

#include "platform/software_renderer.h"

namespace {

void WaitFor(GLsync& fence)
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

}  // namespace

DrawPacer::DrawPacer(int depth, Renderers renderers)
    : depth_(std::clamp(depth, 1, kMaxDepth)), renderers_(renderers)
{
}

DrawPacer::~DrawPacer()
{
    for (GLsync fence : fences_)
        if (fence)
            glDeleteSync(fence);
}

bool DrawPacer::Step()
{
    if (active_ < 0)
        active_ = GLEW_ARB_sync && (renderers_ == kAll || SoftwareRenderer());
    if (!active_)
        return false;
    GLsync drawn = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    WaitFor(fences_[next_]);
    fences_[next_] = drawn;
    next_ = (next_ + 1) % depth_;
    return true;
}
