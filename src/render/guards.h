#pragma once
#include "render/gl.h"
#include "render/screen.h"

// Scoped GL state: each guard switches something on for the length of a block
// and undoes it on every way out, exceptions included.

class CEnabler {
public:
    explicit CEnabler(GLenum capability) : capability_(capability) { glEnable(capability); }
    virtual ~CEnabler() { glDisable(capability_); }
    CEnabler(const CEnabler&) = delete;
    CEnabler& operator=(const CEnabler&) = delete;

private:
    GLenum capability_;
};

// Blending with the given factors; the blend function is not restored.
class CTransparency : public CEnabler {
public:
    CTransparency(GLenum source, GLenum destination) : CEnabler(GL_BLEND) { glBlendFunc(source, destination); }
};

// Black linear fog between two eye-space distances; mode, range and colour stay set afterwards.
class CFog : public CEnabler {
public:
    CFog(float start, float end);
    ~CFog() override { glDisable(GL_FOG); }
};

// The screen projection (no arguments) or a perspective of the given size;
// the window perspective comes back at the end of the block.
class CProjectionScope {
public:
    CProjectionScope() { SetScreenOrtho(); }
    CProjectionScope(int width, int height) { SetPerspective(width, height); }
    ~CProjectionScope() { ResetPerspective(); }
    CProjectionScope(const CProjectionScope&) = delete;
    CProjectionScope& operator=(const CProjectionScope&) = delete;
};

class CPushMatrix {
public:
    CPushMatrix() { glPushMatrix(); }
    ~CPushMatrix() { glPopMatrix(); }
    CPushMatrix(const CPushMatrix&) = delete;
    CPushMatrix& operator=(const CPushMatrix&) = delete;
};
