#include "host/capture/frame_capture.h"

#include <FreeImage.h>

#include <cstdio>

#include "platform/demo_error.h"
#include "render/gl.h"

FrameCapture::FrameCapture(int width, int height, unsigned readBuffer)
    : width_(width), height_(height), readBuffer_(readBuffer), pixels_(static_cast<size_t>(width) * height * 4)
{
}

void FrameCapture::Write(const std::string& path)
{
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(readBuffer_);
    // GL's rows come bottom first, as FreeImage keeps them.
    glReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_BYTE, pixels_.data());
    FIBITMAP* bitmap = FreeImage_ConvertFromRawBits(pixels_.data(), width_, height_, width_ * 4, 32, FI_RGBA_RED_MASK,
                                                    FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, FALSE);
    const bool ok = bitmap && FreeImage_Save(FIF_PNG, bitmap, path.c_str(), PNG_DEFAULT);
    if (bitmap)
        FreeImage_Unload(bitmap);
    if (!ok)
        ThrowMessage("Unable to write %s", path.c_str());
}

std::string FramePath(const std::string& dir, int timeMs)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame_%07d.png", timeMs);
    return dir + "/" + name;
}
