#pragma once
#include "render/gl.h"

// Display lists of the built-in ring shapes. All of them live until the
// process ends.

// The flat arc ring, with no material of its own: it takes whatever colour
// and material are current when it is drawn.
GLuint BuildArcRingList();

// Compiles the four parts of the ring model (body and three broken rings, each
// with its material) into program-wide storage; a second call replaces them.
// The window size is accepted for the caller's convenience and not used.
void BuildRingModel(int width = 0, int height = 0);

// Draws the body turning by angle and the ring parts in front of and behind
// it turning at their own rates, the assembly moved by offsetX * 0.25.
void DrawRingModel(float angle, float offsetX);
