#include "media/video_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include "media/av_log.h"
#include "platform/demo_error.h"
#include "platform/plain_file.h"

namespace {

const char kReadError[] = "Error reading AVI";
const char kCodecError[] = "Error opening AVIStreamGetFrameOpen - your video codec might be out dated!";

constexpr int kRowBytes = VideoFile::kPictureSize * 4;

constexpr int kEnd = -2;

// The containers a video is taken from; others (playlists, lists of files,
// image sequences) could make loading read other files or wait on a pipe.
const char kContainers[] = "avi,mov,matroska,mpeg,mpegts,ogg,asf,flv";

int64_t TimestampOf(const AVPacket* packet)
{
    return packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
}

// The YUV format without the old "J" variants, which mean full range.
AVPixelFormat WithoutFullRangeName(AVPixelFormat format, bool& full)
{
    switch (format) {
    case AV_PIX_FMT_YUVJ420P: full = true; return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: full = true; return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: full = true; return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P: full = true; return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P: full = true; return AV_PIX_FMT_YUV411P;
    default: return format;
    }
}

// A scaler into the 512 x 512 RGBA picture. YUV follows the stream's tags:
// BT.709 or else BT.601, full or limited range. The range is an option of its
// own, since the scaler prepares for it when it starts.
SwsContext* NewScaler(int width, int height, AVPixelFormat format, bool bt709, bool full)
{
    SwsContext* scaler = sws_alloc_context();
    if (!scaler)
        return nullptr;
    av_opt_set_int(scaler, "srcw", width, 0);
    av_opt_set_int(scaler, "srch", height, 0);
    av_opt_set_int(scaler, "src_format", format, 0);
    av_opt_set_int(scaler, "dstw", VideoFile::kPictureSize, 0);
    av_opt_set_int(scaler, "dsth", VideoFile::kPictureSize, 0);
    av_opt_set_int(scaler, "dst_format", AV_PIX_FMT_RGBA, 0);
    av_opt_set_int(scaler, "sws_flags", SWS_BILINEAR, 0);
    av_opt_set_int(scaler, "src_range", full ? 1 : 0, 0);
    av_opt_set_int(scaler, "dst_range", 1, 0);
    if (sws_init_context(scaler, nullptr, nullptr) < 0) {
        sws_freeContext(scaler);
        return nullptr;
    }
    const AVPixFmtDescriptor* layout = av_pix_fmt_desc_get(format);
    if (layout && !(layout->flags & AV_PIX_FMT_FLAG_RGB) && layout->nb_components >= 3)
        sws_setColorspaceDetails(scaler, sws_getCoefficients(bt709 ? SWS_CS_ITU709 : SWS_CS_ITU601), full ? 1 : 0,
                                 sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
    return scaler;
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
    try {
        if (!IsPlainFile(path))
            ThrowMessage(kReadError);
        // Always a file name, whatever colons it holds.
        Open((std::string("file:") + path).c_str(), nullptr);
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
        if (!io_)
            ThrowMessage(kReadError);
        Open(nullptr, io_);
    } catch (...) {
        Close();
        throw;
    }
}

void VideoFile::Open(const char* url, AVIOContext* io)
{
    RouteAvLog();
    if (!(format_ = avformat_alloc_context()))
        ThrowMessage(kReadError);
    format_->pb = io;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    av_dict_set(&options, "format_whitelist", kContainers, 0);
    // On failure the context is freed and the pointer cleared.
    const int opened = avformat_open_input(&format_, url, nullptr, &options);
    av_dict_free(&options);
    if (opened < 0)
        ThrowMessage(kReadError);
    SetUp();
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
    IndexPackets();
    if (packets_.empty())
        ThrowMessage(kReadError);
    IndexPictures();
    if (pictureAt_.empty() || !SeekTo(0))
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

void VideoFile::IndexPackets()
{
    int64_t previous = -1;
    while (av_read_frame(format_, packet_) >= 0) {
        // An empty packet is a dropped frame, which the demuxer counts in its timestamps.
        if (packet_->stream_index == stream_ && packet_->size > 0) {
            int64_t stamp = TimestampOf(packet_);
            if (stamp == AV_NOPTS_VALUE)
                stamp = previous + 1;
            packets_.push_back({packet_->pos, packet_->dts != AV_NOPTS_VALUE ? packet_->dts : stamp, stamp,
                                (packet_->flags & AV_PKT_FLAG_KEY) != 0});
            previous = stamp;
        }
        av_packet_unref(packet_);
    }
}

void VideoFile::IndexPictures()
{
    const int count = static_cast<int>(packets_.size());
    pictureOf_.assign(static_cast<size_t>(count), -1);
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec_->codec_id);
    if (descriptor && (descriptor->props & AV_CODEC_PROP_INTRA_ONLY)) {
        // Every packet is a picture of its own, in display order.
        for (int i = 0; i < count; ++i) {
            pictureOf_[static_cast<size_t>(i)] = i;
            packetOf_.push_back(i);
        }
    } else if (SeekTo(0)) {
        // Only the order matters here, not how the pictures look.
        codec_->skip_loop_filter = AVDISCARD_ALL;
        codec_->skip_idct = AVDISCARD_ALL;
        // Each packet is marked as its number; a picture keeps its packet's mark.
        for (int tag = ReceiveNext(); tag != kEnd; tag = ReceiveNext()) {
            if (tag >= 0 && pictureOf_[static_cast<size_t>(tag)] < 0)
                pictureOf_[static_cast<size_t>(tag)] = static_cast<int>(packetOf_.size());
            // A damaged file can send more packets here than it had when
            // they were indexed; a picture without a mark of its own goes
            // with the last packet sent, or the last one indexed.
            packetOf_.push_back(tag >= 0 ? tag : std::clamp(nextPacket_ - 1, 0, count - 1));
        }
        codec_->skip_loop_filter = AVDISCARD_DEFAULT;
        codec_->skip_idct = AVDISCARD_DEFAULT;
    }
    const int pictures = static_cast<int>(packetOf_.size());
    // In AVI a timestamp counts chunks, the empty ones included: the n-th
    // picture in display order goes to the n-th timestamp, and a gap shows
    // the picture before it. Elsewhere every picture is one frame.
    std::vector<int64_t> stamps;
    for (const Packet& packet : packets_)
        stamps.push_back(packet.stamp);
    std::sort(stamps.begin(), stamps.end());
    const int64_t span = stamps.back() - stamps.front() + 1;
    const bool counted = std::strcmp(format_->iformat->name, "avi") == 0 && span <= 16 * int64_t{count};
    if (!counted) {
        for (int n = 0; n < pictures; ++n)
            pictureAt_.push_back(n);
        return;
    }
    pictureAt_.assign(static_cast<size_t>(span), 0);
    // A damaged file can decode to more pictures than it has timestamps;
    // those have no frame to be shown in.
    for (int n = 0; n < std::min(pictures, count); ++n)
        for (int64_t slot = stamps[static_cast<size_t>(n)] - stamps.front(); slot < span; ++slot)
            pictureAt_[static_cast<size_t>(slot)] = n;
    if (pictures < count)
        pictureAt_.resize(static_cast<size_t>(stamps[static_cast<size_t>(pictures)] - stamps.front()));
}

int VideoFile::StartFor(int picture) const
{
    for (int p = packetOf_[static_cast<size_t>(picture)]; p > 0; --p) {
        const int shown = pictureOf_[static_cast<size_t>(p)];
        if (packets_[static_cast<size_t>(p)].key && shown >= 0 && shown <= picture)
            return p;
    }
    return 0;
}

bool VideoFile::SeekTo(int packet)
{
    if (av_seek_frame(format_, stream_, packets_[static_cast<size_t>(packet)].dts, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(codec_);
    av_frame_unref(frame_);
    draining_ = false;
    decoded_ = -1;
    nextPacket_ = -1;  // found by the position of the first packet read
    return true;
}

int VideoFile::ReceiveNext()
{
    for (;;) {
        const int received = avcodec_receive_frame(codec_, frame_);
        if (received == 0) {
            const int64_t tag = frame_->pts;
            return tag >= 0 && tag < static_cast<int64_t>(packets_.size()) ? static_cast<int>(tag) : -1;
        }
        // Any other answer than "more input" ends the stream; a packet that
        // fails to decode is simply passed over.
        if (received == AVERROR_EOF || draining_)
            return kEnd;
        if (av_read_frame(format_, packet_) < 0) {
            avcodec_send_packet(codec_, nullptr);
            draining_ = true;
            continue;
        }
        if (packet_->stream_index == stream_ && packet_->size > 0) {
            if (nextPacket_ < 0) {
                const int64_t position = packet_->pos;
                const int64_t dts = packet_->dts;
                const auto found = std::find_if(packets_.begin(), packets_.end(), [&](const Packet& p) {
                    return position >= 0 ? p.position == position : p.dts == dts;
                });
                if (found == packets_.end()) {
                    av_packet_unref(packet_);
                    return kEnd;
                }
                nextPacket_ = static_cast<int>(found - packets_.begin());
            }
            packet_->pts = nextPacket_++;
            avcodec_send_packet(codec_, packet_);
        }
        av_packet_unref(packet_);
    }
}

bool VideoFile::DecodeNext()
{
    const int tag = ReceiveNext();
    if (tag == kEnd)
        return false;
    const int picture = tag >= 0 ? pictureOf_[static_cast<size_t>(tag)] : -1;
    decoded_ = picture >= 0 ? picture : decoded_ + 1;
    return true;
}

void VideoFile::GrabFrame(int index)
{
    if (index < 0 || index >= Length())
        return;
    // The same picture again (the effect updates twice per video frame, and a
    // dropped frame repeats one) finds it done, or one that failed once and
    // would fail again.
    const int picture = pictureAt_[static_cast<size_t>(index)];
    if (picture == wanted_)
        return;
    wanted_ = picture;
    // Decoding runs on from the last picture; only a jump back, one past a
    // key frame, or one after the end of the stream seeks.
    const int start = StartFor(picture);
    const bool held = picture == decoded_ && frame_->data[0];
    const bool forward = picture > decoded_ && decoded_ >= 0 && start <= nextPacket_ && !draining_;
    if (!held && !forward && !SeekTo(start))
        return;
    while (decoded_ < picture && DecodeNext()) {
    }
    if (decoded_ == picture && frame_->data[0] && frame_->decode_error_flags == 0 &&
        !(frame_->flags & AV_FRAME_FLAG_CORRUPT))
        ConvertFrame();
}

void VideoFile::ConvertFrame()
{
    bool full = frame_->color_range == AVCOL_RANGE_JPEG;
    const AVPixelFormat format = WithoutFullRangeName(static_cast<AVPixelFormat>(frame_->format), full);
    const bool bt709 = frame_->colorspace == AVCOL_SPC_BT709;
    const Conversion conversion{frame_->width, frame_->height, format, bt709, full};
    if (!scaler_ || !(conversion == conversion_)) {
        sws_freeContext(scaler_);
        scaler_ = NewScaler(frame_->width, frame_->height, format, bt709, full);
        if (!scaler_)
            return;
        conversion_ = conversion;
    }
    // The last picture row goes first: a negative stride from the end of the buffer.
    uint8_t* rows[4] = {picture_.data() + static_cast<size_t>(kRowBytes) * (kPictureSize - 1), nullptr, nullptr,
                        nullptr};
    const int strides[4] = {-kRowBytes, 0, 0, 0};
    sws_scale(scaler_, frame_->data, frame_->linesize, 0, frame_->height, rows, strides);
}
