#include "support/image_files.h"

#include <FreeImage.h>

void WriteImage(const std::string& path, int width, int height, const std::vector<unsigned char>& rgba)
{
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 32);
    for (int y = 0; y < height; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            row[x * 4 + FI_RGBA_RED] = p[0];
            row[x * 4 + FI_RGBA_GREEN] = p[1];
            row[x * 4 + FI_RGBA_BLUE] = p[2];
            row[x * 4 + FI_RGBA_ALPHA] = p[3];
        }
    }
    const bool jpeg = path.size() > 4 && path.compare(path.size() - 4, 4, ".jpg") == 0;
    if (jpeg) {
        FIBITMAP* rgb = FreeImage_ConvertTo24Bits(bitmap);
        FreeImage_Save(FIF_JPEG, rgb, path.c_str(), JPEG_QUALITYSUPERB);
        FreeImage_Unload(rgb);
    } else {
        FreeImage_Save(FIF_PNG, bitmap, path.c_str(), PNG_DEFAULT);
    }
    FreeImage_Unload(bitmap);
}

void WriteSolidImage(const std::string& path, int width, int height, unsigned char r, unsigned char g,
                     unsigned char b, unsigned char a)
{
    std::vector<unsigned char> pixels;
    for (int i = 0; i < width * height; ++i)
        pixels.insert(pixels.end(), {r, g, b, a});
    WriteImage(path, width, height, pixels);
}

std::vector<unsigned char> ReadImage(const std::string& path, int& width, int& height)
{
    std::vector<unsigned char> out;
    FIBITMAP* loaded = FreeImage_Load(FreeImage_GetFileType(path.c_str(), 0), path.c_str(), 0);
    if (!loaded)
        return out;
    FIBITMAP* bitmap = FreeImage_ConvertTo32Bits(loaded);
    width = static_cast<int>(FreeImage_GetWidth(bitmap));
    height = static_cast<int>(FreeImage_GetHeight(bitmap));
    for (int y = 0; y < height; ++y) {
        const BYTE* row = FreeImage_GetScanLine(bitmap, height - 1 - y);
        for (int x = 0; x < width; ++x)
            out.insert(out.end(), {row[x * 4 + FI_RGBA_RED], row[x * 4 + FI_RGBA_GREEN], row[x * 4 + FI_RGBA_BLUE],
                                   row[x * 4 + FI_RGBA_ALPHA]});
    }
    FreeImage_Unload(bitmap);
    FreeImage_Unload(loaded);
    return out;
}
