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

class GlxWindowLoan : public WindowLoan {
public:
    GlxWindowLoan(Display* display, GLXContext lender, GLXDrawable window, GLXContext borrower)
        : display_(display), lender_(lender), window_(window), borrower_(borrower)
    {
    }
    ~GlxWindowLoan() override
    {
        glXMakeCurrent(display_, window_, lender_);
        glXDestroyContext(display_, borrower_);
    }
    GlxWindowLoan(const GlxWindowLoan&) = delete;
    GlxWindowLoan& operator=(const GlxWindowLoan&) = delete;

    bool MakeCurrent() override { return glXMakeCurrent(display_, window_, borrower_); }
    void Show() override { glXSwapBuffers(display_, window_); }
    void Release() override { glXMakeCurrent(display_, None, nullptr); }

private:
    Display* display_;
    GLXContext lender_;
    GLXDrawable window_;
    GLXContext borrower_;
};

// Makes the context current without a drawable, with the X errors caught;
// false where this GLX cannot.
bool BindWithoutDrawable(Display* display, GLXContext context)
{
    XSync(display, False);
    g_failed = false;
    XErrorHandler previous = XSetErrorHandler(NoteError);
    const bool bound = glXMakeContextCurrent(display, None, None, context);
    XSync(display, False);
    XSetErrorHandler(previous);
    return bound && !g_failed;
}

// The GLX context current on the calling thread, with its display and window.
struct CurrentGlx {
    Display* display = glXGetCurrentDisplay();
    GLXContext context = glXGetCurrentContext();
    GLXDrawable window = glXGetCurrentDrawable();
};

// A direct context with the window's visual that shares the objects of
// shareWith (none when nullptr), or nullptr.
GLXContext CreateContext(const CurrentGlx& current, GLXContext shareWith)
{
    Display* display = current.display;
    if (!display || !current.context || current.window == None || !glXIsDirect(display, current.context))
        return nullptr;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, current.window, &attributes))
        return nullptr;
    XVisualInfo wanted;
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    XVisualInfo* visual = XGetVisualInfo(display, VisualIDMask, &wanted, &count);
    if (!visual)
        return nullptr;
    GLXContext context = glXCreateContext(display, visual, shareWith, True);
    XFree(visual);
    if (context && !glXIsDirect(display, context)) {
        glXDestroyContext(display, context);
        return nullptr;
    }
    return context;
}

}  // namespace

std::unique_ptr<SharedContext> ShareCurrentGlxContext()
{
    const CurrentGlx current;
    GLXContext shared = CreateContext(current, current.context);
    if (!shared)
        return nullptr;
    // Tried here, so that the other thread never meets an X error.
    const bool bound = BindWithoutDrawable(current.display, shared);
    glXMakeCurrent(current.display, current.window, current.context);
    if (!bound) {
        glXDestroyContext(current.display, shared);
        return nullptr;
    }
    return std::make_unique<GlxSharedContext>(current.display, shared);
}

std::unique_ptr<WindowLoan> LendCurrentGlxWindow()
{
    const CurrentGlx current;
    // Sharing objects would make each of its draws wait while another context
    // of the lender's fills a texture (the driver holds one lock for them all).
    GLXContext borrower = CreateContext(current, nullptr);
    if (!borrower)
        return nullptr;
    if (!BindWithoutDrawable(current.display, current.context)) {
        glXMakeCurrent(current.display, current.window, current.context);
        glXDestroyContext(current.display, borrower);
        return nullptr;
    }
    return std::make_unique<GlxWindowLoan>(current.display, current.context, current.window, borrower);
}
