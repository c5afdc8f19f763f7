#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "media/pixel_order.h"

// Video reading and writing as the rest of the program sees them. The code
// behind it uses FFmpeg's libraries and lives in a module of its own
// (glimraven-video.so: media/video_file.*, media/video_encoder.*), opened at
// run time, so that the player starts without loading FFmpeg and a run that
// needs no video never loads it.

struct AVFrame;  // a picture in the encoder's own format; only the module looks inside

// A video file's first video stream read frame by frame into a fixed 512 x 512
// RGBA picture whose rows run bottom-up (VideoFile says how).
class VideoReader {
public:
    static constexpr int kPictureSize = 512;

    virtual ~VideoReader() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // The frames of the video in display order.
    virtual int Length() const = 0;
    // Decodes frame index (0 .. Length() - 1) into Picture(); a frame that
    // cannot be decoded, or an index out of range, keeps the previous picture.
    virtual void GrabFrame(int index) = 0;
    // 512 x 512 x 4 bytes: R, G, B, A (255); black until the first frame.
    virtual const uint8_t* Picture() const = 0;
};

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
    int threads = 0;   // encoding threads; 0: as many as the cores this process may use allow
    PixelOrder pixels = PixelOrder::Bgra;  // of the pictures FillPicture is given
};

// A video file being written with one picture and one sound stream
// (VideoEncoder says how). Failures throw DemoError. FillPicture may run on
// another thread than the writing calls, as long as each picture is handed
// over only when filled.
class VideoWriter {
public:
    virtual ~VideoWriter() = default;
    // Closes the file now, finished or not.
    virtual void Close() = 0;
    // A picture in the encoder's own format, owned by the caller (FreePicture).
    virtual AVFrame* NewPicture() const = 0;
    virtual void FreePicture(AVFrame* picture) const = 0;
    // Converts width x height pixels (the settings' order), bottom row first,
    // into picture.
    virtual void FillPicture(const uint8_t* pixels, AVFrame* picture) = 0;
    // Encodes the next picture of the video.
    virtual void WritePicture(AVFrame* picture) = 0;
    // Encodes the next frames of sound: samples holds `stride` values a frame,
    // of which the first channels are used; null means silence.
    virtual void WriteSound(const int16_t* samples, int64_t frames, int stride) = 0;
    // Sends what the encoders still hold and writes the container's index.
    virtual void Finish() = 0;
    virtual int64_t PicturesWritten() const = 0;
    // The bytes of the file up to the end of its last whole cluster (0 for
    // MP4 and MOV): cut there after a write error, the file plays.
    virtual int64_t CompleteSize() const = 0;
};

// What the module gives: its entry point kVideoModuleEntry returns a pointer
// to one of these, which lives as long as the process.
struct VideoModule {
    const char* version;  // DEMO_VERSION of the build that made it
    // Opens a file; throws "Error reading AVI" or the codec message.
    std::unique_ptr<VideoReader> (*openFile)(const char* path);
    // Creates the file and writes the container's header.
    std::unique_ptr<VideoWriter> (*createWriter)(const VideoEncoderSettings& settings);
    // Why the container cannot take the codec ("h264", "h264-lossless",
    // "ffv1", "prores"), or empty when it can and FFmpeg has the encoder.
    std::string (*codecProblem)(const std::string& container, const std::string& codec);
    // Whether FFmpeg finds a picture in the file: what a player would show.
    bool (*holdsAPicture)(const std::string& path);
};

constexpr char kVideoModuleFile[] = "glimraven-video.so";
constexpr char kVideoModuleEntry[] = "DemoVideoModule";

// Starts opening the module on a background thread, so that its loading
// overlaps the window's opening. Calling it again does nothing.
void PreloadVideoSupport();

// The module's functions, once its loading has finished (started here when
// PreloadVideoSupport was not called). Throws "Video support is not
// installed: ..." naming the file looked for when it cannot be loaded.
const VideoModule& VideoSupport();

// Opens a video file through the module, telling the load listener first.
std::unique_ptr<VideoReader> OpenVideoFile(const char* path);

// "mp4", "matroska" or "mov" for a name ending in .mp4, .mkv or .mov; empty
// for any other.
std::string VideoContainerFor(const std::string& path);
