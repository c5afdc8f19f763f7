#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/lobject.h"
#include "model/lvector.h"

// What the reader and mesh finishing know about one triangle.
struct FaceInfo {
    uint16_t a = 0, b = 0, c = 0;  // corners (vertex indices)
    uint32_t smoothingGroup = 1;   // bit mask; faces split where the values differ
    LVector3 normal;
    LVector3 tangent;
    LVector3 binormal;
    uint32_t materialId = 0;  // meaningful only if a material group named the face
};

// A triangle mesh ready for vertex arrays. The five per-vertex arrays always
// have the same length; triangles and faces have the same length.
class LMesh : public LObject {
public:
    size_t VertexCount() const { return positions_.size(); }
    size_t TriangleCount() const { return triangles_.size(); }

    // Addresses of element i, so that element 0 starts a packed array.
    LVector4* Positions(size_t i) { return &positions_[i]; }
    LVector3* Normals(size_t i) { return &normals_[i]; }
    LVector3* Binormals(size_t i) { return &binormals_[i]; }
    LVector3* Tangents(size_t i) { return &tangents_[i]; }
    LVector2* TexCoords(size_t i) { return &texCoords_[i]; }
    LTriangle* Triangles(size_t i) { return &triangles_[i]; }
    const LVector4* Positions(size_t i) const { return &positions_[i]; }
    const LVector3* Normals(size_t i) const { return &normals_[i]; }
    const LVector3* Binormals(size_t i) const { return &binormals_[i]; }
    const LVector3* Tangents(size_t i) const { return &tangents_[i]; }
    const LVector2* TexCoords(size_t i) const { return &texCoords_[i]; }
    const LTriangle* Triangles(size_t i) const { return &triangles_[i]; }

    FaceInfo& Face(size_t i) { return faces_[i]; }
    const FaceInfo& Face(size_t i) const { return faces_[i]; }

    const LMatrix4& Matrix() const { return matrix_; }
    const std::vector<uint32_t>& Materials() const { return materials_; }

    // New elements are zero (positions get w = 1).
    void SetVertexArraySize(size_t count);
    void SetTriangleArraySize(size_t count);
    // Indices at or past the count are ignored.
    void SetPosition(size_t i, const LVector4& position);
    void SetTexCoord(size_t i, const LVector2& texCoord);
    void SetFace(size_t i, const FaceInfo& face);
    void SetMatrix(const LMatrix4& matrix) { matrix_ = matrix; }
    void AddMaterial(uint32_t id) { materials_.push_back(id); }
    // Keeps the faces for which keep(face) is true, in order, with the triangles.
    template <typename Keep>
    void KeepFaces(Keep keep);

private:
    std::vector<LVector4> positions_;
    std::vector<LVector3> normals_;
    std::vector<LVector3> binormals_;
    std::vector<LVector3> tangents_;
    std::vector<LVector2> texCoords_;
    std::vector<LTriangle> triangles_;
    std::vector<FaceInfo> faces_;
    LMatrix4 matrix_;
    std::vector<uint32_t> materials_;
};

template <typename Keep>
void LMesh::KeepFaces(Keep keep)
{
    size_t kept = 0;
    for (size_t i = 0; i < faces_.size(); ++i)
        if (keep(faces_[i])) {
            faces_[kept] = faces_[i];
            triangles_[kept] = triangles_[i];
            ++kept;
        }
    SetTriangleArraySize(kept);
}
