#include "model/limporter.h"

void LImporter::Reset()
{
    lights_.clear();
    meshes_.clear();
    materials_.clear();
}

LMesh* LImporter::FindMesh(const std::string& name)
{
    for (LMesh& mesh : meshes_)
        if (mesh.Name() == name)
            return &mesh;
    return nullptr;
}

LMaterial* LImporter::FindMaterial(const std::string& name)
{
    for (LMaterial& material : materials_)
        if (material.Name() == name)
            return &material;
    return nullptr;
}
