#include "effects/video.h"

#include <cmath>

#include "effects/feedback.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

namespace {

// One frame every 40 ms of effect time, whatever the video's own frame rate.
int FrameIndex(float t, int length)
{
    return static_cast<int>(t / 40) % length;
}

}  // namespace

Video::Video(int start, int end) : Effekt(start, end)
{
    frameTexture.Load("data/vondo/video/frame.png");
    a = std::make_unique<RenderTarget>();
    b = std::make_unique<RenderTarget>();
    glBindTexture(GL_TEXTURE_2D, 0);
    distort.Load(true, "data/vondo/video/distort.fs");
    distortTime = GetUniform(distort.program, "time");
    distortBeat = GetUniform(distort.program, "beat");
    videoProgram.Load(true, "data/vondo/video/video.fs");
    videoTime = GetUniform(videoProgram.program, "time");
    videoBeat = GetUniform(videoProgram.program, "beat");
    videoIdx = GetUniform(videoProgram.program, "idx");
    file = OpenVideoFile("data/vondo/video/Video.avi");
    ImageRecord image;
    image.pixels = file->Picture();
    image.width = VideoReader::kPictureSize;
    image.height = VideoReader::kPictureSize;
    image.noMipmap = true;
    videoTexture.Upload(image);
}

void Video::GrabFrame(int index)
{
    file->GrabFrame(index);
    CTextureBinder bind(videoTexture.texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, VideoReader::kPictureSize, VideoReader::kPictureSize, GL_RGBA,
                    GL_UNSIGNED_BYTE, file->Picture());
}

void Video::DrawVideoLayer(float t, float beat)
{
    CTransparency blend(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    GrabFrame(FrameIndex(t, file->Length()));
    glUseProgram(videoProgram.program);
    glUniform1f(videoTime, t / 1000);
    glUniform1f(videoBeat, beat);
    glUniform1i(videoIdx, filterIndex);
    CProjectionScope screen;
    glBindTexture(GL_TEXTURE_2D, videoTexture.texture);
    glColor4f(1, 1, 1, 1);
    glTranslatef(0, 0, -2);
    // The picture's rows run bottom-up; drawn top-down here and shown again
    // from the target, it comes out upright.
    TexturedQuad(1, 1.2f).Draw(1, 1);
    glUseProgram(0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

// Bright parts of the frame picture darken the target.
void Video::DrawFrameLayer()
{
    CTransparency blend(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    CProjectionScope screen;
    glBindTexture(GL_TEXTURE_2D, frameTexture.texture);
    glColor4f(1, 1, 1, 1);
    glTranslatef(0, 0, -2);
    TexturedQuad(1, -1).Draw(1, 1);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void Video::Draw(int time, float beat)
{
    const uint32_t timeMs = static_cast<uint32_t>(time);
    const float t = static_cast<float>(timeMs);
    if (UpdateDue(timeMs, lastUpdate)) {
        lastUpdate = timeMs;
        UpdatePicture(*a, *b, 1.01f, std::sin(t / 50000), [&] {
            DrawVideoLayer(t, beat);
            DrawFrameLayer();
        });
    }
    ShowPicture(*a, distort.program, distortBeat, distortTime, beat, t, frameTexture.texture);
}

}  // namespace Effekter
