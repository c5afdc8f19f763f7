#include "model/lmesh.h"

void LMesh::SetVertexArraySize(size_t count)
{
    positions_.resize(count, LVector4{0, 0, 0, 1});
    normals_.resize(count);
    binormals_.resize(count);
    tangents_.resize(count);
    texCoords_.resize(count);
}

void LMesh::SetTriangleArraySize(size_t count)
{
    triangles_.resize(count);
    faces_.resize(count);
}

void LMesh::SetPosition(size_t i, const LVector4& position)
{
    if (i < positions_.size())
        positions_[i] = position;
}

void LMesh::SetTexCoord(size_t i, const LVector2& texCoord)
{
    if (i < texCoords_.size())
        texCoords_[i] = texCoord;
}

void LMesh::SetFace(size_t i, const FaceInfo& face)
{
    if (i < faces_.size())
        faces_[i] = face;
}
