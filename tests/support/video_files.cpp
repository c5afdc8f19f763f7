#include "support/video_files.h"

#include <filesystem>
#include <fstream>

#include "support/gl_fixture.h"
#include "support/image_files.h"
#include "video_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace {

struct Decoder {
    AVCodecContext* codec = nullptr;
    int stream = -1;
    ~Decoder() { avcodec_free_context(&codec); }

    bool Open(AVFormatContext* format, AVMediaType type)
    {
        stream = av_find_best_stream(format, type, -1, -1, nullptr, 0);
        if (stream < 0)
            return false;
        const AVCodecParameters* parameters = format->streams[stream]->codecpar;
        codec = avcodec_alloc_context3(avcodec_find_decoder(parameters->codec_id));
        return avcodec_parameters_to_context(codec, parameters) >= 0 && avcodec_open2(codec, nullptr, nullptr) >= 0;
    }
};

void KeepPicture(const AVFrame* frame, DecodedVideo& video)
{
    SwsContext* scaler = sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                        frame->width, frame->height, AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr,
                                        nullptr, nullptr);
    const int* matrix = sws_getCoefficients(frame->colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_DEFAULT);
    sws_setColorspaceDetails(scaler, matrix, frame->color_range == AVCOL_RANGE_JPEG, matrix, 1, 0, 1 << 16,
                             1 << 16);
    std::vector<unsigned char> rgb(static_cast<size_t>(frame->width) * frame->height * 3);
    uint8_t* planes[1] = {rgb.data()};
    const int strides[1] = {frame->width * 3};
    sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
    sws_freeContext(scaler);
    video.pictures.push_back(std::move(rgb));
}

}  // namespace

DecodedVideo DecodeVideo(const std::string& path, bool keepPictures)
{
    DecodedVideo video;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return video;
    Decoder picture, sound;
    if (avformat_find_stream_info(format, nullptr) < 0 || !picture.Open(format, AVMEDIA_TYPE_VIDEO)) {
        avformat_close_input(&format);
        return video;
    }
    video.opened = true;
    video.format = format->iformat->name;
    video.videoCodec = picture.codec->codec->name;
    video.width = picture.codec->width;
    video.height = picture.codec->height;
    video.frameRate = av_q2d(format->streams[picture.stream]->avg_frame_rate);
    if (sound.Open(format, AVMEDIA_TYPE_AUDIO)) {
        video.audioCodec = sound.codec->codec->name;
        video.sampleRate = sound.codec->sample_rate;
        video.channels = sound.codec->ch_layout.nb_channels;
    }

    double firstPicture = -1, firstSample = -1;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto receive = [&](Decoder& decoder) {
        while (avcodec_receive_frame(decoder.codec, frame) >= 0) {
            const double time = frame->best_effort_timestamp == AV_NOPTS_VALUE
                                    ? 0
                                    : frame->best_effort_timestamp * av_q2d(format->streams[decoder.stream]->time_base);
            if (&decoder == &picture) {
                if (firstPicture < 0)
                    firstPicture = time;
                ++video.frameCount;
                if (keepPictures)
                    KeepPicture(frame, video);
            } else {
                if (firstSample < 0)
                    firstSample = time;
                // The AAC decoder gives planar floats.
                const float* first = reinterpret_cast<const float*>(frame->extended_data[0]);
                video.sound.insert(video.sound.end(), first, first + frame->nb_samples);
            }
            av_frame_unref(frame);
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        Decoder* decoder = packet->stream_index == picture.stream ? &picture
                           : packet->stream_index == sound.stream ? &sound
                                                                  : nullptr;
        if (decoder && avcodec_send_packet(decoder->codec, packet) >= 0)
            receive(*decoder);
        av_packet_unref(packet);
    }
    for (Decoder* decoder : {&picture, &sound}) {
        if (decoder->codec) {
            avcodec_send_packet(decoder->codec, nullptr);
            receive(*decoder);
        }
    }
    video.soundStart = firstSample - firstPicture;
    av_frame_free(&frame);
    av_packet_free(&packet);
    avformat_close_input(&format);
    return video;
}

std::string MakeVideoShowFolder(const std::string& script)
{
    const std::string dir = MakeTempDir();
    const std::string video = dir + "/data/vondo/video";
    std::filesystem::create_directories(video);
    WriteVideo(video + "/Video.avi", "mjpeg", 16, 16, 2, 25,
               [](int, std::vector<uint8_t>& rgba) { rgba.assign(rgba.size(), 128); });
    WriteSolidImage(video + "/frame.png", 8, 8, 0, 0, 0);
    const char shader[] = "uniform sampler2D tex; void main() { gl_FragColor = texture2D(tex, gl_TexCoord[0].xy); }\n";
    std::ofstream(video + "/video.fs") << shader;
    std::ofstream(video + "/distort.fs") << shader;
    std::ofstream(dir + "/data/demo.txt") << script;
    return dir;
}
