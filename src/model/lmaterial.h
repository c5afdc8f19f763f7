#pragma once
#include <cstdint>
#include <string>

#include "model/lobject.h"
#include "model/lvector.h"

// One texture map of a material.
struct MapInfo {
    float strength = 0;
    std::string fileName;  // up to 255 characters
    float uScale = 1;
    float vScale = 1;
    float uOffset = 0;
    float vOffset = 0;
    float rotation = 0;
};

class LMaterial : public LObject {
public:
    enum Map { kTextureMap1, kTextureMap2, kOpacityMap, kReflectionMap, kBumpMap, kSpecularMap, kMapCount };

    uint32_t Id() const { return id_; }
    void SetId(uint32_t id) { id_ = id; }

    MapInfo& MapAt(Map which) { return maps_[which]; }
    const MapInfo& MapAt(Map which) const { return maps_[which]; }

    const LVector3& Ambient() const { return ambient_; }
    const LVector3& Diffuse() const { return diffuse_; }
    const LVector3& Specular() const { return specular_; }
    float Shininess() const { return shininess_; }
    float Transparency() const { return transparency_; }
    int Shading() const { return shading_; }

    void SetAmbient(const LVector3& colour) { ambient_ = colour; }
    void SetDiffuse(const LVector3& colour) { diffuse_ = colour; }
    void SetSpecular(const LVector3& colour) { specular_ = colour; }
    void SetShininess(float value) { shininess_ = Clamp01(value); }
    void SetTransparency(float value) { transparency_ = Clamp01(value); }
    void SetShading(int shading) { shading_ = shading; }

private:
    // NaN counts as 0.
    static float Clamp01(float v) { return v > 1 ? 1 : (v > 0 ? v : 0); }

    uint32_t id_ = 0;
    MapInfo maps_[kMapCount];
    LVector3 ambient_;
    LVector3 diffuse_;
    LVector3 specular_;
    float shininess_ = 0;
    float transparency_ = 0;
    int shading_ = 2;  // 0 is wireframe
};
