#include <cmath>

#include "assetgen.h"
#include "canvas.h"

// The rubber model's pictures: a chrome environment map and a two-layer
// backdrop (a calm base and the glow the beat adds on top of it).

namespace {

const float kPi = 3.14159265f;

// A chrome reflection: bright sky above a sharp horizon, dark ground with a
// warm rim below, a few soft highlights. Normal-map texture generation reads
// it with coordinates from -1 to 1 that repeat, so every term is periodic
// in both directions and the picture tiles without a seam.
void ChromeEnvironment(const std::string& path)
{
    const int size = 256;
    Canvas c(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = 2 * kPi * (x + 0.5f) / size;
            const float v = 2 * kPi * (y + 0.5f) / size;
            // Height above the horizon: +1 at the top of a period, -1 at the bottom,
            // bent a little so the horizon waves like a distant hill line.
            const float h = std::cos(v) + 0.18f * std::sin(u * 2) * std::sin(v);
            const float sky = std::fmax(0.0f, h);
            const float ground = std::fmax(0.0f, -h);
            const float horizon = std::exp(-h * h * 90);
            const float streak = std::pow(0.5f + 0.5f * std::cos(u * 3 + std::sin(v)), 24.0f) * sky;
            const float lamp = std::pow(std::fmax(0.0f, std::cos(u - 1.2f) * std::cos(v - 0.6f)), 40.0f);
            Rgba p{0.55f + 0.4f * sky, 0.65f + 0.3f * sky, 0.8f + 0.2f * sky, 1};
            p.r = p.r * (1 - ground) + 0.08f * ground;
            p.g = p.g * (1 - ground) + 0.06f * ground;
            p.b = p.b * (1 - ground) + 0.07f * ground;
            p.r += 1.0f * horizon + 0.5f * streak + lamp;
            p.g += 0.75f * horizon + 0.5f * streak + lamp;
            p.b += 0.45f * horizon + 0.6f * streak + lamp;
            c.At(x, y) = p;
        }
    c.Save(path);
}

// The base backdrop: a dusk sky over a receding grid of light. It is added
// onto black at full colour, so it stays dark enough for the model to read.
void RubberBackground(const std::string& path)
{
    const int size = 512;
    Canvas c(size, size);
    c.VerticalGradient(Rgba{0.02f, 0.01f, 0.08f, 1}, Rgba{0.22f, 0.04f, 0.22f, 1});
    c.Clouds(41, 110, Rgba{0.35f, 0.12f, 0.45f, 1}, 0.35f);
    c.Stars(42, 220, 0.6f);
    const float horizonY = size * 0.62f;
    for (int y = static_cast<int>(horizonY); y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // Perspective floor: depth grows towards the horizon.
            const float depth = 40.0f / (y - horizonY + 1.0f);
            const float across = (x - size / 2.0f) / size * depth * 8;
            const float lineZ = std::pow(0.5f + 0.5f * std::cos(depth * 2 * kPi * 2.0f), 30.0f);
            const float lineX = std::pow(0.5f + 0.5f * std::cos(across * 2 * kPi), 30.0f);
            const float fade = std::exp(-depth * 0.12f);
            const float light = (lineZ + lineX) * fade;
            c.AddLight(x, y, Rgba{0.9f, 0.25f, 0.8f, 1}, 0.6f * light);
        }
    c.Glow(size / 2.0f, horizonY, 260, Rgba{0.6f, 0.15f, 0.4f, 1}, 0.35f);
    c.Save(path);
}

// The beat glow laid over the base: a sun on the horizon with rays and a hot
// horizon line, on black so that a quiet beat adds nothing.
void RubberGlow(const std::string& path)
{
    const int size = 512;
    Canvas c(size, size);
    const float cx = size / 2.0f, cy = size * 0.62f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float dx = (x - cx) / size, dy = (y - cy) / size;
            const float r = std::hypot(dx, dy);
            const float a = std::atan2(dy, dx);
            const float rays = std::pow(0.5f + 0.5f * std::cos(a * 14), 10.0f) * std::exp(-r * 4);
            const float line = std::exp(-dy * dy * 4000) * std::exp(-std::fabs(dx) * 2.5f);
            const float sun = std::exp(-r * r * 90);
            c.AddLight(x, y, Rgba{1.0f, 0.55f, 0.85f, 1}, 0.8f * rays);
            c.AddLight(x, y, Rgba{1.0f, 0.7f, 0.45f, 1}, line + sun);
        }
    c.Save(path);
}

}  // namespace

void WriteRubberPictures(const std::string& dataDir)
{
    ChromeEnvironment(dataDir + "/rubber/env.jpg");
    RubberBackground(dataDir + "/rubber/background.jpg");
    RubberGlow(dataDir + "/rubber/background1.jpg");
}
