#include "model/finish_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

// 16-bit corners can address this many vertices at most.
constexpr size_t kMaxVertices = 65536;

// For each vertex, the faces that use it in ascending order, a face once per
// corner at that vertex. Kept as one flat array with offsets.
class FaceLists {
public:
    explicit FaceLists(const LMesh& mesh)
    {
        const size_t vertices = mesh.VertexCount();
        offsets_.assign(vertices + 1, 0);
        for (size_t f = 0; f < mesh.TriangleCount(); ++f) {
            const FaceInfo& face = mesh.Face(f);
            ++offsets_[face.a + 1];
            ++offsets_[face.b + 1];
            ++offsets_[face.c + 1];
        }
        for (size_t v = 0; v < vertices; ++v)
            offsets_[v + 1] += offsets_[v];
        faces_.resize(offsets_[vertices]);
        std::vector<uint32_t> fill(offsets_.begin(), offsets_.end() - 1);
        for (size_t f = 0; f < mesh.TriangleCount(); ++f) {
            const FaceInfo& face = mesh.Face(f);
            faces_[fill[face.a]++] = static_cast<uint32_t>(f);
            faces_[fill[face.b]++] = static_cast<uint32_t>(f);
            faces_[fill[face.c]++] = static_cast<uint32_t>(f);
        }
    }

    const uint32_t* begin(size_t vertex) const { return faces_.data() + offsets_[vertex]; }
    const uint32_t* end(size_t vertex) const { return faces_.data() + offsets_[vertex + 1]; }

private:
    std::vector<uint32_t> offsets_;
    std::vector<uint32_t> faces_;
};

LVector3 Xyz(const LVector4& p) { return {p.x, p.y, p.z}; }

float Axis(const LVector3& v, int k) { return k == 0 ? v.x : (k == 1 ? v.y : v.z); }

void SetAxis(LVector3& v, int k, float value) { (k == 0 ? v.x : (k == 1 ? v.y : v.z)) = value; }

bool IsFinite(const LVector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

void DropFacesOutsideVertexList(LMesh& mesh)
{
    const size_t vertices = mesh.VertexCount();
    mesh.KeepFaces([vertices](const FaceInfo& f) { return f.a < vertices && f.b < vertices && f.c < vertices; });
}

void ComputeFaceNormals(LMesh& mesh)
{
    for (size_t f = 0; f < mesh.TriangleCount(); ++f) {
        FaceInfo& face = mesh.Face(f);
        const LVector3 a = Xyz(*mesh.Positions(face.a));
        const LVector3 b = Xyz(*mesh.Positions(face.b));
        const LVector3 c = Xyz(*mesh.Positions(face.c));
        face.normal = Normalize(Cross(b - a, c - a));
    }
}

// Appends a copy of vertex sources[i] for each i, all in one growth of the arrays.
void AppendCopiesOfVertices(LMesh& mesh, const std::vector<uint16_t>& sources)
{
    const size_t first = mesh.VertexCount();
    mesh.SetVertexArraySize(first + sources.size());
    for (size_t i = 0; i < sources.size(); ++i) {
        const size_t from = sources[i], to = first + i;
        *mesh.Positions(to) = *mesh.Positions(from);
        *mesh.Normals(to) = *mesh.Normals(from);
        *mesh.TexCoords(to) = *mesh.TexCoords(from);
        *mesh.Tangents(to) = *mesh.Tangents(from);
        *mesh.Binormals(to) = *mesh.Binormals(from);
    }
}

// Gives every further smoothing group at a vertex a copy of that vertex. Groups
// are whole 32-bit values in order of first appearance; the first keeps the
// vertex. When 16-bit corners run out, the remaining faces keep the shared vertex.
void SplitBySmoothingGroup(LMesh& mesh)
{
    const size_t originalCount = mesh.VertexCount();
    const FaceLists lists(mesh);
    // (group value, position in the vertex's face list), sorted to find the groups.
    std::vector<std::pair<uint32_t, uint32_t>> byGroup;
    // (first position, start in byGroup, end in byGroup) of each group.
    struct Group {
        uint32_t first, begin, end;
    };
    std::vector<Group> groups;
    // The vertex each copy repeats; the copies are appended at the end, since
    // nothing reads the vertex arrays while the corners are renamed.
    std::vector<uint16_t> copiesOf;

    for (size_t v = 0; v < originalCount; ++v) {
        const uint32_t* faces = lists.begin(v);
        const size_t used = lists.end(v) - faces;
        bool mixed = false;
        for (size_t i = 1; i < used && !mixed; ++i)
            mixed = mesh.Face(faces[i]).smoothingGroup != mesh.Face(faces[0]).smoothingGroup;
        if (!mixed)
            continue;

        byGroup.clear();
        for (size_t i = 0; i < used; ++i)
            byGroup.emplace_back(mesh.Face(faces[i]).smoothingGroup, static_cast<uint32_t>(i));
        std::sort(byGroup.begin(), byGroup.end());
        groups.clear();
        for (uint32_t i = 0; i < byGroup.size(); ++i)
            if (i == 0 || byGroup[i].first != byGroup[i - 1].first)
                groups.push_back({byGroup[i].second, i, i + 1});
            else
                groups.back().end = i + 1;
        std::sort(groups.begin(), groups.end(), [](const Group& x, const Group& y) { return x.first < y.first; });

        for (size_t g = 1; g < groups.size(); ++g) {
            if (originalCount + copiesOf.size() >= kMaxVertices) {
                AppendCopiesOfVertices(mesh, copiesOf);
                return;
            }
            const uint16_t copy = static_cast<uint16_t>(originalCount + copiesOf.size());
            copiesOf.push_back(static_cast<uint16_t>(v));
            for (uint32_t i = groups[g].begin; i < groups[g].end; ++i) {
                FaceInfo& face = mesh.Face(faces[byGroup[i].second]);
                if (face.a == v)
                    face.a = copy;
                if (face.b == v)
                    face.b = copy;
                if (face.c == v)
                    face.c = copy;
            }
        }
    }
    AppendCopiesOfVertices(mesh, copiesOf);
}

void ComputeVertexNormals(LMesh& mesh, const FaceLists& lists)
{
    for (size_t v = 0; v < mesh.VertexCount(); ++v) {
        LVector3 sum;
        for (const uint32_t* f = lists.begin(v); f != lists.end(v); ++f)
            sum = sum + mesh.Face(*f).normal;
        *mesh.Normals(v) = Normalize(sum);
    }
}

void CopyCornersToTriangles(LMesh& mesh)
{
    for (size_t f = 0; f < mesh.TriangleCount(); ++f) {
        const FaceInfo& face = mesh.Face(f);
        *mesh.Triangles(f) = LTriangle{face.a, face.b, face.c};
    }
}

// The directions in which u and v grow across each face. A face whose texture
// coordinates have no area has no such directions and gets zero vectors.
void ComputeFaceTangents(LMesh& mesh)
{
    for (size_t f = 0; f < mesh.TriangleCount(); ++f) {
        FaceInfo& face = mesh.Face(f);
        const LVector3 p0 = Xyz(*mesh.Positions(face.a));
        const LVector3 p1 = Xyz(*mesh.Positions(face.b));
        const LVector3 p2 = Xyz(*mesh.Positions(face.c));
        const LVector2 t0 = *mesh.TexCoords(face.a);
        const LVector2 t1 = *mesh.TexCoords(face.b);
        const LVector2 t2 = *mesh.TexCoords(face.c);
        LVector3 tangent, binormal;
        bool defined = true;
        for (int k = 0; k < 3; ++k) {
            const LVector3 e1{Axis(p1, k) - Axis(p0, k), t1.x - t0.x, t1.y - t0.y};
            const LVector3 e2{Axis(p2, k) - Axis(p0, k), t2.x - t0.x, t2.y - t0.y};
            const LVector3 n = Cross(e1, e2);
            if (n.x == 0.0f) {
                defined = false;
                break;
            }
            SetAxis(tangent, k, -n.y / n.x);
            SetAxis(binormal, k, -n.z / n.x);
        }
        if (!defined || !IsFinite(tangent) || !IsFinite(binormal))
            tangent = binormal = LVector3{};
        face.tangent = tangent;
        face.binormal = binormal;
    }
}

void ComputeVertexTangentFrames(LMesh& mesh, const FaceLists& lists)
{
    for (size_t v = 0; v < mesh.VertexCount(); ++v) {
        LVector3 sum;
        for (const uint32_t* f = lists.begin(v); f != lists.end(v); ++f)
            sum = sum + mesh.Face(*f).tangent;
        const LVector3 tangent = Normalize(sum);
        *mesh.Tangents(v) = tangent;
        *mesh.Binormals(v) = Normalize(Cross(tangent, *mesh.Normals(v)));
    }
}

}  // namespace

void FinishMesh(LMesh& mesh)
{
    DropFacesOutsideVertexList(mesh);
    ComputeFaceNormals(mesh);
    SplitBySmoothingGroup(mesh);
    // Splitting only appends vertices and renames corners, so one set of face
    // lists built afterwards serves both the normals and the tangent frames.
    const FaceLists lists(mesh);
    ComputeVertexNormals(mesh, lists);
    CopyCornersToTriangles(mesh);
    ComputeFaceTangents(mesh);
    ComputeVertexTangentFrames(mesh, lists);
}
