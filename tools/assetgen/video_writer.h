#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Fills one picture of the video: width x height pixels, top row first,
// r, g, b, a bytes.
using PaintFrame = std::function<void(int frame, std::vector<uint8_t>& rgba)>;

// Encodes frameCount pictures with the named libavcodec encoder ("mjpeg",
// "mpeg4", "rawvideo", "libx264", ...) into a file whose container follows
// the name's ending (".avi"). Bit-exact: the same pictures give the same
// bytes. Throws std::runtime_error on failure.
void WriteVideo(const std::string& path, const std::string& encoder, int width, int height, int frameCount,
                int framesPerSecond, const PaintFrame& paint);
