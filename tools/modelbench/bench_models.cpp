#include "bench_models.h"

#include <cmath>

#include "model/chunk_writer.h"

namespace {

// What one object of a model holds besides its grid of vertices.
struct GridStyle {
    bool texCoords = false;
    int materialGroups = 0;     // consecutive runs of faces, one material each
    int firstMaterial = 0;
    enum { kNone, kBands, kFacets } smoothing = kNone;
};

// A closed, wavy torus of columns x rows quads (two triangles each), cut to
// `faces` triangles. Shared vertices make it behave like a real mesh.
void WriteTorus(ChunkWriter& w, const std::string& name, int columns, int rows, int faces, float phase,
                const GridStyle& style)
{
    w.Begin(chunk::kObject);
    w.Text(name);
    w.Begin(chunk::kTriangleMesh);

    const int across = columns + 1;
    const int vertices = across * (rows + 1);
    w.Begin(chunk::kVertexList);
    w.U16(static_cast<uint16_t>(vertices));
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c <= columns; ++c) {
            const float u = 6.2831853f * c / columns, v = 6.2831853f * r / rows;
            const float tube = 1.0f + 0.08f * std::sin(7 * u + phase) * std::cos(5 * v);
            const float ring = 3.0f + tube * std::cos(v);
            w.F32(ring * std::cos(u));
            w.F32(ring * std::sin(u));
            w.F32(tube * std::sin(v));
        }
    w.End();

    if (style.texCoords) {
        w.Begin(chunk::kTexCoordList);
        w.U16(static_cast<uint16_t>(vertices));
        for (int r = 0; r <= rows; ++r)
            for (int c = 0; c <= columns; ++c) {
                w.F32(4.0f * c / columns);
                w.F32(static_cast<float>(r) / rows);
            }
        w.End();
    }

    w.Begin(chunk::kFaceList);
    w.U16(static_cast<uint16_t>(faces));
    for (int f = 0; f < faces; ++f) {
        const int quad = f / 2, r = quad / columns, c = quad % columns;
        const int a = r * across + c, b = a + 1, d = a + across, e = d + 1;
        const bool second = f % 2 == 1;
        w.U16(static_cast<uint16_t>(a));
        w.U16(static_cast<uint16_t>(second ? e : b));
        w.U16(static_cast<uint16_t>(second ? d : e));
        w.U16(7);
    }
    for (int g = 0; g < style.materialGroups; ++g) {
        const int begin = faces * g / style.materialGroups, end = faces * (g + 1) / style.materialGroups;
        w.Begin(chunk::kFaceMaterial);
        w.Text("Material" + std::to_string(style.firstMaterial + g));
        w.U16(static_cast<uint16_t>(end - begin));
        for (int f = begin; f < end; ++f)
            w.U16(static_cast<uint16_t>(f));
        w.End();
    }
    if (style.smoothing != GridStyle::kNone) {
        w.Begin(chunk::kSmoothingList);
        for (int f = 0; f < faces; ++f) {
            const int quad = f / 2, r = quad / columns;
            // Bands of 12 rows smooth within themselves; facets give each quad its own group.
            const int bit = style.smoothing == GridStyle::kBands ? (r / 12) % 4 : quad % 32;
            w.U32(1u << bit);
        }
        w.End();
    }
    w.End();  // face list
    w.End();  // mesh
    w.End();  // object
}

void WriteMaterials(ChunkWriter& w, int count)
{
    for (int i = 0; i < count; ++i) {
        w.Begin(chunk::kMaterial);
        w.ChunkText(chunk::kMaterialName, "Material" + std::to_string(i));
        const float shade = 0.3f + 0.6f * i / count;
        w.ChunkColour(chunk::kAmbient, 0.1f, 0.1f, 0.1f);
        w.ChunkColour(chunk::kDiffuse, shade, 0.5f, 1.0f - shade);
        w.ChunkColour(chunk::kSpecular, 0.9f, 0.9f, 0.9f);
        w.ChunkPercent(chunk::kShininess, 40);
        w.Begin(chunk::kTextureMap1);
        w.ChunkU16(chunk::kAmountPercent, 100);
        w.ChunkText(chunk::kMapFileName, "skin" + std::to_string(i % 3) + ".jpg");
        w.End();
        w.End();
    }
}

std::vector<uint8_t> Model(void (*body)(ChunkWriter&))
{
    ChunkWriter w;
    w.Begin(chunk::kMain);
    w.Begin(chunk::kEditor);
    body(w);
    w.End();
    w.End();
    return w.Bytes();
}

}  // namespace

std::vector<BenchModel> BenchModels()
{
    std::vector<BenchModel> models;
    models.push_back({"figure", "53,893 triangles, 21 materials, smoothing bands, texture coordinates",
                      Model([](ChunkWriter& w) {
                          WriteMaterials(w, 21);
                          GridStyle style{true, 7, 0, GridStyle::kBands};
                          WriteTorus(w, "Body", 100, 90, 18000, 0.0f, style);
                          style.firstMaterial = 7;
                          WriteTorus(w, "Cloak", 100, 90, 18000, 1.0f, style);
                          style.firstMaterial = 14;
                          WriteTorus(w, "Head", 100, 90, 17893, 2.0f, style);
                      })});
    models.push_back({"scan", "48,000 triangles, no materials, no smoothing chunk", Model([](ChunkWriter& w) {
                          WriteTorus(w, "Scan", 200, 120, 48000, 0.5f, GridStyle{});
                      })});
    models.push_back({"faceted", "45,792 triangles, a smoothing group per quad (32 groups)",
                      Model([](ChunkWriter& w) {
                          WriteTorus(w, "Facets", 159, 144, 45792, 1.5f, GridStyle{true, 0, 0, GridStyle::kFacets});
                      })});
    return models;
}
