#pragma once
#include <cstdint>

// Works out which frame the listener hears from the audio callback's progress.
// Frames are counted linearly from the start of output, ignoring seeks and the
// loop. When the callback is asked for a period starting at frame `first`, the
// device still holds about one period queued ahead of it, so `first - period`
// is being heard then. Between callbacks the heard frame moves on with the
// monotonic clock, at most two periods: never beyond what was written. It
// never goes backwards, so a late or early callback costs a short pause or a
// small step, not a jump back.
class PlaybackClock {
public:
    explicit PlaybackClock(int rate) : rate_(rate) {}

    // Called from the audio callback at time now (seconds, monotonic).
    void OnCallback(double now, int64_t first, int frames);
    // The linear frame heard at time now; 0 before the first callback.
    int64_t Heard(double now);

private:
    int rate_;
    bool started_ = false;
    double callbackTime_ = 0;
    int64_t callbackFirst_ = 0;
    int callbackFrames_ = 0;
    int64_t floor_ = 0;
};
