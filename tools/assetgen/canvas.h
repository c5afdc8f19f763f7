#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A floating-point RGBA picture for procedural art, saved through FreeImage.
struct Rgba {
    float r = 0, g = 0, b = 0, a = 1;
};

class Canvas {
public:
    Canvas(int width, int height, Rgba fill = {});

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgba& At(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const Rgba& At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

    // Blends colour over the pixel with the given coverage (0..1), "over" operator.
    void Blend(int x, int y, Rgba colour, float coverage);
    // Adds light to the pixel (additive glow), alpha untouched.
    void AddLight(int x, int y, Rgba colour, float amount);

    void VerticalGradient(Rgba top, Rgba bottom);
    void Glow(float cx, float cy, float radius, Rgba colour, float strength);
    void Ring(float cx, float cy, float radius, float thickness, Rgba colour);
    void Stars(uint32_t seed, int count, float brightness);
    void Clouds(uint32_t seed, float scale, Rgba colour, float amount);
    // Text in the built-in 5x7 pixel font, each font pixel drawn as a scale x scale block,
    // with a soft shadow; x, y is the top-left corner.
    void Text(const std::string& text, int x, int y, int scale, Rgba colour);
    static int TextWidth(const std::string& text, int scale);

    // Saves as PNG (keeps alpha) or JPEG (quality 90), chosen by the file name's ending.
    void Save(const std::string& path) const;

private:
    int width_;
    int height_;
    std::vector<Rgba> pixels_;
};

// Deterministic value noise in 0..1, summed over octaves.
float FractalNoise(float x, float y, uint32_t seed, int octaves);

// Creates the folder that will hold a file, and its parents.
void MakeParentFolders(const std::string& filePath);
