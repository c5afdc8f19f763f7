#pragma once
#include "model/lobject.h"
#include "model/lvector.h"

// A light object of a model file. Only its presence and name are used by the
// effects; the values are kept for completeness.
class LLight : public LObject {
public:
    const LVector3& Position() const { return position_; }
    const LVector3& Colour() const { return colour_; }
    bool IsSpotlight() const { return spotlight_; }
    const LVector3& Target() const { return target_; }
    float Hotspot() const { return hotspot_; }
    float Falloff() const { return falloff_; }

    void SetPosition(const LVector3& position) { position_ = position; }
    void SetColour(const LVector3& colour) { colour_ = colour; }
    // Giving a target makes the light a spotlight.
    void SetTarget(const LVector3& target)
    {
        target_ = target;
        spotlight_ = true;
    }
    void SetHotspot(float hotspot) { hotspot_ = hotspot; }
    void SetFalloff(float falloff) { falloff_ = falloff; }

private:
    LVector3 position_;
    LVector3 colour_;
    bool spotlight_ = false;
    LVector3 target_;
    float hotspot_ = 0;
    float falloff_ = 0;
};
