#include "render/texture.h"

#include <FreeImage.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "platform/demo_error.h"
#include "platform/load_listener.h"

CTexture::CTexture()
{
    glGenTextures(1, &texture);
}

CTexture::~CTexture()
{
    glDeleteTextures(1, &texture);
}

void CTexture::Upload(ImageRecord image)
{
    CTextureBinder bind(texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLint wrap = image.clamp ? GL_CLAMP_TO_EDGE : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    if (image.format == GL_RGBA) {
        if (image.noMipmap)
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGBA,
                         GL_UNSIGNED_BYTE, image.pixels);
        else
            gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, image.width, image.height, GL_RGBA,
                              GL_UNSIGNED_BYTE, image.pixels);
    } else if (image.format == GL_RGB8) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, image.width, image.height, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, image.pixels);
    } else {
        ThrowMessage("Unknown pixeldepth");
    }
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

// A run passes over an unreadable picture in silence; only a listener hears of it.
void ReportUnreadable(LoadListener* listener, const char* path)
{
    if (listener)
        listener->Problem(path, std::string("picture '") + path + "' cannot be read");
}

}  // namespace

void CTextureFreeImage::Load(const char* path)
{
    EnsureFreeImage();
    LoadListener* listener = CurrentLoadListener();
    if (listener)
        listener->FileUsed(path);
    const FREE_IMAGE_FORMAT type = FreeImage_GetFileType(path, 0);
    FIBITMAP* bitmap = type == FIF_UNKNOWN ? nullptr : FreeImage_Load(type, path, 0);
    if (!bitmap) {
        ReportUnreadable(listener, path);  // the texture stays empty, by design
        return;
    }

    const unsigned width = FreeImage_GetWidth(bitmap);
    const unsigned height = FreeImage_GetHeight(bitmap);
    FIBITMAP* converted = FreeImage_GetBPP(bitmap) == 32 && FreeImage_GetImageType(bitmap) == FIT_BITMAP
                              ? bitmap
                              : FreeImage_ConvertTo32Bits(bitmap);
    if (!converted || width == 0 || height == 0) {
        if (converted && converted != bitmap)
            FreeImage_Unload(converted);
        FreeImage_Unload(bitmap);
        ReportUnreadable(listener, path);
        return;
    }

    uint32_t* buffer = static_cast<uint32_t*>(std::malloc(size_t(width) * height * 4));
    if (!buffer)
        throw std::bad_alloc();
    // Rows of a 32-bit FreeImage bitmap have no padding, but copy per row by
    // its pitch so that no layout assumption can read past the bitmap.
    for (unsigned y = 0; y < height; ++y)
        std::memcpy(buffer + size_t(y) * width, FreeImage_GetScanLine(converted, y), size_t(width) * 4);
    if (converted != bitmap)
        FreeImage_Unload(converted);

    uint32_t* pixels = FlipAndSwapRows(buffer, static_cast<int>(width), static_cast<int>(height));

    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, static_cast<GLint>(width), static_cast<GLint>(height), GL_RGBA,
                      GL_UNSIGNED_BYTE, pixels);
    glBindTexture(GL_TEXTURE_2D, 0);

    FreeImage_Unload(bitmap);
    std::free(pixels);
}

uint32_t* FlipAndSwapRows(uint32_t* src, int width, int height)
{
    uint32_t* dst = static_cast<uint32_t*>(std::malloc(size_t(width) * height * 4 + 4));
    if (!dst) {
        std::free(src);
        throw std::bad_alloc();
    }
    for (int r = 0; r < height; ++r) {
        const uint32_t* in = src + size_t(height - 1 - r) * width;
        uint32_t* out = dst + size_t(r) * width;
        for (int x = 0; x < width; ++x) {
            const uint32_t v = in[x];
            out[x] = (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
        }
    }
    std::free(src);
    return dst;
}
