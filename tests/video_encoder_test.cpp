#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "media/video_encoder.h"
#include "support/video_files.h"
#include "support/gl_fixture.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 96;
constexpr int kPictures = 24;
constexpr int kFps = 25;

// Picture i: a colour of its own on the left, a fixed dark blue on the right.
std::array<int, 3> PictureColour(int i)
{
    static const std::array<int, 3> colours[] = {{230, 40, 40},  {40, 200, 60},  {50, 70, 230}, {240, 220, 50},
                                                 {40, 210, 220}, {220, 60, 200}, {250, 250, 250}};
    return colours[i % 7];
}
const std::array<int, 3> kRight{20, 30, 90};

void Paint(int i, std::vector<uint8_t>& bgra)
{
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const std::array<int, 3> c = x < kWidth / 2 ? PictureColour(i) : kRight;
            uint8_t* p = &bgra[(static_cast<size_t>(y) * kWidth + x) * 4];
            p[0] = static_cast<uint8_t>(c[2]);
            p[1] = static_cast<uint8_t>(c[1]);
            p[2] = static_cast<uint8_t>(c[0]);
            p[3] = 255;
        }
}

void ExpectNear(const std::vector<unsigned char>& rgb, int x, int y, const std::array<int, 3>& expected,
                const std::string& where)
{
    const unsigned char* p = &rgb[(static_cast<size_t>(y) * kWidth + x) * 3];
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(p[c], expected[c], 12) << where << " channel " << c;
}

}  // namespace

// With several encoding threads the encoder still holds earlier pictures when
// the next one is filled into the same storage, and gives the last ones only
// when finished: every picture must come out once, in order, unharmed.
TEST(VideoEncoderTest, SeveralThreadsKeepEveryPictureInOrder)
{
    const std::string dir = MakeTempDir();
    for (const char* codec : {"h264", "ffv1", "prores"}) {
        const std::string name = codec;
        VideoEncoderSettings settings;
        settings.path = dir + "/" + name + (name == "ffv1" ? ".mkv" : name == "prores" ? ".mov" : ".mp4");
        settings.container = VideoContainerFor(settings.path);
        settings.codec = name;
        settings.width = kWidth;
        settings.height = kHeight;
        settings.fps = kFps;
        settings.threads = 4;
        {
            VideoEncoder encoder(settings);
            AVFrame* picture = encoder.NewPicture();
            std::vector<uint8_t> bgra(static_cast<size_t>(kWidth) * kHeight * 4);
            for (int i = 0; i < kPictures; ++i) {
                Paint(i, bgra);
                encoder.FillPicture(bgra.data(), picture);
                encoder.WritePicture(picture);
                encoder.WriteSound(nullptr, settings.sampleRate / kFps, 2);
            }
            encoder.Finish();
            encoder.FreePicture(picture);
            EXPECT_EQ(encoder.PicturesWritten(), kPictures) << name;
        }
        const DecodedVideo video = DecodeVideo(settings.path, true);
        ASSERT_TRUE(video.opened) << name;
        ASSERT_EQ(video.frameCount, kPictures) << name;
        for (int i = 0; i < kPictures; ++i) {
            const std::string where = name + " picture " + std::to_string(i);
            ExpectNear(video.pictures[i], kWidth / 4, kHeight / 2, PictureColour(i), where + " left");
            ExpectNear(video.pictures[i], kWidth * 3 / 4, kHeight / 2, kRight, where + " right");
        }
    }
}
