#include "video_writer.h"

#include <algorithm>
#include <stdexcept>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace {

void Check(bool ok, const std::string& what)
{
    if (!ok)
        throw std::runtime_error("video writer: " + what);
}

// The owners of the libav objects, so that every way out frees them.
struct Output {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;
    ~Output()
    {
        sws_freeContext(scaler);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&codec);
        if (format && format->pb)
            avio_closep(&format->pb);
        avformat_free_context(format);
    }
};

// One coded picture, kept in decoding order until it is packed.
struct Coded {
    std::vector<uint8_t> bytes;
    bool key;
    bool b;  // shown before a picture decoded earlier
};

AVPixelFormat EncoderFormat(const AVCodec* encoder)
{
    // Raw video in AVI is stored as the DIB's BGR bytes.
    if (encoder->id == AV_CODEC_ID_RAWVIDEO || !encoder->pix_fmts)
        return AV_PIX_FMT_BGR24;
    return encoder->pix_fmts[0];
}

// Writes bits into bytes, most significant first.
class BitWriter {
public:
    void Put(uint32_t value, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            if (bits_ % 8 == 0)
                bytes_.push_back(0);
            if ((value >> i) & 1)
                bytes_.back() |= static_cast<uint8_t>(0x80 >> (bits_ % 8));
            ++bits_;
        }
    }
    // MPEG-4 stuffing: a zero, then ones up to the byte's end.
    std::vector<uint8_t> Stuffed()
    {
        Put(0, 1);
        while (bits_ % 8)
            Put(1, 1);
        return bytes_;
    }

private:
    std::vector<uint8_t> bytes_;
    int bits_ = 0;
};

// A predicted picture that is not coded, with the time of the reference
// frame whose place in display order it holds.
std::vector<uint8_t> NotCodedPicture(const std::vector<uint8_t>& reference, int incrementBits)
{
    const uint8_t start[4] = {0, 0, 1, 0xB6};
    const auto vop = std::search(reference.begin(), reference.end(), start, start + 4);
    Check(vop != reference.end(), "no picture header to pack");
    // After the type's 2 bits: the ones of whole seconds, a zero, a marker,
    // then the time increment.
    size_t bit = static_cast<size_t>(vop - reference.begin() + 4) * 8 + 2;
    auto get = [&]() { return (reference[bit / 8] >> (7 - bit % 8)) & 1; };
    while (get())
        ++bit;
    bit += 2;
    uint32_t increment = 0;
    for (int i = 0; i < incrementBits; ++i, ++bit)
        increment = increment << 1 | static_cast<uint32_t>(get());
    BitWriter out;
    for (uint8_t byte : start)
        out.Put(byte, 8);
    out.Put(1, 2);  // P
    out.Put(0, 1);  // no whole second more: the reference's own time
    out.Put(1, 1);
    out.Put(increment, incrementBits);
    out.Put(1, 1);
    out.Put(0, 1);  // not coded
    return out.Stuffed();
}

// The DivX way of keeping one chunk per displayed frame: a reference frame
// goes with the first B-frame shown before it, and a not-coded picture
// stands where the reference is shown.
std::vector<std::vector<uint8_t>> Pack(const std::vector<Coded>& coded, std::vector<bool>& keys, int incrementBits)
{
    std::vector<std::vector<uint8_t>> chunks;
    for (size_t i = 0; i < coded.size();) {
        size_t next = i + 1;
        while (next < coded.size() && coded[next].b)
            ++next;
        std::vector<uint8_t> first = coded[i].bytes;
        if (next > i + 1)
            first.insert(first.end(), coded[i + 1].bytes.begin(), coded[i + 1].bytes.end());
        chunks.push_back(first);
        keys.push_back(coded[i].key);
        for (size_t j = i + 2; j < next; ++j) {
            chunks.push_back(coded[j].bytes);
            keys.push_back(false);
        }
        if (next > i + 1) {
            chunks.push_back(NotCodedPicture(coded[i].bytes, incrementBits));
            keys.push_back(false);
        }
        i = next;
    }
    return chunks;
}

// Sends one picture (or the end, for nullptr) and writes what comes out, or
// keeps it for packing.
void Encode(Output& out, AVStream* stream, const AVFrame* frame, std::vector<Coded>* kept, int64_t& latest)
{
    Check(avcodec_send_frame(out.codec, frame) >= 0, "cannot encode a frame");
    for (;;) {
        const int got = avcodec_receive_packet(out.codec, out.packet);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
            return;
        Check(got >= 0, "encoder failed");
        if (kept) {
            kept->push_back({std::vector<uint8_t>(out.packet->data, out.packet->data + out.packet->size),
                             (out.packet->flags & AV_PKT_FLAG_KEY) != 0, out.packet->pts < latest});
            latest = std::max(latest, out.packet->pts);
            av_packet_unref(out.packet);
            continue;
        }
        av_packet_rescale_ts(out.packet, out.codec->time_base, stream->time_base);
        out.packet->stream_index = stream->index;
        Check(av_interleaved_write_frame(out.format, out.packet) >= 0, "cannot write a frame");
    }
}

void WriteChunks(Output& out, AVStream* stream, const std::vector<std::vector<uint8_t>>& chunks,
                 const std::vector<bool>& keys)
{
    for (size_t i = 0; i < chunks.size(); ++i) {
        Check(av_new_packet(out.packet, static_cast<int>(chunks[i].size())) >= 0, "out of memory");
        std::copy(chunks[i].begin(), chunks[i].end(), out.packet->data);
        out.packet->pts = out.packet->dts = static_cast<int64_t>(i);
        out.packet->flags = keys[i] ? AV_PKT_FLAG_KEY : 0;
        out.packet->stream_index = stream->index;
        Check(av_write_frame(out.format, out.packet) >= 0, "cannot write a frame");
        av_packet_unref(out.packet);
    }
}

// Marks the stream as DivX-packed for decoders, in the headers they read first.
void AddPackedMark(AVCodecParameters* parameters)
{
    const uint8_t mark[] = "\0\0\x01\xB2"
                           "DivX503b2000p";
    const int size = parameters->extradata_size + static_cast<int>(sizeof mark) - 1;
    uint8_t* data = static_cast<uint8_t*>(av_mallocz(static_cast<size_t>(size) + AV_INPUT_BUFFER_PADDING_SIZE));
    Check(data != nullptr, "out of memory");
    std::copy_n(parameters->extradata, parameters->extradata_size, data);
    std::copy_n(mark, sizeof mark - 1, data + parameters->extradata_size);
    av_freep(&parameters->extradata);
    parameters->extradata = data;
    parameters->extradata_size = size;
}

// From RGBA into the encoder's pixels with the layout's matrix and range; the
// "J" formats of JPEG are full range.
SwsContext* NewScaler(int width, int height, AVPixelFormat format, const VideoLayout& layout)
{
    const AVPixelFormat plain = format == AV_PIX_FMT_YUVJ420P   ? AV_PIX_FMT_YUV420P
                                : format == AV_PIX_FMT_YUVJ422P ? AV_PIX_FMT_YUV422P
                                : format == AV_PIX_FMT_YUVJ444P ? AV_PIX_FMT_YUV444P
                                                                : format;
    const bool jpeg = plain != format;
    const bool full = layout.fullRange || jpeg;
    SwsContext* scaler = sws_alloc_context();
    if (!scaler)
        return nullptr;
    av_opt_set_int(scaler, "srcw", width, 0);
    av_opt_set_int(scaler, "srch", height, 0);
    av_opt_set_int(scaler, "src_format", AV_PIX_FMT_RGBA, 0);
    av_opt_set_int(scaler, "dstw", width, 0);
    av_opt_set_int(scaler, "dsth", height, 0);
    av_opt_set_int(scaler, "dst_format", plain, 0);
    av_opt_set_int(scaler, "sws_flags", SWS_BICUBIC | SWS_ACCURATE_RND | SWS_BITEXACT, 0);
    av_opt_set_int(scaler, "src_range", 1, 0);
    av_opt_set_int(scaler, "dst_range", full ? 1 : 0, 0);
    if (sws_init_context(scaler, nullptr, nullptr) < 0) {
        sws_freeContext(scaler);
        return nullptr;
    }
    const int* matrix = sws_getCoefficients(layout.bt709 ? SWS_CS_ITU709 : SWS_CS_ITU601);
    sws_setColorspaceDetails(scaler, matrix, 1, matrix, full ? 1 : 0, 0, 1 << 16, 1 << 16);
    return scaler;
}

}  // namespace

void WriteVideo(const std::string& path, const std::string& encoderName, int width, int height, int frameCount,
                int framesPerSecond, const PaintFrame& paint, const VideoLayout& layout)
{
    Output out;
    const AVCodec* encoder = avcodec_find_encoder_by_name(encoderName.c_str());
    Check(encoder != nullptr, "no encoder " + encoderName);
    Check(avformat_alloc_output_context2(&out.format, nullptr, nullptr, path.c_str()) >= 0, "no container for " + path);
    out.format->flags |= AVFMT_FLAG_BITEXACT;
    AVStream* stream = avformat_new_stream(out.format, nullptr);
    Check(stream != nullptr, "cannot add a stream");

    out.codec = avcodec_alloc_context3(encoder);
    Check(out.codec != nullptr, "cannot set up " + encoderName);
    out.codec->width = width;
    out.codec->height = height;
    out.codec->pix_fmt = EncoderFormat(encoder);
    out.codec->time_base = AVRational{1, framesPerSecond};
    out.codec->framerate = AVRational{framesPerSecond, 1};
    out.codec->gop_size = 12;
    out.codec->max_b_frames = layout.bFrames;
    out.codec->flags |= AV_CODEC_FLAG_BITEXACT | AV_CODEC_FLAG_QSCALE;
    out.codec->global_quality = FF_QP2LAMBDA * 3;
    const bool tagged = layout.bt709 || layout.fullRange;
    if (tagged) {
        out.codec->colorspace = layout.bt709 ? AVCOL_SPC_BT709 : AVCOL_SPC_BT470BG;
        out.codec->color_range = layout.fullRange ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
    }
    // Packed files carry the stream headers once, where the mark goes too.
    if ((out.format->oformat->flags & AVFMT_GLOBALHEADER) || layout.packed)
        out.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    Check(avcodec_open2(out.codec, encoder, nullptr) >= 0, "cannot open " + encoderName);
    Check(avcodec_parameters_from_context(stream->codecpar, out.codec) >= 0, "bad stream parameters");
    stream->time_base = out.codec->time_base;
    if (layout.packed)
        AddPackedMark(stream->codecpar);

    Check(avio_open(&out.format->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0, "cannot create " + path);
    Check(avformat_write_header(out.format, nullptr) >= 0, "cannot write the header of " + path);

    out.frame = av_frame_alloc();
    out.packet = av_packet_alloc();
    Check(out.frame && out.packet, "out of memory");
    out.frame->format = out.codec->pix_fmt;
    out.frame->width = width;
    out.frame->height = height;
    Check(av_frame_get_buffer(out.frame, 0) >= 0, "out of memory");
    out.scaler = NewScaler(width, height, out.codec->pix_fmt, layout);
    Check(out.scaler != nullptr, "cannot convert to the encoder's pixels");

    std::vector<Coded> coded;
    std::vector<Coded>* kept = layout.packed ? &coded : nullptr;
    int64_t latest = -1;
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    for (int i = 0; i < frameCount; ++i) {
        if (std::find(layout.dropped.begin(), layout.dropped.end(), i) != layout.dropped.end())
            continue;  // the muxer stores an empty chunk in its place
        paint(i, rgba);
        Check(av_frame_make_writable(out.frame) >= 0, "out of memory");
        const uint8_t* source[1] = {rgba.data()};
        const int sourceStride[1] = {width * 4};
        sws_scale(out.scaler, source, sourceStride, 0, height, out.frame->data, out.frame->linesize);
        out.frame->pts = i;
        out.frame->quality = out.codec->global_quality;
        Encode(out, stream, out.frame, kept, latest);
    }
    Encode(out, stream, nullptr, kept, latest);
    if (layout.packed) {
        std::vector<bool> keys;
        const int incrementBits = av_log2(static_cast<unsigned>(framesPerSecond - 1)) + 1;
        WriteChunks(out, stream, Pack(coded, keys, incrementBits), keys);
    }
    Check(av_write_trailer(out.format) >= 0, "cannot finish " + path);
}
