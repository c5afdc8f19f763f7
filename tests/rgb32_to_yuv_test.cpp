// The capture's colour conversion: BT.709 limited range, 2x2 chroma, turned over.
#include <gtest/gtest.h>

extern "C" {
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "media/rgb32_to_yuv.h"

namespace {

using Yuv = std::array<int, 3>;

struct Planes {
    Planes(int width, int height)
        : y(static_cast<size_t>(width) * height), u(y.size() / 4), v(y.size() / 4), strides{width, width / 2, width / 2}
    {
    }
    uint8_t* const* Data() { return data.data(); }
    std::vector<uint8_t> y, u, v;
    std::array<uint8_t*, 3> data{y.data(), u.data(), v.data()};
    int strides[3];
};

// One 2x2 block of a single colour, converted.
Yuv Convert(int r, int g, int b)
{
    std::vector<uint8_t> bgra;
    for (int i = 0; i < 4; ++i)
        bgra.insert(bgra.end(), {static_cast<uint8_t>(b), static_cast<uint8_t>(g), static_cast<uint8_t>(r), 255});
    Planes out(2, 2);
    Rgb32ToYuv420(bgra.data(), 8, 2, 2, PixelOrder::Bgra, out.Data(), out.strides);
    return {out.y[0], out.u[0], out.v[0]};
}

TEST(Rgb32ToYuv, PrimariesAndGreysLandOnBt709LimitedRange)
{
    // Y = 16 + 219 (0.2126 R + 0.7152 G + 0.0722 B) / 255, Cb and Cr around 128 with a span of 224.
    EXPECT_EQ(Convert(0, 0, 0), (Yuv{16, 128, 128}));
    EXPECT_EQ(Convert(255, 255, 255), (Yuv{235, 128, 128}));
    EXPECT_EQ(Convert(128, 128, 128), (Yuv{126, 128, 128}));
    EXPECT_EQ(Convert(255, 0, 0), (Yuv{63, 102, 240}));
    EXPECT_EQ(Convert(0, 255, 0), (Yuv{173, 42, 26}));
    EXPECT_EQ(Convert(0, 0, 255), (Yuv{32, 240, 118}));
}

TEST(Rgb32ToYuv, ChromaIsTheMeanOfItsBlockAndRowsAreTurnedOver)
{
    // 4x2 pixels stored bottom row first: the left block red over blue, the right block all white.
    const uint8_t bottom[] = {255, 0, 0, 255, 255, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255, 255};
    const uint8_t top[] = {0, 0, 255, 255, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
    std::vector<uint8_t> bgra(bottom, bottom + 16);
    bgra.insert(bgra.end(), top, top + 16);
    Planes out(4, 2);
    Rgb32ToYuv420(bgra.data() + 16, -16, 4, 2, PixelOrder::Bgra, out.Data(), out.strides);
    EXPECT_EQ(out.y, (std::vector<uint8_t>{63, 63, 235, 235, 32, 32, 235, 235}));
    // Half red, half blue: the mean of their chroma, (102 + 240) / 2 and (240 + 118) / 2.
    EXPECT_NEAR(out.u[0], 171, 1);
    EXPECT_NEAR(out.v[0], 179, 1);
    EXPECT_EQ(out.u[1], 128);
    EXPECT_EQ(out.v[1], 128);
}

TEST(Rgb32ToYuv, AgreesWithSwscaleOnASmoothPicture)
{
    const int width = 96, height = 64;
    std::vector<uint8_t> bgra;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bgra.insert(bgra.end(), {static_cast<uint8_t>(40 + y * 3), static_cast<uint8_t>(x * 2 + y),
                                     static_cast<uint8_t>(250 - x * 2), 255});
    Planes ours(width, height), theirs(width, height);
    Rgb32ToYuv420(bgra.data(), width * 4, width, height, PixelOrder::Bgra, ours.Data(), ours.strides);

    SwsContext* scaler = sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, AV_PIX_FMT_YUV420P,
                                        SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    ASSERT_NE(scaler, nullptr);
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(scaler, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
    const uint8_t* source[1] = {bgra.data()};
    const int sourceStride[1] = {width * 4};
    sws_scale(scaler, source, sourceStride, 0, height, theirs.Data(), theirs.strides);
    sws_freeContext(scaler);

    auto largest = [](const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
        int most = 0;
        for (size_t i = 0; i < a.size(); ++i)
            most = std::max(most, std::abs(a[i] - b[i]));
        return most;
    };
    EXPECT_LE(largest(ours.y, theirs.y), 1);
    // swscale filters chroma over four rows, we over two: on a smooth picture they agree closely.
    EXPECT_LE(largest(ours.u, theirs.u), 2);
    EXPECT_LE(largest(ours.v, theirs.v), 2);
}

// Noise, so that a pixel, row or column out of place shows, in widths that end
// both on and between the converter's blocks of 16 pixels.
TEST(Rgb32ToYuv, EveryPixelOfNoiseMatchesTheFormulaInEitherOrder)
{
    const int height = 4;
    uint32_t seed = 12345;
    for (int width : {2, 6, 14, 16, 18, 30, 32, 34, 46, 64, 1280}) {
        std::vector<uint8_t> bgra(static_cast<size_t>(width) * height * 4);
        for (uint8_t& byte : bgra) {
            seed = seed * 1664525u + 1013904223u;
            byte = static_cast<uint8_t>(seed >> 24);
        }
        std::vector<uint8_t> rgba(bgra);
        for (size_t i = 0; i < rgba.size(); i += 4)
            std::swap(rgba[i], rgba[i + 2]);

        Planes fromBgra(width, height), fromRgba(width, height);
        Rgb32ToYuv420(bgra.data(), width * 4, width, height, PixelOrder::Bgra, fromBgra.Data(), fromBgra.strides);
        Rgb32ToYuv420(rgba.data(), width * 4, width, height, PixelOrder::Rgba, fromRgba.Data(), fromRgba.strides);
        EXPECT_EQ(fromRgba.y, fromBgra.y) << width;
        EXPECT_EQ(fromRgba.u, fromBgra.u) << width;
        EXPECT_EQ(fromRgba.v, fromBgra.v) << width;

        // Luma of each pixel, and chroma of each block's mean colour.
        auto luma = [](double r, double g, double b) { return 0.2126 * r + 0.7152 * g + 0.0722 * b; };
        auto at = [&](int x, int y, int channel) { return bgra[(static_cast<size_t>(y) * width + x) * 4 + channel]; };
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const double expected = 16 + 219 * luma(at(x, y, 2), at(x, y, 1), at(x, y, 0)) / 255;
                ASSERT_NEAR(fromBgra.y[static_cast<size_t>(y) * width + x], expected, 0.51)
                    << width << " " << x << "," << y;
            }
        for (int y = 0; y < height / 2; ++y)
            for (int x = 0; x < width / 2; ++x) {
                double mean[3] = {0, 0, 0};
                for (int c = 0; c < 3; ++c)
                    mean[c] = (at(2 * x, 2 * y, c) + at(2 * x + 1, 2 * y, c) + at(2 * x, 2 * y + 1, c) +
                               at(2 * x + 1, 2 * y + 1, c)) / 4.0;
                const double l = luma(mean[2], mean[1], mean[0]);
                const size_t i = static_cast<size_t>(y) * (width / 2) + x;
                ASSERT_NEAR(fromBgra.u[i], 128 + 224 * (mean[0] - l) / (2 * (1 - 0.0722)) / 255, 0.51)
                    << width << " " << x << "," << y;
                ASSERT_NEAR(fromBgra.v[i], 128 + 224 * (mean[2] - l) / (2 * (1 - 0.2126)) / 255, 0.51)
                    << width << " " << x << "," << y;
            }
    }
}

}  // namespace
