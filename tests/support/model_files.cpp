#include "support/model_files.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "support/gl_fixture.h"

std::vector<uint8_t> ModelFile(const std::function<void(ChunkWriter&)>& body, bool trailer)
{
    ChunkWriter w;
    w.Begin(chunk::kMain);
    w.Begin(chunk::kEditor);
    body(w);
    w.End();
    if (trailer) {
        w.Begin(0xB000);
        w.End();
    }
    w.End();
    return w.Bytes();
}

void WriteVertices(ChunkWriter& w, const std::vector<LVector3>& positions)
{
    w.Begin(chunk::kVertexList);
    w.U16(static_cast<uint16_t>(positions.size()));
    for (const LVector3& p : positions) {
        w.F32(p.x);
        w.F32(p.y);
        w.F32(p.z);
    }
    w.End();
}

void WriteFaces(ChunkWriter& w, const std::vector<Face>& faces, const std::function<void(ChunkWriter&)>& children)
{
    w.Begin(chunk::kFaceList);
    w.U16(static_cast<uint16_t>(faces.size()));
    for (const Face& f : faces) {
        w.U16(f[0]);
        w.U16(f[1]);
        w.U16(f[2]);
        w.U16(7);
    }
    if (children)
        children(w);
    w.End();
}

void WriteMeshObject(ChunkWriter& w, const std::string& name, const std::vector<LVector3>& positions,
                     const std::vector<Face>& faces)
{
    w.Begin(chunk::kObject);
    w.Text(name);
    w.Begin(chunk::kTriangleMesh);
    WriteVertices(w, positions);
    WriteFaces(w, faces);
    w.End();
    w.End();
}

std::vector<LVector3> SquarePositions()
{
    return {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
}

std::vector<Face> SquareFaces()
{
    return {{0, 1, 2}, {0, 2, 3}};
}

std::string SaveTemp(const std::vector<uint8_t>& bytes, const std::string& name)
{
    const std::string path = MakeTempDir() + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr) << path;
    if (file) {
        if (!bytes.empty())
            std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    return path;
}
