#pragma once
#include <vector>

// One video mode as the display lists it.
struct DisplayMode {
    int width;
    int height;
    int bitsPerPixel;
};

// The modes of the primary display of the X server named by $DISPLAY, in the
// server's order (the same size may come once per refresh rate). Empty when
// there is no display.
std::vector<DisplayMode> ListDisplayModes();
