#include "model/mesh_display_list.h"

#include "model/l3ds.h"
#include "render/gl_objects.h"

MeshDisplayList::MeshDisplayList(const char* path, int flags)
{
    list_ = glGenLists(1);
    RecordGlObject(GlObjects::kList, list_);
    const L3DS reader(path);
    glNewList(list_, GL_COMPILE);
    if (reader.MeshCount() > 0 && reader.MeshAt(0).TriangleCount() > 0) {
        const LMesh& mesh = reader.MeshAt(0);
        // An array left on by someone else would be read from a stale pointer.
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnableClientState(GL_VERTEX_ARRAY);
        if (flags & kNormals) {
            glEnableClientState(GL_NORMAL_ARRAY);
            glNormalPointer(GL_FLOAT, 0, mesh.Normals(0));
        }
        if (flags & kBinormals) {
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(3, GL_FLOAT, 0, mesh.Binormals(0));
        }
        if (flags & kTexCoords) {
            glTexCoordPointer(2, GL_FLOAT, 0, mesh.TexCoords(0));
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        glVertexPointer(4, GL_FLOAT, 0, mesh.Positions(0));
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.TriangleCount() * 3), GL_UNSIGNED_SHORT,
                       mesh.Triangles(0));
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glEndList();
}
