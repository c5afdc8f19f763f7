// Textures: loading pictures, uploading pixels, and the state both leave behind.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/demo_error.h"
#include "platform/load_listener.h"
#include "platform/window.h"
#include "render/picture_queue.h"
#include "render/texture.h"
#include "support/gl_fixture.h"
#include "support/image_files.h"

namespace {

class TextureTest : public GlTest {};

void ExpectUploadState()
{
    GLint bound = -1, alignment = 0;
    GLfloat envMode = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glGetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    EXPECT_EQ(bound, 0);
    EXPECT_EQ(alignment, 1);
    EXPECT_EQ(static_cast<GLenum>(envMode), static_cast<GLenum>(GL_MODULATE));
}

// Level-0 texels of a texture, r, g, b, a bytes, first row first.
std::vector<unsigned char> Texels(GLuint texture, int level, int& width, int& height)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
    std::vector<unsigned char> texels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (!texels.empty())
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

// Every level of a texture, level 0 first.
std::vector<std::vector<unsigned char>> Levels(GLuint texture)
{
    std::vector<std::vector<unsigned char>> levels;
    for (int level = 0;; ++level) {
        int w = 0, h = 0;
        auto texels = Texels(texture, level, w, h);
        if (w == 0)
            return levels;
        levels.push_back(std::move(texels));
    }
}

// A picture where a mirrored, shifted or wrongly averaged level shows.
std::vector<unsigned char> Ramps(int width, int height, int seed)
{
    std::vector<unsigned char> rgba;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int v : {x * 255 / width, y * 255 / height, (x * 7 + y * 13 + seed) % 256, 255 - x - y})
                rgba.push_back(static_cast<unsigned char>(v));
    return rgba;
}

struct Problems : LoadListener {
    void Problem(const std::string&, const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

// Queues the pictures with the uploads on this thread or, given a context
// that shares the window's, on the queue's own. The queue is still in place
// when afterFinish runs.
void ExpectQueuedPicturesAsLoadedDirectly(std::unique_ptr<SharedContext> uploads,
                                          const std::function<void()>& afterFinish = {})
{
    const std::string dir = MakeTempDir();
    WriteImage(dir + "/wide.png", 64, 16, Ramps(64, 16, 1));
    WriteImage(dir + "/odd.png", 48, 20, Ramps(48, 20, 2));  // scaled to 32 x 16 by the mipmap builder
    WriteImage(dir + "/gone.png", 16, 16, Ramps(16, 16, 4));
    std::vector<std::vector<std::vector<unsigned char>>> direct;
    for (const char* name : {"/wide.png", "/odd.png"}) {
        CTextureFreeImage texture;
        texture.Load((dir + name).c_str());
        direct.push_back(Levels(texture.texture));
    }
    ASSERT_EQ(direct[0].size(), 7u);  // 64 x 16 down to 1 x 1

    Problems problems;
    ScopedLoadListener listening(problems);
    CTextureFreeImage wide, missing, odd;
    GLuint dropped = 0;
    {
        PictureQueue queue(std::move(uploads));
        wide.Load((dir + "/wide.png").c_str());
        missing.Load((dir + "/missing.png").c_str());
        {
            CTextureFreeImage gone;
            gone.Load((dir + "/gone.png").c_str());
            dropped = gone.texture;
        }
        odd.Load((dir + "/odd.png").c_str());
        ExpectUploadState();
        EXPECT_TRUE(problems.texts.empty()) << "reported before the decoding";

        // Whatever the loading left bound and set stays so through the uploads.
        CTexture other;
        glBindTexture(GL_TEXTURE_2D, other.texture);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        queue.Finish();
        GLint bound = 0, alignment = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(static_cast<GLuint>(bound), other.texture);
        EXPECT_EQ(alignment, 4);
        glBindTexture(GL_TEXTURE_2D, 0);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        if (afterFinish)
            afterFinish();
    }
    EXPECT_EQ(Levels(wide.texture), direct[0]);
    EXPECT_EQ(Levels(odd.texture), direct[1]);
    EXPECT_TRUE(Levels(missing.texture).empty());
    EXPECT_FALSE(glIsTexture(dropped)) << "a deleted texture came back with its picture";
    ASSERT_EQ(problems.texts.size(), 1u);
    EXPECT_NE(problems.texts[0].find("missing.png' cannot be read"), std::string::npos);

    glBindTexture(GL_TEXTURE_2D, wide.texture);
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(minFilter, GL_LINEAR);
}

TEST_F(TextureTest, QueuedPicturesUploadTheSameLevelsAndLeaveTheStateAlone)
{
    ExpectQueuedPicturesAsLoadedDirectly(nullptr);
}

TEST_F(TextureTest, PicturesUploadedOnTheQueuesThreadAreTheSame)
{
    std::unique_ptr<SharedContext> uploads = TestWindow().ShareContext();
    ASSERT_NE(uploads, nullptr);
    ExpectQueuedPicturesAsLoadedDirectly(std::move(uploads));
}

// Holds the queue's thread at its start until let go (or, should Finish wait
// for it after all, until a generous while has passed: a failure, not a hang).
class HeldContext : public SharedContext {
public:
    bool MakeCurrent() override
    {
        std::unique_lock<std::mutex> lock(mutex_);
        let_.wait_for(lock, std::chrono::seconds(30), [this] { return free_; });
        free_ = true;
        return false;  // the GL thread uploads what it finds decoded
    }
    void Release() override {}
    bool Held()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return !free_;
    }
    void Let()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            free_ = true;
        }
        let_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable let_;
    bool free_ = false;
};

TEST_F(TextureTest, FinishDecodesThePicturesTheQueuesThreadHasNotStarted)
{
    auto held = std::make_unique<HeldContext>();
    HeldContext& context = *held;
    ExpectQueuedPicturesAsLoadedDirectly(std::move(held), [&] {
        EXPECT_TRUE(context.Held()) << "Finish waited for the queue's thread";
        context.Let();
    });
}

// Found by a queued picture that landed over them.
TEST_F(TextureTest, PixelsGivenToAQueuedTextureStay)
{
    const std::string dir = MakeTempDir();
    for (int i = 0; i < 8; ++i)
        WriteImage(dir + "/p" + std::to_string(i) + ".png", 64, 64, Ramps(64, 64, i));
    const std::vector<unsigned char> red(8 * 8 * 4, 200);
    for (bool shared : {false, true}) {
        CTextureFreeImage textures[8];
        PictureQueue queue(shared ? TestWindow().ShareContext() : nullptr);
        // Whether its picture is decoded, being uploaded or not yet by then.
        for (int i = 0; i < 8; ++i) {
            textures[i].Load((dir + "/p" + std::to_string(i) + ".png").c_str());
            if (i % 2)
                textures[i].Upload({red.data(), 8, 8, false, GL_RGBA, true});
        }
        queue.Finish();
        for (int i = 1; i < 8; i += 2) {
            int w = 0, h = 0;
            EXPECT_EQ(Texels(textures[i].texture, 0, w, h), red) << "picture " << i << (shared ? ", shared" : "");
            EXPECT_EQ(w, 8);
        }
    }
}

TEST_F(TextureTest, AFileNamedTwiceInOneQueueIsHeldOnceUntilItsLastTextureGoes)
{
    const std::string dir = MakeTempDir();
    const std::string path = dir + "/shared.png";
    WriteImage(path, 32, 16, Ramps(32, 16, 5));
    std::vector<std::vector<unsigned char>> direct;
    {
        CTextureFreeImage texture;
        texture.Load(path.c_str());
        direct = Levels(texture.texture);
    }

    LoadedFiles files;
    ScopedLoadListener listening(files);
    CTextureFreeImage kept, replaced;
    GLuint shared = 0;
    {
        PictureQueue queue;
        auto first = std::make_unique<CTextureFreeImage>();
        first->Load(path.c_str());
        kept.Load(path.c_str());
        replaced.Load(path.c_str());
        shared = first->texture;
        EXPECT_EQ(kept.texture, shared);
        EXPECT_EQ(replaced.texture, shared);
        first.reset();  // the others still show the picture
        queue.Finish();
        EXPECT_TRUE(glIsTexture(shared));
    }
    EXPECT_EQ(files.files, std::vector<std::string>(3, path)) << "each load still names its file";
    EXPECT_EQ(Levels(kept.texture), direct);

    // A new picture for one of them leaves the others' alone.
    const std::vector<unsigned char> red(8 * 8 * 4, 200);
    replaced.Upload({red.data(), 8, 8, false, GL_RGBA, true});
    EXPECT_NE(replaced.texture, shared);
    EXPECT_EQ(Levels(kept.texture), direct);

    // A texture that was given another file or pixels of its own since is
    // not shared for its first file.
    {
        const std::string other = dir + "/other.png";
        WriteImage(other, 8, 8, Ramps(8, 8, 6));
        PictureQueue queue;
        CTextureFreeImage refilled, given, first, second;
        refilled.Load(path.c_str());
        refilled.Load(other.c_str());
        given.Load(path.c_str());
        given.Upload({red.data(), 8, 8, false, GL_RGBA, true});
        first.Load(path.c_str());
        second.Load(path.c_str());
        queue.Finish();
        EXPECT_NE(first.texture, refilled.texture);
        EXPECT_NE(first.texture, given.texture);
        EXPECT_EQ(second.texture, first.texture);
        EXPECT_EQ(Levels(first.texture), direct);
    }

    // A later queue (a reloaded show) and a load without a queue read the file again.
    CTextureFreeImage reloaded, immediate;
    {
        PictureQueue queue;
        reloaded.Load(path.c_str());
        queue.Finish();
    }
    immediate.Load(path.c_str());
    EXPECT_NE(reloaded.texture, kept.texture);
    EXPECT_NE(immediate.texture, kept.texture);
    EXPECT_EQ(Levels(reloaded.texture), direct);
}

TEST_F(TextureTest, AQueueGoneBeforeItsUploadsLeavesTheTexturesEmpty)
{
    const std::string dir = MakeTempDir();
    WriteImage(dir + "/a.png", 32, 32, Ramps(32, 32, 3));
    CTextureFreeImage first, second;
    {
        PictureQueue queue;
        first.Load((dir + "/a.png").c_str());
        queue.UploadReady();  // may or may not find it decoded
        second.Load((dir + "/a.png").c_str());
    }
    EXPECT_TRUE(Levels(second.texture).empty() || Levels(second.texture) == Levels(first.texture));
    EXPECT_EQ(CurrentPictureQueue(), nullptr);
    // Loads after the queue are immediate again.
    CTextureFreeImage after;
    after.Load((dir + "/a.png").c_str());
    EXPECT_EQ(Levels(after.texture).size(), 6u);
}

TEST(BgrRowToRgba, SwapsRedAndBlueAndMakesThreeBytePixelsOpaque)
{
    const uint8_t bgra[] = {0x44, 0x33, 0x22, 0x11, 0xDD, 0xCC, 0xBB, 0x00};
    uint32_t out[2] = {};
    BgrRowToRgba(bgra, 4, 2, out);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(out);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 8), (std::vector<uint8_t>{0x22, 0x33, 0x44, 0x11, 0xBB, 0xCC, 0xDD, 0x00}));

    const uint8_t bgr[] = {0x03, 0x02, 0x01, 0x06, 0x05, 0x04};
    BgrRowToRgba(bgr, 3, 2, out);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 8), (std::vector<uint8_t>{0x01, 0x02, 0x03, 0xFF, 0x04, 0x05, 0x06, 0xFF}));
}

TEST_F(TextureTest, LoadPutsTheTopLeftPixelFirst)
{
    const std::string path = MakeTempDir() + "/corner.png";
    WriteImage(path, 2, 2, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 128});
    CTextureFreeImage texture;
    texture.Load(path.c_str());
    ExpectUploadState();

    int w = 0, h = 0;
    const auto texels = Texels(texture.texture, 0, w, h);
    ASSERT_EQ(w, 2);
    ASSERT_EQ(h, 2);
    const std::vector<unsigned char> expected = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 128};
    EXPECT_EQ(texels, expected);  // PNG alpha kept

    glBindTexture(GL_TEXTURE_2D, texture.texture);
    GLint wrap = 0, minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(wrap, GL_REPEAT);
    EXPECT_EQ(minFilter, GL_LINEAR);
}

TEST_F(TextureTest, JpegGetsFullAlphaAndOddSizesAreScaled)
{
    const std::string path = MakeTempDir() + "/odd.jpg";
    WriteSolidImage(path, 300, 200, 200, 100, 50);
    CTextureFreeImage texture;
    texture.Load(path.c_str());
    int w = 0, h = 0;
    const auto texels = Texels(texture.texture, 0, w, h);
    EXPECT_EQ(w, 256);  // scaled to powers of two
    EXPECT_EQ(h, 256);
    ASSERT_FALSE(texels.empty());
    EXPECT_EQ(texels[3], 255);
    EXPECT_NEAR(texels[0], 200, 3);
    EXPECT_NEAR(texels[1], 100, 3);
    EXPECT_NEAR(texels[2], 50, 3);
    // Mipmap levels were built.
    int w1 = 0, h1 = 0;
    Texels(texture.texture, 1, w1, h1);
    EXPECT_EQ(w1, 128);
}

TEST_F(TextureTest, UnreadableFilesLeaveTheTextureEmpty)
{
    const std::string dir = MakeTempDir();
    FILE* garbage = std::fopen((dir + "/garbage.png").c_str(), "wb");
    std::fputs("\x89PNG\r\n\x1a\nnot really a picture", garbage);
    std::fclose(garbage);

    for (const std::string& path : {dir + "/missing.png", dir + "/garbage.png", dir}) {
        CTextureFreeImage texture;
        EXPECT_NO_THROW(texture.Load(path.c_str()));
        int w = -1, h = -1;
        Texels(texture.texture, 0, w, h);
        EXPECT_EQ(w, 0) << path;
        ExpectDefaultGlState();
    }
}

TEST_F(TextureTest, UploadWithoutMipmapsRepeats)
{
    std::vector<unsigned char> pixels(512 * 512 * 4, 77);
    CTexture texture;
    ImageRecord image;
    image.pixels = pixels.data();
    image.width = image.height = 512;
    image.format = GL_RGBA;
    image.noMipmap = true;
    texture.Upload(image);
    ExpectUploadState();

    int w = 0, h = 0, w1 = 0, h1 = 0;
    EXPECT_EQ(Texels(texture.texture, 0, w, h)[0], 77);
    EXPECT_EQ(w, 512);
    Texels(texture.texture, 1, w1, h1);
    EXPECT_EQ(w1, 0);  // level 0 only

    glBindTexture(GL_TEXTURE_2D, texture.texture);
    GLint wrapS = 0, wrapT = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(wrapS, GL_REPEAT);
    EXPECT_EQ(wrapT, GL_REPEAT);
}

TEST_F(TextureTest, UploadRgbClamps)
{
    const unsigned char pixels[2 * 2 * 3] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    CTexture texture;
    ImageRecord image;
    image.pixels = pixels;
    image.width = image.height = 2;
    image.clamp = true;
    image.format = GL_RGB8;
    texture.Upload(image);
    int w = 0, h = 0;
    const auto texels = Texels(texture.texture, 0, w, h);
    ASSERT_EQ(texels.size(), 16u);
    EXPECT_EQ(texels[4], 40);
    EXPECT_EQ(texels[7], 255);
    glBindTexture(GL_TEXTURE_2D, texture.texture);
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
}

TEST_F(TextureTest, UnknownFormatThrowsAndUnbinds)
{
    CTexture texture;
    ImageRecord image;
    image.format = 0;
    try {
        texture.Upload(image);
        FAIL() << "no exception";
    } catch (const DemoError& e) {
        EXPECT_STREQ(e.what(), "Unknown pixeldepth");
    }
    ExpectUploadState();
}

}  // namespace
