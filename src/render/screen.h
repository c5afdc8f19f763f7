#pragma once
#include "render/float3.h"
#include "render/gl.h"

// The window size in pixels, set once when the window opens.
extern int ScreenWidth;
extern int ScreenHeight;

// Viewport width x height, 40-degree perspective (near 0.1, far 1000), identity model-view.
void SetPerspective(int width, int height);
// SetPerspective for the whole window: the state every effect starts from and ends with.
void ResetPerspective();
// Window viewport, x from -1 (left) to 1, y from -1 (top) to 1; quads at z = -2 fill the window.
void SetScreenOrtho();

// A quad with a texture on it, drawn in immediate mode.
struct TexturedQuad {
    Float3 half;    // x, y: half the width and height
    Float3 centre;

    TexturedQuad() = default;
    TexturedQuad(float halfWidth, float halfHeight) : half(halfWidth, halfHeight, 0) {}
    // s, t: how often the texture repeats across the quad (negative mirrors).
    void Draw(float s, float t) const;
    // Draw(a, c) with every texture coordinate shifted by (u, v): scrolls a
    // repeating texture across the quad.
    void DrawOffset(float a, float c, float u, float v) const;
};

// Rotates about x, then y, then z, angles in degrees.
void RotateXYZ(const Float3& angles);

// The shared random generator scaled to 0..1, both ends included.
float RandomUnit();

// Light 0 with the show's ambient, diffuse and specular levels; lighting and depth test on.
void SetupDefaultLight();
void DisableDefaultLight();
