#pragma once
#include <cstdint>

#include "platform/demo_error.h"
#include "timeline/effect_time.h"

// Thrown by an effect's Draw to end the show ("End of show").
class ShowEnded : public RunEnded {
public:
    ShowEnded() : RunEnded("End of show") {}
};

// Base of everything the demo script can place on the timeline. The host calls
// Draw in every frame whose effect time t satisfies start < t < end, compared
// as unsigned 32-bit numbers.
class Effekt {
public:
    Effekt(int start, int end) : end(end), start(start) {}
    virtual ~Effekt() = default;
    Effekt(const Effekt&) = delete;
    Effekt& operator=(const Effekt&) = delete;

    virtual void AddTweaks() {}
    virtual void Draw(int timeMs, float beat) = 0;

    bool IsActiveAt(int timeMs) const
    {
        return static_cast<uint32_t>(start) < static_cast<uint32_t>(timeMs) &&
               static_cast<uint32_t>(timeMs) < static_cast<uint32_t>(end);
    }

    // (t - start) / (end - start), each difference unsigned 32-bit, divided in floats.
    float Progress(int timeMs) const
    {
        return static_cast<float>(Elapsed(timeMs, start)) / static_cast<float>(Elapsed(end, start));
    }

    int end;
    int start;
};
