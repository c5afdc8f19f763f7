#pragma once
#include <cstdint>

// Where read-back frames go (the capture's pipeline): the memory for the next
// frame, width * height * 4 bytes, then word that the frame is in it.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    virtual uint8_t* NextPicture() = 0;
    virtual void SubmitNext() = 0;
};
