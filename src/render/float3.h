#pragma once

// Positions, sizes and rotation angles (degrees).
struct Float3 {
    float x = 0, y = 0, z = 0;

    Float3() = default;
    Float3(float x, float y, float z) : x(x), y(y), z(z) {}
    Float3& Set(float nx, float ny, float nz)
    {
        x = nx;
        y = ny;
        z = nz;
        return *this;
    }
};
