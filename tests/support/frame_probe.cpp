#include "support/frame_probe.h"

std::vector<Pixel> ReadFrame()
{
    std::vector<Pixel> pixels;
    pixels.reserve(static_cast<size_t>(GlTest::kWidth) * GlTest::kHeight);
    for (int y = 0; y < GlTest::kHeight; ++y)
        for (int x = 0; x < GlTest::kWidth; ++x)
            pixels.push_back(ReadPixel(x, y));
    return pixels;
}
