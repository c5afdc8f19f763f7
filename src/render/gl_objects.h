#pragma once
#include <vector>

#include "render/gl.h"

// The GL objects that outlive the effects that made them: the framebuffers
// and textures of render targets, and display lists. A run never frees them
// before it exits; a show that a reload replaces frees its own, which are
// recorded here while it loads.
class GlObjects {
public:
    GlObjects() = default;
    GlObjects(GlObjects&&) = default;
    GlObjects& operator=(GlObjects&&) = default;
    GlObjects(const GlObjects&) = delete;
    GlObjects& operator=(const GlObjects&) = delete;

    // Deletes every object recorded (the GL context must be current) and
    // forgets them.
    void Free();

private:
    friend void RecordFramebuffer(GLuint);
    friend void RecordRenderbuffer(GLuint);
    friend void RecordTexture(GLuint);
    friend void RecordList(GLuint);

    std::vector<GLuint> framebuffers_;
    std::vector<GLuint> renderbuffers_;
    std::vector<GLuint> textures_;
    std::vector<GLuint> lists_;
};

// Called by the makers of such objects: records the object in the
// GlObjects that a ScopedGlRecording put in place, if any.
void RecordFramebuffer(GLuint framebuffer);
void RecordRenderbuffer(GLuint renderbuffer);
void RecordTexture(GLuint texture);
void RecordList(GLuint list);

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
