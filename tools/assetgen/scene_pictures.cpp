#include <algorithm>
#include <cmath>

#include "assetgen.h"
#include "canvas.h"
#include "paint.h"

// Pictures for the layered 2D scenes (rings, strobe, sky flights), the dot
// field, the poles and the flying figure.

namespace {

const float kPi = 3.14159265f;

float Clamp01(float v)
{
    return std::min(1.0f, std::max(0.0f, v));
}

// Fractal noise that repeats every `period` units in both directions: four
// shifted copies cross-faded so that opposite edges meet.
float TilingNoise(float x, float y, float period, uint32_t seed, int octaves)
{
    const float u = x / period, v = y / period;
    const float a = FractalNoise(x, y, seed, octaves);
    const float b = FractalNoise(x - period, y, seed, octaves);
    const float c = FractalNoise(x, y - period, seed, octaves);
    const float d = FractalNoise(x - period, y - period, seed, octaves);
    const float top = a * (1 - u) + b * u;
    const float bottom = c * (1 - u) + d * u;
    // Cross-fading flattens the contrast in the middle; stretch it back.
    const float n = top * (1 - v) + bottom * v;
    const float flatten = 1 - 0.5f * (1 - std::fabs(2 * u - 1)) * (1 - std::fabs(2 * v - 1)) * 0.6f;
    return Clamp01(0.5f + (n - 0.5f) / flatten);
}

void CentredText(Canvas& c, const std::string& text, int y, int scale, Rgba colour)
{
    c.Text(text, (c.Width() - Canvas::TextWidth(text, scale)) / 2, y, scale, colour);
}

// --- the ring scene ----------------------------------------------------

// Deep blue behind the rings, with faint ripples spreading from the middle.
void RingBackground(const std::string& path)
{
    Canvas c(512, 512);
    Paint(c, [](float u, float v) {
        const float dx = u - 0.5f, dy = v - 0.55f;
        const float r = std::hypot(dx, dy);
        const float ripple = std::pow(0.5f + 0.5f * std::cos(r * 70), 6.0f) * std::exp(-r * 3);
        const float glow = std::exp(-r * r * 8);
        const Rgba base = Mix(Rgba{0.01f, 0.02f, 0.08f, 1}, Rgba{0.05f, 0.12f, 0.3f, 1}, glow);
        return Rgba{base.r + 0.05f * ripple, base.g + 0.2f * ripple, base.b + 0.35f * ripple, 1};
    });
    c.Stars(63, 150, 0.5f);
    c.Save(path);
}

// The tilted caption: a word in a soft halo, transparent around it.
void RingCaption(const std::string& path)
{
    Canvas c(512, 512, Rgba{0, 0, 0, 0});
    Paint(c, [](float u, float v) {
        const float dx = (u - 0.5f) / 0.45f, dy = (v - 0.5f) / 0.16f;
        const float halo = std::exp(-(dx * dx + dy * dy) * 2);
        return Rgba{0.1f, 0.45f, 0.9f, 0.6f * halo};
    });
    CentredText(c, "ROTATE", 215, 13, Rgba{1, 1, 1, 1});
    CentredText(c, "SPIN THE RINGS", 330, 4, Rgba{0.6f, 0.9f, 1.0f, 1});
    c.Save(path);
}

// --- the strobe --------------------------------------------------------

// The strip's backdrop, repeated fifty times side by side: light bars that
// join seamlessly from one copy to the next.
void StrobeBackdrop(const std::string& path)
{
    Canvas c(256, 256);
    Paint(c, [](float u, float v) {
        const float bars = std::pow(0.5f + 0.5f * std::cos(2 * kPi * u * 4), 8.0f);
        const float thin = std::pow(0.5f + 0.5f * std::cos(2 * kPi * (u * 12 + 0.5f)), 30.0f);
        const float band = Smooth(0.0f, 0.45f, v) * Smooth(1.0f, 0.55f, v);
        const float hue = 0.5f + 0.5f * std::cos(2 * kPi * u);
        const Rgba tint = Mix(Rgba{0.2f, 0.5f, 1.0f, 1}, Rgba{1.0f, 0.2f, 0.7f, 1}, hue);
        const float light = (0.25f + 0.75f * bars) * (0.35f + 0.65f * band) + 0.5f * thin * band;
        return Rgba{0.04f + tint.r * light, 0.02f + tint.g * light, 0.08f + tint.b * light, 1};
    });
    c.Save(path);
}

// The darkening caption: white shapes turn into black cut-outs on screen.
void StrobeCaption(const std::string& path)
{
    Canvas c(512, 512);
    for (int k = 0; k < 6; ++k) {
        const int y = 60 + k * 8;
        for (int x = 40; x < 472; ++x)
            c.At(x, y) = c.At(x, 511 - y) = Rgba{0.8f - 0.12f * k, 0.8f - 0.12f * k, 0.8f - 0.12f * k, 1};
    }
    CentredText(c, "STROBO", 180, 13, Rgba{1, 1, 1, 1});
    CentredText(c, "SKOP", 280, 13, Rgba{1, 1, 1, 1});
    c.Save(path);
}

// The twist: spiral arms of light on black, fading out towards a round edge.
void StrobeTwist(const std::string& path)
{
    Canvas c(256, 256);
    Paint(c, [](float u, float v) {
        const float dx = u - 0.5f, dy = v - 0.5f;
        const float r = std::hypot(dx, dy) * 2;
        const float a = std::atan2(dy, dx);
        const float arms = std::pow(0.5f + 0.5f * std::cos(a * 5 + r * 9), 4.0f);
        const float fade = Smooth(1.0f, 0.3f, r) * Smooth(0.0f, 0.15f, r);
        const float light = arms * fade;
        return Rgba{light * 0.6f, light * 0.9f, light, 1};
    });
    c.Save(path);
}

// --- the sky -----------------------------------------------------------

// Clouds that repeat seamlessly, light where they are thick and black in the
// gaps, so the layers show through each other.
void TilingClouds(const std::string& path, uint32_t seed, Rgba thin, Rgba thick)
{
    Canvas c(512, 512);
    Paint(c, [&](float u, float v) {
        const float n = TilingNoise(u * 6, v * 6, 6, seed, 5);
        const float cover = Smooth(0.3f, 0.68f, n);
        const Rgba col = Mix(thin, thick, Smooth(0.45f, 0.8f, n));
        return Scale(col, cover);
    });
    c.Save(path);
}

// Height of the mountain ridges (0 at the top, 1 at the bottom) at x.
float Ridge(float u, int layer)
{
    const float base = 0.5f + 0.06f * layer;
    const float n = FractalNoise(u * (3 + layer), static_cast<float>(layer) * 7.3f, 90 + layer, 5);
    return base - 0.22f * n + 0.05f * layer * n;
}

const float kHorizon = 0.68f;
const float kSunU = 0.62f, kSunV = 0.5f;

// A dusk landscape: layered ridges under a warm sky, and a lake below.
void Landscape(const std::string& path)
{
    Canvas c(512, 512);
    Paint(c, [](float u, float v) {
        // The lake mirrors what is above the horizon, a little darker.
        const bool lake = v > kHorizon;
        const float sv = lake ? 2 * kHorizon - v : v;
        const float sky = Clamp01(sv / kHorizon);
        Rgba col = Mix(Rgba{0.16f, 0.12f, 0.42f, 1}, Rgba{1.0f, 0.62f, 0.38f, 1}, sky * sky);
        const float sun = std::exp(-(std::pow(u - kSunU, 2.0f) + std::pow(sv - kSunV, 2.0f)) * 150);
        col = Mix(col, Rgba{1.0f, 0.9f, 0.6f, 1}, Clamp01(sun * 1.5f));
        for (int layer = 0; layer < 3; ++layer) {
            if (sv > Ridge(u, layer)) {
                const float haze = 0.7f - 0.18f * layer;
                col = Mix(Rgba{0.1f, 0.05f, 0.18f, 1}, col, haze);
            }
        }
        if (lake) {
            const float ripple = 0.85f + 0.15f * std::sin(v * 400 + 8 * FractalNoise(u * 20, v * 60, 5, 2));
            col = Scale(col, 0.8f * ripple);
        }
        return col;
    });
    c.Save(path);
}

// The landscape's glow on black: the sun and the rims of the ridges. It is
// shown upside down on screen, so it is painted mirrored to line up.
void LandscapeGlow(const std::string& path)
{
    Canvas c(512, 512);
    Paint(c, [](float u, float flipped) {
        const float v = 1 - flipped;
        if (v > kHorizon)
            return Rgba{0, 0, 0, 1};
        const float sun = std::exp(-(std::pow(u - kSunU, 2.0f) + std::pow(v - kSunV, 2.0f)) * 60);
        float rim = 0;
        for (int layer = 0; layer < 3; ++layer) {
            const float d = v - Ridge(u, layer);
            rim += (d > 0 ? std::exp(-d * 120) : 0) * (1 - 0.3f * layer) * std::exp(-std::fabs(u - kSunU) * 3);
        }
        return Rgba{sun + 0.9f * rim, 0.7f * sun + 0.5f * rim, 0.4f * sun + 0.2f * rim, 1};
    });
    c.Save(path);
}

// --- the dot field and the poles ---------------------------------------

// A glowing dot with a soft alpha edge; black around it, since it is added.
void Dot(const std::string& path, Rgba tint, float sharpness)
{
    Canvas c(128, 128);
    Paint(c, [&](float u, float v) {
        const float r = std::hypot(u - 0.5f, v - 0.5f) * 2;
        const float core = std::exp(-r * r * sharpness);
        const float halo = std::exp(-r * r * 4) * 0.35f;
        const float edge = Smooth(1.0f, 0.8f, r);
        const float light = (core + halo) * edge;
        return Rgba{Clamp01(tint.r * light + core * 0.6f), Clamp01(tint.g * light + core * 0.6f),
                    Clamp01(tint.b * light + core * 0.6f), Clamp01(light)};
    });
    c.Save(path);
}

// The pole's skin: brushed metal wound with a glowing spiral band. Each term
// repeats once across the width, so the picture wraps round the cylinder.
void PoleSkin(const std::string& path)
{
    Canvas c(256, 256);
    Paint(c, [](float u, float v) {
        const float brushed = 0.8f + 0.2f * FractalNoise(std::cos(2 * kPi * u) * 2 + 3, v * 90, 17, 3);
        const float shade = 0.55f + 0.45f * std::cos(2 * kPi * (u - 0.25f));
        const float spiral = std::pow(0.5f + 0.5f * std::cos(2 * kPi * (u + v * 4)), 16.0f);
        const float seams = std::pow(0.5f + 0.5f * std::cos(2 * kPi * v * 8), 40.0f);
        const float metal = 0.45f * brushed * shade;
        return Rgba{metal + 0.2f * spiral + 0.3f * seams, metal + 0.7f * spiral + 0.35f * seams,
                    metal * 1.1f + 1.0f * spiral + 0.4f * seams, 1};
    });
    c.Save(path);
}

// --- the flying figure -------------------------------------------------

// A bumblebee seen from above, head to the right, with a clean anti-aliased
// alpha edge: fuzzy striped body, dark head, glassy wings.
void Bee(const std::string& path)
{
    const int size = 256, samples = 4;
    Canvas c(size, size, Rgba{0, 0, 0, 0});
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Rgba sum{0, 0, 0, 0};
            // Several samples a pixel give the edge its anti-aliasing.
            for (int sy = 0; sy < samples; ++sy)
                for (int sx = 0; sx < samples; ++sx) {
                    const float u = (x + (sx + 0.5f) / samples) / size * 2 - 1;
                    const float v = (y + (sy + 0.5f) / samples) / size * 2 - 1;
                    Rgba p{0, 0, 0, 0};
                    // Wings first, under the body.
                    for (int side = -1; side <= 1; side += 2) {
                        const float wx = (u + 0.05f) / 0.3f, wy = (v - side * 0.42f) / 0.24f;
                        if (wx * wx + wy * wy < 1) {
                            const float vein = 0.5f + 0.5f * std::cos((wx + wy) * 9);
                            p = Rgba{0.75f + 0.2f * vein, 0.88f + 0.1f * vein, 1.0f, 0.55f};
                        }
                    }
                    const float bx = (u + 0.1f) / 0.55f, by = v / 0.32f;
                    if (bx * bx + by * by < 1) {
                        const bool stripe = std::fmod(bx + 2.0f, 0.5f) < 0.22f;
                        const float round = 0.6f + 0.4f * std::sqrt(1 - std::min(1.0f, bx * bx + by * by));
                        p = stripe ? Rgba{0.1f * round, 0.08f * round, 0.05f * round, 1}
                                   : Rgba{1.0f * round, 0.78f * round, 0.1f * round, 1};
                    }
                    const float hx = (u - 0.55f) / 0.2f, hy = v / 0.2f;
                    if (hx * hx + hy * hy < 1) {
                        const bool eye = std::hypot(hx - 0.4f, std::fabs(hy) - 0.45f) < 0.3f;
                        p = eye ? Rgba{0.9f, 0.95f, 1.0f, 1} : Rgba{0.12f, 0.1f, 0.1f, 1};
                    }
                    sum.r += p.r * p.a;
                    sum.g += p.g * p.a;
                    sum.b += p.b * p.a;
                    sum.a += p.a;
                }
            const float n = static_cast<float>(samples * samples);
            if (sum.a > 0)
                c.At(x, y) = Rgba{sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / n};
        }
    c.Save(path);
}

// A pastel mandala that turns behind the figure: soft petals in rings.
void PastelMandala(const std::string& path)
{
    Canvas c(512, 512);
    Paint(c, [](float u, float v) {
        const float dx = u - 0.5f, dy = v - 0.5f;
        const float r = std::hypot(dx, dy) * 2;
        const float a = std::atan2(dy, dx);
        const float petals = 0.5f + 0.5f * std::cos(a * 12 + std::sin(r * 10) * 0.8f);
        const float rings = 0.5f + 0.5f * std::cos(r * 18);
        const float f = Clamp01(0.5f * petals + 0.5f * rings);
        const Rgba pink{1.0f, 0.78f, 0.86f, 1}, mint{0.72f, 0.95f, 0.86f, 1}, lilac{0.8f, 0.76f, 1.0f, 1};
        const Rgba col = r < 0.5f ? Mix(pink, lilac, f) : Mix(mint, pink, f);
        const float vignette = 1 - 0.35f * Smooth(0.6f, 1.4f, r);
        return Scale(col, vignette * (0.85f + 0.15f * std::cos(r * 40) * petals));
    });
    c.Save(path);
}

// A sparkle for the trail: four sharp rays and a soft glow, on black.
void Sparkle(const std::string& path)
{
    Canvas c(128, 128);
    Paint(c, [](float u, float v) {
        const float dx = (u - 0.5f) * 2, dy = (v - 0.5f) * 2;
        const float r = std::hypot(dx, dy);
        const float rays = std::exp(-std::fabs(dx) * 40) * std::exp(-std::fabs(dy) * 2.5f) +
                           std::exp(-std::fabs(dy) * 40) * std::exp(-std::fabs(dx) * 2.5f);
        const float glow = std::exp(-r * r * 12);
        const float edge = Smooth(1.0f, 0.85f, r);
        const float light = (rays + glow) * edge;
        return Rgba{light, light * 0.95f, light * 0.8f, 1};
    });
    c.Save(path);
}

}  // namespace

void WriteScenePictures(const std::string& dataDir)
{
    RingBackground(dataDir + "/brakvolde/ringe/bg.png");
    RingCaption(dataDir + "/brakvolde/ringe/rotate.png");

    StrobeBackdrop(dataDir + "/strobo/bg.jpg");
    StrobeCaption(dataDir + "/strobo/text.jpg");
    StrobeTwist(dataDir + "/strobo/twist.jpg");

    TilingClouds(dataDir + "/sky/clouds.jpg", 31, Rgba{0.55f, 0.65f, 0.9f, 1}, Rgba{1.0f, 1.0f, 1.0f, 1});
    TilingClouds(dataDir + "/sky/dawnclouds.jpg", 57, Rgba{0.85f, 0.45f, 0.6f, 1}, Rgba{1.0f, 0.9f, 0.7f, 1});
    Landscape(dataDir + "/sky/landskab1.jpg");
    LandscapeGlow(dataDir + "/sky/landskab1_add.jpg");

    Dot(dataDir + "/vondo/prikker/prik1.png", Rgba{1.0f, 0.5f, 0.2f, 1}, 30);
    Dot(dataDir + "/vondo/prikker/prik2.png", Rgba{0.4f, 1.0f, 0.5f, 1}, 20);
    Dot(dataDir + "/vondo/prikker/prik3.png", Rgba{0.3f, 0.7f, 1.0f, 1}, 16);
    Dot(dataDir + "/vondo/prikker/prik4.png", Rgba{1.0f, 0.4f, 0.9f, 1}, 40);
    PoleSkin(dataDir + "/vondo/fog/pole1.jpg");

    Bee(dataDir + "/vondo/brum/brum.png");
    PastelMandala(dataDir + "/vondo/brum/pastelmand.jpg");
    Sparkle(dataDir + "/vondo/brum/stjern1.jpg");
}
