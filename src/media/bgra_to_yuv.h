#pragma once
#include <cstddef>
#include <cstdint>

// Converts width x height BGRA pixels into BT.709 limited-range 4:2:0 planes
// (Y, Cb, Cr): each chroma sample is the mean of its 2x2 block. Rows of bgra
// are `stride` bytes apart, which may be negative to turn the picture over.
// Width and height must be even.
void BgraToYuv420(const uint8_t* bgra, ptrdiff_t stride, int width, int height, uint8_t* const planes[3],
                  const int strides[3]);
