#include <algorithm>
#include <cmath>

#include "assetgen.h"
#include "canvas.h"
#include "paint.h"

// Pictures for the 3D scenes: the cube faces, the floors and their shadows,
// the tower facade, the rod ball, the sphere scene and the greetings scene.
// Pictures that a floor or the tower repeat are laid out so that their
// opposite edges meet without a seam.

namespace {

const float kPi = 3.14159265f;

void CentredText(Canvas& c, const std::string& text, int y, int scale, Rgba colour)
{
    c.Text(text, (c.Width() - Canvas::TextWidth(text, scale)) / 2, y, scale, colour);
}

// --- cube faces ---------------------------------------------------------

// A face of the tumbling cube: a brushed steel panel with a bevelled frame,
// an engraved ring and a glowing core.
void CubeFace(const std::string& path)
{
    Canvas c(256, 256);
    Paint(c, [](float u, float v) {
        const float grain = FractalNoise(u * 3, v * 60, 41, 3);
        const float edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
        const float frame = Smooth(0.06f, 0.09f, edge);
        const float bevel = edge < 0.06f ? 0.55f + 2.5f * (0.06f - edge) * (u < v ? 1.0f : -1.0f) : 1.0f;
        const Rgba steel{0.32f + 0.18f * grain, 0.36f + 0.18f * grain, 0.45f + 0.2f * grain, 1};
        const Rgba rim{0.75f, 0.6f, 0.3f, 1};
        return Mix(Scale(rim, bevel), steel, frame);
    });
    c.Ring(128, 128, 78, 3, Rgba{0.9f, 0.7f, 0.35f, 1});
    c.Ring(128, 128, 60, 1.5f, Rgba{0.3f, 0.7f, 1.0f, 1});
    c.Glow(128, 128, 48, Rgba{0.3f, 0.75f, 1.0f, 1}, 0.9f);
    c.Glow(128, 128, 16, Rgba{1, 1, 1, 1}, 0.8f);
    c.Save(path);
}

// --- floors -------------------------------------------------------------

// A polished checkerboard of checks x checks squares, each with a soft bevel
// at its border; the picture repeats cleanly, since its edges are check borders.
void Checkerboard(const std::string& path, int checks, Rgba light, Rgba dark, uint32_t seed)
{
    Canvas c(256, 256);
    Paint(c, [&](float u, float v) {
        const float cu = u * checks, cv = v * checks;
        const int ix = static_cast<int>(cu), iy = static_cast<int>(cv);
        const float fx = cu - ix, fy = cv - iy;
        const bool isLight = (ix + iy) % 2 == 0;
        // Veins within a check, so no check looks quite like another.
        const float vein = FractalNoise(cu * 2.5f + ix * 7.0f, cv * 2.5f + iy * 3.0f, seed, 4);
        Rgba colour = isLight ? light : dark;
        colour = Scale(colour, 0.85f + 0.3f * vein);
        const float edge = std::min(std::min(fx, 1 - fx), std::min(fy, 1 - fy));
        const float groove = 0.55f + 0.45f * Smooth(0.0f, 0.05f, edge);
        const float sheen = 0.1f * std::pow(1 - std::fabs(fx - fy), 4.0f);
        colour = Scale(colour, groove);
        colour.r += sheen;
        colour.g += sheen;
        colour.b += sheen;
        return colour;
    });
    c.Save(path);
}

// A soft round shadow: black, its alpha falling from the middle to nothing
// well inside the edge.
void Shadow(const std::string& path, float softness)
{
    Canvas c(128, 128, Rgba{0, 0, 0, 0});
    Paint(c, [softness](float u, float v) {
        const float r = std::hypot(u - 0.5f, v - 0.5f) * 2;
        const float alpha = std::exp(-r * r * softness) * (1 - Smooth(0.8f, 0.98f, r));
        return Rgba{0, 0, 0, alpha};
    });
    c.Save(path);
}

// --- the tower ----------------------------------------------------------

// A skyscraper facade: rows of windows, some lit, between steel mullions.
// Repeats up the tower, so the rows fit the height exactly.
void Skyscraper(const std::string& path)
{
    Canvas c(256, 256);
    const int columns = 6, rows = 8;
    Paint(c, [&](float u, float v) {
        const float cu = u * columns, cv = v * rows;
        const int ix = static_cast<int>(cu), iy = static_cast<int>(cv);
        const float fx = cu - ix, fy = cv - iy;
        const bool window = fx > 0.14f && fx < 0.86f && fy > 0.2f && fy < 0.85f;
        // One shade a bay, lighter at its top, so the rows meet cleanly at the edges.
        const float facade = 0.16f + 0.05f * FractalNoise(ix * 2.1f, iy * 1.3f, 17, 1) + 0.04f * (1 - fy);
        if (!window)
            return Rgba{facade * 0.9f, facade, facade * 1.25f, 1};
        const float pick = FractalNoise(ix * 1.7f, iy * 2.3f, 29, 1);
        const float glass = 0.5f + 0.5f * (1 - fy);
        if (pick > 0.52f)
            return Rgba{1.0f * glass, 0.8f * glass, 0.45f * glass, 1};  // a lit room
        return Rgba{0.1f + 0.25f * glass * (1 - fx), 0.18f + 0.3f * glass * (1 - fx), 0.35f + 0.35f * glass, 1};
    });
    c.Save(path);
}

// --- the rod ball -------------------------------------------------------

// The rods' skin: bands of cold light along a dark metal shaft.
void Rod(const std::string& path)
{
    Canvas c(128, 128);
    Paint(c, [](float u, float v) {
        const float shaft = 0.35f + 0.65f * std::pow(std::sin(u * kPi), 2.0f);
        const float bands = std::pow(0.5f + 0.5f * std::cos(v * 2 * kPi * 4), 8.0f);
        const float glow = v * v;
        return Rgba{0.12f * shaft + 0.3f * bands + 0.6f * glow, 0.2f * shaft + 0.6f * bands + 0.5f * glow,
                    0.35f * shaft + 1.0f * bands + 0.3f * glow, 1};
    });
    c.Save(path);
}

// The tip of every rod: a hot star of light.
void Flare(const std::string& path)
{
    Canvas c(128, 128);
    Paint(c, [](float u, float v) {
        const float x = u - 0.5f, y = v - 0.5f;
        const float r = std::hypot(x, y) * 2;
        const float a = std::atan2(y, x);
        const float rays = std::pow(std::fabs(std::cos(a * 2)), 30.0f) * std::exp(-r * 2.0f);
        const float core = std::exp(-r * r * 9);
        return Rgba{core + 0.9f * rays + 0.3f * (1 - r), core * 0.9f + 0.7f * rays + 0.2f * (1 - r),
                    core * 0.7f + 1.0f * rays + 0.5f * (1 - r), 1};
    });
    c.Save(path);
}

// Deep space behind the rod ball; it turns and zooms, so it is round.
void NanoBackground(const std::string& path)
{
    Canvas c(512, 512);
    Paint(c, [](float u, float v) {
        const float r = std::hypot(u - 0.5f, v - 0.5f) * 2;
        const float a = std::atan2(v - 0.5f, u - 0.5f);
        const float arms = 0.5f + 0.5f * std::sin(a * 3 + r * 9);
        const float dust = FractalNoise(u * 5, v * 5, 53, 6);
        const float light = std::exp(-r * 1.8f) * (0.4f + 0.6f * arms) * (0.5f + dust);
        return Rgba{0.02f + 0.5f * light, 0.01f + 0.25f * light + 0.1f * dust * (1 - r), 0.08f + 0.7f * light, 1};
    });
    c.Stars(61, 500, 0.8f);
    c.Save(path);
}

// --- the sphere scene ---------------------------------------------------

// Towers at dusk, round so that it can turn: a ring of skyline silhouettes
// around a low sun.
void Towers(const std::string& path)
{
    Canvas c(512, 512);
    Paint(c, [](float u, float v) {
        const float x = u - 0.5f, y = v - 0.5f;
        const float r = std::hypot(x, y) * 2;
        const float a = std::atan2(y, x);
        const Rgba inner{1.0f, 0.75f, 0.45f, 1}, mid{0.75f, 0.25f, 0.45f, 1}, outer{0.1f, 0.05f, 0.25f, 1};
        Rgba sky = r < 0.5f ? Mix(inner, mid, r / 0.5f) : Mix(mid, outer, Clamp((r - 0.5f) / 0.5f, 0, 1));
        // Towers stand out from the middle: a height for each narrow sector.
        const int sector = static_cast<int>((a + kPi) / (2 * kPi) * 48);
        const float height = 0.6f + 0.35f * FractalNoise(sector * 1.3f, 0.5f, 67, 1);
        const float within = std::fmod((a + kPi) / (2 * kPi) * 48, 1.0f);
        if (r > height && within > 0.12f && within < 0.88f) {
            const bool lit = FractalNoise(sector * 3.0f, r * 40, 71, 1) > 0.62f;
            sky = lit ? Rgba{0.9f, 0.7f, 0.3f, 1} : Rgba{0.04f, 0.02f, 0.08f, 1};
        }
        return sky;
    });
    c.Save(path);
}

// A soft environment of the same dusk, for reflections.
void TowerEnvironment(const std::string& path)
{
    Canvas c(256, 256);
    c.VerticalGradient(Rgba{0.9f, 0.6f, 0.45f, 1}, Rgba{0.1f, 0.05f, 0.2f, 1});
    c.Glow(128, 150, 90, Rgba{1.0f, 0.8f, 0.5f, 1}, 0.6f);
    c.Save(path);
}

// The middle sphere's skin: white porcelain with faint blue bands.
void Porcelain(const std::string& path)
{
    Canvas c(256, 256);
    Paint(c, [](float u, float v) {
        const float band = std::pow(0.5f + 0.5f * std::sin(v * 2 * kPi * 5 + 2 * std::sin(u * 2 * kPi)), 6.0f);
        const float speck = FractalNoise(u * 16, v * 16, 79, 3);
        const float w = 0.88f + 0.12f * speck;
        return Rgba{w - 0.35f * band, w - 0.2f * band, w, 1};
    });
    c.Save(path);
}

// --- the greetings scene ------------------------------------------------

// The little man: a figure on a hill under a huge striped sun.
void Manden(const std::string& path)
{
    Canvas c(512, 512);
    c.VerticalGradient(Rgba{0.15f, 0.05f, 0.3f, 1}, Rgba{0.95f, 0.45f, 0.3f, 1});
    Paint(c, [&c](float u, float v) {
        Rgba p = c.At(static_cast<int>(u * 512), static_cast<int>(v * 512));
        const float sun = std::hypot(u - 0.5f, (v - 0.55f) * 1.0f);
        const bool stripe = v > 0.5f && std::fmod(v * 40, 2.0f) < (v - 0.5f) * 5;
        if (sun < 0.3f && !stripe)
            p = Mix(Rgba{1.0f, 0.9f, 0.4f, 1}, Rgba{1.0f, 0.4f, 0.5f, 1}, Clamp((v - 0.25f) / 0.6f, 0, 1));
        // The hill and the man on it, in silhouette.
        const float hill = 0.78f + 0.05f * std::cos((u - 0.5f) * 5);
        const float x = (u - 0.5f) * 512, y = v * 512;
        const bool head = std::hypot(x, y - 330) < 11;
        const bool body = std::fabs(x) < 8 && y > 340 && y < 380;
        const bool arms = std::fabs(y - 350 + std::fabs(x) * 0.6f) < 3 && std::fabs(x) < 26;
        const bool legs = y >= 378 && y < 405 && std::fabs(std::fabs(x) - (y - 378) * 0.35f) < 4;
        if (v > hill || head || body || arms || legs)
            p = Rgba{0.05f, 0.02f, 0.1f, 1};
        return p;
    });
    c.Save(path);
}

// The greetings, white on clear with a dark outline, to slide over the man.
// The effect shows the picture at one and a half times the screen, so the
// text keeps to the middle two thirds.
void Greetings(const std::string& path)
{
    Canvas c(512, 512, Rgba{0, 0, 0, 0});
    const Rgba gold{1.0f, 0.8f, 0.35f, 1}, white{1, 1, 1, 1};
    CentredText(c, "GREETINGS", 110, 5, gold);
    const char* names[] = {"POLYCHROME", "NORDLYS", "KVARTS", "BITFROST", "SOLSKIN", "RASTERFOLK"};
    int y = 175;
    for (const char* name : names) {
        CentredText(c, name, y, 3, white);
        y += 36;
    }
    c.Save(path);
}

// The pole's skin: a candy spiral that wraps around once.
void Pole(const std::string& path)
{
    Canvas c(256, 256);
    Paint(c, [](float u, float v) {
        const float stripe = 0.5f + 0.5f * std::sin((u + v * 3) * 2 * kPi * 2);
        const float s = Smooth(0.35f, 0.65f, stripe);
        const Rgba red{0.95f, 0.2f, 0.3f, 1}, cream{1.0f, 0.95f, 0.85f, 1};
        const float shine = 0.8f + 0.2f * std::sin(u * 2 * kPi * 6);
        return Scale(Mix(red, cream, s), shine);
    });
    c.Save(path);
}

}  // namespace

void Write3dScenePictures(const std::string& dataDir)
{
    CubeFace(dataDir + "/brakvolde/miwer/boks.jpg");

    Checkerboard(dataDir + "/brakvolde/walk/skak.png", 4, Rgba{0.85f, 0.82f, 0.95f, 1}, Rgba{0.18f, 0.12f, 0.3f, 1},
                 83);
    Shadow(dataDir + "/brakvolde/walk/skygge.png", 3.0f);
    Checkerboard(dataDir + "/brakvolde/bounce/skak.png", 8, Rgba{0.3f, 0.75f, 0.85f, 1},
                 Rgba{0.05f, 0.12f, 0.22f, 1}, 89);
    Shadow(dataDir + "/brakvolde/bounce/skygge.png", 2.2f);

    Skyscraper(dataDir + "/kaleido/img/skyskraper.png");

    Rod(dataDir + "/brakvolde/nanoball/zoomer1.jpg");
    Flare(dataDir + "/brakvolde/nanoball/flare.jpg");
    NanoBackground(dataDir + "/brakvolde/nanoball/bg.jpg");

    Towers(dataDir + "/brakvolde/spheres/towers.png");
    TowerEnvironment(dataDir + "/brakvolde/spheres/towerenv.png");
    Porcelain(dataDir + "/brakvolde/spheres/white.png");

    Manden(dataDir + "/brakvolde/mansphere/manden.png");
    Greetings(dataDir + "/brakvolde/mansphere/greets.png");
    Pole(dataDir + "/brakvolde/mansphere/pole.jpg");
}
