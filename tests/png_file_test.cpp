// Frames written as PNG files: the pixels, their order and their channels come
// back as drawn, and a write that fails keeps what was there before.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <string>
#include <vector>

#include "render/png_file.h"
#include "support/files.h"
#include "support/gl_fixture.h"
#include "support/image_files.h"

namespace {

// A frame as GL reads it back: BGRA, bottom row first. Every pixel differs
// from its neighbours, so a swapped channel, a flipped row order or a
// predictor that is undone wrongly shows.
std::vector<uint8_t> Frame(int width, int height, uint8_t alpha)
{
    std::vector<uint8_t> bgra;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bgra.push_back(static_cast<uint8_t>(x * 37 + y * 11));  // blue
            bgra.push_back(static_cast<uint8_t>(y * 53 + 7));       // green
            bgra.push_back(static_cast<uint8_t>(x * 19 ^ y * 101));  // red
            bgra.push_back(alpha);
        }
    return bgra;
}

// Noise, which no predictor shrinks much.
std::vector<uint8_t> Noise(size_t bytes)
{
    std::vector<uint8_t> out(bytes);
    uint32_t state = 12345;
    for (uint8_t& byte : out) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(state >> 24);
    }
    return out;
}

// The file's colour type (2: RGB, 6: RGB with alpha), from its header.
int ColourType(const std::string& path)
{
    const std::string bytes = ReadFile(path);
    return bytes.size() > 25 ? static_cast<unsigned char>(bytes[25]) : -1;
}

void ExpectSamePicture(const std::vector<uint8_t>& bgra, int width, int height, const std::string& path)
{
    int w = 0, h = 0;
    const std::vector<unsigned char> rgba = ReadImage(path, w, h);
    ASSERT_EQ(w, width);
    ASSERT_EQ(h, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* drawn = &bgra[(size_t(height - 1 - y) * width + x) * 4];  // bottom row first
            const unsigned char* read = &rgba[(size_t(y) * width + x) * 4];          // top row first
            ASSERT_EQ(read[0], drawn[2]) << x << "," << y;
            ASSERT_EQ(read[1], drawn[1]) << x << "," << y;
            ASSERT_EQ(read[2], drawn[0]) << x << "," << y;
            ASSERT_EQ(read[3], drawn[3]) << x << "," << y;
        }
}

TEST(PngFileTest, OpaqueFramesAreWrittenAsRgbAndOthersKeepTheirAlpha)
{
    const std::string dir = MakeTempDir();
    const std::vector<uint8_t> opaque = Frame(67, 23, 255);
    ASSERT_TRUE(WritePngFile((dir + "/opaque.png").c_str(), opaque.data(), 67, 23));
    EXPECT_EQ(ColourType(dir + "/opaque.png"), 2);
    ExpectSamePicture(opaque, 67, 23, dir + "/opaque.png");

    std::vector<uint8_t> seeThrough = Frame(67, 23, 255);
    seeThrough[(5 * 67 + 60) * 4 + 3] = 96;  // one pixel is enough
    ASSERT_TRUE(WritePngFile((dir + "/alpha.png").c_str(), seeThrough.data(), 67, 23));
    EXPECT_EQ(ColourType(dir + "/alpha.png"), 6);
    ExpectSamePicture(seeThrough, 67, 23, dir + "/alpha.png");
    EXPECT_FALSE(Exists(dir + "/alpha.png.part"));
}

TEST(PngFileTest, AFailedWriteKeepsTheFileThatWasThere)
{
    const std::string dir = MakeTempDir();
    const std::vector<uint8_t> frame = Noise(300 * 200 * 4);
    EXPECT_FALSE(WritePngFile((dir + "/missing/frame.png").c_str(), frame.data(), 300, 200));
    EXPECT_FALSE(Exists(dir + "/missing"));

    // A disk that fills up part-way: files may not grow past 1000 bytes.
    const std::string path = dir + "/frame.png";
    std::ofstream(path) << "the frame written before";
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WritePngFile(path.c_str(), frame.data(), 300, 200);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFile(path), "the frame written before");
    EXPECT_FALSE(Exists(path + ".part"));
}

}  // namespace
