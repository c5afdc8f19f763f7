#include "effects/draw_cube.h"

#include "render/gl.h"

namespace Effekter {

namespace {

struct Corner {
    float u, v;     // texture coordinate
    float x, y, z;  // position in units of s
};

struct Face {
    float nx, ny, nz;
    Corner corners[4];
};

const Face kFaces[] = {
    {0, 0, 0.5f, {{0, 0, -1, -1, 1}, {1, 0, 1, -1, 1}, {1, 1, 1, 1, 1}, {0, 1, -1, 1, 1}}},         // front
    {0, 0, -0.5f, {{1, 0, -1, -1, -1}, {1, 1, -1, 1, -1}, {0, 1, 1, 1, -1}, {0, 0, 1, -1, -1}}},    // back
    {0, 0.5f, 0, {{0, 1, -1, 1, -1}, {0, 0, -1, 1, 1}, {1, 0, 1, 1, 1}, {1, 1, 1, 1, -1}}},         // top
    {0, -0.5f, 0, {{1, 1, -1, -1, -1}, {0, 1, 1, -1, -1}, {0, 0, 1, -1, 1}, {1, 0, -1, -1, 1}}},    // bottom
    {0.5f, 0, 0, {{1, 0, 1, -1, -1}, {1, 1, 1, 1, -1}, {0, 1, 1, 1, 1}, {0, 0, 1, -1, 1}}},         // right
    {-0.5f, 0, 0, {{0, 0, -1, -1, -1}, {1, 0, -1, -1, 1}, {1, 1, -1, 1, 1}, {0, 1, -1, 1, -1}}},    // left
};

}  // namespace

void DrawCube(float s)
{
    glBegin(GL_QUADS);
    for (const Face& face : kFaces) {
        glNormal3f(face.nx, face.ny, face.nz);
        for (const Corner& c : face.corners) {
            glTexCoord2f(c.u, c.v);
            glVertex3f(c.x * s, c.y * s, c.z * s);
        }
    }
    glEnd();
}

}  // namespace Effekter
