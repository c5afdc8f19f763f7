#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "timeline/effect_list.h"

class FrameProfile;

// "1:23.456" for 83456 ms of effect time; out holds at least 24 characters.
void FormatEffectTime(int timeMs, char* out, size_t size);

// The show maker's readout in the top-left corner, in the pixel font: effect
// time, frames per second, the beat level as a bar, a graph of the frame
// times of the last two seconds (lines at 16.7 and 33.3 ms) and the entries
// drawing now with their CPU and GPU milliseconds, the costliest first.
class Readout {
public:
    // Counts a frame shown at nowMs (any forward-running millisecond clock).
    void CountFrame(uint32_t nowMs);
    // The frame rate over the last half second or more; 0 until measured.
    float FramesPerSecond() const { return fps_; }

    // Draws over the frame; GL state comes back as it was. names holds the
    // entries' names in list order; without a profile they are listed in
    // that order, with no figures.
    void Draw(int timeMs, float beat, bool paused, const EffectList& effects,
              const std::vector<std::string>& names, const FrameProfile* profile = nullptr) const;

    // The corner the readout covers, in window pixels from the top-left.
    int Width(const EffectList& effects, const std::vector<std::string>& names, int timeMs) const;
    int Height(const EffectList& effects, int timeMs) const;

private:
    void DrawGraph(float x, float y, float w, float h) const;

    bool counting_ = false;
    uint32_t windowStartMs_ = 0;
    int framesInWindow_ = 0;
    float fps_ = 0;
    // The frame times of the graph: a ring, newest at last_.
    static constexpr size_t kFrameTimes = 512;
    std::array<uint32_t, kFrameTimes> frameMs_{};
    size_t last_ = 0;
    size_t stored_ = 0;
    uint32_t lastFrameAtMs_ = 0;
};
