#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "model/llight.h"
#include "model/lmaterial.h"
#include "model/lmesh.h"

// Holds what a model reader found: lights, meshes and materials, by value.
class LImporter {
public:
    LImporter() { Reset(); }
    virtual ~LImporter() = default;
    LImporter(const LImporter&) = default;
    LImporter& operator=(const LImporter&) = default;

    // Replaces the contents with those of the file; false if it cannot be read.
    virtual bool Open(const char* path) = 0;
    virtual void Reset();

    // Index must be below the count; there is no check.
    size_t MeshCount() const { return meshes_.size(); }
    LMesh& MeshAt(size_t i) { return meshes_[i]; }
    const LMesh& MeshAt(size_t i) const { return meshes_[i]; }
    size_t MaterialCount() const { return materials_.size(); }
    LMaterial& MaterialAt(size_t i) { return materials_[i]; }
    const LMaterial& MaterialAt(size_t i) const { return materials_[i]; }
    size_t LightCount() const { return lights_.size(); }
    LLight& LightAt(size_t i) { return lights_[i]; }
    const LLight& LightAt(size_t i) const { return lights_[i]; }

    // First exact, case-sensitive match, or nullptr.
    const LMesh* FindMesh(const std::string& name) const;
    const LMaterial* FindMaterial(const std::string& name) const;

protected:
    std::vector<LLight> lights_;
    std::vector<LMesh> meshes_;
    std::vector<LMaterial> materials_;
};
