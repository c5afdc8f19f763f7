#include "render/png_file.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <string>

namespace {

bool AllOpaque(const uint8_t* bgra, size_t pixels)
{
    for (size_t i = 0; i < pixels; ++i)
        if (bgra[i * 4 + 3] != 0xFF)
            return false;
    return true;
}

void IgnoreWarning(png_structp, png_const_charp) {}

// libpng reports errors by longjmp, so nothing here has a destructor to skip.
bool WriteRows(FILE* file, const uint8_t* bgra, int width, int height)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, IgnoreWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    const bool opaque = AllOpaque(bgra, size_t(width) * height);
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_PAETH);
    png_set_compression_level(png, Z_BEST_SPEED);
    png_set_compression_strategy(png, Z_RLE);
    png_write_info(png, info);
    png_set_bgr(png);
    if (opaque)
        png_set_filler(png, 0, PNG_FILLER_AFTER);  // the alpha byte is left out
    const size_t stride = size_t(width) * 4;
    for (int row = height - 1; row >= 0; --row)
        png_write_row(png, bgra + stride * static_cast<size_t>(row));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePngFile(const char* path, const uint8_t* bgra, int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    // Written beside the path and moved over it once whole: a failed write
    // leaves whatever was there, and no half picture that passes for a frame.
    const std::string part = std::string(path) + ".part";
    FILE* file = std::fopen(part.c_str(), "wb");
    if (!file)
        return false;
    bool written = WriteRows(file, bgra, width, height);
    written = std::fflush(file) == 0 && !std::ferror(file) && written;
    written = std::fclose(file) == 0 && written;
    if (written && std::rename(part.c_str(), path) == 0)
        return true;
    std::remove(part.c_str());
    return false;
}
