#pragma once
#include <cstdint>

#include "render/gl.h"

namespace Effekter {

// The flight through a thousand cloud layers that wind along one fixed curve,
// shared by Tunnel and SkyUp, which differ only in these constants.
struct CloudFlight {
    float approachSpeed;   // units per millisecond of the effect's own time
    float sidewaysScale;
    bool fourthRandom;     // a fourth random number scales each layer's twist
};

constexpr CloudFlight kSkyUpFlight{0.00025f, 3, true};
constexpr CloudFlight kTunnelFlight{0.01f, 1, false};

// The seed every layer reseeds the shared generator with, so that all layers
// draw the same numbers and lie along one curve.
constexpr uint32_t kCloudSeed = 89;

// Draws the layers far to near with the cloud texture and returns how many
// quads it drew. rel: milliseconds since the effect's start; brightness: the
// effect's extra dimming factor (1 for none).
int DrawCloudLayers(const CloudFlight& flight, GLuint clouds, float rel, float beat, float brightness);

}  // namespace Effekter
