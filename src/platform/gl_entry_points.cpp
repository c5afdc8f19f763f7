#include "platform/gl_entry_points.h"

#include <GL/glew.h>

#include "platform/demo_error.h"

void LoadGlEntryPoints()
{
    // Debian's GLEW is built for GLX: it loads every GL entry point first and
    // only then asks for the GLX display, which a context made through EGL
    // without X lacks. The entry points are loaded all the same, so that
    // answer is success.
    const GLenum status = glewInit();
    if (status != GLEW_OK && status != GLEW_ERROR_NO_GLX_DISPLAY)
        ThrowMessage("Error: %s\n", reinterpret_cast<const char*>(glewGetErrorString(status)));
    if (!GLEW_VERSION_2_0)
        ThrowMessage("Opengl 2.0 not supported");
}
