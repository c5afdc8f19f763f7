// Normals, smoothing-group splits and tangent frames worked out after reading.
#include <gtest/gtest.h>

#include <cmath>

#include "model/finish_mesh.h"
#include "model/l3ds.h"
#include "support/model_files.h"

namespace {

LMesh MakeMesh(const std::vector<LVector3>& positions, const std::vector<Face>& faces,
               const std::vector<uint32_t>& groups = {}, const std::vector<LVector2>& texCoords = {})
{
    LMesh mesh;
    mesh.SetVertexArraySize(positions.size());
    for (size_t i = 0; i < positions.size(); ++i)
        mesh.SetPosition(i, LVector4{positions[i].x, positions[i].y, positions[i].z, 1});
    for (size_t i = 0; i < texCoords.size(); ++i)
        mesh.SetTexCoord(i, texCoords[i]);
    mesh.SetTriangleArraySize(faces.size());
    for (size_t i = 0; i < faces.size(); ++i) {
        FaceInfo face;
        face.a = faces[i][0];
        face.b = faces[i][1];
        face.c = faces[i][2];
        face.smoothingGroup = groups.empty() ? 1 : groups[i];
        mesh.SetFace(i, face);
    }
    return mesh;
}

void ExpectVector(const LVector3& v, float x, float y, float z, const char* what)
{
    EXPECT_NEAR(v.x, x, 1e-6) << what;
    EXPECT_NEAR(v.y, y, 1e-6) << what;
    EXPECT_NEAR(v.z, z, 1e-6) << what;
}

// A cube from -1 to 1, two counter-clockwise triangles (seen from outside) a side.
std::vector<LVector3> CubeCorners()
{
    std::vector<LVector3> corners;
    for (int i = 0; i < 8; ++i)
        corners.push_back({i & 1 ? 1.f : -1.f, i & 2 ? 1.f : -1.f, i & 4 ? 1.f : -1.f});
    return corners;
}

std::vector<Face> CubeFaces()
{
    const int sides[6][4] = {{1, 3, 7, 5}, {0, 4, 6, 2}, {2, 6, 7, 3}, {0, 1, 5, 4}, {4, 5, 7, 6}, {0, 2, 3, 1}};
    std::vector<Face> faces;
    for (const auto& s : sides) {
        faces.push_back({uint16_t(s[0]), uint16_t(s[1]), uint16_t(s[2])});
        faces.push_back({uint16_t(s[0]), uint16_t(s[2]), uint16_t(s[3])});
    }
    return faces;
}

LVector3 Xyz(const LVector4& p) { return {p.x, p.y, p.z}; }
float Dot(const LVector3& a, const LVector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

TEST(MeshFinish, CubeWithASmoothingGroupPerSideHasSharpSides)
{
    std::vector<uint32_t> groups;
    for (uint32_t side = 0; side < 6; ++side)
        groups.insert(groups.end(), {side + 1, side + 1});
    LMesh mesh = MakeMesh(CubeCorners(), CubeFaces(), groups);
    FinishMesh(mesh);
    ASSERT_EQ(mesh.VertexCount(), 24u);
    for (size_t f = 0; f < mesh.TriangleCount(); ++f) {
        const LTriangle& t = *mesh.Triangles(f);
        const LVector3 faceNormal = mesh.Face(f).normal;
        for (uint16_t v : {t.a, t.b, t.c}) {
            ExpectVector(*mesh.Normals(v), faceNormal.x, faceNormal.y, faceNormal.z, "vertex normal = side normal");
            // Outward: the side normal points the way of the corner.
            EXPECT_GT(Dot(faceNormal, Xyz(*mesh.Positions(v))), 0);
        }
    }
}

TEST(MeshFinish, CubeWithOneSmoothingGroupKeepsEightVertices)
{
    LMesh mesh = MakeMesh(CubeCorners(), CubeFaces());
    FinishMesh(mesh);
    ASSERT_EQ(mesh.VertexCount(), 8u);
    // Corner 1 (1, -1, -1) is in two triangles of +x and one each of -y and -z.
    const float k = 1 / std::sqrt(6.f);
    ExpectVector(*mesh.Normals(1), 2 * k, -k, -k, "unweighted sum of face normals");
}

TEST(MeshFinish, SplitsByWholeGroupValueInOrderOfFirstAppearance)
{
    // Three triangles round vertex 0 in groups 3, 1 and 3|4 (1 and 3 share a bit).
    LMesh mesh = MakeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}},
                          {{0, 1, 2}, {0, 2, 3}, {0, 3, 4}}, {3, 1, 7});
    FinishMesh(mesh);
    ASSERT_EQ(mesh.VertexCount(), 5u + 1 + 1 + 1 + 1);  // vertex 0 twice more, 2 and 3 once more
    EXPECT_EQ(mesh.Triangles(0)->a, 0);  // the first group met keeps the vertex
    EXPECT_EQ(mesh.Triangles(1)->a, 5);  // then copies in order of first appearance
    EXPECT_EQ(mesh.Triangles(2)->a, 6);
    EXPECT_EQ(mesh.Triangles(1)->b, 7);  // vertex 2 is split next, after vertex 0
    EXPECT_EQ(mesh.Triangles(2)->b, 8);  // then vertex 3
    for (size_t v = 5; v < mesh.VertexCount(); ++v)
        EXPECT_EQ(mesh.Positions(v)->w, 1);
    ExpectVector(Xyz(*mesh.Positions(6)), 0, 0, 0, "copy of vertex 0");
}

TEST(MeshFinish, FlatSquareTangentFrame)
{
    LMesh mesh = MakeMesh(SquarePositions(), SquareFaces(), {}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    FinishMesh(mesh);
    ASSERT_EQ(mesh.VertexCount(), 4u);
    for (size_t f = 0; f < 2; ++f) {
        ExpectVector(mesh.Face(f).normal, 0, 0, 1, "face normal");
        ExpectVector(mesh.Face(f).tangent, 1, 0, 0, "face tangent");
        ExpectVector(mesh.Face(f).binormal, 0, 1, 0, "face binormal");
    }
    for (size_t v = 0; v < 4; ++v) {
        ExpectVector(*mesh.Normals(v), 0, 0, 1, "vertex normal");
        ExpectVector(*mesh.Tangents(v), 1, 0, 0, "vertex tangent");
        ExpectVector(*mesh.Binormals(v), 0, -1, 0, "vertex binormal = tangent x normal");
    }
}

TEST(MeshFinish, NoTextureAreaGivesZeroTangentsNotNaN)
{
    // No texture coordinates at all, a degenerate face and an unused vertex.
    LMesh mesh = MakeMesh({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 2, 2}}, {{0, 1, 2}, {0, 2, 3}, {1, 1, 3}});
    FinishMesh(mesh);
    for (size_t f = 0; f < mesh.TriangleCount(); ++f) {
        ExpectVector(mesh.Face(f).tangent, 0, 0, 0, "face tangent");
        ExpectVector(mesh.Face(f).binormal, 0, 0, 0, "face binormal");
    }
    ExpectVector(mesh.Face(2).normal, 0, 0, 0, "degenerate face normal");
    for (size_t v = 0; v < mesh.VertexCount(); ++v) {
        ExpectVector(*mesh.Tangents(v), 0, 0, 0, "vertex tangent");
        ExpectVector(*mesh.Binormals(v), 0, 0, 0, "vertex binormal");
    }
    ExpectVector(*mesh.Normals(1), 0, 0, 1, "degenerate face adds nothing");
    ExpectVector(*mesh.Normals(4), 0, 0, 0, "unused vertex");
}

TEST(MeshFinish, FacesNamingMissingVerticesAreDropped)
{
    LMesh mesh = MakeMesh(SquarePositions(), {{0, 1, 2}, {0, 2, 9}, {0, 2, 3}}, {1, 2, 3});
    mesh.Face(2).materialId = 5;
    FinishMesh(mesh);
    ASSERT_EQ(mesh.TriangleCount(), 2u);
    EXPECT_EQ(mesh.Triangles(1)->c, 3);
    EXPECT_EQ(mesh.Face(1).materialId, 5u);
    EXPECT_EQ(mesh.Face(1).smoothingGroup, 3u);
}

TEST(MeshFinish, SplittingStopsAt65536Vertices)
{
    // A fan of 65000 vertices round vertex 0, every triangle in a group of its
    // own: 64998 copies of vertex 0 would be needed, only 536 fit.
    std::vector<LVector3> positions(65000);
    std::vector<Face> faces;
    std::vector<uint32_t> groups;
    for (uint16_t i = 1; i + 1 < 65000; ++i) {
        positions[i] = {std::cos(i * 1e-4f), std::sin(i * 1e-4f), 0};
        faces.push_back({0, i, uint16_t(i + 1)});
        groups.push_back(i);
    }
    LMesh mesh = MakeMesh(positions, faces, groups);
    FinishMesh(mesh);
    ASSERT_EQ(mesh.VertexCount(), 65536u);
    EXPECT_EQ(mesh.Triangles(0)->a, 0);
    EXPECT_EQ(mesh.Triangles(1)->a, 65000);
    EXPECT_EQ(mesh.Triangles(536)->a, 65535);
    EXPECT_EQ(mesh.Triangles(537)->a, 0);  // the rest keep the shared vertex
    for (size_t f = 0; f < mesh.TriangleCount(); ++f)
        ASSERT_LT(mesh.Triangles(f)->b, 65000);
}

TEST(MeshFinish, TheReaderFinishesEveryMesh)
{
    L3DS reader;
    const std::vector<uint8_t> file = ModelFile([](ChunkWriter& w) {
        WriteMeshObject(w, "A", SquarePositions(), SquareFaces());
        WriteMeshObject(w, "B", CubeCorners(), CubeFaces());
    });
    ASSERT_TRUE(reader.OpenBytes(file.data(), file.size()));
    ASSERT_EQ(reader.MeshCount(), 2u);
    ExpectVector(*reader.MeshAt(0).Normals(0), 0, 0, 1, "square normal");
    EXPECT_NEAR(reader.MeshAt(1).Normals(1)->x, 2 / std::sqrt(6.f), 1e-6);
}

}  // namespace
