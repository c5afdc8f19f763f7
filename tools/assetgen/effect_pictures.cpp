#include <algorithm>
#include <cmath>

#include "assetgen.h"
#include "canvas.h"
#include "paint.h"

// Pictures for the zoomers and the shader effects. Most are bright shapes on
// black: the effects add them up or blend them by their colour, so black is
// "nothing" and light is what shows.

namespace {

const float kPi = 3.14159265f;

// A cosine palette: the colour at position f (0..1 repeating).
Rgba Palette(float f, Rgba a, Rgba b, Rgba phase)
{
    return Rgba{a.r + b.r * std::cos(2 * kPi * (f + phase.r)), a.g + b.g * std::cos(2 * kPi * (f + phase.g)),
                a.b + b.b * std::cos(2 * kPi * (f + phase.b)), 1};
}

Rgba Rainbow(float f)
{
    return Palette(f, Rgba{0.5f, 0.5f, 0.5f, 1}, Rgba{0.5f, 0.5f, 0.5f, 1}, Rgba{0.0f, 0.33f, 0.67f, 1});
}

void CentredText(Canvas& c, const std::string& text, int y, int scale, Rgba colour)
{
    c.Text(text, (c.Width() - Canvas::TextWidth(text, scale)) / 2, y, scale, colour);
}

// Applies f(x, y) -> light to add, over the whole canvas, in normalised
// coordinates (-1..1 across both sides).
template <class F>
void Shade(Canvas& c, F f)
{
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            const float u = (x + 0.5f) / c.Width() * 2 - 1;
            const float v = (y + 0.5f) / c.Height() * 2 - 1;
            const Rgba add = f(u, v);
            c.AddLight(x, y, add, 1);
        }
}

// --- plasma ------------------------------------------------------------

// Sunlit caustics over deep water.
void Water(const std::string& path)
{
    Canvas c(512, 512);
    c.VerticalGradient(Rgba{0.02f, 0.18f, 0.3f, 1}, Rgba{0.0f, 0.06f, 0.16f, 1});
    Shade(c, [](float u, float v) {
        float light = 0;
        for (int layer = 0; layer < 2; ++layer) {
            const float n = FractalNoise((u + 1) * 3.5f + layer * 1.7f, (v + 1) * 3.5f, 71 + layer, 4);
            const float ridge = 1 - std::fabs(n * 2 - 1);
            light += std::pow(ridge, 8.0f) * (layer == 0 ? 0.9f : 0.5f);
        }
        return Rgba{0.35f * light, 0.85f * light, 0.9f * light, 1};
    });
    c.Save(path);
}

// --- polar coordinates -------------------------------------------------

// A block of flats by night: the face of every box in the polar scene. Big
// windows and a bold frame, since each box face is small on the screen.
void Housing(const std::string& path)
{
    Canvas c(256, 256);
    c.VerticalGradient(Rgba{0.25f, 0.12f, 0.4f, 1}, Rgba{0.08f, 0.05f, 0.2f, 1});
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) {
            const float n = FractalNoise(col * 1.3f, row * 2.1f, 5, 1);
            const Rgba warm = n > 0.55f ? Rgba{0.4f, 0.95f, 1.0f, 1} : Rgba{1.0f, 0.75f, 0.3f, 1};
            const int x0 = 26 + col * 72, y0 = 22 + row * 56;
            for (int y = y0; y < y0 + 38; ++y)
                for (int x = x0; x < x0 + 52; ++x) {
                    const float shade = 0.7f + 0.3f * (y - y0) / 38.0f;
                    c.At(x, y) = Rgba{warm.r * shade, warm.g * shade, warm.b * shade, 1};
                }
        }
    for (int i = 0; i < 256; ++i)
        for (int k = 0; k < 10; ++k) {
            const Rgba edge{1.0f, 0.35f, 0.85f, 1};
            c.At(i, k) = edge;
            c.At(i, 255 - k) = edge;
            c.At(k, i) = edge;
            c.At(255 - k, i) = edge;
        }
    c.Save(path);
}

// --- banger ------------------------------------------------------------

// The title card that slides in: a burst behind a big word.
void Bang(const std::string& path)
{
    Canvas c(512, 512);
    c.VerticalGradient(Rgba{0.35f, 0.02f, 0.08f, 1}, Rgba{0.05f, 0.0f, 0.1f, 1});
    Shade(c, [](float u, float v) {
        const float r = std::hypot(u, v);
        const float a = std::atan2(v, u);
        const float rays = std::pow(0.5f + 0.5f * std::cos(a * 16), 6.0f) * std::exp(-r * 1.4f);
        const float core = std::exp(-r * r * 6);
        return Rgba{1.0f * rays + core, 0.45f * rays + 0.8f * core, 0.1f * rays + 0.4f * core, 1};
    });
    c.Ring(256, 256, 200, 4, Rgba{1.0f, 0.8f, 0.3f, 1});
    CentredText(c, "BANG!", 200, 16, Rgba{1, 1, 1, 1});
    CentredText(c, "FEEL THE KICK", 350, 4, Rgba{1.0f, 0.85f, 0.3f, 1});
    c.Save(path);
}

// The flash added on the beat: white-hot rays on black.
void BangFlash(const std::string& path)
{
    Canvas c(512, 512);
    Shade(c, [](float u, float v) {
        const float r = std::hypot(u, v);
        const float a = std::atan2(v, u);
        const float rays = std::pow(0.5f + 0.5f * std::cos(a * 9 + 0.5f), 12.0f) * std::exp(-r * 0.9f);
        const float ring = std::exp(-std::pow((r - 0.75f) / 0.05f, 2.0f));
        return Rgba{rays + 0.8f * ring, 0.9f * rays + 0.5f * ring, 0.6f * rays + 1.0f * ring, 1};
    });
    c.Glow(256, 256, 120, Rgba{1, 0.9f, 0.7f, 1}, 0.9f);
    c.Save(path);
}

// --- circles and faces -------------------------------------------------

// Neon rings, each its own colour, for the ripple program.
void RingPicture(const std::string& path)
{
    Canvas c(512, 512);
    c.VerticalGradient(Rgba{0.03f, 0.0f, 0.1f, 1}, Rgba{0.0f, 0.02f, 0.08f, 1});
    for (int i = 0; i < 9; ++i) {
        const Rgba colour = Rainbow(i / 9.0f);
        c.Ring(256, 256, 24.0f + i * 27, 3.0f + (i % 3), colour);
        c.Ring(256, 256, 24.0f + i * 27, 12, Rgba{colour.r * 0.25f, colour.g * 0.25f, colour.b * 0.25f, 1});
    }
    c.Glow(256, 256, 60, Rgba{1, 1, 1, 1}, 0.6f);
    c.Save(path);
}

// Floating bubbles of light, like an out-of-focus crowd.
void Bubbles(const std::string& path)
{
    Canvas c(512, 512);
    c.VerticalGradient(Rgba{0.1f, 0.0f, 0.15f, 1}, Rgba{0.0f, 0.05f, 0.2f, 1});
    for (int i = 0; i < 60; ++i) {
        const float x = FractalNoise(i * 3.1f, 0.5f, 13, 1) * 700 - 90;
        const float y = FractalNoise(0.5f, i * 3.7f, 17, 1) * 700 - 90;
        const float radius = 12 + 50 * FractalNoise(i * 1.9f, i * 2.3f, 19, 1);
        const Rgba colour = Rainbow(i * 0.137f);
        c.Glow(x, y, radius, colour, 0.35f);
        c.Ring(x, y, radius * 0.8f, 1.5f, colour);
    }
    c.Save(path);
}

// Words added faintly over the faces on the beat.
void FacesText(const std::string& path)
{
    Canvas c(512, 512);
    CentredText(c, "FACES", 150, 14, Rgba{1, 1, 1, 1});
    CentredText(c, "IN THE CROWD", 290, 6, Rgba{1, 1, 1, 1});
    c.Save(path);
}

// --- zoomers -----------------------------------------------------------

// One layer of the fly-through: the outline of a flower in neon on black,
// thin and hollow, so that the layers behind it stay visible.
void Petal(const std::string& path, Rgba inner, Rgba outer, int petals)
{
    Canvas c(256, 256);
    Shade(c, [=](float u, float v) {
        const float r = std::hypot(u, v);
        const float a = std::atan2(v, u);
        const float shape = 0.6f + 0.3f * std::cos(a * petals);
        const float rim = std::exp(-std::pow((r - shape) / 0.035f, 2.0f));
        const float innerRim = 0.6f * std::exp(-std::pow((r - 0.55f * shape) / 0.025f, 2.0f));
        const float fade = Smooth(1.0f, 0.9f, r);  // black at the edges of the quad
        const Rgba line{outer.r * rim + inner.r * innerRim, outer.g * rim + inner.g * innerRim,
                        outer.b * rim + inner.b * innerRim, 1};
        return Rgba{line.r * fade, line.g * fade, line.b * fade, 1};
    });
    c.Save(path);
}

// A deep nebula to fly through.
void Nebula(const std::string& path, uint32_t seed, Rgba top, Rgba bottom, Rgba cloud, Rgba glow)
{
    Canvas c(512, 512);
    c.VerticalGradient(top, bottom);
    c.Clouds(seed, 110, cloud, 0.8f);
    c.Clouds(seed + 7, 45, glow, 0.35f);
    c.Stars(seed + 3, 500, 0.9f);
    c.Glow(256, 256, 180, glow, 0.4f);
    c.Save(path);
}

// Light beams across black, added with the beat.
void Beams(const std::string& path, Rgba colour)
{
    Canvas c(512, 512);
    Shade(c, [=](float u, float v) {
        float light = 0;
        for (int i = 0; i < 5; ++i) {
            const float angle = 0.4f + i * 0.63f;
            const float d = u * std::sin(angle) - v * std::cos(angle) + (i - 2) * 0.21f;
            light += std::exp(-d * d * 120) * (0.5f + 0.1f * i);
        }
        light += 0.6f * std::exp(-(u * u + v * v) * 3);
        return Rgba{colour.r * light, colour.g * light, colour.b * light, 1};
    });
    c.Save(path);
}

// --- colour box ----------------------------------------------------------

// A tile: a rounded square with a bright frame and a coloured gradient.
void Tile(const std::string& path)
{
    Canvas c(128, 128);
    Shade(c, [](float u, float v) {
        const float box = std::max(std::fabs(u), std::fabs(v));
        const float frame = std::exp(-std::pow((box - 0.82f) / 0.06f, 2.0f));
        const float inside = Smooth(0.86f, 0.8f, box);
        const Rgba fill = Palette(0.25f * (u + v) + 0.1f, Rgba{0.4f, 0.3f, 0.6f, 1}, Rgba{0.4f, 0.3f, 0.4f, 1},
                                  Rgba{0.0f, 0.15f, 0.3f, 1});
        const float k = 0.9f * inside * (0.6f + 0.4f * (1 - box));
        return Rgba{fill.r * k + 0.4f * frame, fill.g * k + 0.8f * frame, fill.b * k + 1.0f * frame, 1};
    });
    c.Save(path);
}

// The chosen tile's highlight: a white-hot frame with a glow.
void TileHighlight(const std::string& path)
{
    Canvas c(128, 128);
    Shade(c, [](float u, float v) {
        const float box = std::max(std::fabs(u), std::fabs(v));
        const float frame = std::exp(-std::pow((box - 0.8f) / 0.1f, 2.0f));
        const float centre = std::exp(-(u * u + v * v) * 4);
        return Rgba{frame + 0.9f * centre, 0.9f * frame + 0.6f * centre, 0.6f * frame + 0.2f * centre, 1};
    });
    c.Save(path);
}

// Drawn so that light parts darken the picture: the shadow of a five-pointed
// star burst.
void StarShadow(const std::string& path)
{
    Canvas c(512, 512);
    Shade(c, [](float u, float v) {
        const float r = std::hypot(u, v);
        const float a = std::atan2(v, u);
        // Black at the picture's border, so the drifting quad shows no edge.
        const float k = std::pow(0.5f + 0.5f * std::cos(a * 5), 3.0f) * Smooth(0.05f, 0.4f, r) * Smooth(0.98f, 0.6f, r);
        return Rgba{k, k, k, 1};
    });
    c.Save(path);
}

// --- solaris -------------------------------------------------------------

// One layer of the tunnel: a broken ring of fire.
void FireRing(const std::string& path)
{
    Canvas c(256, 256);
    Shade(c, [](float u, float v) {
        const float r = std::hypot(u, v);
        const float a = std::atan2(v, u);
        const float flicker = FractalNoise((a + kPi) * 3, r * 4, 29, 3);
        const float ring = std::exp(-std::pow((r - 0.7f) / (0.025f + 0.06f * flicker), 2.0f));
        const float gap = Smooth(0.25f, 0.45f, 0.5f + 0.5f * std::sin(a * 3));
        const float k = ring * (0.3f + 0.7f * gap) * Smooth(1.0f, 0.9f, r);
        return Rgba{1.0f * k, (0.35f + 0.4f * flicker) * k, 0.08f * k, 1};
    });
    c.Save(path);
}

// A cold glow behind each layer.
void BlueGlow(const std::string& path)
{
    Canvas c(256, 256);
    c.Glow(128, 128, 110, Rgba{0.2f, 0.5f, 1.0f, 1}, 0.9f);
    c.Save(path);
}

// Drawn so that light parts darken the picture: cinema bars, a vignette and
// the name cut out of the light below.
void SolarisFrame(const std::string& path)
{
    Canvas c(512, 512);
    Shade(c, [](float u, float v) {
        const float r = std::hypot(u * 0.9f, v);
        const float vignette = Smooth(0.75f, 1.35f, r);
        const float bars = Smooth(0.62f, 0.66f, std::fabs(v));
        const float k = Clamp(vignette + bars, 0, 1);
        return Rgba{k, k, k, 1};
    });
    CentredText(c, "SOLARIS", 436, 5, Rgba{0.35f, 0.35f, 0.35f, 1});
    c.Save(path);
}

// --- shader show ---------------------------------------------------------

// Coloured crystal shards for the kaleidoscope.
void Crystal(const std::string& path)
{
    Canvas c(512, 512);
    Shade(c, [](float u, float v) {
        float light = 0;
        Rgba colour{0, 0, 0, 1};
        for (int i = 0; i < 7; ++i) {
            const float angle = i * 0.9f + 0.3f;
            const float d = u * std::cos(angle) + v * std::sin(angle) + 0.3f * std::sin(i * 2.1f);
            const float band = std::exp(-std::pow(std::fmod(std::fabs(d * 3), 1.0f) - 0.5f, 2.0f) * 30);
            const Rgba tint = Rainbow(i / 7.0f + 0.1f);
            colour.r += tint.r * band * 0.3f;
            colour.g += tint.g * band * 0.3f;
            colour.b += tint.b * band * 0.3f;
            light += band;
        }
        const float sparkle = std::pow(Clamp(light / 3.5f, 0, 1), 4.0f);
        return Rgba{colour.r + sparkle, colour.g + sparkle, colour.b + sparkle, 1};
    });
    c.Stars(97, 150, 1.0f);
    c.Save(path);
}

// A neon skyline under a gradient sky.
void Skyline(const std::string& path)
{
    Canvas c(512, 512);
    c.VerticalGradient(Rgba{0.05f, 0.0f, 0.2f, 1}, Rgba{0.9f, 0.2f, 0.45f, 1});
    c.Stars(61, 200, 0.7f);
    c.Glow(256, 330, 150, Rgba{1.0f, 0.6f, 0.2f, 1}, 0.8f);
    for (int b = 0; b < 16; ++b) {
        const int x0 = b * 32 + static_cast<int>(FractalNoise(b * 1.7f, 3, 43, 1) * 10);
        const int top = 230 + static_cast<int>(FractalNoise(b * 2.3f, 1, 47, 1) * 200);
        const Rgba neon = b % 3 == 0 ? Rgba{0.2f, 1.0f, 1.0f, 1} : Rgba{1.0f, 0.3f, 0.9f, 1};
        for (int y = top; y < 512; ++y)
            for (int x = x0; x < x0 + 28 && x < 512; ++x) {
                const bool window = (x - x0) % 7 > 2 && (y - top) % 9 > 4 && FractalNoise(x * 0.3f, y * 0.2f, b, 1) > 0.5f;
                c.At(x, y) = window ? Rgba{1.0f, 0.85f, 0.5f, 1} : Rgba{0.03f, 0.02f, 0.07f, 1};
                if (y == top || y == top + 1)
                    c.At(x, y) = neon;
            }
    }
    CentredText(c, "NIGHT SHIFT", 90, 7, Rgba{0.3f, 1.0f, 1.0f, 1});
    c.Save(path);
}

}  // namespace

void WriteEffectPictures(const std::string& dataDir)
{
    Water(dataDir + "/plasma/__water.jpg");
    Housing(dataDir + "/housing.jpg");
    Bang(dataDir + "/brakvolde/banger/bang.jpg");
    BangFlash(dataDir + "/brakvolde/banger/bang1.jpg");
    RingPicture(dataDir + "/circles/__ring.jpg");
    Bubbles(dataDir + "/circles/circles.jpg");
    FacesText(dataDir + "/circles/text.jpg");

    Petal(dataDir + "/zoomer/petal.jpg", Rgba{0.3f, 0.9f, 1.0f, 1}, Rgba{1.0f, 0.2f, 0.7f, 1}, 6);
    Nebula(dataDir + "/zoomer/deepspace.jpg", 83, Rgba{0.0f, 0.02f, 0.1f, 1}, Rgba{0.05f, 0.0f, 0.15f, 1},
           Rgba{0.2f, 0.4f, 0.9f, 1}, Rgba{0.8f, 0.2f, 0.7f, 1});
    Beams(dataDir + "/zoomer/haze.jpg", Rgba{0.4f, 0.6f, 1.0f, 1});
    Petal(dataDir + "/zoomer/zoomer2-old.jpg", Rgba{1.0f, 0.85f, 0.2f, 1}, Rgba{0.2f, 0.5f, 1.0f, 1}, 5);
    Nebula(dataDir + "/zoomer/bg.jpg", 89, Rgba{0.35f, 0.1f, 0.05f, 1}, Rgba{0.1f, 0.0f, 0.2f, 1},
           Rgba{1.0f, 0.5f, 0.2f, 1}, Rgba{0.9f, 0.8f, 0.3f, 1});
    Beams(dataDir + "/zoomer/bg1.jpg", Rgba{1.0f, 0.7f, 0.3f, 1});

    Tile(dataDir + "/colorbox/colorbox1.jpg");
    TileHighlight(dataDir + "/colorbox/colorbox2.jpg");
    StarShadow(dataDir + "/colorbox/star.jpg");

    FireRing(dataDir + "/solaris/solaris1.jpg");
    BlueGlow(dataDir + "/solaris/solaris2.jpg");
    SolarisFrame(dataDir + "/solaris/it.jpg");

    Crystal(dataDir + "/shadershow/crystal.jpg");
    Skyline(dataDir + "/shadershow/skyline.jpg");
}
