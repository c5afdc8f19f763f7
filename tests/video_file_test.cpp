#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/demo_error.h"
#include "media/video_file.h"
#include "support/gl_fixture.h"
#include "video_writer.h"

namespace {

using Colour = std::array<int, 3>;

const char kReadError[] = "Error reading AVI";
const char kCodecError[] = "Error opening AVIStreamGetFrameOpen - your video codec might be out dated!";

// Frame i: its own colour in the top half, dark grey in the bottom half.
Colour FrameColour(int i)
{
    static const Colour colours[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0},
                                     {0, 255, 255}, {255, 0, 255}, {255, 255, 255}};
    return colours[i % 7];
}
const Colour kBottom{60, 60, 60};

void PaintSplit(int frame, int width, int height, std::vector<uint8_t>& rgba)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Colour c = y < height / 2 ? FrameColour(frame) : kBottom;
            uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = static_cast<uint8_t>(c[0]);
            p[1] = static_cast<uint8_t>(c[1]);
            p[2] = static_cast<uint8_t>(c[2]);
            p[3] = 255;
        }
}

std::string SplitVideo(const std::string& dir, const std::string& encoder, int width, int height, int frames)
{
    const std::string path = dir + "/" + encoder + ".avi";
    WriteVideo(path, encoder, width, height, frames, 25,
               [=](int frame, std::vector<uint8_t>& rgba) { PaintSplit(frame, width, height, rgba); });
    return path;
}

// A picture pixel by its position on screen: row 0 is the top of the video.
Colour PictureAt(const VideoFile& video, int x, int screenRow)
{
    const int size = VideoFile::kPictureSize;
    const uint8_t* p = video.Picture() + (static_cast<size_t>(size - 1 - screenRow) * size + x) * 4;
    return {p[0], p[1], p[2]};
}

void ExpectColourNear(const Colour& actual, const Colour& expected, const std::string& where)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(actual[i], expected[i], 12) << where << " channel " << i;
}

std::string ErrorOf(const std::string& path)
{
    try {
        VideoFile video(path.c_str());
    } catch (const DemoError& e) {
        return e.what();
    }
    return "no error";
}

std::vector<char> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::vector<char>& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST(VideoFileTest, EveryCodecShowsTheRightFrameUprightAtAnyFrameSize)
{
    const std::string dir = MakeTempDir();
    struct Case {
        const char* encoder;
        int width, height;
    } cases[] = {{"mjpeg", 64, 48}, {"mjpeg", 700, 90}, {"mpeg4", 48, 80}, {"rawvideo", 33, 17}, {"rawvideo", 640, 480}};
    for (const Case& c : cases) {
        const std::string where = std::string(c.encoder) + " " + std::to_string(c.width) + "x" + std::to_string(c.height);
        VideoFile video(SplitVideo(dir, c.encoder, c.width, c.height, 9).c_str());
        EXPECT_EQ(video.Width(), c.width) << where;
        EXPECT_EQ(video.Height(), c.height) << where;
        ASSERT_EQ(video.Length(), 9) << where;
        for (int i : {0, 1, 2, 5, 8, 3, 3, 0}) {
            video.GrabFrame(i);
            const std::string at = where + " frame " + std::to_string(i);
            ExpectColourNear(PictureAt(video, 256, 100), FrameColour(i), at + " top");
            ExpectColourNear(PictureAt(video, 10, 400), kBottom, at + " bottom");
            EXPECT_EQ(video.Picture()[3], 255);
        }
    }
}

TEST(VideoFileTest, AFrameLooksTheSameWhetherReachedBySteppingOrBySeeking)
{
    const std::string dir = MakeTempDir();
    // Predicted frames (MPEG-4), and frames decoded out of their order (H.264's B-frames).
    for (const char* encoder : {"mpeg4", "libx264"}) {
        SCOPED_TRACE(encoder);
        const std::string path = dir + "/" + encoder + ".avi";
        // A diagonal gradient that moves every frame, so each frame differs
        // from its neighbours and a predicted frame depends on the ones before it.
        WriteVideo(path, encoder, 96, 64, 40, 25, [](int frame, std::vector<uint8_t>& rgba) {
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 96; ++x) {
                    uint8_t* p = &rgba[(static_cast<size_t>(y) * 96 + x) * 4];
                    p[0] = static_cast<uint8_t>((x * 2 + frame * 5) & 255);
                    p[1] = static_cast<uint8_t>((y * 3 + frame * 3) & 255);
                    p[2] = static_cast<uint8_t>((x + y + frame * 7) & 255);
                    p[3] = 255;
                }
        });
        const size_t bytes = VideoFile::kPictureSize * VideoFile::kPictureSize * 4;
        VideoFile stepped(path.c_str());
        ASSERT_EQ(stepped.Length(), 40);
        std::vector<std::vector<uint8_t>> pictures;
        for (int i = 0; i < 40; ++i) {
            stepped.GrabFrame(i);
            pictures.emplace_back(stepped.Picture(), stepped.Picture() + bytes);
        }
        for (int i = 1; i < 40; ++i)
            EXPECT_NE(pictures[i - 1], pictures[i]) << "frame " << i << " repeats the one before";

        VideoFile jumped(path.c_str());
        for (int i : {30, 17, 39, 0, 25, 24, 13, 14, 38, 5}) {
            jumped.GrabFrame(i);
            EXPECT_EQ(std::vector<uint8_t>(jumped.Picture(), jumped.Picture() + bytes), pictures[i]) << "frame " << i;
        }
    }
}

TEST(VideoFileTest, UnreadableFilesGiveTheMessagesWithoutACrash)
{
    const std::string dir = MakeTempDir();
    EXPECT_EQ(ErrorOf(dir + "/missing.avi"), kReadError);
    EXPECT_EQ(ErrorOf(dir), kReadError) << "a folder";
    WriteAll(dir + "/empty.avi", {});
    EXPECT_EQ(ErrorOf(dir + "/empty.avi"), kReadError);
    const std::string text = "# not a video\nZoomba\n";
    WriteAll(dir + "/text.avi", std::vector<char>(text.begin(), text.end()));
    EXPECT_EQ(ErrorOf(dir + "/text.avi"), kReadError);

    // Sound alone: a media file without a video stream.
    SF_INFO format{};
    format.samplerate = 8000;
    format.channels = 1;
    format.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* sound = sf_open((dir + "/sound.avi").c_str(), SFM_WRITE, &format);
    ASSERT_NE(sound, nullptr);
    const std::vector<short> silence(800, 0);
    sf_write_short(sound, silence.data(), static_cast<sf_count_t>(silence.size()));
    sf_close(sound);
    EXPECT_EQ(ErrorOf(dir + "/sound.avi"), kReadError);

    // A video with no frame at all would leave nothing to loop over.
    EXPECT_EQ(ErrorOf(SplitVideo(dir, "mjpeg", 32, 32, 0)), kReadError);

    // The header alone, the header and the stream's headers without a frame,
    // and files cut in the last frames or in the index behind them.
    const std::vector<char> whole = ReadAll(SplitVideo(dir, "mjpeg", 64, 48, 12));
    const std::string movie = "movi";
    const size_t frames = std::search(whole.begin(), whole.end(), movie.begin(), movie.end()) - whole.begin();
    for (size_t keep : {size_t{200}, frames + 4}) {
        WriteAll(dir + "/header.avi", std::vector<char>(whole.begin(), whole.begin() + static_cast<long>(keep)));
        EXPECT_EQ(ErrorOf(dir + "/header.avi"), kReadError) << keep << " bytes";
    }
    for (size_t keep : {whole.size() - 1500, whole.size() - 100}) {
        WriteAll(dir + "/cut.avi", std::vector<char>(whole.begin(), whole.begin() + static_cast<long>(keep)));
        VideoFile cut((dir + "/cut.avi").c_str());
        EXPECT_GE(cut.Length(), 1);
        EXPECT_LE(cut.Length(), 12);
        for (int i = cut.Length() - 1; i >= 0; --i)
            cut.GrabFrame(i);
        ExpectColourNear(PictureAt(cut, 256, 100), FrameColour(0), "first frame of a cut file");
        cut.GrabFrame(cut.Length());  // out of range: the picture stays
        ExpectColourNear(PictureAt(cut, 256, 100), FrameColour(0), "after an index past the end");
    }
}

TEST(VideoFileTest, AStreamWithoutADecoderGivesTheCodecMessage)
{
    const std::string dir = MakeTempDir();
    std::vector<char> bytes = ReadAll(SplitVideo(dir, "mjpeg", 32, 32, 3));
    // Rename the codec in the stream header and the format record.
    int renamed = 0;
    for (size_t i = 0; i + 4 <= bytes.size(); ++i)
        if (std::string(&bytes[i], 4) == "MJPG") {
            std::copy_n("QQZZ", 4, &bytes[i]);
            ++renamed;
        }
    ASSERT_GE(renamed, 1);
    WriteAll(dir + "/unknown.avi", bytes);
    EXPECT_EQ(ErrorOf(dir + "/unknown.avi"), kCodecError);
}

TEST(VideoFileTest, AFrameThatFailsToDecodeKeepsThePreviousPicture)
{
    const std::string dir = MakeTempDir();
    std::vector<char> bytes = ReadAll(SplitVideo(dir, "mjpeg", 64, 48, 3));
    // Where each frame's JPEG starts.
    std::vector<size_t> starts;
    for (size_t i = 0; i + 3 <= bytes.size(); ++i)
        if (static_cast<unsigned char>(bytes[i]) == 0xFF && static_cast<unsigned char>(bytes[i + 1]) == 0xD8 &&
            static_cast<unsigned char>(bytes[i + 2]) == 0xFF)
            starts.push_back(i);
    ASSERT_EQ(starts.size(), 3u);
    // Everything of the second frame's picture up to the next frame's chunk header.
    std::fill(bytes.begin() + static_cast<long>(starts[1]), bytes.begin() + static_cast<long>(starts[2]) - 8, 0);
    WriteAll(dir + "/broken.avi", bytes);

    VideoFile video((dir + "/broken.avi").c_str());
    ASSERT_EQ(video.Length(), 3);
    video.GrabFrame(0);
    video.GrabFrame(1);
    ExpectColourNear(PictureAt(video, 256, 100), FrameColour(0), "the broken frame");
    video.GrabFrame(2);
    ExpectColourNear(PictureAt(video, 256, 100), FrameColour(2), "the frame after it");
}

}  // namespace

TEST(VideoFileTest, AFileInMemoryReadsAsTheSameFileOnDisk)
{
    const std::string dir = MakeTempDir();
    const std::string path = SplitVideo(dir, "mpeg4", 64, 48, 14);
    const std::vector<char> bytes = ReadAll(path);
    VideoFile onDisk(path.c_str());
    VideoFile inMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ASSERT_EQ(inMemory.Length(), onDisk.Length());
    for (int i : {13, 2, 7, 0}) {
        onDisk.GrabFrame(i);
        inMemory.GrabFrame(i);
        ExpectColourNear(PictureAt(inMemory, 256, 100), FrameColour(i), "frame " + std::to_string(i));
        EXPECT_EQ(std::memcmp(inMemory.Picture(), onDisk.Picture(), 512 * 512 * 4), 0) << "frame " << i;
    }
    // Cut short and garbled bytes give the message, as the same file would.
    const std::vector<char> head(bytes.begin(), bytes.begin() + 200);
    EXPECT_THROW(VideoFile(reinterpret_cast<const uint8_t*>(head.data()), head.size()), DemoError);
    EXPECT_THROW(VideoFile(reinterpret_cast<const uint8_t*>(bytes.data()), 0), DemoError);
}

namespace {

// Frame numbers drawn as eight black or white columns, lowest bit on the
// left, so that a test reads which frame it sees whatever the codec does.
constexpr int kNumberedWidth = 96, kNumberedHeight = 64;

void PaintNumber(int frame, std::vector<uint8_t>& rgba)
{
    for (int y = 0; y < kNumberedHeight; ++y)
        for (int x = 0; x < kNumberedWidth; ++x) {
            const bool on = (frame >> (x * 8 / kNumberedWidth)) & 1;
            uint8_t* p = &rgba[(static_cast<size_t>(y) * kNumberedWidth + x) * 4];
            p[0] = p[1] = p[2] = on ? 235 : 20;
            p[3] = 255;
        }
}

int NumberShown(const VideoFile& video)
{
    int number = 0;
    for (int bit = 0; bit < 8; ++bit)
        if (PictureAt(video, (2 * bit + 1) * VideoFile::kPictureSize / 16, 256)[1] > 128)
            number |= 1 << bit;
    return number;
}

std::string NumberedClip(const std::string& path, const std::string& encoder, int frames, const VideoLayout& layout)
{
    WriteVideo(path, encoder, kNumberedWidth, kNumberedHeight, frames, 25, PaintNumber, layout);
    return path;
}

}  // namespace

TEST(VideoFileTest, BFramesPackedOrNotShowEveryFrameInDisplayOrder)
{
    const std::string dir = MakeTempDir();
    VideoLayout unpacked;
    unpacked.bFrames = 2;
    VideoLayout packed = unpacked;
    packed.packed = true;
    testing::internal::CaptureStderr();
    for (const VideoLayout& layout : {unpacked, packed, packed}) {
        SCOPED_TRACE(layout.packed ? "packed" : "unpacked");
        const std::string path = NumberedClip(dir + "/b.avi", "mpeg4", 44, layout);
        VideoFile video(path.c_str());
        ASSERT_EQ(video.Length(), 44);
        for (int i = 0; i < 44; ++i) {
            video.GrabFrame(i);
            EXPECT_EQ(NumberShown(video), i) << "played straight";
        }
        // Backwards, across key frames, onto B-frames shown before a key frame, and on again.
        for (int i : {35, 36, 37, 10, 12, 11, 9, 0, 43, 22, 23, 24, 13, 1}) {
            video.GrabFrame(i);
            EXPECT_EQ(NumberShown(video), i) << "after a jump";
        }
    }
    // The decoder's complaint about packed files, and any other, is said once.
    const std::string said = testing::internal::GetCapturedStderr();
    const std::string complaint = "packed B-frames";
    const size_t first = said.find(complaint);
    EXPECT_NE(first, std::string::npos) << said;
    EXPECT_EQ(said.find(complaint, first + 1), std::string::npos) << said;
}

TEST(VideoFileTest, DroppedFramesCountAndRepeatTheFrameBefore)
{
    const std::string dir = MakeTempDir();
    VideoLayout layout;
    layout.dropped = {3, 4, 10, 11, 12, 13, 20, 38};
    for (const char* encoder : {"mjpeg", "mpeg4"}) {
        SCOPED_TRACE(encoder);
        VideoFile video(NumberedClip(dir + "/dropped.avi", encoder, 40, layout).c_str());
        ASSERT_EQ(video.Length(), 40) << "the header's count, the empty chunks included";
        for (int i : {0, 1, 2, 3, 4, 5, 12, 14, 39, 38, 37, 11, 21, 20, 9}) {
            int expected = i;
            while (std::find(layout.dropped.begin(), layout.dropped.end(), expected) != layout.dropped.end())
                --expected;
            video.GrabFrame(i);
            EXPECT_EQ(NumberShown(video), expected) << "frame " << i;
        }
    }
}

TEST(VideoFileTest, TheColourMatrixAndRangeFollowTheStreamsTags)
{
    const std::string dir = MakeTempDir();
    // A colour far from grey, where the matrices and ranges differ most.
    const Colour orange{230, 120, 30};
    for (bool bt709 : {false, true})
        for (bool full : {false, true}) {
            const std::string where = std::string(bt709 ? "BT.709" : "BT.601") + (full ? " full" : " limited");
            VideoLayout layout;
            layout.bt709 = bt709;
            layout.fullRange = full;
            // Matroska keeps the tags; AVI has no place for them.
            const std::string path = dir + "/tagged.mkv";
            WriteVideo(path, "mpeg4", 64, 48, 2, 25,
                       [&](int, std::vector<uint8_t>& rgba) {
                           for (size_t p = 0; p < rgba.size(); p += 4) {
                               std::copy(orange.begin(), orange.end(), &rgba[p]);
                               rgba[p + 3] = 255;
                           }
                       },
                       layout);
            testing::internal::CaptureStderr();
            VideoFile video(path.c_str());
            video.GrabFrame(1);
            const std::string said = testing::internal::GetCapturedStderr();
            const Colour shown = PictureAt(video, 256, 256);
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(shown[i], orange[i], 6) << where << " channel " << i;
            EXPECT_EQ(said.find("deprecated pixel format"), std::string::npos) << said;
        }
}

TEST(VideoFileTest, OnlyPlainFilesInKnownContainersAreRead)
{
    const std::string dir = MakeTempDir();
    // A playlist named like a video that points at a pipe nobody writes to:
    // following it would wait for ever.
    const std::string fifo = dir + "/pipe.ts";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string playlist = "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\nfile:" + fifo + "\n#EXT-X-ENDLIST\n";
    WriteAll(dir + "/Video.avi", std::vector<char>(playlist.begin(), playlist.end()));
    EXPECT_EQ(ErrorOf(dir + "/Video.avi"), kReadError);

    // Colons in a name are part of the name.
    const std::string colon = dir + "/take:2.avi";
    NumberedClip(colon, "mjpeg", 3, {});
    VideoFile video(colon.c_str());
    video.GrabFrame(2);
    EXPECT_EQ(NumberShown(video), 2);
}

TEST(VideoFileTest, DamagedFilesFoundByTheFuzzerReadSafely)
{
    // Damaged MPEG-4 AVIs that the fuzzer found reading out of bounds:
    // - one whose decoder gives more pictures than the file has packets,
    //   which the AVI frame count indexed past the end of its timestamps;
    // - one that sends more packets while its pictures are ordered than it
    //   had when they were indexed, which a picture's packet then pointed past.
    // Last in the file: FFmpeg's complaint about packed B-frames, which these
    // files draw too, is said once a run.
    for (const char* name : {"more-pictures-than-packets.avi", "more-packets-when-decoded.avi"}) {
        SCOPED_TRACE(name);
        const std::vector<char> bytes = ReadAll(SourcePath(std::string("tests/data/") + name));
        ASSERT_FALSE(bytes.empty());
        try {
            VideoFile video(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            ASSERT_GT(video.Length(), 0);
            for (int i : {0, 1, video.Length() - 1, video.Length() / 2, video.Length(), -1, 2})
                video.GrabFrame(i);
        } catch (const DemoError&) {
            // A message is as good an outcome as a picture.
        }
    }
}
