#include "host/capture/capture_readback.h"

#include <cstring>

#include "platform/demo_error.h"
#include "platform/software_renderer.h"

bool FrameReadback::BuffersPay()
{
    return (GLEW_VERSION_2_1 || GLEW_ARB_pixel_buffer_object) && !SoftwareRenderer();
}

PixelOrder FrameReadback::FastestOrder()
{
    if (!GLEW_ARB_ES2_compatibility && !GLEW_OES_read_format)
        return PixelOrder::Bgra;
    GLint format = 0;
    GLint type = 0;
    glGetIntegerv(GL_IMPLEMENTATION_COLOR_READ_FORMAT, &format);
    glGetIntegerv(GL_IMPLEMENTATION_COLOR_READ_TYPE, &type);
    return format == GL_RGBA && type == GL_UNSIGNED_BYTE ? PixelOrder::Rgba : PixelOrder::Bgra;
}

FrameReadback::FrameReadback(int width, int height, GLenum readBuffer, PixelOrder order, bool throughBuffers)
    : width_(width),
      height_(height),
      readBuffer_(readBuffer),
      format_(order == PixelOrder::Rgba ? GL_RGBA : GL_BGRA),
      buffered_(throughBuffers)
{
    if (!buffered_)
        return;
    const size_t bytes = static_cast<size_t>(width) * height * 4;
    glGenBuffers(2, buffers_);
    for (GLuint buffer : buffers_) {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
        glBufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(bytes), nullptr, GL_STREAM_READ);
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

FrameReadback::~FrameReadback()
{
    if (buffered_) {
        Unmap();
        glDeleteBuffers(2, buffers_);
    }
}

bool FrameReadback::Queue(FrameSink& sink)
{
    if (!buffered_) {
        Read(sink.NextPicture());
        sink.SubmitNext();
        return true;
    }
    Unmap();
    const int target = pending_ == 0 ? 1 : 0;
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[target]);
    Read(nullptr);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    const int previous = pending_;
    pending_ = target;
    if (previous < 0)
        return false;
    HandOn(previous, sink);
    return true;
}

bool FrameReadback::QueueLast(FrameSink& sink)
{
    const int buffer = pending_;
    pending_ = -1;
    if (buffer < 0)
        return false;
    Unmap();
    HandOn(buffer, sink);
    return true;
}

void FrameReadback::Read(void* pixels)
{
    glReadBuffer(readBuffer_);
    glReadPixels(0, 0, width_, height_, format_, GL_UNSIGNED_BYTE, pixels);
}

// Maps the buffer (it stays mapped until the next read) and copies its frame
// into the sink.
void FrameReadback::HandOn(int buffer, FrameSink& sink)
{
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[buffer]);
    const void* pixels = glMapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    if (!pixels)
        ThrowMessage("Unable to read a frame back from OpenGL");
    mapped_ = buffer;
    std::memcpy(sink.NextPicture(), pixels, static_cast<size_t>(width_) * height_ * 4);
    sink.SubmitNext();
}

void FrameReadback::Unmap()
{
    if (mapped_ < 0)
        return;
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[mapped_]);
    glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    mapped_ = -1;
}
