#pragma once
#include <cstdint>

#include "render/render_target.h"
#include "render/shader_program.h"
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// A spot-like light 0 with a shiny grey material, for the cube stream.
struct SceneLight {
    GLfloat savedColour[4] = {0, 0, 0, 0};
    GLfloat ambient[4] = {0, 0, 0, 0};
    GLfloat diffuse[4] = {1, 1, 1, 1};
    GLfloat position[4] = {0, 0, 0, 10};
    GLfloat specular[4] = {1, 1, 1, 1};
    GLenum shadeModel = GL_SMOOTH;
    GLenum light = GL_LIGHT0;

    // Saves the current colour, sets the material and the light (its position
    // under the current model-view matrix) and switches the light on.
    void Apply();
};

// The beat switches that move NanoBall about, shared by every NanoBall of the
// run and never reset, so a later NanoBall goes on where an earlier one left.
struct NanoBallSwitches {
    bool initialised = false;
    uint32_t lastSwitch = 0;  // ms
    int switches = 0;
    int quarters = 0;         // every fourth switch
};

// A spiky ball of up to 512 textured rods with flares on their tips, jumping
// and spinning with the beat over a turning, zooming background.
class NanoBall : public Effekt {
public:
    static constexpr int kMaxRods = 512;

    NanoBall(int start, int end);
    ~NanoBall() override;
    void Draw(int timeMs, float beat) override;

    static const NanoBallSwitches& Switches();

private:
    GLUquadric* quadric;
    CTextureFreeImage rod;
    CTextureFreeImage flare;
    CTextureFreeImage background;
    uint32_t lastBeat = 0;
    struct RodPose {
        float aboutY, aboutX;  // degrees
        float length;
    };
    RodPose poses[kMaxRods] = {};  // this frame's, for the flares on the rods' tips
    ShaderProgram cubeProgram;
    RenderTarget target;     // built with the effect, not drawn with
    FragmentProgram bend;    // likewise
};

// A lit stream of 6000 small cubes flowing around a textured sphere over a
// turning background, drawn off screen and shown through a program.
class Spheres : public Effekt {
public:
    static constexpr int kCubes = 6000;

    Spheres(int start, int end);
    ~Spheres() override;
    void Draw(int timeMs, float beat) override;

    GLuint Program() const { return shader.program; }

private:
    FragmentProgram shader;
    CTextureFreeImage background;
    CTextureFreeImage towerEnvironment;  // loaded with the effect, never drawn
    CTextureFreeImage sphere;
    SceneLight light;
    GLUquadric* quadric;
    RenderTarget target;
};

}  // namespace Effekter
