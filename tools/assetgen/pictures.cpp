#include <cmath>

#include "assetgen.h"
#include "canvas.h"

namespace {

const Rgba kDeepBlue{0.02f, 0.03f, 0.12f, 1};
const Rgba kViolet{0.25f, 0.05f, 0.35f, 1};
const Rgba kCyan{0.2f, 0.8f, 1.0f, 1};
const Rgba kGold{1.0f, 0.75f, 0.3f, 1};
const Rgba kWhite{1, 1, 1, 1};

void CentredText(Canvas& c, const std::string& text, int y, int scale, Rgba colour)
{
    c.Text(text, (c.Width() - Canvas::TextWidth(text, scale)) / 2, y, scale, colour);
}

// The loading picture: a night sky with a glowing ring and the show's name.
void LoaderPicture(const std::string& path)
{
    Canvas c(512, 512);
    c.VerticalGradient(kDeepBlue, kViolet);
    c.Clouds(3, 90, Rgba{0.4f, 0.2f, 0.6f, 1}, 0.5f);
    c.Stars(11, 400, 0.9f);
    c.Glow(256, 230, 160, kCyan, 0.35f);
    c.Ring(256, 230, 120, 5, kCyan);
    c.Ring(256, 230, 96, 2, kGold);
    CentredText(c, "GLIMRAVEN", 205, 6, kWhite);
    CentredText(c, "LOADING", 420, 3, kGold);
    c.Save(path);
}

// A caption on a transparent background, with a soft glow behind it.
void CaptionLayer(const std::string& path, const std::string& line1, const std::string& line2, Rgba tint)
{
    Canvas c(512, 512, Rgba{0, 0, 0, 0});
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            const float dx = (x - 256) / 230.0f, dy = (y - 256) / 70.0f;
            const float glow = std::exp(-(dx * dx + dy * dy) * 2.5f);
            c.At(x, y) = Rgba{tint.r * 0.6f, tint.g * 0.6f, tint.b * 0.6f, glow * 0.55f};
        }
    CentredText(c, line1, 212, 6, kWhite);
    CentredText(c, line2, 272, 3, tint);
    c.Save(path);
}

// A full-screen background: gradient sky, clouds, stars and a planet glow.
void Backdrop(const std::string& path, uint32_t seed, Rgba top, Rgba bottom, Rgba glow)
{
    Canvas c(512, 512);
    c.VerticalGradient(top, bottom);
    c.Clouds(seed, 70, glow, 0.45f);
    c.Stars(seed + 1, 300, 0.8f);
    c.Glow(360, 360, 200, glow, 0.5f);
    c.Save(path);
}

// A round vignette for masks: white in the middle, black at the edges.
void Vignette(const std::string& path)
{
    Canvas c(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const float d = std::hypot(x - 127.5f, y - 127.5f) / 181.0f;
            const float v = std::min(1.0f, std::max(0.0f, 1.25f - d * d * 1.6f));
            c.At(x, y) = Rgba{v, v, v, 1};
        }
    c.Save(path);
}

// A glowing ring on transparency: beat-pulsed ornaments.
void RingLayer(const std::string& path, Rgba colour)
{
    Canvas c(512, 512, Rgba{0, 0, 0, 0});
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) {
            const float r = std::hypot(x - 256.0f, y - 256.0f);
            const float ring = std::exp(-std::pow((r - 170) / 14, 2)) + 0.5f * std::exp(-std::pow((r - 205) / 5, 2));
            const float spokes = 0.5f + 0.5f * std::cos(std::atan2(y - 256.0f, x - 256.0f) * 12);
            const float a = std::min(1.0f, ring * (0.6f + 0.4f * spokes));
            c.At(x, y) = Rgba{colour.r, colour.g, colour.b, a};
        }
    c.Save(path);
}

}  // namespace

void WritePictures(const std::string& dataDir)
{
    LoaderPicture(dataDir + "/overlay/loader.jpg");
    Backdrop(dataDir + "/layers/nebula.jpg", 21, kDeepBlue, kViolet, Rgba{0.9f, 0.3f, 0.6f, 1});
    Backdrop(dataDir + "/layers/dawn.jpg", 42, Rgba{0.05f, 0.1f, 0.3f, 1}, Rgba{0.9f, 0.45f, 0.2f, 1}, kGold);
    CaptionLayer(dataDir + "/layers/title.png", "GLIMRAVEN", "A REAL-TIME SHOW", kCyan);
    CaptionLayer(dataDir + "/layers/greetings.png", "GREETINGS", "TO ALL DEMO MAKERS", kGold);
    CaptionLayer(dataDir + "/layers/theend.png", "THE END", "THANKS FOR WATCHING", kCyan);
    RingLayer(dataDir + "/layers/ring.png", kCyan);
    Vignette(dataDir + "/layers/vignette.png");
}
