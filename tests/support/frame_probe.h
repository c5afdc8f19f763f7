#pragma once
#include <vector>

#include "support/gl_fixture.h"

// Every pixel of the test window, top row first, to compare whole frames.
std::vector<Pixel> ReadFrame();
