#pragma once
#include <algorithm>

#include "canvas.h"

// Small colour and painting helpers shared by the picture writers.
inline float Clamp(float v, float lo, float hi)
{
    return std::min(hi, std::max(lo, v));
}

inline float Smooth(float edge0, float edge1, float v)
{
    const float t = Clamp((v - edge0) / (edge1 - edge0), 0, 1);
    return t * t * (3 - 2 * t);
}

inline Rgba Mix(Rgba a, Rgba b, float f)
{
    return Rgba{a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f, a.a + (b.a - a.a) * f};
}

inline Rgba Scale(Rgba c, float f)
{
    return Rgba{c.r * f, c.g * f, c.b * f, c.a};
}

// Sets every pixel to f(u, v), u and v running 0..1 across and down.
template <class F>
void Paint(Canvas& c, F f)
{
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            c.At(x, y) = f((x + 0.5f) / c.Width(), (y + 0.5f) / c.Height());
}
