#include "platform/egl_offscreen.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/demo_error.h"
#include "platform/gl_entry_points.h"
#include "platform/heap_ahead.h"

namespace {

GLuint g_target = 0;  // the framebuffer that stands in for 0
PFNGLBINDFRAMEBUFFEREXTPROC g_bindFramebuffer = nullptr;

void GLAPIENTRY BindFramebufferOrTarget(GLenum target, GLuint framebuffer)
{
    g_bindFramebuffer(target, framebuffer == 0 ? g_target : framebuffer);
}

// The N-th EGL device (DEMO_EGL_DEVICE, 0 when unset), or no display.
EGLDisplay DeviceDisplay(PFNEGLGETPLATFORMDISPLAYEXTPROC getPlatformDisplay)
{
    auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    if (!queryDevices)
        return EGL_NO_DISPLAY;
    EGLDeviceEXT devices[16];
    EGLint count = 0;
    if (!queryDevices(16, devices, &count) || count == 0)
        return EGL_NO_DISPLAY;
    const char* chosen = std::getenv("DEMO_EGL_DEVICE");
    const int index = chosen ? std::atoi(chosen) : 0;
    if (index < 0 || index >= count)
        ThrowMessage("Error: DEMO_EGL_DEVICE=%s, but there are %d EGL devices (0 to %d)\n", chosen, count, count - 1);
    return getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[index], nullptr);
}

// A chosen device first, then Mesa's surfaceless platform, then the first device.
EGLDisplay OpenDisplay()
{
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLDisplay display = EGL_NO_DISPLAY;
    if (getPlatformDisplay && std::getenv("DEMO_EGL_DEVICE"))
        display = DeviceDisplay(getPlatformDisplay);
    if (display == EGL_NO_DISPLAY && getPlatformDisplay)
        display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
        return display;
    if (getPlatformDisplay) {
        display = DeviceDisplay(getPlatformDisplay);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
            return display;
    }
    display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
        return display;
    ThrowMessage("Error: no EGL display for an offscreen OpenGL context (EGL error 0x%x)\n", eglGetError());
}

class EglSharedContext : public SharedContext {
public:
    EglSharedContext(EGLDisplay display, EGLContext context) : display_(display), context_(context) {}
    ~EglSharedContext() override { eglDestroyContext(display_, context_); }
    EglSharedContext(const EglSharedContext&) = delete;
    EglSharedContext& operator=(const EglSharedContext&) = delete;

    // The API is the thread's own, and releasing goes by it.
    bool MakeCurrent() override
    {
        return eglBindAPI(EGL_OPENGL_API) && eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_);
    }
    void Release() override { eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT); }

private:
    EGLDisplay display_;
    EGLContext context_;
};

GLuint MakeRenderbuffer(GLenum format, int width, int height)
{
    GLuint buffer = 0;
    // The driver allocates and clears four bytes a pixel as the storage is made.
    ReadyHeapFor(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    glGenRenderbuffersEXT(1, &buffer);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, buffer);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, format, width, height);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
    return buffer;
}

}  // namespace

EglOffscreen::EglOffscreen(int width, int height)
{
    // A refused size or a missing feature leaves nothing behind.
    try {
        Open(width, height);
    } catch (...) {
        Release();
        throw;
    }
}

EglOffscreen::~EglOffscreen()
{
    Release();
}

void EglOffscreen::Open(int width, int height)
{
    EGLDisplay display = OpenDisplay();
    display_ = display;
    if (!eglBindAPI(EGL_OPENGL_API))
        ThrowMessage("Error: this EGL has no desktop OpenGL\n");
    // No surface at all: the context draws only into the framebuffer below.
    const EGLint attributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    eglChooseConfig(display, attributes, &config, 1, &configs);
    EGLContext context = eglCreateContext(display, configs > 0 ? config : EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT)
        ThrowMessage("Error: no offscreen OpenGL context (EGL error 0x%x)\n", eglGetError());
    context_ = context;
    config_ = configs > 0 ? config : EGL_NO_CONFIG_KHR;
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
        ThrowMessage("Error: the offscreen OpenGL context needs EGL_KHR_surfaceless_context (EGL error 0x%x)\n",
                     eglGetError());

    LoadGlEntryPoints();
    if (!GLEW_EXT_framebuffer_object)
        ThrowMessage("Error: offscreen drawing needs framebuffer objects, which this OpenGL lacks\n");
    description_ = std::string(reinterpret_cast<const char*>(glGetString(GL_RENDERER))) + ", OpenGL " +
                   reinterpret_cast<const char*>(glGetString(GL_VERSION));

    GLint renderbufferSide = 0;
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE_EXT, &renderbufferSide);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    const int maxWidth = std::min(renderbufferSide, viewport[0]);
    const int maxHeight = std::min(renderbufferSide, viewport[1]);
    maxSide_ = std::min(maxWidth, maxHeight);
    if (width > maxWidth || height > maxHeight)
        ThrowMessage("Size %dx%d is larger than this OpenGL draws offscreen (at most %dx%d)", width, height,
                     maxWidth, maxHeight);

    // As a window's buffers: colour without alpha (destination alpha reads 1),
    // the deepest depth buffer the driver takes.
    colour_ = MakeRenderbuffer(GL_RGB8, width, height);
    glGenFramebuffersEXT(1, &framebuffer_);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer_);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT, colour_);
    for (GLenum format : {GL_DEPTH_COMPONENT32, GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT16}) {
        if (depth_)
            glDeleteRenderbuffersEXT(1, &depth_);
        depth_ = MakeRenderbuffer(format, width, height);
        glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, depth_);
        if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT)
            break;
    }
    if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT)
        ThrowMessage("Error: no offscreen framebuffer of %dx%d\n", width, height);
    glReadBuffer(ReadBuffer());
    glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT);
    glViewport(0, 0, width, height);

    g_target = framebuffer_;
    g_bindFramebuffer = __glewBindFramebufferEXT;
    __glewBindFramebufferEXT = BindFramebufferOrTarget;
}

std::unique_ptr<SharedContext> EglOffscreen::ShareContext() const
{
    EGLContext shared = eglCreateContext(display_, config_, context_, nullptr);
    if (shared == EGL_NO_CONTEXT)
        return nullptr;
    return std::make_unique<EglSharedContext>(display_, shared);
}

void EglOffscreen::Release()
{
    if (g_bindFramebuffer && __glewBindFramebufferEXT == BindFramebufferOrTarget) {
        __glewBindFramebufferEXT = g_bindFramebuffer;
        g_target = 0;
    }
    if (framebuffer_) {
        glDeleteFramebuffersEXT(1, &framebuffer_);
        glDeleteRenderbuffersEXT(1, &colour_);
        glDeleteRenderbuffersEXT(1, &depth_);
        framebuffer_ = colour_ = depth_ = 0;
    }
    EGLDisplay display = display_;
    if (context_) {
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display, context_);
        context_ = nullptr;
    }
    if (display)
        eglTerminate(display);
    display_ = nullptr;
}
