#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Fills one picture of the video: width x height pixels, top row first,
// r, g, b, a bytes.
using PaintFrame = std::function<void(int frame, std::vector<uint8_t>& rgba)>;

// How the frames are stored, for test clips shaped like files from other tools.
struct VideoLayout {
    int bFrames = 0;  // B-frames between reference frames (MPEG-4 and H.264)
    // DivX style in AVI: each reference frame shares its chunk with the first
    // B-frame shown before it, and a not-coded frame takes its own place.
    bool packed = false;
    std::vector<int> dropped;  // frames stored as zero-length chunks (no B-frames)
    // The colour tags of the stream; the pixels are converted with the same matrix.
    bool bt709 = false;
    bool fullRange = false;
};

// Encodes frameCount pictures with the named libavcodec encoder ("mjpeg",
// "mpeg4", "rawvideo", "libx264", ...) into a file whose container follows
// the name's ending (".avi"). Bit-exact: the same pictures give the same
// bytes. Throws std::runtime_error on failure.
void WriteVideo(const std::string& path, const std::string& encoder, int width, int height, int frameCount,
                int framesPerSecond, const PaintFrame& paint, const VideoLayout& layout = {});
