#include "media/video_encoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <sched.h>

#include <algorithm>
#include <cstdio>

#include "media/av_log.h"
#include "media/rgb32_to_yuv.h"
#include "platform/demo_error.h"

namespace {

std::string AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = "";
    av_strerror(code, text, sizeof text);
    return text;
}

// Throws "what: FFmpeg's reason" when code is an error.
void Check(int code, const char* what)
{
    if (code < 0)
        ThrowMessage("%s: %s", what, AvError(code).c_str());
}

// What --codec names: an encoder of FFmpeg's own and the pixels it gets.
struct VideoCodec {
    const char* name;
    const char* encoder;
    const char* label;  // for messages
    AVPixelFormat pixels;
};

const VideoCodec kVideoCodecs[] = {
    {"h264", "libx264", "H.264", AV_PIX_FMT_YUV420P},
    {"h264-lossless", "libx264", "H.264", AV_PIX_FMT_YUV444P},
    {"ffv1", "ffv1", "FFV1", AV_PIX_FMT_YUV444P},
    {"prores", "prores_ks", "ProRes", AV_PIX_FMT_YUV422P10LE},
};

const VideoCodec* FindVideoCodec(const std::string& name)
{
    for (const VideoCodec& codec : kVideoCodecs)
        if (name == codec.name)
            return &codec;
    return nullptr;
}

// Encoding threads where the settings leave it open. On two cores or fewer a
// software renderer keeps both busy while it draws, so more threads would only
// take turns with it and one costs least. With more cores the encoder gets all
// but the one that draws: with a graphics card, drawing needs little CPU and
// one thread could not keep up.
int EncoderThreads(int asked)
{
    if (asked > 0)
        return asked;
    cpu_set_t usable;
    const int cores = sched_getaffinity(0, sizeof usable, &usable) == 0 ? CPU_COUNT(&usable) : 1;
    return cores <= 2 ? 1 : std::min(cores - 1, 16);
}

// Sets the encoder's own options for the named codec.
void TuneEncoder(AVCodecContext* video, const std::string& name, int keyInterval)
{
    if (name == "h264" || name == "h264-lossless") {
        if (name == "h264") {
            // Near-transparent quality at a speed that keeps up with drawing. The
            // fastest preset with the deblocking filter back matches veryfast's
            // quality at CRF 18 (SSIM as high, PSNR higher) for a third to a half
            // of its CPU time; the file is about twice as large. Without CABAC
            // the pictures are the same to the bit, the encoding takes a sixth
            // less time, editors decode it faster, and the file is a fifth larger.
            av_opt_set(video->priv_data, "preset", "ultrafast", 0);
            av_opt_set(video->priv_data, "x264-params", "deblock=0,0", 0);
            av_opt_set(video->priv_data, "crf", "18", 0);
        } else {
            av_opt_set(video->priv_data, "preset", "veryfast", 0);
            av_opt_set(video->priv_data, "qp", "0", 0);
        }
        // A key frame every two seconds starts a fragment of the file.
        video->gop_size = keyInterval;
    } else if (name == "ffv1") {
        video->level = 3;
        video->gop_size = 1;  // every picture on its own, for editing
    } else if (name == "prores") {
        av_opt_set(video->priv_data, "profile", "hq", 0);
    }
}

bool RateSupported(const AVCodec* codec, int rate)
{
    if (!codec->supported_samplerates)
        return true;
    for (const int* r = codec->supported_samplerates; *r; ++r)
        if (*r == rate)
            return true;
    return false;
}

}  // namespace

std::string VideoCodecProblem(const std::string& container, const std::string& codec)
{
    const VideoCodec* choice = FindVideoCodec(codec);
    if (!choice)
        return "there is no codec " + codec;
    const AVCodec* encoder = avcodec_find_encoder_by_name(choice->encoder);
    if (!encoder)
        return std::string("FFmpeg's libraries have no ") + choice->encoder + " encoder for " + choice->label;
    const AVOutputFormat* format = av_guess_format(container.c_str(), nullptr, nullptr);
    if (!format || avformat_query_codec(format, encoder->id, FF_COMPLIANCE_NORMAL) != 1)
        return codec + " video does not go into a ." + (container == "matroska" ? "mkv" : container) +
               " file; use .mkv";
    return "";
}

bool HoldsAPicture(const std::string& path)
{
    AVFormatContext* format = nullptr;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int opened = avformat_open_input(&format, ("file:" + path).c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0)
        return false;
    bool found = false;
    const int stream = avformat_find_stream_info(format, nullptr) >= 0
                           ? av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0)
                           : -1;
    AVPacket* packet = stream >= 0 ? av_packet_alloc() : nullptr;
    while (packet && !found && av_read_frame(format, packet) >= 0) {
        found = packet->stream_index == stream && !(packet->flags & AV_PKT_FLAG_CORRUPT);
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&format);
    return found;
}

VideoEncoder::VideoEncoder(const VideoEncoderSettings& settings)
    : width_(settings.width),
      height_(settings.height),
      pixels_(settings.pixels),
      cuts_(settings.container == "matroska")
{
    // The encoders' statistics are no news to a viewer; warnings and errors are.
    av_log_set_level(AV_LOG_WARNING);
    RouteAvLog();
    // The destructor does not run for a constructor that throws.
    try {
        Check(avformat_alloc_output_context2(&format_, nullptr, settings.container.c_str(), settings.path.c_str()),
              "Unable to set up the video container");
        packet_ = av_packet_alloc();
        OpenVideo(settings);
        OpenAudio(settings);
        // Always a file, whatever colons the name holds.
        Check(avio_open(&format_->pb, ("file:" + settings.path).c_str(), AVIO_FLAG_WRITE),
              "Unable to create the video file");
        AVDictionary* options = nullptr;
        // The index goes first, so the file plays while it is still downloading.
        if (settings.container != "matroska")
            av_dict_set(&options, "movflags", "+faststart", 0);
        const int written = avformat_write_header(format_, &options);
        av_dict_free(&options);
        Check(written, "Unable to write the video header");
    } catch (...) {
        const bool created = format_ && format_->pb;
        Release();
        // A file without a header is no video; leave nothing behind.
        if (created)
            std::remove(settings.path.c_str());
        throw;
    }
}

VideoEncoder::~VideoEncoder()
{
    Release();
}

void VideoEncoder::Release()
{
    if (format_ && format_->pb)
        avio_closep(&format_->pb);
    avformat_free_context(format_);
    format_ = nullptr;
    avcodec_free_context(&video_);
    avcodec_free_context(&audio_);
    sws_freeContext(scaler_);
    scaler_ = nullptr;
    av_frame_free(&sound_);
    av_packet_free(&packet_);
}

void VideoEncoder::OpenVideo(const VideoEncoderSettings& settings)
{
    const std::string problem = VideoCodecProblem(settings.container, settings.codec);
    if (!problem.empty())
        ThrowMessage("%s", problem.c_str());
    const VideoCodec& choice = *FindVideoCodec(settings.codec);
    const AVCodec* codec = avcodec_find_encoder_by_name(choice.encoder);
    videoStream_ = avformat_new_stream(format_, nullptr);
    video_ = avcodec_alloc_context3(codec);
    if (!videoStream_ || !video_)
        ThrowMessage("Out of memory");
    video_->width = settings.width;
    video_->height = settings.height;
    video_->time_base = AVRational{settings.fpsBase, settings.fps};
    video_->framerate = AVRational{settings.fps, settings.fpsBase};
    video_->pix_fmt = choice.pixels;
    // Tagged as what FillPicture makes, so players convert back with the same matrix.
    video_->colorspace = AVCOL_SPC_BT709;
    video_->color_primaries = AVCOL_PRI_BT709;
    video_->color_trc = AVCOL_TRC_BT709;
    video_->color_range = AVCOL_RANGE_MPEG;
    if (format_->oformat->flags & AVFMT_GLOBALHEADER)
        video_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    TuneEncoder(video_, settings.codec, (2 * settings.fps + settings.fpsBase - 1) / settings.fpsBase);
    video_->thread_count = EncoderThreads(settings.threads);
    const std::string starting = std::string("Unable to start the ") + choice.label + " encoder";
    Check(avcodec_open2(video_, codec, nullptr), starting.c_str());
    Check(avcodec_parameters_from_context(videoStream_->codecpar, video_), "Unable to set up the video stream");
    videoStream_->time_base = video_->time_base;
    videoStream_->avg_frame_rate = video_->framerate;

    // 4:2:0 has a converter of its own, several times cheaper than swscale's.
    if (choice.pixels == AV_PIX_FMT_YUV420P)
        return;
    const AVPixelFormat drawn = pixels_ == PixelOrder::Rgba ? AV_PIX_FMT_RGBA : AV_PIX_FMT_BGRA;
    scaler_ = sws_getContext(width_, height_, drawn, width_, height_, choice.pixels, SWS_BILINEAR, nullptr, nullptr,
                             nullptr);
    if (!scaler_)
        ThrowMessage("Unable to set up the picture conversion");
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(scaler_, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
}

void VideoEncoder::OpenAudio(const VideoEncoderSettings& settings)
{
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!codec)
        ThrowMessage("FFmpeg's libraries have no AAC encoder");
    if (!RateSupported(codec, settings.sampleRate))
        ThrowMessage("AAC cannot carry music at %d Hz; use a file at 44100 or 48000 Hz", settings.sampleRate);
    audioStream_ = avformat_new_stream(format_, nullptr);
    audio_ = avcodec_alloc_context3(codec);
    if (!audioStream_ || !audio_)
        ThrowMessage("Out of memory");
    audio_->sample_fmt = AV_SAMPLE_FMT_FLTP;
    audio_->sample_rate = settings.sampleRate;
    av_channel_layout_default(&audio_->ch_layout, settings.channels);
    audio_->bit_rate = 96000 * settings.channels;
    // At this rate the fast coder sounds as good as the default two-loop one
    // and costs a third of its time, which the capture takes from drawing.
    av_opt_set(audio_->priv_data, "aac_coder", "fast", 0);
    audio_->time_base = AVRational{1, settings.sampleRate};
    if (format_->oformat->flags & AVFMT_GLOBALHEADER)
        audio_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    Check(avcodec_open2(audio_, codec, nullptr), "Unable to start the AAC encoder");
    // Matroska has no place for the encoder's lead-in here (FFmpeg writes it
    // only for Opus), and editors that ignore start times would hear the sound
    // late by it. So the sound's timestamps start at the first picture's, and
    // the music skips the lead-in's length: after it, picture and sound are in
    // step however the file is read.
    if (settings.container == "matroska")
        soundLead_ = audio_->initial_padding;
    soundSkip_ = soundLead_;
    Check(avcodec_parameters_from_context(audioStream_->codecpar, audio_), "Unable to set up the audio stream");
    audioStream_->time_base = audio_->time_base;

    sound_ = av_frame_alloc();
    if (!sound_)
        ThrowMessage("Out of memory");
    sound_->format = audio_->sample_fmt;
    sound_->sample_rate = audio_->sample_rate;
    sound_->nb_samples = audio_->frame_size;
    Check(av_channel_layout_copy(&sound_->ch_layout, &audio_->ch_layout), "Unable to set up the audio stream");
    Check(av_frame_get_buffer(sound_, 0), "Unable to set up the audio stream");
}

AVFrame* VideoEncoder::NewPicture() const
{
    AVFrame* picture = av_frame_alloc();
    if (!picture)
        ThrowMessage("Out of memory");
    picture->format = video_->pix_fmt;
    picture->width = width_;
    picture->height = height_;
    // Some encoders (ProRes) tag the stream from each picture, not from the codec.
    picture->colorspace = video_->colorspace;
    picture->color_primaries = video_->color_primaries;
    picture->color_trc = video_->color_trc;
    picture->color_range = video_->color_range;
    if (av_frame_get_buffer(picture, 0) < 0) {
        av_frame_free(&picture);
        ThrowMessage("Out of memory");
    }
    return picture;
}

void VideoEncoder::FreePicture(AVFrame* picture) const
{
    av_frame_free(&picture);
}

void VideoEncoder::FillPicture(const uint8_t* pixels, AVFrame* picture)
{
    // Only copies when an encoder still holds the picture's storage.
    Check(av_frame_make_writable(picture), "Unable to prepare a picture");
    // Starting at the last row with a negative stride turns the picture upright.
    const int stride = width_ * 4;
    const uint8_t* rows[1] = {pixels + static_cast<size_t>(height_ - 1) * stride};
    const int strides[1] = {-stride};
    if (scaler_)
        sws_scale(scaler_, rows, strides, 0, height_, picture->data, picture->linesize);
    else
        Rgb32ToYuv420(rows[0], -stride, width_, height_, pixels_, picture->data, picture->linesize);
}

void VideoEncoder::WritePicture(AVFrame* picture)
{
    picture->pts = pictures_++;
    Check(avcodec_send_frame(video_, picture), "Unable to encode a picture");
    Drain(video_, videoStream_);
    // Matroska in clusters of about a second, each one whole on disk; MP4
    // and MOV keep their index for the end, as editors expect.
    if (cuts_ && pictures_ - lastCut_ >= video_->framerate.num / video_->framerate.den)
        CutFragment();
}

void VideoEncoder::CutFragment()
{
    lastCut_ = pictures_;
    Check(av_write_frame(format_, nullptr), "Unable to write the video file");
    avio_flush(format_->pb);
    Check(format_->pb->error, "Unable to write the video file");
    complete_ = avio_tell(format_->pb);
}

void VideoEncoder::WriteSound(const int16_t* samples, int64_t frames, int stride)
{
    const int64_t skipped = std::min(frames, soundSkip_);
    soundSkip_ -= skipped;
    frames -= skipped;
    if (samples)
        samples += static_cast<size_t>(skipped) * stride;
    const int channels = audio_->ch_layout.nb_channels;
    while (frames > 0) {
        if (soundFill_ == 0)
            Check(av_frame_make_writable(sound_), "Unable to prepare sound");
        const int n = static_cast<int>(std::min<int64_t>(frames, audio_->frame_size - soundFill_));
        for (int c = 0; c < channels; ++c) {
            float* plane = reinterpret_cast<float*>(sound_->data[c]) + soundFill_;
            for (int i = 0; i < n; ++i)
                plane[i] = samples ? samples[static_cast<size_t>(i) * stride + c] * (1.0f / 32768.0f) : 0.0f;
        }
        if (samples)
            samples += static_cast<size_t>(n) * stride;
        soundFill_ += n;
        frames -= n;
        if (soundFill_ == audio_->frame_size)
            SendSound();
    }
}

void VideoEncoder::SendSound()
{
    // A shorter last frame is allowed; the encoder pads it.
    sound_->nb_samples = soundFill_;
    sound_->pts = soundWritten_;
    soundWritten_ += soundFill_;
    soundFill_ = 0;
    Check(avcodec_send_frame(audio_, sound_), "Unable to encode sound");
    Drain(audio_, audioStream_);
}

void VideoEncoder::Drain(AVCodecContext* codec, AVStream* stream)
{
    for (;;) {
        const int received = avcodec_receive_packet(codec, packet_);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return;
        Check(received, "Unable to encode the video");
        if (codec == audio_) {
            packet_->pts += soundLead_;
            packet_->dts += soundLead_;
        }
        av_packet_rescale_ts(packet_, codec->time_base, stream->time_base);
        packet_->stream_index = stream->index;
        // Takes the packet's data and leaves packet_ empty for the next one.
        Check(av_interleaved_write_frame(format_, packet_), "Unable to write the video file");
    }
}

void VideoEncoder::Finish()
{
    if (finished_)
        return;
    finished_ = true;
    if (soundFill_ > 0)
        SendSound();
    Check(avcodec_send_frame(video_, nullptr), "Unable to finish the video");
    Drain(video_, videoStream_);
    Check(avcodec_send_frame(audio_, nullptr), "Unable to finish the sound");
    Drain(audio_, audioStream_);
    Check(av_write_trailer(format_), "Unable to finish the video file");
    Check(avio_closep(&format_->pb), "Unable to finish the video file");
}
