#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Reads the window's frame (readBuffer: Window::ReadBuffer) and writes it as a PNG file.
class FrameCapture {
public:
    FrameCapture(int width, int height, unsigned readBuffer);
    // Throws when the file cannot be written.
    void Write(const std::string& path);

private:
    int width_;
    int height_;
    unsigned readBuffer_;
    std::vector<uint8_t> pixels_;
};

// "DIR/frame_0012345.png" for effect time 12345.
std::string FramePath(const std::string& dir, int timeMs);
