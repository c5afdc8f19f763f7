// Broken model files: the reader must stop cleanly, never crash, hang or read
// outside its buffer, and leave only meshes that can be drawn.
#include <gtest/gtest.h>

#include "model/l3ds.h"
#include "support/model_files.h"

namespace {

// Every triangle must name existing vertices, so a display list can draw it.
void ExpectDrawable(const L3DS& reader)
{
    for (size_t m = 0; m < reader.MeshCount(); ++m) {
        const LMesh& mesh = reader.MeshAt(m);
        ASSERT_LE(mesh.VertexCount(), 65536u);
        for (size_t f = 0; f < mesh.TriangleCount(); ++f) {
            const LTriangle& t = *mesh.Triangles(f);
            ASSERT_LT(t.a, mesh.VertexCount());
            ASSERT_LT(t.b, mesh.VertexCount());
            ASSERT_LT(t.c, mesh.VertexCount());
        }
    }
}

size_t TotalVertices(const L3DS& reader)
{
    size_t total = 0;
    for (size_t m = 0; m < reader.MeshCount(); ++m)
        total += reader.MeshAt(m).VertexCount();
    return total;
}

// A file using every kind of chunk the reader knows.
std::vector<uint8_t> RichModel()
{
    return ModelFile([](ChunkWriter& w) {
        w.Begin(chunk::kMaterial);
        w.ChunkText(chunk::kMaterialName, "Skin");
        w.ChunkColour(chunk::kDiffuse, 1, 0.5f, 0);
        w.ChunkPercent(chunk::kShininess, 30);
        w.Begin(chunk::kTextureMap1);
        w.ChunkU16(chunk::kAmountPercent, 100);
        w.ChunkText(chunk::kMapFileName, "skin.jpg");
        w.End();
        w.Begin(chunk::kReflectionMap);
        w.ChunkU16(chunk::kAmountPercent, 40);
        w.ChunkText(chunk::kMapFileName, "");
        w.End();
        w.End();
        w.Begin(chunk::kObject);
        w.Text("Body");
        w.Begin(chunk::kTriangleMesh);
        WriteVertices(w, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}});
        w.Begin(chunk::kTexCoordList);
        w.U16(5);
        for (int i = 0; i < 10; ++i)
            w.F32(i * 0.1f);
        w.End();
        WriteFaces(w, {{0, 1, 2}, {0, 2, 3}, {0, 1, 4}, {1, 2, 4}}, [](ChunkWriter& w) {
            w.Begin(chunk::kFaceMaterial);
            w.Text("Skin");
            w.U16(2);
            w.U16(0);
            w.U16(3);
            w.End();
            w.Begin(chunk::kSmoothingList);
            for (uint32_t g : {1u, 1u, 2u, 4u})
                w.U32(g);
            w.End();
        });
        w.End();
        w.End();
        w.Begin(chunk::kObject);
        w.Text("Lamp");
        w.Begin(chunk::kLight);
        w.F32(1);
        w.F32(2);
        w.F32(3);
        w.ChunkColour(chunk::kColourFloat, 1, 1, 1);
        w.End();
        w.End();
    });
}

L3DS ReadBytes(const std::vector<uint8_t>& bytes)
{
    L3DS reader;
    reader.OpenBytes(bytes.data(), bytes.size());
    return reader;
}

TEST(ModelRobustness, EveryTruncationOfAFileIsSafe)
{
    const std::vector<uint8_t> full = RichModel();
    const L3DS whole = ReadBytes(full);
    ASSERT_EQ(whole.MeshCount(), 1u);
    ASSERT_EQ(whole.MaterialCount(), 1u);
    ASSERT_EQ(whole.LightCount(), 1u);
    for (size_t length = 0; length < full.size(); ++length) {
        const std::vector<uint8_t> cut(full.begin(), full.begin() + length);
        L3DS reader;
        const bool opened = reader.OpenBytes(cut.data(), cut.size());
        if (length < 13) {
            EXPECT_FALSE(opened) << length;  // no room for the editor header
        }
        ExpectDrawable(reader);
    }
}

TEST(ModelRobustness, RandomlyDamagedFilesAreSafe)
{
    const std::vector<uint8_t> full = RichModel();
    uint32_t state = 12345;
    auto next = [&state]() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int round = 0; round < 4000; ++round) {
        std::vector<uint8_t> damaged = full;
        const int changes = 1 + next() % 4;
        for (int c = 0; c < changes; ++c)
            damaged[next() % damaged.size()] = static_cast<uint8_t>(next());
        ExpectDrawable(ReadBytes(damaged));
    }
}

TEST(ModelRobustness, TinyAndEmptyInputs)
{
    L3DS reader;
    EXPECT_FALSE(reader.Open(SaveTemp({}).c_str()));
    const uint8_t one[] = {0x4D};
    EXPECT_FALSE(reader.OpenBytes(one, 1));
    const uint8_t headerOnly[] = {0x4D, 0x4D, 6, 0, 0, 0};
    EXPECT_FALSE(reader.OpenBytes(headerOnly, sizeof headerOnly));
    const uint8_t hugeMain[] = {0x4D, 0x4D, 0xFF, 0xFF, 0xFF, 0xFF, 0x3D, 0x3D, 0xFF, 0xFF, 0xFF, 0xFF, 0};
    EXPECT_TRUE(reader.OpenBytes(hugeMain, sizeof hugeMain));
    EXPECT_EQ(reader.MeshCount(), 0u);
}

TEST(ModelRobustness, LengthsBelowSixStopTheWalk)
{
    for (uint32_t badLength : {0u, 1u, 5u}) {
        // A bad sibling between two objects: the first object is read, the walk stops there.
        ChunkWriter w;
        w.Begin(chunk::kMain);
        w.Begin(chunk::kEditor);
        WriteMeshObject(w, "Before", SquarePositions(), SquareFaces());
        const size_t bad = w.Begin(0x1234);
        w.U32(0);
        w.End();
        w.SetLength(bad, badLength);
        WriteMeshObject(w, "After", SquarePositions(), SquareFaces());
        // Bad lengths inside a material and a mesh end those walks only.
        w.Begin(chunk::kMaterial);
        w.ChunkText(chunk::kMaterialName, "M");
        const size_t badChild = w.Begin(chunk::kShading);
        w.U16(1);
        w.End();
        w.SetLength(badChild, badLength);
        w.End();
        w.Begin(chunk::kObject);
        w.Text("Broken");
        w.Begin(chunk::kTriangleMesh);
        WriteVertices(w, SquarePositions());
        const size_t badList = w.Begin(chunk::kFaceList);
        w.U16(0);
        w.End();
        w.SetLength(badList, badLength);
        w.End();
        w.End();
        w.End();
        w.Begin(0xB000);
        w.End();
        w.End();

        const L3DS reader = ReadBytes(w.Bytes());
        ASSERT_EQ(reader.MeshCount(), 1u) << badLength;
        EXPECT_EQ(reader.MeshAt(0).Name(), "Before");
        EXPECT_EQ(reader.MaterialCount(), 0u);
    }
}

TEST(ModelRobustness, BadLengthsOfFoundChunksEndTheSearch)
{
    for (uint32_t badLength : {0u, 3u}) {
        ChunkWriter w;
        w.Begin(chunk::kMain);
        w.Begin(chunk::kEditor);
        const size_t object = w.Begin(chunk::kObject);
        w.Text("Zero");
        w.End();
        w.SetLength(object, badLength);
        WriteMeshObject(w, "Next", SquarePositions(), SquareFaces());
        w.End();
        w.End();
        w.U8(0);
        const L3DS reader = ReadBytes(w.Bytes());
        ExpectDrawable(reader);
        EXPECT_LE(reader.MeshCount(), 1u);
    }
}

TEST(ModelRobustness, CountsLargerThanTheirChunkAreCut)
{
    const L3DS reader = ReadBytes(ModelFile([](ChunkWriter& w) {
        w.Begin(chunk::kObject);
        w.Text("Liar");
        w.Begin(chunk::kTriangleMesh);
        w.Begin(chunk::kVertexList);
        w.U16(65535);  // room for two vertices only
        for (int i = 0; i < 6; ++i)
            w.F32(1);
        w.End();
        w.Begin(chunk::kTexCoordList);
        w.U16(65535);
        w.End();
        w.Begin(chunk::kFaceList);
        w.U16(40000);  // room for one face
        for (uint16_t v : {0, 1, 1, 0})
            w.U16(v);
        w.End();
        w.End();
        w.End();
    }));
    ASSERT_EQ(reader.MeshCount(), 1u);
    EXPECT_EQ(reader.MeshAt(0).VertexCount(), 2u);
    EXPECT_EQ(reader.MeshAt(0).TriangleCount(), 1u);
    ExpectDrawable(reader);
}

TEST(ModelRobustness, ATruncatedListReadsZeros)
{
    // The file ends three vertices into a list of 1000: the missing values read as 0.
    const std::vector<uint8_t> full = ModelFile([](ChunkWriter& w) {
        w.Begin(chunk::kObject);
        w.Text("Cut");
        w.Begin(chunk::kTriangleMesh);
        WriteFaces(w, {{0, 1, 2}, {0, 2, 300}});
        WriteVertices(w, std::vector<LVector3>(1000, LVector3{2, 2, 2}));
        w.End();
        w.End();
    });
    const size_t cut = full.size() - 6 - 997 * 12 + 1;  // keep one byte after the third vertex
    const L3DS reader = ReadBytes(std::vector<uint8_t>(full.begin(), full.begin() + cut));
    ASSERT_EQ(reader.MeshCount(), 1u);
    const LMesh& mesh = reader.MeshAt(0);
    ASSERT_EQ(mesh.VertexCount(), 1000u);
    EXPECT_EQ(mesh.Positions(2)->z, 2);
    EXPECT_EQ(mesh.Positions(3)->x, 0);
    EXPECT_EQ(mesh.Positions(999)->w, 1);
    EXPECT_EQ(mesh.TriangleCount(), 2u);
    ExpectDrawable(reader);
}

TEST(ModelRobustness, ManyObjectsClaimingHugeListsStaySmall)
{
    const L3DS reader = ReadBytes(ModelFile([](ChunkWriter& w) {
        for (int i = 0; i < 2000; ++i) {
            w.Begin(chunk::kObject);
            w.Text("");
            w.Begin(chunk::kTriangleMesh);
            w.Begin(chunk::kVertexList);
            w.U16(65535);
            w.End();
            w.Begin(chunk::kFaceList);
            w.U16(65535);
            w.End();
            w.End();
            w.End();
        }
    }));
    EXPECT_EQ(reader.MeshCount(), 2000u);
    EXPECT_EQ(TotalVertices(reader), 0u);
}

// Inputs that a reader with a quadratic step would take minutes over: here
// they must give the right result; tools/bench.sh times them.
TEST(ModelWorstCases, OneVertexInManySmoothingGroups)
{
    // 30000 faces round one vertex, each in its own group.
    const L3DS reader = ReadBytes(ModelFile([](ChunkWriter& w) {
        w.Begin(chunk::kObject);
        w.Text("Fan");
        w.Begin(chunk::kTriangleMesh);
        std::vector<LVector3> positions(30002);
        for (size_t i = 0; i < positions.size(); ++i)
            positions[i] = {float(i), float(i % 7), 0};
        WriteVertices(w, positions);
        std::vector<Face> faces;
        for (uint16_t i = 1; i <= 30000; ++i)
            faces.push_back({0, i, uint16_t(i + 1)});
        WriteFaces(w, faces, [](ChunkWriter& w) {
            w.Begin(chunk::kSmoothingList);
            for (uint32_t g = 0; g < 30000; ++g)
                w.U32(g * 2654435761u);
            w.End();
        });
        w.End();
        w.End();
    }));
    ASSERT_EQ(reader.MeshCount(), 1u);
    EXPECT_EQ(reader.MeshAt(0).VertexCount(), 65536u);
    ExpectDrawable(reader);
}

TEST(ModelWorstCases, ManyMaterialsAndGroups)
{
    // Every group names the last of many materials, so looking each name up
    // by a walk through the list would take quadratic time.
    constexpr int kCount = 40000;
    const std::string last = "Mat" + std::to_string(kCount - 1);
    const std::vector<uint8_t> file = ModelFile([&last](ChunkWriter& w) {
        for (int i = 0; i < kCount; ++i) {
            w.Begin(chunk::kMaterial);
            w.ChunkText(chunk::kMaterialName, "Mat" + std::to_string(i));
            w.End();
        }
        w.Begin(chunk::kObject);
        w.Text("Groups");
        w.Begin(chunk::kTriangleMesh);
        WriteVertices(w, SquarePositions());
        WriteFaces(w, SquareFaces(), [&last](ChunkWriter& w) {
            for (int i = 0; i < kCount; ++i) {
                w.Begin(chunk::kFaceMaterial);
                w.Text(last);
                w.U16(1);
                w.U16(1);
                w.End();
            }
        });
        w.End();
        w.End();
    });
    const L3DS reader = ReadBytes(file);
    ASSERT_EQ(reader.MeshCount(), 1u);
    ASSERT_EQ(reader.MeshAt(0).Materials().size(), size_t(kCount));
    EXPECT_EQ(reader.MeshAt(0).Materials().back(), uint32_t(kCount - 1));
    EXPECT_EQ(reader.MeshAt(0).Face(1).materialId, uint32_t(kCount - 1));
}

}  // namespace
