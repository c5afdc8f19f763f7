// The 3DS reader's rules, each shown with a file built here byte by byte.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <string>

#include "model/l3ds.h"
#include "support/gl_fixture.h"
#include "support/model_files.h"

namespace {

L3DS Read(const std::vector<uint8_t>& bytes, bool expectSuccess = true)
{
    L3DS reader;
    EXPECT_EQ(reader.OpenBytes(bytes.data(), bytes.size()), expectSuccess);
    return reader;
}

void WriteMaterialNamed(ChunkWriter& w, const std::string& name,
                        const std::function<void(ChunkWriter&)>& more = nullptr)
{
    w.Begin(chunk::kMaterial);
    w.ChunkText(chunk::kMaterialName, name);
    if (more)
        more(w);
    w.End();
}

TEST(ModelReader, ReadsAMeshWithPositionsTexCoordsAndName)
{
    const L3DS reader = Read(ModelFile([](ChunkWriter& w) {
        w.Begin(chunk::kObject);
        w.Text("Square");
        w.Begin(chunk::kTriangleMesh);
        WriteVertices(w, SquarePositions());
        w.Begin(chunk::kTexCoordList);
        w.U16(4);
        for (float v : {0.f, 0.f, 1.f, 0.f, 1.f, 1.f, 0.f, 1.f})
            w.F32(v);
        w.End();
        WriteFaces(w, SquareFaces());
        w.End();
        w.End();
    }));
    ASSERT_EQ(reader.MeshCount(), 1u);
    const LMesh& mesh = reader.MeshAt(0);
    EXPECT_EQ(mesh.Name(), "Square");
    ASSERT_EQ(mesh.VertexCount(), 4u);
    ASSERT_EQ(mesh.TriangleCount(), 2u);
    EXPECT_EQ(mesh.Positions(2)->x, 1);
    EXPECT_EQ(mesh.Positions(2)->y, 1);
    EXPECT_EQ(mesh.Positions(2)->w, 1);
    EXPECT_EQ(mesh.TexCoords(3)->y, 1);
    EXPECT_EQ(mesh.Triangles(1)->c, 3);
    EXPECT_EQ(mesh.Face(1).smoothingGroup, 1u);
    EXPECT_EQ(reader.FindMesh("Square"), &reader.MeshAt(0));
    EXPECT_EQ(reader.FindMesh("square"), nullptr);
}

TEST(ModelReader, OnlyAnObjectWhoseFirstChildIsAMeshGivesAMesh)
{
    const L3DS reader = Read(ModelFile([](ChunkWriter& w) {
        w.Begin(chunk::kObject);
        w.Text("Hidden");
        w.Begin(0x4010);  // hidden-object flag before the mesh
        w.End();
        w.Begin(chunk::kTriangleMesh);
        WriteVertices(w, SquarePositions());
        WriteFaces(w, SquareFaces());
        w.End();
        w.End();
        WriteMeshObject(w, "Shown", SquarePositions(), SquareFaces());
    }));
    ASSERT_EQ(reader.MeshCount(), 1u);
    EXPECT_EQ(reader.MeshAt(0).Name(), "Shown");
}

TEST(ModelReader, MeshWithoutTexCoordListHasZeroTexCoords)
{
    const L3DS reader = Read(ModelFile([](ChunkWriter& w) { WriteMeshObject(w, "A", SquarePositions(), SquareFaces()); }));
    ASSERT_EQ(reader.MeshCount(), 1u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(reader.MeshAt(0).TexCoords(i)->x, 0);
        EXPECT_EQ(reader.MeshAt(0).TexCoords(i)->y, 0);
    }
}

TEST(ModelReader, TexCoordListRulesForCounts)
{
    // A list before the vertices sets the vertex count; pairs past it are dropped.
    const L3DS reader = Read(ModelFile([](ChunkWriter& w) {
        w.Begin(chunk::kObject);
        w.Text("A");
        w.Begin(chunk::kTriangleMesh);
        w.Begin(chunk::kTexCoordList);
        w.U16(2);
        for (float v : {0.25f, 0.5f, 0.75f, 1.f})
            w.F32(v);
        w.End();
        w.End();
        w.End();
        w.Begin(chunk::kObject);
        w.Text("B");
        w.Begin(chunk::kTriangleMesh);
        WriteVertices(w, {{0, 0, 0}});
        w.Begin(chunk::kTexCoordList);
        w.U16(2);
        for (float v : {0.25f, 0.5f, 0.75f, 1.f})
            w.F32(v);
        w.End();
        w.End();
        w.End();
    }));
    ASSERT_EQ(reader.MeshCount(), 2u);
    ASSERT_EQ(reader.MeshAt(0).VertexCount(), 2u);
    EXPECT_EQ(reader.MeshAt(0).TexCoords(1)->x, 0.75f);
    EXPECT_EQ(reader.MeshAt(0).Positions(1)->w, 1);
    ASSERT_EQ(reader.MeshAt(1).VertexCount(), 1u);
    EXPECT_EQ(reader.MeshAt(1).TexCoords(0)->y, 0.5f);
}

TEST(ModelReader, ObjectNamesAreCutTo98CharactersAndTheRestIsReadAsAHeader)
{
    const std::string name98(98, 'N');
    // 99 characters, then the bytes of a mesh chunk, then the name's zero:
    // the 99th character is dropped and the mesh header follows it directly.
    ChunkWriter w;
    w.Begin(chunk::kMain);
    w.Begin(chunk::kEditor);
    w.Begin(chunk::kObject);
    for (char c : name98 + "X")
        w.U8(static_cast<uint8_t>(c));
    w.Begin(chunk::kTriangleMesh);
    WriteVertices(w, SquarePositions());
    WriteFaces(w, SquareFaces());
    w.End();
    w.U8(0);
    w.End();
    // A long name whose object holds an ordinary mesh: the header read after
    // the cut comes from the name, so the object gives no mesh.
    WriteMeshObject(w, std::string(120, 'L'), SquarePositions(), SquareFaces());
    WriteMeshObject(w, name98, SquarePositions(), SquareFaces());
    w.End();
    w.Begin(0xB000);
    w.End();
    w.End();
    const L3DS reader = Read(w.Bytes());
    ASSERT_EQ(reader.MeshCount(), 2u);
    EXPECT_EQ(reader.MeshAt(0).Name(), name98);
    EXPECT_EQ(reader.MeshAt(0).TriangleCount(), 2u);
    EXPECT_EQ(reader.MeshAt(1).Name(), name98);
}

TEST(ModelReader, LocalMatrixIsKeptButNotApplied)
{
    const L3DS reader = Read(ModelFile([](ChunkWriter& w) {
        w.Begin(chunk::kObject);
        w.Text("M");
        w.Begin(chunk::kTriangleMesh);
        WriteVertices(w, SquarePositions());
        w.Begin(chunk::kLocalMatrix);
        for (int i = 1; i <= 12; ++i)
            w.F32(static_cast<float>(i));
        w.End();
        WriteFaces(w, SquareFaces());
        w.End();
        w.End();
    }));
    ASSERT_EQ(reader.MeshCount(), 1u);
    const float expected[16] = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(reader.MeshAt(0).Matrix().m[i], expected[i]) << i;
    EXPECT_EQ(reader.MeshAt(0).Positions(1)->x, 1);
    EXPECT_EQ(reader.MeshAt(0).Positions(1)->y, 0);
}

TEST(ModelReader, MaterialValues)
{
    const L3DS reader = Read(ModelFile([](ChunkWriter& w) {
        WriteMaterialNamed(w, std::string(40, 'm'), [](ChunkWriter& w) {
            w.ChunkColour(chunk::kAmbient, 0.1f, 0.2f, 0.3f);
            w.Begin(chunk::kDiffuse);  // three bytes; only the first colour chunk counts
            w.Begin(chunk::kColourBytes);
            w.U8(255);
            w.U8(51);
            w.U8(0);
            w.End();
            w.Begin(chunk::kColourFloat);
            w.F32(0.5f);
            w.F32(0.5f);
            w.F32(0.5f);
            w.End();
            w.End();
            w.ChunkPercent(chunk::kShininess, 150);  // clamped to 1
            w.ChunkPercent(chunk::kTransparency, 25);
            w.ChunkU16(chunk::kShading, 3);
            w.ChunkU16(chunk::kShading, 9);  // out of range: ignored
            w.Begin(chunk::kTextureMap1);
            w.ChunkU16(chunk::kAmountPercent, 80);
            w.ChunkText(chunk::kMapFileName, "a_rather_long_texture_name.jpg");
            w.Begin(chunk::kMapUScale);
            w.F32(2);
            w.End();
            w.Begin(chunk::kMapRotation);
            w.F32(45);
            w.End();
            w.End();
            w.Begin(chunk::kBumpMap);
            w.Begin(chunk::kAmountFloat);  // a float strength is not read in a map block
            w.F32(0.7f);
            w.End();
            w.ChunkText(chunk::kMapFileName, "bump.png");
            w.End();
        });
        WriteMaterialNamed(w, "Wire", [](ChunkWriter& w) {
            w.Begin(chunk::kWireframe);
            w.End();
        });
    }));
    ASSERT_EQ(reader.MaterialCount(), 2u);
    const LMaterial& m = reader.MaterialAt(0);
    EXPECT_EQ(m.Name(), std::string(29, 'm'));
    EXPECT_EQ(m.Id(), 0u);
    EXPECT_FLOAT_EQ(m.Ambient().z, 0.3f);
    EXPECT_FLOAT_EQ(m.Diffuse().x, 1.0f);
    EXPECT_FLOAT_EQ(m.Diffuse().y, 0.2f);
    EXPECT_EQ(m.Specular().x, 0);
    EXPECT_EQ(m.Shininess(), 1);
    EXPECT_FLOAT_EQ(m.Transparency(), 0.25f);
    EXPECT_EQ(m.Shading(), 3);
    const MapInfo& texture = m.MapAt(LMaterial::kTextureMap1);
    EXPECT_FLOAT_EQ(texture.strength, 0.8f);
    EXPECT_EQ(texture.fileName, "a_rather_long_textu");
    EXPECT_EQ(texture.uScale, 2);
    EXPECT_EQ(texture.vScale, 1);
    EXPECT_EQ(texture.rotation, 45);
    EXPECT_EQ(m.MapAt(LMaterial::kBumpMap).strength, 0);
    EXPECT_EQ(m.MapAt(LMaterial::kBumpMap).fileName, "bump.png");
    EXPECT_EQ(reader.MaterialAt(1).Shading(), 0);
    EXPECT_EQ(reader.MaterialAt(1).Id(), 1u);
}

TEST(ModelReader, ReflectionMapNamesAndDroppedMaterials)
{
    const L3DS reader = Read(ModelFile([](ChunkWriter& w) {
        WriteMaterialNamed(w, "Auto", [](ChunkWriter& w) {
            w.Begin(chunk::kReflectionMap);
            w.ChunkU16(chunk::kAmountPercent, 50);
            w.ChunkText(chunk::kMapFileName, "");
            w.End();
        });
        WriteMaterialNamed(w, "Dropped", [](ChunkWriter& w) {
            w.Begin(chunk::kReflectionMap);
            w.ChunkU16(chunk::kAmountPercent, 50);
            w.ChunkU16(chunk::kMapUScale, 0);  // not the file name
            w.ChunkText(chunk::kMapFileName, "env.jpg");
            w.End();
        });
        WriteMaterialNamed(w, "Named", [](ChunkWriter& w) {
            w.Begin(chunk::kReflectionMap);
            w.Begin(chunk::kAmountFloat);
            w.F32(0.3f);
            w.End();
            w.ChunkText(chunk::kMapFileName, "a_reflection_map_name_that_is_long.jpg");
            w.End();
        });
    }));
    ASSERT_EQ(reader.MaterialCount(), 2u);
    EXPECT_EQ(reader.MaterialAt(0).Name(), "Auto");
    EXPECT_EQ(reader.MaterialAt(0).MapAt(LMaterial::kReflectionMap).fileName, "auto");
    EXPECT_FLOAT_EQ(reader.MaterialAt(0).MapAt(LMaterial::kReflectionMap).strength, 0.5f);
    EXPECT_EQ(reader.MaterialAt(1).Name(), "Named");
    EXPECT_EQ(reader.MaterialAt(1).Id(), 1u);
    EXPECT_EQ(reader.MaterialAt(1).MapAt(LMaterial::kReflectionMap).fileName, "a_reflection_map_name_that_is");  // 29 characters
    EXPECT_FLOAT_EQ(reader.MaterialAt(1).MapAt(LMaterial::kReflectionMap).strength, 0.3f);
}

TEST(ModelReader, FaceMaterialGroups)
{
    L3DS reader = Read(ModelFile([](ChunkWriter& w) {
        WriteMaterialNamed(w, "Red");
        w.Begin(chunk::kObject);
        w.Text("Square");
        w.Begin(chunk::kTriangleMesh);
        WriteVertices(w, SquarePositions());
        WriteFaces(w, SquareFaces(), [](ChunkWriter& w) {
            auto group = [&w](const std::string& name, std::vector<uint16_t> faces) {
                w.Begin(chunk::kFaceMaterial);
                w.Text(name);
                w.U16(static_cast<uint16_t>(faces.size()));
                for (uint16_t f : faces)
                    w.U16(f);
                w.End();
            };
            group("Blue", {1, 7});  // 7 is past the face count: ignored
            group("Missing", {0});  // no such material: the group is skipped
            group("Red", {});
            group("Blue", {1});
        });
        w.End();
        w.End();
        // Stored after the mesh, still found: materials are read first.
        WriteMaterialNamed(w, "Blue");
        WriteMaterialNamed(w, "Blue");  // a second of the name is never named by a group
    }));
    ASSERT_EQ(reader.MeshCount(), 1u);
    const LMesh& mesh = reader.MeshAt(0);
    EXPECT_EQ(mesh.Materials(), (std::vector<uint32_t>{1, 0, 1}));
    EXPECT_EQ(mesh.Face(0).materialId, 0u);
    EXPECT_EQ(mesh.Face(1).materialId, 1u);
    ASSERT_NE(reader.FindMaterial("Blue"), nullptr);
    EXPECT_EQ(reader.FindMaterial("Blue")->Id(), 1u);
    EXPECT_EQ(reader.MaterialAt(2).Name(), "Blue");
    EXPECT_EQ(reader.FindMaterial("Green"), nullptr);
}

TEST(ModelReader, SmoothingGroupsAreReadPerFace)
{
    const L3DS reader = Read(ModelFile([](ChunkWriter& w) {
        w.Begin(chunk::kObject);
        w.Text("S");
        w.Begin(chunk::kTriangleMesh);
        WriteVertices(w, SquarePositions());
        WriteFaces(w, SquareFaces(), [](ChunkWriter& w) {
            w.Begin(chunk::kSmoothingList);
            w.U32(4);
            w.U32(0x80000000u);
            w.End();
        });
        w.End();
        w.End();
    }));
    ASSERT_EQ(reader.MeshCount(), 1u);
    EXPECT_EQ(reader.MeshAt(0).Face(0).smoothingGroup, 4u);
    EXPECT_EQ(reader.MeshAt(0).Face(1).smoothingGroup, 0x80000000u);
    EXPECT_EQ(reader.MeshAt(0).VertexCount(), 6u);  // the shared edge splits
}

TEST(ModelReader, LightsArePositionColourAndSpotlight)
{
    const L3DS reader = Read(ModelFile([](ChunkWriter& w) {
        w.Begin(chunk::kObject);
        w.Text("Spot");
        w.Begin(chunk::kLight);
        w.F32(1);
        w.F32(2);
        w.F32(3);
        w.Begin(chunk::kColourBytes);
        w.U8(255);
        w.U8(0);
        w.U8(51);
        w.End();
        w.Begin(chunk::kSpotlight);
        for (float v : {4.f, 5.f, 6.f, 20.f, 30.f})
            w.F32(v);
        w.End();
        w.End();
        w.End();
        w.Begin(chunk::kObject);
        w.Text("Omni");
        w.Begin(chunk::kLight);
        w.F32(0);
        w.F32(0);
        w.F32(0);
        w.End();
        w.End();
    }));
    EXPECT_EQ(reader.MeshCount(), 0u);
    ASSERT_EQ(reader.LightCount(), 2u);
    const LLight& spot = reader.LightAt(0);
    EXPECT_EQ(spot.Name(), "Spot");
    EXPECT_EQ(spot.Position().z, 3);
    EXPECT_FLOAT_EQ(spot.Colour().x, 1);
    EXPECT_FLOAT_EQ(spot.Colour().z, 0.2f);
    EXPECT_TRUE(spot.IsSpotlight());
    EXPECT_EQ(spot.Target().y, 5);
    EXPECT_EQ(spot.Hotspot(), 20);
    EXPECT_EQ(spot.Falloff(), 30);
    EXPECT_EQ(reader.LightAt(1).Name(), "Omni");
    EXPECT_FALSE(reader.LightAt(1).IsSpotlight());
}

TEST(ModelReader, AValueEndingAtTheLastByteReadsZero)
{
    // No trailer: the last vertex's z is the file's last four bytes.
    const L3DS reader = Read(ModelFile(
        [](ChunkWriter& w) {
            w.Begin(chunk::kObject);
            w.Text("Last");
            w.Begin(chunk::kTriangleMesh);
            WriteFaces(w, {{0, 1, 2}});
            WriteVertices(w, {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}});
            w.End();
            w.End();
        },
        false));
    ASSERT_EQ(reader.MeshCount(), 1u);
    EXPECT_EQ(reader.MeshAt(0).Positions(2)->y, 3);
    EXPECT_EQ(reader.MeshAt(0).Positions(2)->z, 0);
    EXPECT_EQ(reader.MeshAt(0).Positions(1)->z, 2);
}

TEST(ModelReader, FilesThatCannotBeReadGiveFalse)
{
    L3DS missing("/nonexistent/model.3ds");
    EXPECT_EQ(missing.MeshCount(), 0u);
    EXPECT_FALSE(missing.Open("/nonexistent/model.3ds"));

    const std::vector<uint8_t> good = ModelFile([](ChunkWriter& w) { WriteMeshObject(w, "A", SquarePositions(), SquareFaces()); });
    L3DS reader;
    ASSERT_TRUE(reader.Open(SaveTemp(good).c_str()));
    ASSERT_EQ(reader.MeshCount(), 1u);
    // A file that cannot be read keeps the old contents...
    EXPECT_FALSE(reader.Open("/nonexistent/model.3ds"));
    EXPECT_FALSE(reader.Open(SaveTemp({}).c_str()));
    // A folder, an endless device and a FIFO without a writer (whose open
    // would block) are not files that can be read either.
    const std::string fifo = MakeTempDir() + "/fifo.3ds";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {MakeTempDir(), std::string("/dev/zero"), fifo})
        EXPECT_FALSE(reader.Open(path.c_str())) << path;
    EXPECT_EQ(reader.MeshCount(), 1u);
    // ...one that is read but is not a model leaves the reader empty.
    std::vector<uint8_t> wrongMain = good;
    wrongMain[0] = 0x4C;
    EXPECT_FALSE(reader.Open(SaveTemp(wrongMain).c_str()));
    EXPECT_EQ(reader.MeshCount(), 0u);

    ChunkWriter noEditor;
    noEditor.Begin(chunk::kMain);
    noEditor.Begin(0x0002);
    noEditor.U32(3);
    noEditor.End();
    noEditor.End();
    noEditor.U8(0);
    EXPECT_FALSE(reader.OpenBytes(noEditor.Bytes().data(), noEditor.Bytes().size()));
}

}  // namespace

namespace {

float Length(const LVector3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

TEST(ShowModels, GeneratedModelsReadBack)
{
    const struct {
        const char* path;
        size_t vertices, triangles, materials;
    } models[] = {{"data/rubber/simple.3ds", 4800, 9600, 2}, {"data/misc/simple.3ds", 2906, 5808, 1}};
    for (const auto& model : models) {
        L3DS reader;
        ASSERT_TRUE(reader.Open(SourcePath(model.path).c_str())) << model.path;
        ASSERT_EQ(reader.MeshCount(), 1u);
        EXPECT_EQ(reader.MaterialCount(), model.materials);
        EXPECT_EQ(reader.LightCount(), 1u);
        EXPECT_EQ(reader.MaterialAt(0).MapAt(LMaterial::kReflectionMap).fileName, "auto");
        const LMesh& mesh = reader.MeshAt(0);
        EXPECT_EQ(mesh.VertexCount(), model.vertices) << model.path;
        EXPECT_EQ(mesh.TriangleCount(), model.triangles) << model.path;
        EXPECT_EQ(mesh.Materials().size(), model.materials);
        for (size_t v = 0; v < mesh.VertexCount(); ++v) {
            ASSERT_NEAR(Length(*mesh.Normals(v)), 1, 1e-5) << model.path << " vertex " << v;
            ASSERT_GE(mesh.TexCoords(v)->x, 0);
            ASSERT_LE(mesh.TexCoords(v)->x, 1);
        }
    }
}

TEST(ShowModels, BlobNormalsPointOutwards)
{
    L3DS reader(SourcePath("data/misc/simple.3ds").c_str());
    ASSERT_EQ(reader.MeshCount(), 1u);
    const LMesh& mesh = reader.MeshAt(0);
    for (size_t v = 0; v < mesh.VertexCount(); ++v) {
        const LVector4& p = *mesh.Positions(v);
        const LVector3& n = *mesh.Normals(v);
        ASSERT_GT(p.x * n.x + p.y * n.y + p.z * n.z, 0) << v;
    }
}

}  // namespace
