#include "effects/sky_flights.h"

#include <algorithm>
#include <cstdint>

#include "effects/cloud_layers.h"
#include "effects/screen_quad.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

namespace {

float SinceStart(uint32_t time, int start)
{
    return static_cast<float>(time - static_cast<uint32_t>(start));
}

}  // namespace

Tunnel::Tunnel(int start, int end) : Effekt(start, end)
{
    clouds.Load("data/sky/clouds.jpg");
    landscape.Load("data/sky/landskab1.jpg");
    landscapeGlow.Load("data/sky/landskab1_add.jpg");
}

void Tunnel::Draw(int timeMs, float beat)
{
    const uint32_t time = static_cast<uint32_t>(timeMs);
    const uint32_t landscapeFrom = static_cast<uint32_t>(end) - 15000;
    float cloudLevel = 1;
    if (time > landscapeFrom) {
        const float since = static_cast<float>(time - landscapeFrom);
        const float level = 0.9f * std::min(1.0f, std::max(0.0f, since / 10000));
        const float h = 1 + 0.00005f * since;
        CProjectionScope screen;
        CPushMatrix matrix;
        glTranslatef(0, 0, 0.00001f * since - 2);
        Grey(level);
        DrawImageQuad(landscape.texture, h);
        CTransparency additive(GL_ONE, GL_ONE);
        Grey(0.125f * level * beat);
        glBindTexture(GL_TEXTURE_2D, landscapeGlow.texture);
        TexturedQuad(h, h).Draw(1, -1);
        glBindTexture(GL_TEXTURE_2D, 0);
        cloudLevel = 1 - level;
    }
    DrawCloudLayers(kTunnelFlight, clouds.texture, SinceStart(time, start), beat, cloudLevel);
}

SkyUp::SkyUp(int start, int end, const char* cloudPath) : Effekt(start, end)
{
    if (cloudPath)
        clouds.Load(cloudPath);
}

void SkyUp::Draw(int timeMs, float beat)
{
    DrawCloudLayers(kSkyUpFlight, clouds.texture, SinceStart(static_cast<uint32_t>(timeMs), start), beat, 1);
}

}  // namespace Effekter
