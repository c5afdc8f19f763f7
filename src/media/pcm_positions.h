#pragma once
#include <cstdint>

// Positions in a track of 16-bit interleaved PCM, counted in bytes as the
// music clocks give them, at the track's rate and channel count.
struct PcmPositions {
    int rate = 44100;
    int channels = 2;

    int64_t SecondsToBytes(double seconds) const;
    double BytesToSeconds(int64_t bytes) const;
    // The frame a byte position falls in (rounded down, also before 0).
    int64_t FrameFromBytes(int64_t bytes) const;
    int64_t BytesOfFrame(int64_t frame) const { return frame * 2 * channels; }
};

// Where a position lands in a track of `length` frames that loops: before the
// start means the start, beyond the end goes round the loop. Without a track
// (length 0) there is no end, but positions stay far enough from the 64-bit
// limit that adding running time and converting to bytes cannot overflow.
int64_t WrapFrame(int64_t frame, int64_t length);
