#include "platform/glx_shared_context.h"

#include <GL/glx.h>

namespace {

bool g_failed = false;

int NoteError(Display*, XErrorEvent*)
{
    g_failed = true;
    return 0;
}

class GlxSharedContext : public SharedContext {
public:
    GlxSharedContext(Display* display, GLXContext context) : display_(display), context_(context) {}
    ~GlxSharedContext() override { glXDestroyContext(display_, context_); }
    GlxSharedContext(const GlxSharedContext&) = delete;
    GlxSharedContext& operator=(const GlxSharedContext&) = delete;

    bool MakeCurrent() override { return glXMakeContextCurrent(display_, None, None, context_); }
    void Release() override { glXMakeContextCurrent(display_, None, None, nullptr); }

private:
    Display* display_;
    GLXContext context_;
};

// Whether the context can be made current without a drawable, tried here with
// the X errors caught; the window's context is current again afterwards.
bool BindsWithoutDrawable(Display* display, GLXContext context, GLXContext window, GLXDrawable drawable)
{
    XSync(display, False);
    g_failed = false;
    XErrorHandler previous = XSetErrorHandler(NoteError);
    const bool bound = glXMakeContextCurrent(display, None, None, context);
    XSync(display, False);
    XSetErrorHandler(previous);
    glXMakeCurrent(display, drawable, window);
    return bound && !g_failed;
}

}  // namespace

std::unique_ptr<SharedContext> ShareCurrentGlxContext()
{
    Display* display = glXGetCurrentDisplay();
    GLXContext window = glXGetCurrentContext();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (!display || !window || !glXIsDirect(display, window))
        return nullptr;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, drawable, &attributes))
        return nullptr;
    XVisualInfo wanted;
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    XVisualInfo* visual = XGetVisualInfo(display, VisualIDMask, &wanted, &count);
    if (!visual)
        return nullptr;
    GLXContext shared = glXCreateContext(display, visual, window, True);
    XFree(visual);
    if (!shared)
        return nullptr;
    if (!glXIsDirect(display, shared) || !BindsWithoutDrawable(display, shared, window, drawable)) {
        glXDestroyContext(display, shared);
        return nullptr;
    }
    return std::make_unique<GlxSharedContext>(display, shared);
}
