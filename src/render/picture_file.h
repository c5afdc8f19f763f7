#pragma once
#include <cstddef>
#include <cstdint>

// A picture read from an image file: width x height 32-bit pixels, top row
// first, bytes R, G, B, A in memory; ready for the GL upload.
class PictureData {
public:
    PictureData() = default;
    ~PictureData();
    PictureData(const PictureData&) = delete;
    PictureData& operator=(const PictureData&) = delete;
    // Frees the pixels now (the picture is uploaded).
    void Free();

    int width = 0;
    int height = 0;
    uint32_t* pixels = nullptr;  // malloc'd, freed with the object
};

// Pictures with a longer side are refused before their pixels are read: no
// texture gets that large, and a damaged header could ask for gigabytes.
constexpr int kMaxPictureSide = 16384;

// Reads the image file at path through FreeImage (any format it knows).
// False, with out left empty, for a missing file, anything but a plain file,
// or a file that does not decode. Exhausted memory throws std::bad_alloc.
bool DecodePictureFile(const char* path, PictureData& out);

// The same for an image file held in memory.
bool DecodePictureBytes(const uint8_t* data, size_t size, PictureData& out);

// One row of pixels as FreeImage keeps them (bytes B G R, or B G R A when
// bytesPerPixel is 4) written out as R G B A bytes; 3-byte pixels become opaque.
void BgrRowToRgba(const uint8_t* in, int bytesPerPixel, int width, uint32_t* out);
