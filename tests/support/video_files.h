#pragma once
#include <cstdint>
#include <string>
#include <vector>

// What a video file holds, decoded with FFmpeg's libraries.
struct DecodedVideo {
    bool opened = false;
    std::string format;  // the demuxer's name, e.g. "mov,mp4,m4a,3gp,3g2,mj2"
    std::string videoCodec;
    std::string audioCodec;  // empty without an audio stream
    int width = 0;
    int height = 0;
    double frameRate = 0;  // the video stream's average rate
    int frameCount = 0;    // pictures decoded
    std::vector<std::vector<unsigned char>> pictures;  // r, g, b bytes, top row first (when kept)
    int sampleRate = 0;
    int channels = 0;
    std::vector<float> sound;  // the first channel of every decoded sample
    double soundStart = 0;     // seconds from the first picture to the first sample
};

// Decodes every picture and sample of a file; keepPictures keeps the pictures as RGB.
DecodedVideo DecodeVideo(const std::string& path, bool keepPictures);

// A show folder whose data/demo.txt is script, with what a Video entry reads:
// a two-picture grey video, its frame picture and its two shaders.
std::string MakeVideoShowFolder(const std::string& script);
