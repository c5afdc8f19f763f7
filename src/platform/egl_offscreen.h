#pragma once
// An OpenGL context with no window and no X server, for batch runs.
//
// EGL gives the context: Mesa's surfaceless platform where it exists (the
// software renderer and Mesa's GPU drivers), otherwise an EGL device (the GPU
// drivers that offer one; DEMO_EGL_DEVICE=N picks the N-th, counted from 0),
// otherwise EGL's default display. The pictures go into a framebuffer object
// of the requested size, colour and depth, which stands in for framebuffer 0:
// binding framebuffer 0 through GLEW binds it, so code written for a window
// (render targets that bind 0 to go back, read-backs) works unchanged.
//
//     EglOffscreen gl(width, height);  // throws a message when it can't
//     ... draw, glReadBuffer(gl.ReadBuffer()), glReadPixels ...
#include <memory>
#include <string>

#include <GL/glew.h>

#include "platform/shared_context.h"

class EglOffscreen {
public:
    // Makes the context current, loads the GL entry points and binds the
    // target. Throws "Error: ..." when there is no usable EGL or GL 2.0, and
    // "Size WxH is larger than ..." above the context's limits.
    EglOffscreen(int width, int height);
    ~EglOffscreen();
    EglOffscreen(const EglOffscreen&) = delete;
    EglOffscreen& operator=(const EglOffscreen&) = delete;

    // The largest side a target may have here.
    int MaxSide() const { return maxSide_; }
    // What glReadBuffer takes to read the target (GL_BACK has no meaning here).
    static GLenum ReadBuffer() { return GL_COLOR_ATTACHMENT0_EXT; }
    // The display's vendor and renderer, for messages and figures.
    const std::string& Description() const { return description_; }
    // A context sharing this one's objects, for another thread; nullptr when
    // EGL will not make one. It must go before this.
    std::unique_ptr<SharedContext> ShareContext() const;

private:
    void Open(int width, int height);
    void Release();

    void* display_ = nullptr;
    void* context_ = nullptr;
    void* config_ = nullptr;
    GLuint framebuffer_ = 0;
    GLuint colour_ = 0;
    GLuint depth_ = 0;
    int maxSide_ = 0;
    std::string description_;
};
