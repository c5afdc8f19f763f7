#pragma once
#include <vector>

#include "render/gl.h"

// The GL objects that outlive the effects that made them: the framebuffers
// and textures of render targets, and display lists. A run never frees them
// before it exits; a show that a reload replaces frees its own, which are
// recorded here while it loads.
class GlObjects {
public:
    enum Kind { kFramebuffer, kRenderbuffer, kTexture, kList, kKinds };

    GlObjects() = default;
    GlObjects(GlObjects&&) = default;
    GlObjects& operator=(GlObjects&&) = default;
    GlObjects(const GlObjects&) = delete;
    GlObjects& operator=(const GlObjects&) = delete;

    void Add(Kind kind, GLuint name) { names_[kind].push_back(name); }
    // Deletes every object recorded (the GL context must be current) and
    // forgets them.
    void Free();

private:
    std::vector<GLuint> names_[kKinds];
};

// Called by the makers of such objects: records the object in the
// GlObjects that a ScopedGlRecording put in place, if any.
void RecordGlObject(GlObjects::Kind kind, GLuint name);

// Records into objects what is made for the length of a block.
class ScopedGlRecording {
public:
    explicit ScopedGlRecording(GlObjects& objects);
    ~ScopedGlRecording();
    ScopedGlRecording(const ScopedGlRecording&) = delete;
    ScopedGlRecording& operator=(const ScopedGlRecording&) = delete;

private:
    GlObjects* previous_;
};
