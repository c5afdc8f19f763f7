// Writes small AVI files in the show's video codec (and one with frames that
// depend on earlier ones) as the starting corpus for the video reader.
// Usage: video_fuzz_seeds DIR
#include <cstdio>
#include <exception>
#include <string>

#include "video_writer.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const auto paint = [](int frame, std::vector<uint8_t>& rgba) {
        for (size_t i = 0; i < rgba.size(); ++i)
            rgba[i] = static_cast<uint8_t>(i % 4 == 3 ? 255 : (i * 7 + frame * 40) & 0xFF);
    };
    try {
        WriteVideo(dir + "/mjpeg.avi", "mjpeg", 32, 24, 4, 25, paint);
        WriteVideo(dir + "/mpeg4.avi", "mpeg4", 32, 24, 14, 25, paint);
        // B-frames packed the DivX way, and empty chunks for dropped frames.
        VideoLayout packed;
        packed.bFrames = 2;
        packed.packed = true;
        WriteVideo(dir + "/packed.avi", "mpeg4", 32, 24, 14, 25, paint, packed);
        VideoLayout dropped;
        dropped.dropped = {2, 3};
        WriteVideo(dir + "/dropped.avi", "mjpeg", 32, 24, 6, 25, paint, dropped);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
