#include "platform/software_renderer.h"

#include <GL/glew.h>

#include <cstring>
#include <initializer_list>

bool SoftwareRenderer()
{
    const char* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (!name)
        return false;
    for (const char* software : {"llvmpipe", "softpipe", "Software Rasterizer"})
        if (std::strstr(name, software))
            return true;
    return false;
}
