#include "render/texture.h"

#include <string>

#include "platform/demo_error.h"
#include "platform/heap_ahead.h"
#include "platform/load_listener.h"
#include "render/picture_queue.h"

TextureName::TextureName()
{
    glGenTextures(1, &name);
}

TextureName::~TextureName()
{
    if (PictureQueue* queue = CurrentPictureQueue())
        queue->Forget(name);
    glDeleteTextures(1, &name);
}

CTexture::CTexture() : name_(std::make_shared<TextureName>())
{
    texture = name_->name;
}

CTexture::~CTexture() = default;

void CTexture::Share(std::shared_ptr<TextureName> name)
{
    name_ = std::move(name);
    texture = name_->name;
}

void CTexture::StopSharing()
{
    if (name_.use_count() > 1)
        Share(std::make_shared<TextureName>());
}

void CTexture::Upload(ImageRecord image)
{
    StopSharing();
    // A picture still queued for this texture would land over these texels.
    if (PictureQueue* queue = CurrentPictureQueue())
        queue->Forget(texture);
    name_->file.clear();
    CTextureBinder bind(texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLint wrap = image.clamp ? GL_CLAMP_TO_EDGE : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    ReadyHeapForTexture(image.width, image.height, image.format == GL_RGBA && !image.noMipmap);
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

void ReadyHeapForTexture(int width, int height, bool mipmaps)
{
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        return;
    // The mipmap builder scales each side to a power of two, at most the next one.
    size_t bytes = 4;
    for (const int side : {width, height}) {
        size_t scaled = static_cast<size_t>(side);
        if (mipmaps) {
            scaled = 1;
            while (scaled < static_cast<size_t>(side))
                scaled *= 2;
        }
        bytes *= scaled;
    }
    // The levels below the first add a third; the driver pads each level a little.
    ReadyHeapFor((mipmaps ? bytes + bytes / 3 : bytes) + (64u << 10));
}

void ReportUnreadablePicture(const char* path)
{
    // A run passes over an unreadable picture in silence; only a listener hears of it.
    if (LoadListener* listener = CurrentLoadListener())
        listener->Problem(path, std::string("picture '") + path + "' cannot be read");
}

namespace {

// A picture file's texture settings, before its image arrives.
void SetPictureParameters()
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

}  // namespace

bool ReadPicture(const char* path, PictureData& picture)
{
    if (LoadListener* listener = CurrentLoadListener())
        listener->FileUsed(path);
    if (DecodePictureFile(path, picture))
        return true;
    ReportUnreadablePicture(path);  // the texture stays empty, by design
    return false;
}

void UploadPicture(const PictureData& picture)
{
    SetPictureParameters();
    UploadMipmapped(picture);
}

void CTextureFreeImage::Load(const char* path)
{
    StopSharing();
    name_->file = path;
    PictureQueue* queue = CurrentPictureQueue();
    if (!queue) {
        PictureData picture;
        if (ReadPicture(path, picture)) {
            CTextureBinder bind(texture);
            UploadPicture(picture);
        }
        return;
    }
    if (LoadListener* listener = CurrentLoadListener())
        listener->FileUsed(path);
    if (std::shared_ptr<TextureName> named = queue->Named(path)) {
        Share(std::move(named));
        return;
    }
    CTextureBinder bind(texture);
    SetPictureParameters();
    queue->Add(name_, path);
}
