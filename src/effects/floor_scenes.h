#pragma once
#include <cstdint>

#include "render/shader_program.h"
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// One cube hopping and rolling over a scrolling checkerboard floor with a
// soft shadow under it, the camera circling.
class WalkCube : public Effekt {
public:
    WalkCube(int start, int end);
    void Draw(int timeMs, float beat) override;

    GLuint FloorProgram() const { return floorProgram.program; }

private:
    CTextureFreeImage floor;
    CTextureFreeImage shadow;
    ShaderProgram cubeProgram;
    FragmentProgram floorProgram;
    GLint intensityLocation = -1;
};

// Where one of BallsBounce's balls is in a frame, from its four random numbers.
struct BallPlace {
    float x = 0, y = 0;
    float lift = 0;    // height of the bounce; the ball rests 0.9 above it
    float shadow = 1;  // size and level of the shadow, 1 - height * k
    bool shown = false;
};

// 500 balls bouncing to the beat along a funnel-shaped track over a
// scrolling floor, each with a blob shadow.
class BallsBounce : public Effekt {
public:
    static constexpr int kBalls = 500;

    BallsBounce(int start, int end);
    void Draw(int timeMs, float beat) override;

    // Ball i with rel ms of the effect gone; draws the ball's four random
    // numbers from the shared generator whether it is shown or not.
    // k falls from 1 to 0 over the effect.
    static BallPlace PlaceBall(int i, uint32_t rel, float t, float beat, float k);

private:
    FragmentProgram floorProgram;
    CTextureFreeImage floor;
    CTextureFreeImage shadow;
    GLuint ball;  // a display list, freed with the show's GL objects
    ShaderProgram ballProgram;
};

}  // namespace Effekter
