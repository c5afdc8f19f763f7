#pragma once
#include <cstdint>
#include <string>

#include "media/video_support.h"

struct AVCodecContext;
struct AVFormatContext;
struct AVPacket;
struct AVStream;
struct SwsContext;

// The module's codecProblem and holdsAPicture (media/video_support.h).
std::string VideoCodecProblem(const std::string& container, const std::string& codec);
bool HoldsAPicture(const std::string& path);

// A video file with one video stream (H.264 at constant quality, or lossless
// H.264 4:4:4, FFV1 or ProRes 422 HQ for editing) and one AAC stream, written
// through FFmpeg's libraries. Matroska is written in whole clusters, so what
// was written plays even when the file is never finished; MP4 and MOV play
// only once finished. Pictures go in as four-byte pixels, bottom row first,
// the way OpenGL reads them; sound as 16-bit samples. VideoWriter says what
// each call does.
class VideoEncoder final : public VideoWriter {
public:
    // Creates the file and writes the container's header.
    explicit VideoEncoder(const VideoEncoderSettings& settings);
    // Closes the file; one that was not finished stays unfinished.
    ~VideoEncoder() override;
    void Close() override { Release(); }
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    AVFrame* NewPicture() const override;
    void FreePicture(AVFrame* picture) const override;
    void FillPicture(const uint8_t* pixels, AVFrame* picture) override;

    void WritePicture(AVFrame* picture) override;
    void WriteSound(const int16_t* samples, int64_t frames, int stride) override;
    void Finish() override;

    int64_t PicturesWritten() const override { return pictures_; }
    int64_t CompleteSize() const override { return complete_; }

private:
    void OpenVideo(const VideoEncoderSettings& settings);
    void OpenAudio(const VideoEncoderSettings& settings);
    void SendSound();
    void CutFragment();
    void Drain(AVCodecContext* codec, AVStream* stream);
    void Release();

    AVFormatContext* format_ = nullptr;
    AVCodecContext* video_ = nullptr;
    AVCodecContext* audio_ = nullptr;
    AVStream* videoStream_ = nullptr;
    AVStream* audioStream_ = nullptr;
    SwsContext* scaler_ = nullptr;
    AVFrame* sound_ = nullptr;  // one encoder frame of sound being filled
    AVPacket* packet_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    PixelOrder pixels_;
    int soundFill_ = 0;
    int64_t soundWritten_ = 0;
    int64_t soundLead_ = 0;  // samples the sound's timestamps are moved on by
    int64_t soundSkip_ = 0;  // music samples still to leave out
    int64_t pictures_ = 0;
    int64_t lastCut_ = 0;
    int64_t complete_ = 0;
    bool cuts_;  // cuts fragments as it writes
    bool finished_ = false;
};
