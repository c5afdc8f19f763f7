#pragma once
#include <memory>

#include "model/mesh_display_list.h"
#include "platform/draw_pacer.h"
#include "render/shader_program.h"
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// A textured cube tumbling in front of a fixed camera, through its own
// program, on a screen it clears first.
class Mirror : public Effekt {
public:
    Mirror(int start, int end);
    void Draw(int timeMs, float beat) override;

    GLuint Program() const { return program->program; }

private:
    CTextureFreeImage cube;
    std::unique_ptr<ShaderProgram> program;
    GLint timeLocation = -1;  // "time", in seconds
};

// A model drawn twenty times through one program with the pass number in
// "step", drifting across the screen and blended by its own colour.
class ShaderSuite3D : public Effekt {
public:
    ShaderSuite3D(int start, int end);
    void Draw(int timeMs, float beat) override;

    GLuint Program() const { return program.program; }

private:
    MeshDisplayList model;
    CTextureFreeImage environment;
    CTextureFreeImage background;   // loaded with the effect, never shown
    CTextureFreeImage background1;  // likewise
    ShaderProgram program;
    GLint stepLocation = -1;
    GLint timeLocation = -1;
    // Twenty passes of the model, each binned whole by a software renderer
    // before it draws: three in flight at most (80 MiB less, no slower).
    DrawPacer passes{3, DrawPacer::kSoftwareRenderer};
};

// A fogged tower of a thousand thin textured slices that twist and breathe.
class TwistBox : public Effekt {
public:
    TwistBox(int start, int end);
    void Draw(int timeMs, float beat) override;

    GLuint Program() const { return program.program; }

    // Half-width of the tower at slice edge i (slice i's bottom, slice i-1's top).
    static float HalfWidth(int i, float t, float beat);

private:
    FragmentProgram program;
    CTextureFreeImage skyscraper;
    GLint intensityLocation = -1;
    GLint resolutionLocation = -1;
    GLint posLocation = -1;
};

}  // namespace Effekter
