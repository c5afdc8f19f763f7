#pragma once
#include "render/gl.h"

// An offscreen colour buffer, with a depth buffer when asked. Its GL objects
// are never freed by the target: they live until the process ends, or until
// the show that made them is replaced by a reload (render/gl_objects.h).
class RenderTarget {
public:
    // A window-sized colour buffer.
    RenderTarget();
    // A width x height colour buffer, with a depth buffer when depth is true.
    // Throws "FBO not ready" when the framebuffer is not complete. Leaves the
    // colour texture bound to GL_TEXTURE_2D.
    RenderTarget(int width, int height, bool depth);
    // Makes this framebuffer current with its own viewport and the
    // perspective. Unbind with glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0).
    void Bind();

    GLuint texture = 0;
    int width = 0;
    int height = 0;
    GLuint framebuffer = 0;
    GLuint depthBuffer = 0;  // 0 without depth
};
