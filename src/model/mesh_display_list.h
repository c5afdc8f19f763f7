#pragma once
#include <cstdint>

#include "render/gl.h"

// The first mesh of a 3DS file compiled into a display list with vertex
// arrays. The list is never freed by this object: it lives until the process
// ends, or until the show that made it is replaced (render/gl_objects.h). A file without a mesh (or
// one that cannot be read) gives an empty list.
class MeshDisplayList {
public:
    enum Flags {
        kNormals = 1,    // the normal array
        kTexCoords = 2,  // the texture coordinate array
        kBinormals = 4,  // binormals as the colour array, for shaders that read them there
    };

    MeshDisplayList(const char* path, int flags);

    GLuint List() const { return list_; }
    void Draw() const { glCallList(list_); }

private:
    GLuint list_ = 0;
};
