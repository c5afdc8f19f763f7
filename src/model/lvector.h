#pragma once
#include <cmath>
#include <cstdint>

// Plain packed records that mesh arrays are made of; a std::vector of them is
// a tightly packed float array that OpenGL can take as a vertex pointer.
struct LVector2 {
    float x = 0, y = 0;
};

struct LVector3 {
    float x = 0, y = 0, z = 0;
};

struct LVector4 {
    float x = 0, y = 0, z = 0, w = 0;
};

struct LTriangle {
    uint16_t a = 0, b = 0, c = 0;
};

// 16 floats, row after row.
struct LMatrix4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

// Single-precision vector helpers used by mesh finishing.
inline LVector3 operator+(const LVector3& a, const LVector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline LVector3 operator-(const LVector3& a, const LVector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline LVector3 Cross(const LVector3& a, const LVector3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
// Multiplies by 1 / length; a zero-length vector stays as it is.
inline LVector3 Normalize(const LVector3& v)
{
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0.0f)
        return v;
    const float inverse = 1.0f / length;
    return {v.x * inverse, v.y * inverse, v.z * inverse};
}
