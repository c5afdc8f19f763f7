#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/shared_context.h"
#include "render/gl.h"
#include "render/picture_file.h"

struct TextureName;

// Lets a show load its pictures on a second core. While a queue is in place
// (it puts itself in place for its lifetime), CTextureFreeImage::Load sets up
// its texture at once but only names the file; a thread of the queue's own
// decodes the files in the order they were named and, given a shared context,
// uploads each one there (the driver's allocation and clearing of the texture
// with its mipmap levels then happens on that core too). Without one the GL
// thread uploads each decoded picture when it calls UploadReady or Finish.
// Finish has the GL thread take its share: rather than wait, it decodes and
// uploads the pictures no thread has started, from the last one back.
// The texels, the texture settings and the problems reported are those of a
// Load without a queue; only the moment and the thread of the upload move.
// A file named a second time is not decoded again: the second texture shares
// the first one's name, so that the show holds each picture once.
//
// Every member is called on the GL thread; a texture waiting in the queue is
// not to be used there before Finish.
class PictureQueue {
public:
    // The context, where given, is made current on the queue's thread; where
    // that fails the GL thread uploads.
    explicit PictureQueue(std::unique_ptr<SharedContext> uploads = nullptr);
    // Uploads nothing more: what is still queued is dropped.
    ~PictureQueue();
    PictureQueue(const PictureQueue&) = delete;
    PictureQueue& operator=(const PictureQueue&) = delete;

    // Names the picture file for the texture; the texture is already set up.
    void Add(const std::shared_ptr<TextureName>& texture, const std::string& path);
    // The texture named for the file, while one lives; else nullptr.
    std::shared_ptr<TextureName> Named(const std::string& path) const;
    // Takes the pictures done so far, in order, without waiting.
    void UploadReady();
    // Takes every picture named so far, decoding those no thread has started.
    void Finish();
    // A texture deleted or given other texels before its upload: its picture
    // is dropped (after the queue's thread is done with it, if it is at it).
    void Forget(GLuint texture);

private:
    enum class Stage { waiting, taken, decoded };
    struct Entry {
        GLuint texture;
        std::string path;
        PictureData picture;
        Stage stage = Stage::waiting;
        bool readable = false;  // decoded, it could be read
        bool uploaded = false;  // ... and it is uploaded
        std::exception_ptr error;
    };
    void Work();
    // The first (or last) entry no thread has taken, now taken; or nullptr.
    Entry* Take(bool last);
    // Decodes the taken entry's picture, keeping what went wrong.
    static void Decode(Entry& entry);
    // Uploads the decoded picture on the GL thread, leaving its state alone.
    static void UploadHere(Entry& entry);
    void UploadFront();

    std::mutex mutex_;
    std::condition_variable named_;    // the thread waits for work
    std::condition_variable decoded_;  // the GL thread waits for a picture, or an upload to end
    std::deque<Entry> entries_;        // not yet uploaded, oldest first
    std::map<std::string, std::weak_ptr<TextureName>> byFile_;  // what each file was named for
    bool closing_ = false;
    GLuint uploading_ = 0;             // the texture the thread is filling
    std::unique_ptr<SharedContext> uploads_;
    PictureQueue* previous_;
    std::thread worker_;
};

// The queue in place, or nullptr.
PictureQueue* CurrentPictureQueue();

// Uploads a picture with its mipmaps to the texture bound to GL_TEXTURE_2D.
void UploadMipmapped(const PictureData& picture);
