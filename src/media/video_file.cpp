#include "media/video_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "platform/demo_error.h"
#include "platform/load_listener.h"
#include "platform/plain_file.h"

namespace {

const char kReadError[] = "Error reading AVI";
const char kCodecError[] = "Error opening AVIStreamGetFrameOpen - your video codec might be out dated!";

constexpr int kRowBytes = VideoFile::kPictureSize * 4;

int64_t TimestampOf(const AVPacket* packet)
{
    return packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
}

}  // namespace

// An in-memory file, read through FFmpeg's custom input callbacks.
struct VideoFile::MemoryInput {
    const uint8_t* data;
    size_t size;
    size_t position;

    static int Read(void* opaque, uint8_t* buffer, int wanted)
    {
        MemoryInput& in = *static_cast<MemoryInput*>(opaque);
        if (in.position >= in.size)
            return AVERROR_EOF;
        const size_t got = std::min(static_cast<size_t>(wanted), in.size - in.position);
        std::memcpy(buffer, in.data + in.position, got);
        in.position += got;
        return static_cast<int>(got);
    }

    static int64_t Seek(void* opaque, int64_t offset, int whence)
    {
        MemoryInput& in = *static_cast<MemoryInput*>(opaque);
        const int64_t size = static_cast<int64_t>(in.size);
        if (whence & AVSEEK_SIZE)
            return size;
        const int64_t base = (whence & 3) == SEEK_CUR ? static_cast<int64_t>(in.position)
                             : (whence & 3) == SEEK_END ? size
                                                        : 0;
        if (offset < -base || offset > size - base)
            return AVERROR(EINVAL);
        in.position = static_cast<size_t>(base + offset);
        return base + offset;
    }
};

VideoFile::VideoFile(const char* path) : picture_(static_cast<size_t>(kRowBytes) * kPictureSize, 0)
{
    if (LoadListener* listener = CurrentLoadListener())
        listener->FileUsed(path);
    try {
        if (!IsPlainFile(path) || avformat_open_input(&format_, path, nullptr, nullptr) < 0)
            ThrowMessage(kReadError);
        SetUp();
    } catch (...) {
        Close();
        throw;
    }
}

VideoFile::VideoFile(const uint8_t* data, size_t size)
    : memory_(new MemoryInput{data, size, 0}), picture_(static_cast<size_t>(kRowBytes) * kPictureSize, 0)
{
    try {
        constexpr int kBufferSize = 4096;
        uint8_t* buffer = static_cast<uint8_t*>(av_malloc(kBufferSize));
        if (buffer)
            io_ = avio_alloc_context(buffer, kBufferSize, 0, memory_.get(), MemoryInput::Read, nullptr,
                                     MemoryInput::Seek);
        if (!io_)
            av_free(buffer);
        if (!io_ || !(format_ = avformat_alloc_context()))
            ThrowMessage(kReadError);
        format_->pb = io_;
        // On failure the context is freed and the pointer cleared.
        if (avformat_open_input(&format_, nullptr, nullptr, nullptr) < 0)
            ThrowMessage(kReadError);
        SetUp();
    } catch (...) {
        Close();
        throw;
    }
}

void VideoFile::SetUp()
{
    if (avformat_find_stream_info(format_, nullptr) < 0)
        ThrowMessage(kReadError);
    for (unsigned i = 0; i < format_->nb_streams && stream_ < 0; ++i) {
        const AVStream* stream = format_->streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            stream_ = static_cast<int>(i);
    }
    if (stream_ < 0)
        ThrowMessage(kReadError);
    const AVCodecParameters* parameters = format_->streams[stream_]->codecpar;
    width_ = parameters->width;
    height_ = parameters->height;
    if (width_ <= 0 || height_ <= 0)
        ThrowMessage(kReadError);

    const AVCodec* decoder = avcodec_find_decoder(parameters->codec_id);
    if (!decoder || !(codec_ = avcodec_alloc_context3(decoder)) ||
        avcodec_parameters_to_context(codec_, parameters) < 0 || avcodec_open2(codec_, decoder, nullptr) < 0)
        ThrowMessage(kCodecError);

    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (!packet_ || !frame_)
        ThrowMessage(kReadError);
    CountFrames();
    if (frames_.empty() || !SeekBefore(0))
        ThrowMessage(kReadError);
}

VideoFile::~VideoFile()
{
    Close();
}

void VideoFile::Close()
{
    sws_freeContext(scaler_);
    scaler_ = nullptr;
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&codec_);
    avformat_close_input(&format_);
    // The input callbacks' context is ours, not the demuxer's.
    if (io_)
        av_freep(&io_->buffer);
    avio_context_free(&io_);
}

// Reads every packet of the stream once: the header's frame count may be
// missing or wrong (a truncated file), and the timestamps tell later which
// frame a decoded picture is.
void VideoFile::CountFrames()
{
    int64_t previous = -1;
    while (av_read_frame(format_, packet_) >= 0) {
        if (packet_->stream_index == stream_) {
            int64_t timestamp = TimestampOf(packet_);
            if (timestamp == AV_NOPTS_VALUE)
                timestamp = previous + 1;
            frames_.push_back({timestamp, (packet_->flags & AV_PKT_FLAG_KEY) != 0});
            previous = timestamp;
        }
        av_packet_unref(packet_);
    }
    std::stable_sort(frames_.begin(), frames_.end(),
                     [](const FrameEntry& a, const FrameEntry& b) { return a.timestamp < b.timestamp; });
}

int VideoFile::IndexOf(const AVFrame* frame) const
{
    // Without a presentation time (an AVI whose frames are stored out of
    // their display order has none) the frames come out in display order
    // from the key frame decoding started at, which is counted from.
    const int64_t timestamp = frame->pts;
    if (timestamp == AV_NOPTS_VALUE)
        return decoded_ + 1;
    const auto after = std::upper_bound(frames_.begin(), frames_.end(), timestamp,
                                        [](int64_t value, const FrameEntry& e) { return value < e.timestamp; });
    return std::max(0, static_cast<int>(after - frames_.begin()) - 1);
}

int VideoFile::KeyAtOrBefore(int index) const
{
    int key = index;
    while (key > 0 && !frames_[key].key)
        --key;
    return key;
}

bool VideoFile::SeekBefore(int index)
{
    const int key = KeyAtOrBefore(index);
    if (av_seek_frame(format_, stream_, frames_[key].timestamp, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(codec_);
    av_frame_unref(frame_);
    draining_ = false;
    decoded_ = key - 1;
    return true;
}

bool VideoFile::DecodeNext()
{
    for (;;) {
        const int received = avcodec_receive_frame(codec_, frame_);
        if (received == 0) {
            decoded_ = IndexOf(frame_);
            return true;
        }
        // Any other answer than "more input" ends the stream; a packet that
        // fails to decode is simply passed over.
        if (received == AVERROR_EOF || draining_)
            return false;
        if (av_read_frame(format_, packet_) < 0) {
            avcodec_send_packet(codec_, nullptr);
            draining_ = true;
            continue;
        }
        if (packet_->stream_index == stream_)
            avcodec_send_packet(codec_, packet_);
        av_packet_unref(packet_);
    }
}

void VideoFile::GrabFrame(int index)
{
    // The same index again (the effect updates twice per video frame) finds
    // the picture done, or a frame that failed once and would fail again.
    if (index < 0 || index >= Length() || index == wanted_)
        return;
    wanted_ = index;
    // Decoding runs on from the last frame; only a jump back, one over a key
    // frame, or one after the end of the stream seeks.
    const bool held = index == decoded_ && frame_->data[0];
    const bool forward = index > decoded_ && KeyAtOrBefore(index) <= decoded_ + 1 && !draining_;
    if (!held && !forward && !SeekBefore(index))
        return;
    while (decoded_ < index && DecodeNext()) {
    }
    if (decoded_ == index && frame_->data[0] && frame_->decode_error_flags == 0 &&
        !(frame_->flags & AV_FRAME_FLAG_CORRUPT))
        ConvertFrame();
}

void VideoFile::ConvertFrame()
{
    scaler_ = sws_getCachedContext(scaler_, frame_->width, frame_->height, static_cast<AVPixelFormat>(frame_->format),
                                   kPictureSize, kPictureSize, AV_PIX_FMT_RGBA, SWS_BILINEAR, nullptr, nullptr,
                                   nullptr);
    if (!scaler_)
        return;
    // The last picture row goes first: a negative stride from the end of the buffer.
    uint8_t* rows[4] = {picture_.data() + static_cast<size_t>(kRowBytes) * (kPictureSize - 1), nullptr, nullptr,
                        nullptr};
    const int strides[4] = {-kRowBytes, 0, 0, 0};
    sws_scale(scaler_, frame_->data, frame_->linesize, 0, frame_->height, rows, strides);
}
