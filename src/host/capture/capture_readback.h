#pragma once
#include <cstdint>

#include "host/capture/frame_sink.h"
#include "media/pixel_order.h"
#include "render/gl.h"

// Reads the window's frames (readBuffer: Window::ReadBuffer) as rows of
// four-byte pixels, bottom row first, into a sink. Through two pixel-pack
// buffers, the read of one frame is started after it is drawn and handed on
// after the next one is, so that with a graphics card the copy overlaps
// drawing. Straight, each frame is read into the sink's own memory at once: a
// software renderer draws on the processor, so there is nothing to overlap,
// and a buffer only adds copies.
class FrameReadback {
public:
    // Whether reading through buffers gains anything in the current context:
    // it has them and draws on a graphics card.
    static bool BuffersPay();
    // The order the current context's driver reads its frame in without
    // rearranging bytes, by its own word; blue first where it does not say.
    static PixelOrder FastestOrder();

    // throughBuffers needs pixel-pack buffers in the context.
    FrameReadback(int width, int height, GLenum readBuffer, PixelOrder order, bool throughBuffers);
    ~FrameReadback();
    FrameReadback(const FrameReadback&) = delete;
    FrameReadback& operator=(const FrameReadback&) = delete;

    // Reads the frame just drawn and hands it on, or through the buffers the
    // frame before it; false when nothing was handed on (the first frame
    // through the buffers).
    bool Queue(FrameSink& sink);
    // Hands on the frame still in a buffer, if any; false when there was none.
    bool QueueLast(FrameSink& sink);

private:
    void Read(void* pixels);
    void HandOn(int buffer, FrameSink& sink);
    void Unmap();

    int width_;
    int height_;
    GLenum readBuffer_;
    GLenum format_;
    bool buffered_;
    GLuint buffers_[2] = {0, 0};
    int pending_ = -1;  // buffer holding a frame not yet handed on
    int mapped_ = -1;
};
