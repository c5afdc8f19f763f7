#include "render/picture_queue.h"

#include <algorithm>

#include "platform/load_listener.h"
#include "render/texture.h"

namespace {

PictureQueue* g_current = nullptr;

}  // namespace

PictureQueue* CurrentPictureQueue()
{
    return g_current;
}

void UploadMipmapped(const PictureData& picture)
{
    // With a mipmapping filter in place while the levels arrive, the driver
    // keeps them in one allocation instead of one each (Mesa's llvmpipe: a
    // third less memory and time); the filter the texture keeps is GL_LINEAR.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    ReadyHeapForTexture(picture.width, picture.height, true);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, picture.width, picture.height, GL_RGBA, GL_UNSIGNED_BYTE,
                      picture.pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

PictureQueue::PictureQueue(std::unique_ptr<SharedContext> uploads) : uploads_(std::move(uploads)), previous_(g_current)
{
    worker_ = std::thread(&PictureQueue::Work, this);
    g_current = this;
}

PictureQueue::~PictureQueue()
{
    g_current = previous_;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    named_.notify_one();
    worker_.join();
}

void PictureQueue::Add(const std::shared_ptr<TextureName>& texture, const std::string& path)
{
    byFile_[path] = texture;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.emplace_back();
        entries_.back().texture = texture->name;
        entries_.back().path = path;
    }
    named_.notify_one();
}

std::shared_ptr<TextureName> PictureQueue::Named(const std::string& path) const
{
    const auto found = byFile_.find(path);
    std::shared_ptr<TextureName> texture = found == byFile_.end() ? nullptr : found->second.lock();
    // Not when it has since been given another file or pixels of its own.
    return texture && texture->file == path ? texture : nullptr;
}

void PictureQueue::Forget(GLuint texture)
{
    std::unique_lock<std::mutex> lock(mutex_);
    // Deleted, the name may be given out again at once; the thread must not
    // be filling it then.
    decoded_.wait(lock, [&] { return uploading_ != texture; });
    for (Entry& entry : entries_)
        if (entry.texture == texture)
            entry.texture = 0;
}

PictureQueue::Entry* PictureQueue::Take(bool last)
{
    const auto waiting = [](const Entry& entry) { return entry.stage == Stage::waiting; };
    Entry* found = nullptr;
    if (last) {
        const auto it = std::find_if(entries_.rbegin(), entries_.rend(), waiting);
        found = it == entries_.rend() ? nullptr : &*it;
    } else {
        const auto it = std::find_if(entries_.begin(), entries_.end(), waiting);
        found = it == entries_.end() ? nullptr : &*it;
    }
    if (found)
        found->stage = Stage::taken;
    return found;
}

void PictureQueue::Decode(Entry& entry)
{
    try {
        entry.readable = DecodePictureFile(entry.path.c_str(), entry.picture);
    } catch (...) {
        entry.error = std::current_exception();
    }
}

void PictureQueue::Work()
{
    const bool uploads = uploads_ && uploads_->MakeCurrent();
    if (uploads)
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (;;) {
        Entry* entry = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            while (!closing_ && !(entry = Take(false)))
                named_.wait(lock);
        }
        // The GL thread removes only decoded entries, and a deque keeps the
        // others where they are.
        if (!entry)
            break;
        Decode(*entry);
        GLuint texture = 0;
        if (uploads && entry->readable) {
            std::lock_guard<std::mutex> lock(mutex_);
            texture = uploading_ = entry->texture;
        }
        if (texture != 0) {
            glBindTexture(GL_TEXTURE_2D, texture);
            UploadMipmapped(entry->picture);
            glBindTexture(GL_TEXTURE_2D, 0);
            // Done before the GL thread hears of it.
            glFinish();
            entry->picture.Free();
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            uploading_ = 0;
            entry->uploaded = texture != 0;
            entry->stage = Stage::decoded;
        }
        decoded_.notify_all();
    }
    if (uploads)
        uploads_->Release();
}

void PictureQueue::UploadHere(Entry& entry)
{
    // Between two entries the GL state is whatever the last one left; the
    // upload leaves it so.
    GLint bound = 0, alignment = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glBindTexture(GL_TEXTURE_2D, entry.texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    UploadMipmapped(entry.picture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    entry.picture.Free();
    entry.uploaded = true;
}

void PictureQueue::UploadFront()
{
    Entry& entry = entries_.front();
    if (entry.error)
        std::rethrow_exception(entry.error);
    if (!entry.readable)
        ReportUnreadablePicture(entry.path.c_str());
    else if (entry.texture != 0 && !entry.uploaded)
        UploadHere(entry);
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.pop_front();
}

void PictureQueue::UploadReady()
{
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (entries_.empty() || entries_.front().stage != Stage::decoded)
                return;
        }
        UploadFront();
    }
}

void PictureQueue::Finish()
{
    for (;;) {
        Entry* taken = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (entries_.empty())
                return;
            // Waiting is for when every picture left is started.
            if (entries_.front().stage != Stage::decoded && !(taken = Take(true)))
                decoded_.wait(lock, [this] { return entries_.front().stage == Stage::decoded; });
        }
        if (!taken) {
            UploadFront();
            continue;
        }
        Decode(*taken);
        if (taken->readable && taken->texture != 0)
            UploadHere(*taken);
        std::lock_guard<std::mutex> lock(mutex_);
        taken->stage = Stage::decoded;
    }
}
