#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "timeline/effect_list.h"

// "1:23.456" for 83456 ms of effect time; out holds at least 24 characters.
void FormatEffectTime(int timeMs, char* out, size_t size);

// The show maker's readout in the top-left corner, in the pixel font: effect
// time, frames per second, the beat level as a bar and the names of the
// entries drawing now.
class Readout {
public:
    // Counts a frame shown at nowMs (any forward-running millisecond clock).
    void CountFrame(uint32_t nowMs);
    // The frame rate over the last half second or more; 0 until measured.
    float FramesPerSecond() const { return fps_; }

    // Draws over the frame; GL state comes back as it was. names holds the
    // entries' names in list order.
    void Draw(int timeMs, float beat, bool paused, const EffectList& effects,
              const std::vector<std::string>& names) const;

    // The corner the readout covers, in window pixels from the top-left.
    int Width(const EffectList& effects, const std::vector<std::string>& names, int timeMs) const;
    int Height(const EffectList& effects, int timeMs) const;

private:
    bool counting_ = false;
    uint32_t windowStartMs_ = 0;
    int framesInWindow_ = 0;
    float fps_ = 0;
};
