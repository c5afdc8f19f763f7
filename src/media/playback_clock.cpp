#include "media/playback_clock.h"

#include <algorithm>
#include <cmath>

void PlaybackClock::OnCallback(double now, int64_t first, int frames)
{
    started_ = true;
    callbackTime_ = now;
    callbackFirst_ = first;
    callbackFrames_ = frames;
}

int64_t PlaybackClock::Heard(double now)
{
    if (!started_)
        return floor_;
    const double elapsed = std::max(0.0, now - callbackTime_) * rate_;
    const double extrapolated = std::min(elapsed, 2.0 * callbackFrames_);
    const int64_t heard = callbackFirst_ - callbackFrames_ + static_cast<int64_t>(std::floor(extrapolated));
    floor_ = std::max(floor_, heard);
    return floor_;
}
