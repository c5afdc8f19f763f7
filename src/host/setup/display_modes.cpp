#include "host/setup/display_modes.h"

#include <cstdio>

std::vector<ModeSize> BuildModeTable(const std::vector<DisplayMode>& modes, int bitsPerPixel)
{
    std::vector<ModeSize> table;
    for (const DisplayMode& mode : modes) {
        if (table.size() >= kMaxModeSizes)
            break;
        if (mode.bitsPerPixel != bitsPerPixel)
            continue;
        if (!table.empty() && table.back().width == mode.width && table.back().height == mode.height)
            continue;
        table.push_back({mode.width, mode.height});
    }
    return table;
}

std::string ModeLabel(const ModeSize& size)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d * %d", size.width, size.height);
    return text;
}

int LastRowOfSize(const std::vector<ModeSize>& table, int width, int height)
{
    int row = -1;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].width == width && table[i].height == height)
            row = static_cast<int>(i);
    }
    return row;
}
