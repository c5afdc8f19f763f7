#pragma once
#include <cstdint>

#include "timeline/effect_list.h"

class FrameProfile;
class MusicClock;

// The sum of the 16 lowest spectrum magnitudes to the sixth power, at most 1.
float BeatLevel(const float* spectrum);

// The music position in milliseconds plus the start offset, as the effects see it.
int EffectTime(const MusicClock& clock, int startOffset);

// The beat level of the music at effect time t, as a show that is at t hears it.
float BeatAt(MusicClock& clock, int timeMs, int startOffset);

// Moves the music by the given number of seconds (the seek keys).
void SeekMusic(MusicClock& clock, double seconds);

// Calls Draw on every effect whose window holds t, in list order.
void DrawEffects(const EffectList& effects, int timeMs, float beat);

// The frame routine of every run (live, --render, --times, --capture): clears
// the back buffer and draws the effects at timeMs. The caller then adds what
// it shows or reads back and pumps the window, which shows the frame. With a
// profile each entry's Draw is timed; what is drawn stays the same.
void DrawFrame(const EffectList& effects, int timeMs, float beat, FrameProfile* profile = nullptr);
