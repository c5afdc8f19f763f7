#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "assetgen.h"
#include "canvas.h"
#include "video_writer.h"

// Pictures and the video for the two feedback effects. They are blended by
// their colour over a picture that zooms outwards forever, so black is
// "nothing" and bright shapes on black are what leave trails.

namespace {

const float kPi = 3.14159265f;

float Step(float edge0, float edge1, float v)
{
    const float t = std::min(1.0f, std::max(0.0f, (v - edge0) / (edge1 - edge0)));
    return t * t * (3 - 2 * t);
}

// Inside (1) to outside (0) of an ellipse, with a soft edge a few pixels wide.
float Ellipse(float u, float v, float cx, float cy, float rx, float ry)
{
    const float d = std::hypot((u - cx) / rx, (v - cy) / ry);
    return Step(1.02f, 0.98f, d);
}

// A bright line along |value| = 0, width w.
float Line(float value, float w)
{
    return std::exp(-value * value / (w * w));
}

Rgba Mix(Rgba a, Rgba b, float f)
{
    return Rgba{a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f, 1};
}

Rgba Scale(Rgba c, float f)
{
    return Rgba{c.r * f, c.g * f, c.b * f, 1};
}

// Sets every pixel to f(u, v), u and v from -1 to 1 across the picture, v down.
template <class F>
void Paint(Canvas& c, F f)
{
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            c.At(x, y) = f((x + 0.5f) / c.Width() * 2 - 1, (y + 0.5f) / c.Height() * 2 - 1);
}

// --- ChaosZoomer --------------------------------------------------------

// An eight-petalled flower, pink petals around a golden heart.
void Flower(const std::string& path)
{
    Canvas c(256, 256);
    Paint(c, [](float u, float v) {
        const float r = std::hypot(u, v);
        const float a = std::atan2(v, u);
        const float petal = 0.5f + 0.42f * std::pow(std::fabs(std::cos(4 * a)), 0.6f);
        const float inside = Step(petal + 0.02f, petal - 0.02f, r);
        const float vein = 0.25f * Line(std::sin(4 * a), 0.08f) * Step(0.1f, 0.3f, r);
        Rgba colour = Mix(Rgba{1.0f, 0.3f, 0.6f, 1}, Rgba{0.6f, 0.1f, 0.9f, 1}, r / petal);
        colour = Scale(colour, inside * (0.55f + 0.45f * r / petal) - vein * inside);
        const float heart = Ellipse(u, v, 0, 0, 0.16f, 0.16f);
        colour = Mix(colour, Rgba{1.0f, 0.85f, 0.3f, 1}, heart);
        return colour;
    });
    c.Save(path);
}

// A round smiling face in warm colours.
void SunFace(const std::string& path)
{
    Canvas c(256, 256);
    Paint(c, [](float u, float v) {
        const float head = Ellipse(u, v, 0, 0.05f, 0.58f, 0.68f);
        Rgba colour = Scale(Mix(Rgba{1.0f, 0.75f, 0.4f, 1}, Rgba{0.9f, 0.35f, 0.15f, 1}, (v + 0.7f) / 1.4f), head);
        const float hair = Ellipse(u, v, 0, -0.2f, 0.66f, 0.62f) * Step(-0.3f, -0.4f, v) * (1 - head * Step(-0.52f, -0.42f, v));
        colour = Mix(colour, Rgba{0.55f, 0.15f, 0.05f, 1}, hair);
        for (float side : {-1.0f, 1.0f}) {
            const float eye = Ellipse(u, v, side * 0.22f, -0.08f, 0.09f, 0.12f);
            colour = Mix(colour, Rgba{0.05f, 0.03f, 0.02f, 1}, eye);
            colour = Mix(colour, Rgba{1, 1, 1, 1}, Ellipse(u, v, side * 0.2f, -0.12f, 0.03f, 0.03f));
            colour = Mix(colour, Rgba{1.0f, 0.45f, 0.4f, 1}, 0.5f * Ellipse(u, v, side * 0.34f, 0.2f, 0.1f, 0.07f));
        }
        const float mouth = Line(std::hypot(u, v + 0.05f) - 0.34f, 0.03f) * Step(0.16f, 0.24f, v);
        colour = Mix(colour, Rgba{0.4f, 0.05f, 0.05f, 1}, mouth * head);
        return colour;
    });
    c.Save(path);
}

// Signed distance to a closed outline (negative inside).
float OutlineDistance(const std::vector<std::array<float, 2>>& outline, float u, float v)
{
    float nearest = 1e9f;
    bool inside = false;
    for (size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++) {
        const float ax = outline[j][0], ay = outline[j][1], bx = outline[i][0], by = outline[i][1];
        if ((ay > v) != (by > v) && u < ax + (v - ay) / (by - ay) * (bx - ax))
            inside = !inside;
        const float ex = bx - ax, ey = by - ay;
        const float f = std::min(1.0f, std::max(0.0f, ((u - ax) * ex + (v - ay) * ey) / (ex * ex + ey * ey)));
        nearest = std::min(nearest, std::hypot(u - ax - f * ex, v - ay - f * ey));
    }
    return inside ? -nearest : nearest;
}

// A head and shoulders in profile, looking left, drawn as a neon outline.
void Profile(const std::string& path)
{
    const std::vector<std::array<float, 2>> outline = {
        {0.05f, -0.68f}, {0.3f, -0.6f},   {0.45f, -0.4f},   {0.48f, -0.15f},  {0.4f, 0.08f},    {0.25f, 0.2f},
        {0.22f, 0.45f},  {0.3f, 0.68f},   {0.6f, 0.82f},    {0.66f, 1.1f},    {-0.55f, 1.1f},   {-0.45f, 0.85f},
        {-0.15f, 0.72f}, {-0.12f, 0.45f}, {-0.2f, 0.32f},   {-0.3f, 0.29f},   {-0.34f, 0.2f},   {-0.31f, 0.15f},
        {-0.37f, 0.1f},  {-0.33f, 0.05f}, {-0.37f, 0.0f},   {-0.34f, -0.04f}, {-0.49f, -0.09f}, {-0.36f, -0.26f},
        {-0.37f, -0.36f}, {-0.3f, -0.52f}, {-0.15f, -0.64f},
    };
    Canvas c(256, 256);
    Paint(c, [&](float u, float v) {
        const float d = OutlineDistance(outline, u, v);
        const float edge = Line(d, 0.018f) + 0.35f * Line(d, 0.06f);
        const float inside = Step(0.01f, -0.01f, d);
        Rgba colour = Scale(Rgba{0.2f, 0.95f, 1.0f, 1}, std::min(1.0f, edge));
        colour = Mix(colour, Rgba{0.05f, 0.15f, 0.45f, 1}, inside * 0.6f * (1 - std::min(1.0f, edge)));
        const float eye = Line(std::hypot((u + 0.22f) / 1.8f, v + 0.22f) - 0.02f, 0.012f);
        return Mix(colour, Rgba{0.8f, 1, 1, 1}, std::min(1.0f, eye));
    });
    c.Save(path);
}

// A figure, head and shoulders, in violet before a golden halo.
void HaloFigure(const std::string& path)
{
    Canvas c(256, 256);
    Paint(c, [](float u, float v) {
        const float halo = Line(std::hypot(u, v + 0.3f) - 0.42f, 0.035f) + 0.3f * Line(std::hypot(u, v + 0.3f) - 0.5f, 0.02f);
        Rgba colour = Scale(Rgba{1.0f, 0.8f, 0.3f, 1}, std::min(1.0f, halo));
        const float head = Ellipse(u, v, 0, -0.3f, 0.24f, 0.28f);
        const float body = Ellipse(u, v, 0, 0.75f, 0.68f, 0.5f) + Ellipse(u, v, 0, 0.1f, 0.09f, 0.15f);
        const float figure = std::min(1.0f, head + body);
        const float light = 0.45f + 0.55f * Step(0.3f, -0.3f, u + 0.3f * v);
        colour = Mix(colour, Scale(Rgba{0.75f, 0.3f, 0.95f, 1}, light), figure);
        return colour;
    });
    c.Save(path);
}

// A golden statue bust on a pedestal, lit from the upper left.
void StatueBust(const std::string& path)
{
    Canvas c(256, 256);
    Paint(c, [](float u, float v) {
        auto shaded = [](float nx, float ny) {
            const float nz = std::sqrt(std::max(0.0f, 1 - nx * nx - ny * ny));
            return 0.25f + 0.75f * std::max(0.0f, -0.5f * nx - 0.5f * ny + 0.7f * nz);
        };
        Rgba colour{0, 0, 0, 1};
        const Rgba gold{1.0f, 0.78f, 0.35f, 1};
        const float chest = Ellipse(u, v, 0, 0.28f, 0.52f, 0.3f) * Step(0.44f, 0.42f, v);
        colour = Mix(colour, Scale(gold, shaded(u / 0.52f, (v - 0.28f) / 0.3f)), chest);
        const float neck = Step(0.1f, 0.08f, std::fabs(u)) * Step(-0.2f, -0.15f, v) * Step(0.1f, 0.05f, v);
        colour = Mix(colour, Scale(gold, shaded(u / 0.1f * 0.8f, 0)), neck);
        const float head = Ellipse(u, v, 0, -0.38f, 0.2f, 0.27f);
        colour = Mix(colour, Scale(gold, shaded(u / 0.2f, (v + 0.38f) / 0.27f)), head);
        const float band = head * Line(v + 0.5f + 0.15f * u * u, 0.025f);  // a laurel band round the head
        colour = Mix(colour, Rgba{0.5f, 0.75f, 0.3f, 1}, band);
        const float pedestal = Step(0.32f, 0.3f, std::fabs(u)) * Step(0.45f, 0.47f, v) * Step(0.8f, 0.78f, v);
        colour = Mix(colour, Scale(Rgba{0.7f, 0.65f, 0.6f, 1}, 0.5f + 0.4f * Step(0.3f, -0.3f, u)), pedestal);
        return colour;
    });
    c.Save(path);
}

// A chrome environment: sky bands over a warm horizon, repeating in both
// directions since reflection coordinates run past 0..1.
void Environment(const std::string& path)
{
    Canvas c(256, 256);
    Paint(c, [](float u, float v) {
        const float band = 0.5f + 0.5f * std::cos(kPi * v);
        Rgba colour = Mix(Rgba{0.05f, 0.1f, 0.35f, 1}, Rgba{0.6f, 0.85f, 1.0f, 1}, band * band);
        const float horizon = Line(std::sin(kPi * v), 0.12f);
        colour = Mix(colour, Rgba{1.0f, 0.6f, 0.25f, 1}, horizon);
        const float sun = Line(std::hypot(std::sin(kPi * u), std::sin(kPi * (v + 0.5f))), 0.25f);
        return Mix(colour, Rgba{1, 1, 0.9f, 1}, sun);
    });
    c.Save(path);
}

// A thin golden frame just inside the screen's edge (the picture is shown
// 1.25 times the screen size), with brackets in the corners.
void Border(const std::string& path)
{
    Canvas c(512, 512);
    Paint(c, [](float u, float v) {
        const float box = std::max(std::fabs(u), std::fabs(v));
        float light = Line(box - 0.74f, 0.006f) + 0.4f * Line(box - 0.74f, 0.03f);
        const float corner = std::min(std::fabs(u), std::fabs(v));
        light += Line(box - 0.7f, 0.008f) * Step(0.55f, 0.6f, corner);
        light += 0.35f * Step(0.78f, 0.95f, box);  // the outside darkens softly
        return Scale(Rgba{1.0f, 0.85f, 0.55f, 1}, std::min(1.0f, light));
    });
    c.Save(path);
}

// A spiral of coloured arms, fading out from the middle.
void Twist(const std::string& path)
{
    Canvas c(512, 512);
    Paint(c, [](float u, float v) {
        const float r = std::hypot(u, v);
        const float a = std::atan2(v, u);
        const float arms = std::pow(0.5f + 0.5f * std::cos(5 * a + 14 * r), 6.0f);
        const float fade = Step(0.9f, 0.2f, r);
        const Rgba colour = Mix(Rgba{0.2f, 0.6f, 1.0f, 1}, Rgba{1.0f, 0.35f, 0.8f, 1}, Step(0, 0.6f, r));
        return Scale(colour, arms * fade);
    });
    c.Save(path);
}

// --- Video ---------------------------------------------------------------

// Dark, with a bright rounded frame: bright parts darken the video's picture
// and lighten the screen.
void VideoFrame(const std::string& path)
{
    Canvas c(512, 512);
    Paint(c, [](float u, float v) {
        const float k = 0.12f;
        const float qx = std::max(std::fabs(u) - 0.72f + k, 0.0f);
        const float qy = std::max(std::fabs(v) - 0.72f + k, 0.0f);
        const float box = std::hypot(qx, qy) + std::min(std::max(std::fabs(u), std::fabs(v)) - 0.72f + k, 0.0f) - k;
        float light = 0.9f * Line(box, 0.008f) + 0.3f * Line(box, 0.04f) + 0.5f * Line(box - 0.06f, 0.004f);
        light += 0.25f * Step(0.1f, 0.3f, box);
        return Scale(Rgba{0.75f, 0.9f, 1.0f, 1}, std::min(1.0f, light));
    });
    c.Save(path);
}

// 300 frames (12 s at 25 frames a second) that loop: glowing orbs on
// Lissajous paths around a breathing starburst, over deep blue.
void VideoClip(const std::string& path)
{
    constexpr int kWidth = 320, kHeight = 240, kFrames = 300;
    WriteVideo(path, "mjpeg", kWidth, kHeight, kFrames, 25, [&](int frame, std::vector<uint8_t>& rgba) {
        const float phase = 2 * kPi * frame / kFrames;
        float orbX[5], orbY[5];
        Rgba orbColour[5];
        for (int i = 0; i < 5; ++i) {
            orbX[i] = 0.75f * std::sin((i + 1) * phase + i * 1.3f);
            orbY[i] = 0.6f * std::cos((5 - i) * phase + i * 0.7f);
            const float hue = i / 5.0f + frame / float(kFrames);
            orbColour[i] = Rgba{0.5f + 0.5f * std::cos(2 * kPi * hue), 0.5f + 0.5f * std::cos(2 * kPi * (hue - 0.33f)),
                                0.5f + 0.5f * std::cos(2 * kPi * (hue - 0.67f)), 1};
        }
        const float ringRadius = 0.35f + 0.1f * std::sin(4 * phase);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const float u = ((x + 0.5f) / kWidth * 2 - 1) * kWidth / kHeight;
                const float v = (y + 0.5f) / kHeight * 2 - 1;
                const float r = std::hypot(u, v);
                const float a = std::atan2(v, u);
                Rgba c{0.02f, 0.03f + 0.04f * (1 - r), 0.12f * (1.2f - 0.5f * r), 1};
                const float rays = std::pow(std::fabs(std::cos(6 * a - 2 * phase)), 30.0f) * std::exp(-r * 2.5f);
                const float ring = Line(r - ringRadius, 0.02f);
                const float starburst = rays + ring;
                c = Rgba{c.r + 0.9f * starburst, c.g + 0.8f * starburst, c.b + starburst, 1};
                for (int i = 0; i < 5; ++i) {
                    const float d2 = (u - orbX[i]) * (u - orbX[i]) + (v - orbY[i]) * (v - orbY[i]);
                    const float glow = std::exp(-d2 * 60) + 0.3f * std::exp(-d2 * 8);
                    c = Rgba{c.r + orbColour[i].r * glow, c.g + orbColour[i].g * glow, c.b + orbColour[i].b * glow, 1};
                }
                uint8_t* p = &rgba[(static_cast<size_t>(y) * kWidth + x) * 4];
                p[0] = static_cast<uint8_t>(std::lround(std::min(1.0f, c.r) * 255));
                p[1] = static_cast<uint8_t>(std::lround(std::min(1.0f, c.g) * 255));
                p[2] = static_cast<uint8_t>(std::lround(std::min(1.0f, c.b) * 255));
                p[3] = 255;
            }
    });
}

}  // namespace

void WriteFeedbackAssets(const std::string& dataDir)
{
    const std::string misc = dataDir + "/misc/";
    Flower(misc + "blomster.jpg");
    SunFace(misc + "tov.jpg");
    Profile(misc + "mig.jpg");
    HaloFigure(misc + "quell.jpg");
    StatueBust(misc + "bust.jpg");
    Environment(misc + "env.jpg");
    Border(misc + "border.jpg");
    Twist(misc + "twist.jpg");
    const std::string video = dataDir + "/vondo/video/";
    VideoFrame(video + "frame.png");
    MakeParentFolders(video + "Video.avi");
    VideoClip(video + "Video.avi");
}
