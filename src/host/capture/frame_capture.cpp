#include "host/capture/frame_capture.h"

#include <cstdio>

#include "platform/demo_error.h"
#include "render/gl.h"
#include "render/png_file.h"

FrameCapture::FrameCapture(int width, int height, unsigned readBuffer)
    : width_(width), height_(height), readBuffer_(readBuffer), pixels_(static_cast<size_t>(width) * height * 4)
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
