#pragma once
#include <cstddef>
#include <cstdint>

#include "media/pixel_order.h"

// Converts width x height four-byte pixels (in `order`) into BT.709
// limited-range 4:2:0 planes (Y, Cb, Cr): each chroma sample is the mean of its
// 2x2 block. Rows of pixels are `stride` bytes apart, which may be negative to
// turn the picture over. Width and height must be even.
void Rgb32ToYuv420(const uint8_t* pixels, ptrdiff_t stride, int width, int height, PixelOrder order,
                   uint8_t* const planes[3], const int strides[3]);
