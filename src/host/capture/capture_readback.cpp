#include "host/capture/capture_readback.h"

#include "platform/demo_error.h"

FrameReadback::FrameReadback(int width, int height, GLenum readBuffer)
    : width_(width), height_(height), readBuffer_(readBuffer), pbo_(GLEW_VERSION_2_1 || GLEW_ARB_pixel_buffer_object)
{
    const size_t bytes = static_cast<size_t>(width) * height * 4;
    if (!pbo_) {
        memory_[0].resize(bytes);
        memory_[1].resize(bytes);
        return;
    }
    glGenBuffers(2, buffers_);
    for (GLuint buffer : buffers_) {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
        glBufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(bytes), nullptr, GL_STREAM_READ);
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

FrameReadback::~FrameReadback()
{
    if (pbo_) {
        Unmap();
        glDeleteBuffers(2, buffers_);
    }
}

const uint8_t* FrameReadback::Next()
{
    Unmap();
    const int target = pending_ == 0 ? 1 : 0;
    glReadBuffer(readBuffer_);
    if (pbo_) {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[target]);
        glReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    } else {
        glReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_BYTE, memory_[target].data());
    }
    const int previous = pending_;
    pending_ = target;
    return previous < 0 ? nullptr : Map(previous);
}

const uint8_t* FrameReadback::Last()
{
    Unmap();
    const int buffer = pending_;
    pending_ = -1;
    return buffer < 0 ? nullptr : Map(buffer);
}

const uint8_t* FrameReadback::Map(int buffer)
{
    if (!pbo_)
        return memory_[buffer].data();
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[buffer]);
    const void* pixels = glMapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    if (!pixels)
        ThrowMessage("Unable to read a frame back from OpenGL");
    mapped_ = buffer;
    return static_cast<const uint8_t*>(pixels);
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
