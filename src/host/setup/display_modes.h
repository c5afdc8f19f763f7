#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "platform/display_mode_list.h"

// One row of the setup dialog's resolution list.
struct ModeSize {
    int width;
    int height;
};

constexpr std::size_t kMaxModeSizes = 4096;

// The dialog's resolution list: the sizes of the modes at the given depth, in
// the display's order, at most kMaxModeSizes of them. A size equal to the row
// added last is the same mode at another refresh rate and is left out; a size
// that comes back later, not next to its twin, gets a row again.
std::vector<ModeSize> BuildModeTable(const std::vector<DisplayMode>& modes, int bitsPerPixel);

// "1024 * 768".
std::string ModeLabel(const ModeSize& size);

// The last row of the given size, or -1 when there is none.
int LastRowOfSize(const std::vector<ModeSize>& table, int width, int height);
