#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "media/video_support.h"

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
class VideoFile final : public VideoReader {
public:
    // Throws "Error reading AVI" when the file cannot be opened, is not a media
    // file, has no video stream or holds no video frame, and "Error opening
    // AVIStreamGetFrameOpen - your video codec might be out dated!" when no
    // decoder for the stream exists or opens.
    explicit VideoFile(const char* path);
    // The same for a file held in memory, which must outlive the object.
    VideoFile(const uint8_t* data, size_t size);
    ~VideoFile() override;
    VideoFile(const VideoFile&) = delete;
    VideoFile& operator=(const VideoFile&) = delete;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // The frames of the video in display order, counted when it was opened.
    // In AVI every chunk is one frame; an empty chunk (a dropped frame)
    // shows the frame before it again, as players do.
    int Length() const override { return static_cast<int>(pictureAt_.size()); }

    void GrabFrame(int index) override;
    const uint8_t* Picture() const override { return picture_.data(); }

private:
    struct Packet {
        int64_t position;  // in the file, to know where a seek landed
        int64_t dts;       // what the demuxer seeks by
        int64_t stamp;     // the display time, or else the decoding time
        bool key;
    };

    struct MemoryInput;

    void Open(const char* url, AVIOContext* io);
    void SetUp();
    void Close();
    // Reads every packet of the stream once: the header's frame count may be
    // missing or wrong (a truncated file).
    void IndexPackets();
    // Decodes the stream once to learn which packet gives which picture in
    // display order; decoders of B-frames give them out of packet order.
    void IndexPictures();
    // The packet to start decoding at for picture: a key frame at or before
    // the packet it comes from, shown no later than it.
    int StartFor(int picture) const;
    // Seeks to the key frame packet; false when the file cannot seek there.
    bool SeekTo(int packet);
    // Decodes the next picture into frame_ and gives the packet it came
    // from: -1 when unknown, kEnd at the end or on a read error.
    int ReceiveNext();
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
    std::vector<Packet> packets_;    // the stream's non-empty packets, in file order
    std::vector<int> pictureOf_;     // per packet: the picture decoded from it, or -1
    std::vector<int> packetOf_;      // per picture in display order: its packet
    std::vector<int> pictureAt_;     // per frame index: the picture shown
    int nextPacket_ = 0;   // the packet read next, counted since the last seek
    int decoded_ = -1;     // the picture now in frame_; -1 before any
    int wanted_ = -1;      // the picture of the last GrabFrame
    // What the scaler was made for; a frame of another kind makes a new one.
    struct Conversion {
        int width, height, format;
        bool bt709, full;
        bool operator==(const Conversion& o) const
        {
            return width == o.width && height == o.height && format == o.format && bt709 == o.bt709 && full == o.full;
        }
    };
    Conversion conversion_{};
    bool draining_ = false;  // the decoder was sent the end of the stream
    std::vector<uint8_t> picture_;
};
