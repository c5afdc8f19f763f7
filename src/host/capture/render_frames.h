#pragma once
#include <vector>

#include "host/setup/options.h"
#include "show/show.h"

class FrameProfile;
class MusicClock;
class Window;

// Draws the frames of the requested effect times (--render's range, or the
// listed times of --times) exactly as the show would, and writes each one
// into options.outDir (none with --out /dev/null). The music is decoded but
// never played; each frame hears the beat at its own time, as after a seek.
// With a profile each frame's entries are timed.
void RenderFrames(const Show& show, Window& window, MusicClock& clock, const PlayerOptions& options,
                  const std::vector<int>& listed, FrameProfile* profile = nullptr);
