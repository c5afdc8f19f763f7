#include "media/pcm_positions.h"

#include <algorithm>
#include <cmath>

int64_t PcmPositions::SecondsToBytes(double seconds) const
{
    // The tiny bias keeps a byte position that went through BytesToSeconds on
    // the same frame despite rounding in the division.
    double frames = std::floor(seconds * rate + 1e-6);
    // Far beyond any track (or not a number): keep the conversion defined.
    constexpr double kLimit = 1e15;
    if (!(frames > -kLimit))
        frames = -kLimit;
    else if (frames > kLimit)
        frames = kLimit;
    return BytesOfFrame(static_cast<int64_t>(frames));
}

double PcmPositions::BytesToSeconds(int64_t bytes) const
{
    return static_cast<double>(FrameFromBytes(bytes)) / rate;
}

int64_t PcmPositions::FrameFromBytes(int64_t bytes) const
{
    const int64_t frameBytes = BytesOfFrame(1);
    int64_t frame = bytes / frameBytes;
    if (bytes % frameBytes != 0 && bytes < 0)
        --frame;
    return frame;
}

int64_t WrapFrame(int64_t frame, int64_t length)
{
    constexpr int64_t kMaxSilentFrame = 1000000000000000;  // about 700 years at 44.1 kHz
    if (frame < 0)
        return 0;
    return length > 0 ? frame % length : std::min(frame, kMaxSilentFrame);
}
