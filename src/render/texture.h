#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "render/gl.h"
#include "render/picture_file.h"

// Pixels that the caller owns, handed to CTexture::Upload.
struct ImageRecord {
    const void* pixels = nullptr;  // first row first, rows without padding
    int width = 0;
    int height = 0;
    bool clamp = false;            // GL_CLAMP_TO_EDGE instead of GL_REPEAT
    GLenum format = GL_RGBA;       // GL_RGBA (4 bytes a pixel) or GL_RGB8 (3 bytes)
    bool noMipmap = false;         // GL_RGBA only: level 0 alone
};

// A GL texture name, deleted with the last texture that holds it.
struct TextureName {
    TextureName();
    ~TextureName();
    TextureName(const TextureName&) = delete;
    TextureName& operator=(const TextureName&) = delete;

    GLuint name = 0;
    std::string file;  // the picture file it shows, while it shows one (CTextureFreeImage::Load)
};

// Holds one GL texture name for its whole life: its own, or one it shares
// with other textures of the same picture file (CTextureFreeImage::Load).
class CTexture {
public:
    CTexture();
    virtual ~CTexture();
    CTexture(const CTexture&) = delete;
    CTexture& operator=(const CTexture&) = delete;

    // Replaces the whole image (of this texture alone, when it was shared).
    // Throws "Unknown pixeldepth" for another format.
    virtual void Upload(ImageRecord image);

    GLuint texture = 0;

protected:
    // Takes a name of its own in place of one it shares.
    void StopSharing();
    void Share(std::shared_ptr<TextureName> name);

    std::shared_ptr<TextureName> name_;
};

// A texture filled from an image file through FreeImage.
class CTextureFreeImage : public CTexture {
public:
    // Reads the file into top-row-first RGBA and uploads it with mipmaps
    // (later, from a second thread's decoding, while a PictureQueue is in
    // place; a file the queue was given before is not read again, its
    // texture is shared). A file that cannot be read leaves the texture
    // without an image.
    void Load(const char* path);
};

// Tells the load listener, if any, that the picture file cannot be read.
void ReportUnreadablePicture(const char* path);

// What CTextureFreeImage::Load does without a PictureQueue, in two halves for
// a texture of another context: reading the file, with the load listener told
// of it (and of a file that cannot be read, which leaves picture empty)...
bool ReadPicture(const char* path, PictureData& picture);
// ...and filling the texture bound to GL_TEXTURE_2D, with Load's settings.
void UploadPicture(const PictureData& picture);

// Readies the calling thread's heap for the driver's copy of a width x height
// RGBA texture, with its mipmap levels when asked (platform/heap_ahead.h).
void ReadyHeapForTexture(int width, int height, bool mipmaps);

// Binds a texture for the length of a block; binds texture 0 on the way out.
class CTextureBinder {
public:
    explicit CTextureBinder(GLuint name) { glBindTexture(GL_TEXTURE_2D, name); }
    ~CTextureBinder() { glBindTexture(GL_TEXTURE_2D, 0); }
    CTextureBinder(const CTextureBinder&) = delete;
    CTextureBinder& operator=(const CTextureBinder&) = delete;
};
