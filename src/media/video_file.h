#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct AVCodecContext;
struct AVFormatContext;
struct AVIOContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

// Reads the first video stream of a media file frame by frame into a fixed
// 512 x 512 RGBA picture whose rows run bottom-up (the last picture row
// first), the layout of a bottom-up Windows DIB. Everything is set up in the
// constructor; grabbing a frame allocates nothing.
class VideoFile {
public:
    static constexpr int kPictureSize = 512;

    // Throws "Error reading AVI" when the file cannot be opened, is not a media
    // file, has no video stream or holds no video frame, and "Error opening
    // AVIStreamGetFrameOpen - your video codec might be out dated!" when no
    // decoder for the stream exists or opens.
    explicit VideoFile(const char* path);
    // The same for a file held in memory, which must outlive the object.
    VideoFile(const uint8_t* data, size_t size);
    ~VideoFile();
    VideoFile(const VideoFile&) = delete;
    VideoFile& operator=(const VideoFile&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // The frames the file really holds, counted when it was opened.
    int Length() const { return static_cast<int>(frames_.size()); }

    // Decodes frame index (0 .. Length() - 1) into Picture(). A frame that
    // cannot be decoded, or an index out of range, keeps the previous picture.
    void GrabFrame(int index);
    // 512 x 512 x 4 bytes: R, G, B, A (255); black until the first frame.
    const uint8_t* Picture() const { return picture_.data(); }

private:
    struct FrameEntry {
        int64_t timestamp;  // in the stream's time base
        bool key;
    };

    struct MemoryInput;

    void SetUp();
    void Close();
    void CountFrames();
    // The frame number of a decoded frame, found by its timestamp.
    int IndexOf(const AVFrame* frame) const;
    int KeyAtOrBefore(int index) const;
    // Seeks to the key frame at or before index; false when the file cannot seek.
    bool SeekBefore(int index);
    // Decodes the next frame into frame_; false at the end or on a read error.
    bool DecodeNext();
    void ConvertFrame();

    std::unique_ptr<MemoryInput> memory_;
    AVIOContext* io_ = nullptr;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    SwsContext* scaler_ = nullptr;
    int stream_ = -1;
    int width_ = 0;
    int height_ = 0;
    std::vector<FrameEntry> frames_;  // in display order
    int decoded_ = -1;   // the frame now in frame_; -1 before any
    int wanted_ = -1;    // the index of the last GrabFrame
    bool draining_ = false;  // the decoder was sent the end of the stream
    std::vector<uint8_t> picture_;
};
