#include "model/limporter.h"

void LImporter::Reset()
{
    lights_.clear();
    meshes_.clear();
    materials_.clear();
}

const LMesh* LImporter::FindMesh(const std::string& name) const
{
    for (const LMesh& mesh : meshes_)
        if (mesh.Name() == name)
            return &mesh;
    return nullptr;
}

const LMaterial* LImporter::FindMaterial(const std::string& name) const
{
    for (const LMaterial& material : materials_)
        if (material.Name() == name)
            return &material;
    return nullptr;
}
