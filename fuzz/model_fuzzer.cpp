// Feeds arbitrary bytes to the 3DS reader. Besides crashes, leaks and hangs,
// it stops on any mesh that a display list could not draw safely.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "model/l3ds.h"

namespace {

void Fail(const char* what)
{
    std::fprintf(stderr, "model_fuzzer: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    L3DS reader;
    const bool opened = reader.OpenBytes(data, size);
    if (!opened && (reader.MeshCount() || reader.MaterialCount() || reader.LightCount()))
        Fail("a failed parse left contents behind");
    for (size_t m = 0; m < reader.MeshCount(); ++m) {
        const LMesh& mesh = reader.MeshAt(m);
        if (mesh.VertexCount() > 65536)
            Fail("more vertices than 16-bit indices reach");
        for (size_t f = 0; f < mesh.TriangleCount(); ++f) {
            const LTriangle& t = *mesh.Triangles(f);
            const FaceInfo& face = mesh.Face(f);
            if (t.a >= mesh.VertexCount() || t.b >= mesh.VertexCount() || t.c >= mesh.VertexCount())
                Fail("a triangle names a vertex that does not exist");
            if (t.a != face.a || t.b != face.b || t.c != face.c)
                Fail("triangles and faces disagree");
        }
        for (uint32_t id : mesh.Materials())
            if (id >= reader.MaterialCount())
                Fail("a mesh names a material that does not exist");
    }
    for (size_t i = 0; i < reader.MaterialCount(); ++i)
        if (reader.MaterialAt(i).Id() != i)
            Fail("a material id is not its index");
    return 0;
}
