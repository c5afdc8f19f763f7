#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A whole music file decoded into memory as 16-bit interleaved PCM at the
// file's own sample rate and channel count.
struct PcmTrack {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;

    int64_t Frames() const { return channels > 0 ? static_cast<int64_t>(samples.size()) / channels : 0; }
    bool Empty() const { return samples.empty(); }
};

// Decodes every format libsndfile reads (WAV, FLAC, Ogg Vorbis, Opus, MP3...).
// On failure returns false with the reason in error and leaves track empty.
bool DecodeTrack(const std::string& path, PcmTrack& track, std::string& error);
