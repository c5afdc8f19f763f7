#include "video_writer.h"

#include <stdexcept>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
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

AVPixelFormat EncoderFormat(const AVCodec* encoder)
{
    // Raw video in AVI is stored as the DIB's BGR bytes.
    if (encoder->id == AV_CODEC_ID_RAWVIDEO || !encoder->pix_fmts)
        return AV_PIX_FMT_BGR24;
    return encoder->pix_fmts[0];
}

// Sends one picture (or the end, for nullptr) and writes what comes out.
void Encode(Output& out, AVStream* stream, const AVFrame* frame)
{
    Check(avcodec_send_frame(out.codec, frame) >= 0, "cannot encode a frame");
    for (;;) {
        const int got = avcodec_receive_packet(out.codec, out.packet);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
            return;
        Check(got >= 0, "encoder failed");
        av_packet_rescale_ts(out.packet, out.codec->time_base, stream->time_base);
        out.packet->stream_index = stream->index;
        Check(av_interleaved_write_frame(out.format, out.packet) >= 0, "cannot write a frame");
    }
}

}  // namespace

void WriteVideo(const std::string& path, const std::string& encoderName, int width, int height, int frameCount,
                int framesPerSecond, const PaintFrame& paint)
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
    out.codec->flags |= AV_CODEC_FLAG_BITEXACT | AV_CODEC_FLAG_QSCALE;
    out.codec->global_quality = FF_QP2LAMBDA * 3;
    if (out.format->oformat->flags & AVFMT_GLOBALHEADER)
        out.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    Check(avcodec_open2(out.codec, encoder, nullptr) >= 0, "cannot open " + encoderName);
    Check(avcodec_parameters_from_context(stream->codecpar, out.codec) >= 0, "bad stream parameters");
    stream->time_base = out.codec->time_base;

    Check(avio_open(&out.format->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0, "cannot create " + path);
    Check(avformat_write_header(out.format, nullptr) >= 0, "cannot write the header of " + path);

    out.frame = av_frame_alloc();
    out.packet = av_packet_alloc();
    Check(out.frame && out.packet, "out of memory");
    out.frame->format = out.codec->pix_fmt;
    out.frame->width = width;
    out.frame->height = height;
    Check(av_frame_get_buffer(out.frame, 0) >= 0, "out of memory");
    out.scaler = sws_getContext(width, height, AV_PIX_FMT_RGBA, width, height, out.codec->pix_fmt,
                                SWS_BICUBIC | SWS_ACCURATE_RND | SWS_BITEXACT, nullptr, nullptr, nullptr);
    Check(out.scaler != nullptr, "cannot convert to the encoder's pixels");

    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    for (int i = 0; i < frameCount; ++i) {
        paint(i, rgba);
        Check(av_frame_make_writable(out.frame) >= 0, "out of memory");
        const uint8_t* source[1] = {rgba.data()};
        const int sourceStride[1] = {width * 4};
        sws_scale(out.scaler, source, sourceStride, 0, height, out.frame->data, out.frame->linesize);
        out.frame->pts = i;
        out.frame->quality = out.codec->global_quality;
        Encode(out, stream, out.frame);
    }
    Encode(out, stream, nullptr);
    Check(av_write_trailer(out.format) >= 0, "cannot finish " + path);
}
