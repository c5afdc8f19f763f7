#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "assetgen.h"
#include "canvas.h"
#include "model/chunk_ids.h"
#include "model/chunk_writer.h"
#include "model/lvector.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct ModelMaterial {
    std::string name;
    LVector3 ambient, diffuse, specular;
    int16_t shininessPercent;
    std::string textureFile;
};

// One triangle mesh as a 3DS file stores it: no normals, a smoothing group
// and a material for each face.
struct ModelMesh {
    std::vector<LVector3> positions;
    std::vector<LVector2> texCoords;
    std::vector<std::array<uint16_t, 3>> faces;
    std::vector<uint32_t> smoothing;
    std::vector<uint16_t> material;  // index into the file's materials
};

LVector3 Vec(double x, double y, double z)
{
    return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

LVector3 Scale(const LVector3& v, double s) { return Vec(v.x * s, v.y * s, v.z * s); }
double Dot(const LVector3& a, const LVector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// 0 at both ends of each period and 1 in the middle, so that texture
// coordinates on a closed surface mirror instead of jumping at a seam.
float Mirrored(double t)
{
    const double f = t - std::floor(t);
    return static_cast<float>(1 - std::fabs(2 * f - 1));
}

void WriteMaterial(ChunkWriter& w, const ModelMaterial& m)
{
    w.Begin(chunk::kMaterial);
    w.ChunkText(chunk::kMaterialName, m.name);
    w.ChunkColour(chunk::kAmbient, m.ambient.x, m.ambient.y, m.ambient.z);
    w.ChunkColour(chunk::kDiffuse, m.diffuse.x, m.diffuse.y, m.diffuse.z);
    w.ChunkColour(chunk::kSpecular, m.specular.x, m.specular.y, m.specular.z);
    w.ChunkPercent(chunk::kShininess, m.shininessPercent);
    w.ChunkPercent(chunk::kTransparency, 0);
    w.ChunkU16(chunk::kShading, 3);
    w.Begin(chunk::kTextureMap1);
    w.ChunkU16(chunk::kAmountPercent, 100);
    w.ChunkText(chunk::kMapFileName, m.textureFile);
    w.End();
    // Reflection map with no file name: an automatic environment map.
    w.Begin(chunk::kReflectionMap);
    w.ChunkU16(chunk::kAmountPercent, 60);
    w.ChunkText(chunk::kMapFileName, "");
    w.End();
    w.End();
}

void WriteMesh(ChunkWriter& w, const ModelMesh& mesh, const std::vector<ModelMaterial>& materials)
{
    w.Begin(chunk::kTriangleMesh);
    w.Begin(chunk::kVertexList);
    w.U16(static_cast<uint16_t>(mesh.positions.size()));
    for (const LVector3& p : mesh.positions) {
        w.F32(p.x);
        w.F32(p.y);
        w.F32(p.z);
    }
    w.End();
    w.Begin(chunk::kTexCoordList);
    w.U16(static_cast<uint16_t>(mesh.texCoords.size()));
    for (const LVector2& t : mesh.texCoords) {
        w.F32(t.x);
        w.F32(t.y);
    }
    w.End();
    w.Begin(chunk::kLocalMatrix);
    const float rows[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    for (float v : rows)
        w.F32(v);
    w.End();
    w.Begin(chunk::kFaceList);
    w.U16(static_cast<uint16_t>(mesh.faces.size()));
    for (const auto& f : mesh.faces) {
        w.U16(f[0]);
        w.U16(f[1]);
        w.U16(f[2]);
        w.U16(7);  // all three edges visible
    }
    for (size_t m = 0; m < materials.size(); ++m) {
        std::vector<uint16_t> faces;
        for (size_t f = 0; f < mesh.faces.size(); ++f)
            if (mesh.material[f] == m)
                faces.push_back(static_cast<uint16_t>(f));
        w.Begin(chunk::kFaceMaterial);
        w.Text(materials[m].name);
        w.U16(static_cast<uint16_t>(faces.size()));
        for (uint16_t f : faces)
            w.U16(f);
        w.End();
    }
    w.Begin(chunk::kSmoothingList);
    for (uint32_t group : mesh.smoothing)
        w.U32(group);
    w.End();
    w.End();  // face list
    w.End();  // mesh
}

// A whole file: version, the materials, the mesh object, a light and an
// empty keyframer section.
void WriteModelFile(const std::string& path, const std::string& objectName, const ModelMesh& mesh,
                    const std::vector<ModelMaterial>& materials)
{
    if (mesh.positions.size() > 65535 || mesh.faces.size() > 65535)
        throw std::runtime_error("model too large for 16-bit indices: " + path);
    ChunkWriter w;
    w.Begin(chunk::kMain);
    w.Begin(0x0002);  // file version
    w.U32(3);
    w.End();
    w.Begin(chunk::kEditor);
    w.Begin(0x3D3E);  // mesh version
    w.U32(3);
    w.End();
    for (const ModelMaterial& m : materials)
        WriteMaterial(w, m);
    w.Begin(chunk::kObject);
    w.Text(objectName);
    WriteMesh(w, mesh, materials);
    w.End();
    w.Begin(chunk::kObject);
    w.Text("Omni01");
    w.Begin(chunk::kLight);
    w.F32(0);
    w.F32(300);
    w.F32(400);
    w.Begin(chunk::kColourFloat);
    w.F32(1);
    w.F32(1);
    w.F32(1);
    w.End();
    w.End();
    w.End();
    w.End();  // editor
    // An empty keyframer section closes the file, as modelling tools write one;
    // the reader never takes a value from the file's very last byte.
    w.Begin(0xB000);
    w.End();
    w.End();  // main
    MakeParentFolders(path);
    if (!w.Save(path))
        throw std::runtime_error("cannot write " + path);
}

// A closed grid of rows x columns vertices wrapping both ways, two triangles
// a cell, turned so that they face along outward(vertex index).
template <typename Outward>
void WrapGrid(ModelMesh& mesh, int rows, int columns, Outward outward)
{
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) {
            const auto at = [columns, rows](int r, int c) {
                return static_cast<uint16_t>((r % rows) * columns + (c % columns));
            };
            const uint16_t q[4] = {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)};
            for (const auto& t : {std::array<uint16_t, 3>{q[0], q[1], q[2]}, std::array<uint16_t, 3>{q[0], q[2], q[3]}}) {
                const LVector3& a = mesh.positions[t[0]];
                const LVector3 n = Cross(mesh.positions[t[1]] - a, mesh.positions[t[2]] - a);
                mesh.faces.push_back(Dot(n, outward(t[0])) >= 0 ? t : std::array<uint16_t, 3>{t[0], t[2], t[1]});
            }
        }
}

// A (2, 3) torus knot tube reaching about 122 units from its centre, with a
// stripe of the second material every so often along the tube.
ModelMesh TorusKnot()
{
    constexpr int kAlong = 240, kAround = 20;
    constexpr double kCore = 72, kWind = 30, kTube = 20;
    auto curve = [](double t) {
        const double r = kCore + kWind * std::cos(3 * t);
        return Vec(r * std::cos(2 * t), r * std::sin(2 * t), -kWind * std::sin(3 * t));
    };
    ModelMesh mesh;
    std::vector<LVector3> centres;
    for (int i = 0; i < kAlong; ++i) {
        const double t = 2 * kPi * i / kAlong;
        const LVector3 c = curve(t);
        const LVector3 tangent = Normalize(curve(t + 1e-4) - curve(t - 1e-4));
        // The frame leans towards the knot's offset from the torus core circle.
        const LVector3 core = Vec(kCore * std::cos(2 * t), kCore * std::sin(2 * t), 0);
        const LVector3 away = c - core;
        const LVector3 normal = Normalize(away - Scale(tangent, Dot(away, tangent)));
        const LVector3 binormal = Cross(tangent, normal);
        for (int j = 0; j < kAround; ++j) {
            const double phi = 2 * kPi * j / kAround;
            const LVector3 offset = Scale(normal, kTube * std::cos(phi)) + Scale(binormal, kTube * std::sin(phi));
            mesh.positions.push_back(c + offset);
            mesh.texCoords.push_back(LVector2{Mirrored(4.0 * i / kAlong), Mirrored(1.0 * j / kAround)});
            centres.push_back(c);
        }
    }
    WrapGrid(mesh, kAlong, kAround, [&mesh, &centres](uint16_t v) { return mesh.positions[v] - centres[v]; });
    for (size_t f = 0; f < mesh.faces.size(); ++f) {
        const size_t ring = f / (2 * kAround);
        mesh.smoothing.push_back(1);
        mesh.material.push_back(ring % 24 < 2 ? 1 : 0);
    }
    return mesh;
}

// A rounded blob about 80 units in radius: a sphere made from a subdivided
// cube, its radius rippled by a few slow waves.
ModelMesh Blob()
{
    constexpr int kCells = 22;
    constexpr double kRadius = 80;
    ModelMesh mesh;
    // Cube corners per face: origin and two edge directions on the unit cube.
    const double faces[6][9] = {
        {1, -1, -1, 0, 2, 0, 0, 0, 2},  {-1, -1, -1, 0, 0, 2, 0, 2, 0}, {-1, 1, -1, 0, 0, 2, 2, 0, 0},
        {-1, -1, -1, 2, 0, 0, 0, 0, 2}, {-1, -1, 1, 2, 0, 0, 0, 2, 0},  {-1, -1, -1, 0, 2, 0, 2, 0, 0},
    };
    // Shared cube edges must share vertices so that the blob is smooth there.
    std::map<std::array<int, 3>, uint16_t> made;
    auto vertexAt = [&](int x, int y, int z) {
        const std::array<int, 3> key{x, y, z};
        const auto found = made.find(key);
        if (found != made.end())
            return found->second;
        made[key] = static_cast<uint16_t>(mesh.positions.size());
        LVector3 d = Normalize(Vec(x / double(kCells) - 1, y / double(kCells) - 1, z / double(kCells) - 1));
        const double ripple = 1 + 0.14 * std::sin(4 * d.x + 0.5) * std::sin(3 * d.y + 1.0) * std::sin(2.5 * d.z + 0.3) +
                              0.08 * (d.x * d.x - d.z * d.z) + 0.05 * std::sin(5 * d.y);
        mesh.positions.push_back(Scale(d, kRadius * ripple));
        mesh.texCoords.push_back(LVector2{static_cast<float>(0.5 + 0.5 * d.x), static_cast<float>(0.5 + 0.5 * d.y)});
        return static_cast<uint16_t>(mesh.positions.size() - 1);
    };
    for (const auto& f : faces) {
        auto grid = [&](int a, int b) {
            // Integer lattice coordinates 0..2*kCells along each cube axis.
            const int x = static_cast<int>((f[0] + 1) * kCells + f[3] * a + f[6] * b);
            const int y = static_cast<int>((f[1] + 1) * kCells + f[4] * a + f[7] * b);
            const int z = static_cast<int>((f[2] + 1) * kCells + f[5] * a + f[8] * b);
            return vertexAt(x, y, z);
        };
        for (int a = 0; a < kCells; ++a)
            for (int b = 0; b < kCells; ++b) {
                const uint16_t q[4] = {grid(a, b), grid(a + 1, b), grid(a + 1, b + 1), grid(a, b + 1)};
                for (const auto& t :
                     {std::array<uint16_t, 3>{q[0], q[1], q[2]}, std::array<uint16_t, 3>{q[0], q[2], q[3]}}) {
                    const LVector3& p = mesh.positions[t[0]];
                    const LVector3 n = Cross(mesh.positions[t[1]] - p, mesh.positions[t[2]] - p);
                    mesh.faces.push_back(Dot(n, p) >= 0 ? t : std::array<uint16_t, 3>{t[0], t[2], t[1]});
                    mesh.smoothing.push_back(1);
                    mesh.material.push_back(0);
                }
            }
    }
    return mesh;
}

}  // namespace

void WriteModels(const std::string& dataDir)
{
    const std::vector<ModelMaterial> knotMaterials = {
        {"RUBBER", Vec(0.1, 0.1, 0.12), Vec(0.75, 0.78, 0.85), Vec(0.9, 0.9, 0.9), 40, "env.jpg"},
        {"STRIPE", Vec(0.1, 0.05, 0.0), Vec(0.95, 0.6, 0.2), Vec(0.9, 0.9, 0.9), 60, "env.jpg"},
    };
    WriteModelFile(dataDir + "/rubber/simple.3ds", "Knot", TorusKnot(), knotMaterials);
    const std::vector<ModelMaterial> blobMaterials = {
        {"CHROME", Vec(0.1, 0.1, 0.1), Vec(0.8, 0.8, 0.8), Vec(1, 1, 1), 70, "env.jpg"},
    };
    WriteModelFile(dataDir + "/misc/simple.3ds", "Blob", Blob(), blobMaterials);
}
