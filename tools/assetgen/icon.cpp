#include <cmath>
#include <cstdint>
#include <vector>

#include "assetgen.h"
#include "paint.h"

// The program's icon: a rounded tile with a striped setting sun over a
// glowing perspective floor, ringed by the show's beat rings.
namespace {

constexpr int kSize = 256;
constexpr float kHorizon = 0.62f;  // of the tile's height
constexpr float kSunX = 0.5f, kSunY = 0.5f, kSunRadius = 0.24f;

struct Star {
    float x, y, brightness;
};

std::vector<Star> SkyStars()
{
    std::vector<Star> stars;
    uint32_t state = 2026;
    auto next = [&]() {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0f;
    };
    for (int i = 0; i < 36; ++i) {
        const float x = next(), y = next() * kHorizon * 0.9f, b = 0.4f + 0.6f * next();
        // None on the sun's disc.
        if (std::hypot(x - kSunX, y - kSunY) > kSunRadius + 0.04f)
            stars.push_back({x, y, b});
    }
    return stars;
}

// Coverage of the rounded tile at (u, v), both 0..1 over the picture.
float TileCoverage(float u, float v)
{
    const float margin = 0.04f, corner = 0.17f;
    const float half = 0.5f - margin - corner;
    const float dx = std::fmax(std::fabs(u - 0.5f) - half, 0.0f);
    const float dy = std::fmax(std::fabs(v - 0.5f) - half, 0.0f);
    return std::hypot(dx, dy) <= corner ? 1.0f : 0.0f;
}

Rgba Sky(float u, float v, const std::vector<Star>& stars)
{
    Rgba c = Mix(Rgba{0.02f, 0.02f, 0.10f, 1}, Rgba{0.55f, 0.10f, 0.42f, 1}, Smooth(0.0f, kHorizon, v));
    for (const Star& s : stars) {
        const float d = std::hypot(u - s.x, v - s.y) * kSize;
        c = Mix(c, Rgba{0.9f, 0.92f, 1.0f, 1}, s.brightness * std::exp(-d * d * 0.9f));
    }
    // The sun: yellow at the top to pink at the horizon, cut by widening gaps below its middle.
    const float r = std::hypot(u - kSunX, v - kSunY);
    if (r < kSunRadius) {
        const float f = (v - (kSunY - kSunRadius)) / (2 * kSunRadius);
        const float below = (v - kSunY) / kSunRadius;
        const bool gap = below > 0.1f && std::fmod(below * 7.0f, 1.0f) < below * 0.6f;
        if (!gap)
            c = Mix(Rgba{1.0f, 0.88f, 0.30f, 1}, Rgba{1.0f, 0.30f, 0.55f, 1}, Smooth(0.0f, 0.8f, f));
    }
    // Its halo and the beat rings around it.
    const float ring1 = std::fabs(r - 0.31f) * kSize, ring2 = std::fabs(r - 0.38f) * kSize;
    c = Mix(c, Rgba{1.0f, 0.55f, 0.45f, 1}, 0.35f * std::exp(-std::pow((r - kSunRadius) * 14, 2.0f)));
    c = Mix(c, Rgba{0.35f, 0.95f, 1.0f, 1}, 0.85f * std::exp(-ring1 * ring1 * 0.25f));
    c = Mix(c, Rgba{0.35f, 0.95f, 1.0f, 1}, 0.45f * std::exp(-ring2 * ring2 * 0.35f));
    return c;
}

Rgba Floor(float u, float v)
{
    const float depth = (v - kHorizon) / (1 - kHorizon);  // 0 at the horizon, 1 at the bottom
    Rgba c = Mix(Rgba{0.30f, 0.04f, 0.30f, 1}, Rgba{0.03f, 0.01f, 0.08f, 1}, Smooth(0.0f, 0.5f, depth));
    // Lines across, closer together toward the horizon, and lines toward the vanishing point.
    const float z = 1.0f / (depth + 0.08f);
    const float across = std::fabs(std::fmod(z * 0.9f, 1.0f) - 0.5f);
    const float toward = std::fabs(std::fmod((u - 0.5f) * z * 1.1f + 100.5f, 1.0f) - 0.5f);
    const float width = 0.05f * z * 0.25f + 0.02f;
    const float line = std::fmax(Smooth(width * 2, width, 0.5f - across), Smooth(width * 2, width, 0.5f - toward));
    c = Mix(c, Rgba{0.35f, 0.95f, 1.0f, 1}, line * Smooth(0.0f, 0.25f, depth));
    // The sun's reflection on the floor near the horizon.
    const float glow = std::exp(-std::pow((u - kSunX) * 5, 2.0f)) * std::exp(-depth * 6);
    return Mix(c, Rgba{1.0f, 0.45f, 0.55f, 1}, 0.6f * glow);
}

}  // namespace

void WriteIcon(const std::string& path)
{
    const std::vector<Star> stars = SkyStars();
    Canvas icon(kSize, kSize, Rgba{0, 0, 0, 0});
    constexpr int kSamples = 4;  // per axis, for smooth edges
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            Rgba sum{0, 0, 0, 0};
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const float u = (x + (sx + 0.5f) / kSamples) / kSize;
                    const float v = (y + (sy + 0.5f) / kSamples) / kSize;
                    const float cover = TileCoverage(u, v);
                    const Rgba c = v < kHorizon ? Sky(u, v, stars) : Floor(u, v);
                    sum.r += c.r * cover;
                    sum.g += c.g * cover;
                    sum.b += c.b * cover;
                    sum.a += cover;
                }
            // Colours are averaged over the covered samples only, so the edge keeps its colour.
            icon.At(x, y) = sum.a > 0 ? Rgba{sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / (kSamples * kSamples)}
                                      : Rgba{0, 0, 0, 0};
        }
    icon.Save(path);
}
