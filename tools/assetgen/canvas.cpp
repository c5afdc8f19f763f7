#include "canvas.h"

#include <FreeImage.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "render/pixel_font.h"

namespace {

float Clamp01(float v)
{
    return std::min(1.0f, std::max(0.0f, v));
}

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed)
{
    uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

float Lattice(int x, int y, uint32_t seed)
{
    return (Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), seed) & 0xFFFF) / 65535.0f;
}

float SmoothNoise(float x, float y, uint32_t seed)
{
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    float fx = x - x0, fy = y - y0;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    const float a = Lattice(x0, y0, seed), b = Lattice(x0 + 1, y0, seed);
    const float c = Lattice(x0, y0 + 1, seed), d = Lattice(x0 + 1, y0 + 1, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

// The program's pixel font; the pictures' texts are drawn in capitals.
const uint8_t* FindGlyph(char c)
{
    if (c >= 'a' && c <= 'z')
        c = static_cast<char>(c - 'a' + 'A');
    return GlyphRows(c);
}

}  // namespace

float FractalNoise(float x, float y, uint32_t seed, int octaves)
{
    float sum = 0, amplitude = 0.5f, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += SmoothNoise(x, y, seed + i * 101u) * amplitude;
        total += amplitude;
        x *= 2.03f;
        y *= 2.03f;
        amplitude *= 0.5f;
    }
    return sum / total;
}

Canvas::Canvas(int width, int height, Rgba fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill)
{
}

void Canvas::Blend(int x, int y, Rgba c, float coverage)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    Rgba& p = At(x, y);
    const float a = Clamp01(c.a * coverage);
    const float outA = a + p.a * (1 - a);
    if (outA <= 0) {
        p = Rgba{0, 0, 0, 0};
        return;
    }
    p.r = (c.r * a + p.r * p.a * (1 - a)) / outA;
    p.g = (c.g * a + p.g * p.a * (1 - a)) / outA;
    p.b = (c.b * a + p.b * p.a * (1 - a)) / outA;
    p.a = outA;
}

void Canvas::AddLight(int x, int y, Rgba c, float amount)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    Rgba& p = At(x, y);
    p.r += c.r * amount;
    p.g += c.g * amount;
    p.b += c.b * amount;
}

void Canvas::VerticalGradient(Rgba top, Rgba bottom)
{
    for (int y = 0; y < height_; ++y) {
        const float f = height_ > 1 ? static_cast<float>(y) / (height_ - 1) : 0;
        const Rgba c{top.r + (bottom.r - top.r) * f, top.g + (bottom.g - top.g) * f,
                     top.b + (bottom.b - top.b) * f, top.a + (bottom.a - top.a) * f};
        for (int x = 0; x < width_; ++x)
            At(x, y) = c;
    }
}

void Canvas::Glow(float cx, float cy, float radius, Rgba c, float strength)
{
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const float d = std::hypot(x - cx, y - cy) / radius;
            AddLight(x, y, c, strength * std::exp(-d * d * 3));
        }
}

void Canvas::Ring(float cx, float cy, float radius, float thickness, Rgba c)
{
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const float d = std::fabs(std::hypot(x - cx, y - cy) - radius) / thickness;
            if (d < 3)
                AddLight(x, y, c, std::exp(-d * d));
        }
}

void Canvas::Stars(uint32_t seed, int count, float brightness)
{
    for (int i = 0; i < count; ++i) {
        const uint32_t h = Hash(i, 7, seed);
        const int x = static_cast<int>(h % width_);
        const int y = static_cast<int>(Hash(i, 11, seed) % height_);
        const float s = brightness * (0.3f + 0.7f * ((h >> 8) & 255) / 255.0f);
        const Rgba tint{0.8f + 0.2f * ((h >> 16) & 1), 0.85f, 1.0f, 1};
        AddLight(x, y, tint, s);
        for (int k = 1; k <= 2; ++k) {
            const float f = s * (k == 1 ? 0.35f : 0.1f);
            AddLight(x + k, y, tint, f);
            AddLight(x - k, y, tint, f);
            AddLight(x, y + k, tint, f);
            AddLight(x, y - k, tint, f);
        }
    }
}

void Canvas::Clouds(uint32_t seed, float scale, Rgba c, float amount)
{
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            float n = FractalNoise(x / scale, y / scale, seed, 6);
            n = Clamp01((n - 0.35f) * 2.2f);
            AddLight(x, y, c, n * n * amount);
        }
}

int Canvas::TextWidth(const std::string& text, int scale)
{
    return static_cast<int>(text.size()) * 6 * scale - scale;
}

void Canvas::Text(const std::string& text, int x, int y, int scale, Rgba c)
{
    for (int pass = 0; pass < 2; ++pass) {
        const int offset = pass == 0 ? std::max(1, scale / 3) : 0;
        const Rgba colour = pass == 0 ? Rgba{0, 0, 0, 0.6f * c.a} : c;
        for (size_t i = 0; i < text.size(); ++i) {
            const uint8_t* g = FindGlyph(text[i]);
            if (!g)
                continue;
            const int gx = x + static_cast<int>(i) * 6 * scale + offset;
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col)
                    if (g[row] & (16 >> col))
                        for (int yy = 0; yy < scale; ++yy)
                            for (int xx = 0; xx < scale; ++xx)
                                Blend(gx + col * scale + xx, y + offset + row * scale + yy, colour, 1);
        }
    }
}

void Canvas::Save(const std::string& path) const
{
    MakeParentFolders(path);
    FIBITMAP* bitmap = FreeImage_Allocate(width_, height_, 32);
    if (!bitmap)
        throw std::runtime_error("cannot allocate " + path);
    for (int y = 0; y < height_; ++y) {
        // FreeImage keeps the bottom row first.
        BYTE* row = FreeImage_GetScanLine(bitmap, height_ - 1 - y);
        for (int x = 0; x < width_; ++x) {
            const Rgba& p = At(x, y);
            row[x * 4 + FI_RGBA_RED] = static_cast<BYTE>(std::lround(Clamp01(p.r) * 255));
            row[x * 4 + FI_RGBA_GREEN] = static_cast<BYTE>(std::lround(Clamp01(p.g) * 255));
            row[x * 4 + FI_RGBA_BLUE] = static_cast<BYTE>(std::lround(Clamp01(p.b) * 255));
            row[x * 4 + FI_RGBA_ALPHA] = static_cast<BYTE>(std::lround(Clamp01(p.a) * 255));
        }
    }
    bool ok;
    const bool jpeg = path.size() > 4 && path.compare(path.size() - 4, 4, ".jpg") == 0;
    if (jpeg) {
        FIBITMAP* rgb = FreeImage_ConvertTo24Bits(bitmap);
        ok = rgb && FreeImage_Save(FIF_JPEG, rgb, path.c_str(), 90);
        if (rgb)
            FreeImage_Unload(rgb);
    } else {
        ok = FreeImage_Save(FIF_PNG, bitmap, path.c_str(), PNG_DEFAULT);
    }
    FreeImage_Unload(bitmap);
    if (!ok)
        throw std::runtime_error("cannot write " + path);
}

void MakeParentFolders(const std::string& filePath)
{
    for (size_t slash = filePath.find('/', 1); slash != std::string::npos; slash = filePath.find('/', slash + 1))
        mkdir(filePath.substr(0, slash).c_str(), 0755);
}
