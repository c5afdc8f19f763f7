#pragma once
#include <cstdint>
#include <vector>

#include "render/gl.h"

// Reads the window's frame (readBuffer: Window::ReadBuffer) as BGRA rows, bottom row first, through two
// pixel-pack buffers: the read of one frame is started after it is drawn and
// collected after the next one is, so the copy overlaps drawing. Without
// pixel-buffer objects it reads straight into memory.
class FrameReadback {
public:
    FrameReadback(int width, int height, GLenum readBuffer);
    ~FrameReadback();
    FrameReadback(const FrameReadback&) = delete;
    FrameReadback& operator=(const FrameReadback&) = delete;

    // Starts reading the frame just drawn and returns the pixels of the frame
    // started before it, or null for the first; valid until the next call.
    const uint8_t* Next();
    // The pixels of the last frame started and not yet returned, or null.
    const uint8_t* Last();

private:
    const uint8_t* Map(int buffer);
    void Unmap();

    int width_;
    int height_;
    GLenum readBuffer_;
    bool pbo_;
    GLuint buffers_[2] = {0, 0};
    std::vector<uint8_t> memory_[2];  // used without pixel-buffer objects
    int pending_ = -1;  // buffer holding a frame not yet returned
    int mapped_ = -1;
};
