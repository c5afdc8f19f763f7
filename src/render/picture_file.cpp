#include "render/picture_file.h"

#include <FreeImage.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/heap_ahead.h"
#include "platform/plain_file.h"

PictureData::~PictureData()
{
    Free();
}

void PictureData::Free()
{
    std::free(pixels);
    pixels = nullptr;
    width = height = 0;
}

namespace {

// FreeImage needs its plugins set up once per process; the shared library does
// that itself, but a static build would not.
void EnsureFreeImage()
{
    static const bool ready = [] {
        FreeImage_Initialise(FALSE);
        FreeImage_SetOutputMessage([](FREE_IMAGE_FORMAT, const char*) {});
        return true;
    }();
    (void)ready;
}

// Converts a loaded bitmap to RGBA with FreeImage's last scan line (the top
// of the picture) first. 24- and 32-bit bitmaps are read as they are; every
// other kind goes through FreeImage's own conversion to 32 bits first.
bool FromBitmap(FIBITMAP* bitmap, PictureData& out)
{
    const unsigned width = FreeImage_GetWidth(bitmap);
    const unsigned height = FreeImage_GetHeight(bitmap);
    if (width == 0 || height == 0 || width > kMaxPictureSide || height > kMaxPictureSide)
        return false;
    const unsigned bpp = FreeImage_GetBPP(bitmap);
    const bool direct = FreeImage_GetImageType(bitmap) == FIT_BITMAP && (bpp == 24 || bpp == 32);
    FIBITMAP* converted = direct ? bitmap : FreeImage_ConvertTo32Bits(bitmap);
    if (!converted)
        return false;
    const size_t bytes = size_t(width) * height * 4 + 4;
    ReadyHeapFor(bytes);
    uint32_t* pixels = static_cast<uint32_t*>(std::malloc(bytes));
    if (!pixels) {
        if (converted != bitmap)
            FreeImage_Unload(converted);
        throw std::bad_alloc();
    }
    const int bytesPerPixel = static_cast<int>(FreeImage_GetBPP(converted) / 8);
    // Each row is read through its own scan line, so no assumption about the
    // bitmap's row padding can read past it.
    for (unsigned row = 0; row < height; ++row)
        BgrRowToRgba(FreeImage_GetScanLine(converted, static_cast<int>(height - 1 - row)), bytesPerPixel,
                     static_cast<int>(width), pixels + size_t(row) * width);
    if (converted != bitmap)
        FreeImage_Unload(converted);
    out.pixels = pixels;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    return true;
}

// Probes, checks the size from the header where the format can read it
// alone, then decodes; the source is rewound before each read.
bool Decode(FreeImageIO& io, fi_handle handle, PictureData& out)
{
    EnsureFreeImage();
    const FREE_IMAGE_FORMAT type = FreeImage_GetFileTypeFromHandle(&io, handle, 0);
    if (type == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(type))
        return false;
    if (FreeImage_FIFSupportsNoPixels(type)) {
        io.seek_proc(handle, 0, SEEK_SET);
        FIBITMAP* header = FreeImage_LoadFromHandle(type, &io, handle, FIF_LOAD_NOPIXELS);
        if (!header)
            return false;
        const bool fits = FreeImage_GetWidth(header) <= kMaxPictureSide &&
                          FreeImage_GetHeight(header) <= kMaxPictureSide;
        FreeImage_Unload(header);
        if (!fits)
            return false;
    }
    io.seek_proc(handle, 0, SEEK_SET);
    FIBITMAP* bitmap = FreeImage_LoadFromHandle(type, &io, handle, 0);
    if (!bitmap)
        return false;
    bool decoded = false;
    try {
        decoded = FreeImage_HasPixels(bitmap) && FromBitmap(bitmap, out);
    } catch (...) {
        FreeImage_Unload(bitmap);
        throw;
    }
    FreeImage_Unload(bitmap);
    return decoded;
}

// FreeImage's reading callbacks over a C stream.
unsigned FileRead(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    return static_cast<unsigned>(std::fread(buffer, size, count, static_cast<FILE*>(handle)));
}

int FileSeek(fi_handle handle, long offset, int origin)
{
    return std::fseek(static_cast<FILE*>(handle), offset, origin);
}

long FileTell(fi_handle handle)
{
    return std::ftell(static_cast<FILE*>(handle));
}

// ... and over bytes in memory.
struct MemorySource {
    const uint8_t* data;
    size_t size;
    size_t position;
};

unsigned MemoryRead(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    MemorySource& source = *static_cast<MemorySource*>(handle);
    if (size == 0 || source.position >= source.size)
        return 0;
    const size_t whole = std::min<size_t>(count, (source.size - source.position) / size);
    std::memcpy(buffer, source.data + source.position, whole * size);
    source.position += whole * size;
    return static_cast<unsigned>(whole);
}

int MemorySeek(fi_handle handle, long offset, int origin)
{
    MemorySource& source = *static_cast<MemorySource*>(handle);
    const long base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? static_cast<long>(source.position)
                                                                   : static_cast<long>(source.size);
    if (offset < -base)
        return -1;
    source.position = static_cast<size_t>(base + offset);
    return 0;
}

long MemoryTell(fi_handle handle)
{
    return static_cast<long>(static_cast<MemorySource*>(handle)->position);
}

}  // namespace

bool DecodePictureFile(const char* path, PictureData& out)
{
    if (!IsPlainFile(path))
        return false;
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    FreeImageIO io{FileRead, nullptr, FileSeek, FileTell};
    bool decoded = false;
    try {
        decoded = Decode(io, file, out);
    } catch (...) {
        std::fclose(file);
        throw;
    }
    std::fclose(file);
    return decoded;
}

bool DecodePictureBytes(const uint8_t* data, size_t size, PictureData& out)
{
    MemorySource source{data, size, 0};
    FreeImageIO io{MemoryRead, nullptr, MemorySeek, MemoryTell};
    return Decode(io, &source, out);
}

void BgrRowToRgba(const uint8_t* in, int bytesPerPixel, int width, uint32_t* out)
{
    uint8_t* bytes = reinterpret_cast<uint8_t*>(out);
    for (int x = 0; x < width; ++x, in += bytesPerPixel, bytes += 4) {
        bytes[0] = in[2];
        bytes[1] = in[1];
        bytes[2] = in[0];
        bytes[3] = bytesPerPixel == 4 ? in[3] : 0xFF;
    }
}
