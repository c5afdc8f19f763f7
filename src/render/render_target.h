#pragma once
#include "render/gl.h"

// A window-sized offscreen colour buffer (no depth attachment). Its GL objects
// live until the process ends.
class RenderTarget {
public:
    // Throws "FBO not ready" when the framebuffer is not complete. Leaves the
    // colour texture bound to GL_TEXTURE_2D.
    RenderTarget();
    // Makes this framebuffer current with the window viewport and perspective.
    // Unbind with glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0).
    void Bind();

    GLuint texture = 0;
    int width = 0;
    int height = 0;
    GLuint framebuffer = 0;
};
