// Writes small model files covering every chunk the reader knows, as the
// starting corpus for fuzzing. Usage: model_fuzz_seeds DIR
#include <cstdio>
#include <string>
#include <vector>

#include "model/chunk_ids.h"
#include "model/chunk_writer.h"

namespace {

void Vertices(ChunkWriter& w, const std::vector<float>& xyz)
{
    w.Begin(chunk::kVertexList);
    w.U16(static_cast<uint16_t>(xyz.size() / 3));
    for (float v : xyz)
        w.F32(v);
    w.End();
}

void TexCoords(ChunkWriter& w, const std::vector<float>& uv)
{
    w.Begin(chunk::kTexCoordList);
    w.U16(static_cast<uint16_t>(uv.size() / 2));
    for (float v : uv)
        w.F32(v);
    w.End();
}

void Faces(ChunkWriter& w, const std::vector<uint16_t>& corners, const std::vector<uint32_t>& groups,
           const std::string& material)
{
    w.Begin(chunk::kFaceList);
    w.U16(static_cast<uint16_t>(corners.size() / 3));
    for (size_t i = 0; i < corners.size(); i += 3) {
        w.U16(corners[i]);
        w.U16(corners[i + 1]);
        w.U16(corners[i + 2]);
        w.U16(7);
    }
    if (!material.empty()) {
        w.Begin(chunk::kFaceMaterial);
        w.Text(material);
        w.U16(static_cast<uint16_t>(corners.size() / 3));
        for (uint16_t f = 0; f < corners.size() / 3; ++f)
            w.U16(f);
        w.End();
    }
    w.Begin(chunk::kSmoothingList);
    for (uint32_t g : groups)
        w.U32(g);
    w.End();
    w.End();
}

void Material(ChunkWriter& w, const std::string& name, bool reflection)
{
    w.Begin(chunk::kMaterial);
    w.ChunkText(chunk::kMaterialName, name);
    w.ChunkColour(chunk::kAmbient, 0.1f, 0.1f, 0.1f);
    w.Begin(chunk::kDiffuse);
    w.Begin(chunk::kColourBytes);
    w.U8(200);
    w.U8(100);
    w.U8(50);
    w.End();
    w.End();
    w.ChunkColour(chunk::kSpecular, 1, 1, 1);
    w.ChunkPercent(chunk::kShininess, 40);
    w.Begin(chunk::kTransparency);
    w.Begin(chunk::kAmountFloat);
    w.F32(0.25f);
    w.End();
    w.End();
    w.ChunkU16(chunk::kShading, 3);
    for (uint16_t map : {chunk::kTextureMap1, chunk::kTextureMap2, chunk::kOpacityMap, chunk::kBumpMap,
                         chunk::kSpecularMap}) {
        w.Begin(map);
        w.ChunkU16(chunk::kAmountPercent, 100);
        w.ChunkText(chunk::kMapFileName, "map.jpg");
        for (uint16_t value : {chunk::kMapUScale, chunk::kMapVScale, chunk::kMapUOffset, chunk::kMapVOffset,
                               chunk::kMapRotation}) {
            w.Begin(value);
            w.F32(1.5f);
            w.End();
        }
        w.End();
    }
    if (reflection) {
        w.Begin(chunk::kReflectionMap);
        w.ChunkU16(chunk::kAmountPercent, 50);
        w.ChunkText(chunk::kMapFileName, "");
        w.End();
    }
    w.Begin(chunk::kWireframe);
    w.End();
    w.End();
}

void Cube(ChunkWriter& w, const std::string& name, bool sharp)
{
    w.Begin(chunk::kObject);
    w.Text(name);
    w.Begin(chunk::kTriangleMesh);
    std::vector<float> xyz;
    for (int i = 0; i < 8; ++i)
        xyz.insert(xyz.end(), {i & 1 ? 1.f : -1.f, i & 2 ? 1.f : -1.f, i & 4 ? 1.f : -1.f});
    Vertices(w, xyz);
    TexCoords(w, {0, 0, 1, 0, 0, 1, 1, 1, 0, 0, 1, 0, 0, 1, 1, 1});
    w.Begin(chunk::kLocalMatrix);
    for (float v : {1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f})
        w.F32(v);
    w.End();
    const std::vector<uint16_t> corners = {1, 3, 7, 1, 7, 5, 0, 4, 6, 0, 6, 2, 2, 6, 7, 2, 7, 3,
                                           0, 1, 5, 0, 5, 4, 4, 5, 7, 4, 7, 6, 0, 2, 3, 0, 3, 1};
    std::vector<uint32_t> groups;
    for (uint32_t side = 0; side < 6; ++side)
        groups.insert(groups.end(), {sharp ? 1u << side : 1u, sharp ? 1u << side : 1u});
    Faces(w, corners, groups, "Paint");
    w.End();
    w.End();
}

void Light(ChunkWriter& w, bool spot)
{
    w.Begin(chunk::kObject);
    w.Text(spot ? "Spot" : "Omni");
    w.Begin(chunk::kLight);
    w.F32(10);
    w.F32(20);
    w.F32(30);
    w.ChunkColour(chunk::kColourFloat, 1, 0.9f, 0.8f);
    if (spot) {
        w.Begin(chunk::kSpotlight);
        for (float v : {0.f, 0.f, 0.f, 30.f, 45.f})
            w.F32(v);
        w.End();
    }
    w.End();
    w.End();
}

template <typename Body>
void Save(const std::string& path, Body body)
{
    ChunkWriter w;
    w.Begin(chunk::kMain);
    w.Begin(0x0002);
    w.U32(3);
    w.End();
    w.Begin(chunk::kEditor);
    body(w);
    w.End();
    w.Begin(0xB000);
    w.End();
    w.End();
    if (!w.Save(path))
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    Save(dir + "/smooth_cube.3ds", [](ChunkWriter& w) {
        Material(w, "Paint", true);
        Cube(w, "Cube", false);
    });
    Save(dir + "/sharp_cube.3ds", [](ChunkWriter& w) {
        Cube(w, "Cube", true);
        Material(w, "Paint", false);
        Light(w, true);
    });
    Save(dir + "/lights.3ds", [](ChunkWriter& w) {
        Light(w, false);
        Light(w, true);
    });
    Save(dir + "/hidden.3ds", [](ChunkWriter& w) {
        w.Begin(chunk::kObject);
        w.Text(std::string(120, 'n'));
        w.Begin(0x4010);
        w.End();
        w.End();
        Cube(w, "", false);
    });
    return 0;
}
