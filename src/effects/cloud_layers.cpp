#include "effects/cloud_layers.h"

#include <cmath>

#include "effects/screen_quad.h"
#include "platform/shared_random.h"
#include "render/guards.h"
#include "render/screen.h"
#include "render/texture.h"

namespace Effekter {

namespace {

// 0 at z = 0, 1 at z = -10, 0 again at z = -15; negative in front of the viewer.
float Tent(float z)
{
    return z > -10 ? -z / 10 : 1 - (-z - 10) / 5;
}

}  // namespace

int DrawCloudLayers(const CloudFlight& flight, GLuint clouds, float rel, float beat, float brightness)
{
    CPushMatrix outer;
    glTranslatef(0, 0.0125f * beat, 0);
    glRotatef(0.005f * rel, 0, 0, 1);
    CTextureBinder bind(clouds);
    TexturedQuad quad(10, 10);

    CTransparency blend(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    CPushMatrix twist;
    // Whatever the generator holds when the pass begins sets the twist pattern.
    const float r1 = RandomUnit();
    const float r2 = RandomUnit();
    int drawn = 0;
    for (int c = 1000; c >= 1; --c) {
        SeedRandom(kCloudSeed);
        const float z = flight.approachSpeed * rel - static_cast<float>(c);
        Grey(Tent(z) * brightness * (beat + 1.125f));
        const float ra = RandomUnit();
        const float rb = RandomUnit();
        const float rc = RandomUnit();
        quad.centre.Set(flight.sidewaysScale * rc * z, flight.sidewaysScale * rb * std::sin(ra * z), z);
        const float rd = flight.fourthRandom ? RandomUnit() : 1;
        const float layer = static_cast<float>(c);
        // Not undone between layers: the rotations add up along the stack.
        glRotatef(10 * rd * std::sin(layer * r1) * std::cos(layer * r2), 0, 0, 1);
        if (z > -15) {
            quad.Draw(1, 1);
            ++drawn;
        }
    }
    return drawn;
}

}  // namespace Effekter
