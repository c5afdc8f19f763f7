#include "render/render_target.h"

#include "platform/demo_error.h"
#include "platform/heap_ahead.h"
#include "render/gl_objects.h"
#include "render/guards.h"
#include "render/screen.h"

RenderTarget::RenderTarget() : RenderTarget(ScreenWidth, ScreenHeight, false) {}

RenderTarget::RenderTarget(int width, int height, bool depth) : width(width), height(height)
{
    // The driver allocates and clears the colour buffer and the depth buffer
    // (four bytes a pixel each) as they are made.
    if (width > 0 && height > 0)
        ReadyHeapFor(static_cast<size_t>(width) * static_cast<size_t>(height) * (depth ? 8 : 4));
    if (depth) {
        glGenRenderbuffersEXT(1, &depthBuffer);
        RecordGlObject(GlObjects::kRenderbuffer, depthBuffer);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, depthBuffer);
        glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT, width, height);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
    }
    glGenFramebuffersEXT(1, &framebuffer);
    RecordGlObject(GlObjects::kFramebuffer, framebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);

    glGenTextures(1, &texture);
    RecordGlObject(GlObjects::kTexture, texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, texture, 0);
    if (depth)
        glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, depthBuffer);

    if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT) {
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        ThrowMessage("FBO not ready");
    }

    Bind();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void RenderTarget::Bind()
{
    CProjectionScope scope(width, height);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
}
