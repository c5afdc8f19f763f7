#pragma once
#include <cstdint>
#include <string>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwsContext;

// "mp4", "matroska" or "mov" for a name ending in .mp4, .mkv or .mov; empty
// for any other.
std::string VideoContainerFor(const std::string& path);

// Why the container cannot take the codec ("h264", "h264-lossless", "ffv1",
// "prores"), or empty when it can and FFmpeg has the encoder.
std::string VideoCodecProblem(const std::string& container, const std::string& codec);

// Whether FFmpeg finds a picture in the file: what a player would show.
bool HoldsAPicture(const std::string& path);

struct VideoEncoderSettings {
    std::string path;       // the file written; always a file name, whatever colons it holds
    std::string container;  // as VideoContainerFor gives it
    std::string codec = "h264";
    int width = 0;
    int height = 0;
    int fps = 60;  // frames per second: fps / fpsBase, exact in the container
    int fpsBase = 1;
    int sampleRate = 44100;
    int channels = 2;  // 1 or 2
};

// A video file with one video stream (H.264 at constant quality, or lossless
// H.264 4:4:4, FFV1 or ProRes 422 HQ for editing) and one AAC stream, written
// through FFmpeg's libraries. Matroska is written in whole clusters, so what
// was written plays even when the file is never finished; MP4 and MOV play
// only once finished. Pictures go in as BGRA
// rows bottom first, the way OpenGL reads them; sound as 16-bit samples.
// Failures throw DemoError. FillPicture may run on another thread than the
// writing calls, as long as each picture is handed over only when filled.
class VideoEncoder {
public:
    // Creates the file and writes the container's header.
    explicit VideoEncoder(const VideoEncoderSettings& settings);
    // Closes the file; one that was not finished stays unfinished.
    ~VideoEncoder();
    // Closes the file now, finished or not.
    void Close() { Release(); }
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // A picture in the encoder's own format, owned by the caller (FreePicture).
    AVFrame* NewPicture() const;
    static void FreePicture(AVFrame* picture);
    // Converts width x height BGRA pixels, bottom row first, into picture.
    void FillPicture(const uint8_t* bgra, AVFrame* picture);

    // Encodes the next picture of the video.
    void WritePicture(AVFrame* picture);
    // Encodes the next frames of sound: samples holds `stride` values a frame,
    // of which the first channels are used; null means silence.
    void WriteSound(const int16_t* samples, int64_t frames, int stride);
    // Sends what the encoders still hold and writes the container's index.
    void Finish();

    int64_t PicturesWritten() const { return pictures_; }
    // The bytes of the file up to the end of its last whole cluster (0 for
    // MP4 and MOV): cut there after a write error, the file plays.
    int64_t CompleteSize() const { return complete_; }

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
