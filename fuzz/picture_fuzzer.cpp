// Feeds arbitrary bytes to the picture decoding that CTextureFreeImage::Load
// runs before its GL upload, and checks that the result can be uploaded safely.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "render/picture_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PictureData picture;
    bool decoded = false;
    try {
        decoded = DecodePictureBytes(data, size, picture);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    if (decoded != (picture.pixels != nullptr) ||
        (decoded && (picture.width <= 0 || picture.height <= 0 || picture.width > kMaxPictureSide ||
                     picture.height > kMaxPictureSide))) {
        std::fprintf(stderr, "picture_fuzzer: decoded %d with %dx%d\n", decoded, picture.width, picture.height);
        std::abort();
    }
    // The upload reads every pixel; the last one must be there.
    if (decoded) {
        volatile uint32_t last = picture.pixels[static_cast<size_t>(picture.width) * picture.height - 1];
        (void)last;
    }
    return 0;
}
