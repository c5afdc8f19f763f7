#include "host/capture/frame_capture.h"

#include <cstdio>

#include "platform/demo_error.h"
#include "platform/heap_ahead.h"
#include "render/gl.h"
#include "render/png_file.h"

namespace {

// A frame's pixels, faulted in at once: the first frame waits for them.
std::vector<uint8_t> FrameBuffer(int width, int height)
{
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    ReadyHeapFor(bytes);
    return std::vector<uint8_t>(bytes);
}

}  // namespace

FrameCapture::FrameCapture(int width, int height, unsigned readBuffer)
    : width_(width), height_(height), readBuffer_(readBuffer), pixels_(FrameBuffer(width, height))
{
}

void FrameCapture::Write(const std::string& path)
{
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(readBuffer_);
    glReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_BYTE, pixels_.data());
    if (!WritePngFile(path.c_str(), pixels_.data(), width_, height_))
        ThrowMessage("Unable to write %s", path.c_str());
}

std::string FramePath(const std::string& dir, int timeMs)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame_%07d.png", timeMs);
    return dir + "/" + name;
}
