#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/readout.h"
#include "platform/file_watch.h"
#include "platform/music_clock.h"
#include "timeline/effect_list.h"

class DemoWindow;

// The keys of one frame of a live run, as the window's last pump found them.
struct LiveKeys {
    bool space = false;    // pause or resume
    bool right = false;    // one second forward
    bool left = false;     // one second back
    bool home = false;     // back to the script's start offset
    bool readout = false;  // F1: the readout on or off
    bool reload = false;   // F5: load the show again
};

LiveKeys KeysOf(const DemoWindow& window);

// Milliseconds since the window opened: the live run's clock for the frame
// rate and the file watch.
uint32_t TicksMs();

// The music position at which a live run starts: the start offset in seconds,
// or with startMs the position whose effect time is startMs (the start of
// the music when that lies before it).
int64_t StartPosition(const MusicClock& clock, int startOffset, std::optional<int> startMs = std::nullopt);

// The frame loop of a live run: the seek keys, pause, going home, the
// readout, and loading the show again on F5 or when a file it loaded changes.
// Without those keys and edits a frame is drawn exactly as a plain frame loop
// draws it.
class LiveShow {
public:
    // effects, names and startOffset are the run's; a reload replaces them.
    LiveShow(MusicClock& clock, EffectList& effects, std::vector<std::string>& names, int& startOffset);

    // Watches data/demo.txt and the given files for edits.
    void Watch(const std::vector<std::string>& files);

    // One pass of the frame loop up to the buffer swap, with the keys of the
    // last pump. nowMs is a forward-running millisecond clock for the frame
    // rate and for letting the writes of one save settle.
    void Frame(const LiveKeys& keys, uint32_t nowMs);

    bool Paused() const { return paused_; }
    bool ReadoutShown() const { return readoutShown_; }
    // The effect time of the last frame.
    int Time() const { return time_; }

private:
    void Reload();

    MusicClock& clock_;
    EffectList& effects_;
    std::vector<std::string>& names_;
    int& startOffset_;
    FileWatch watch_;
    Readout readout_;
    bool paused_ = false;
    bool readoutShown_ = false;
    int time_ = 0;
    float spectrum_[kSpectrumSize];
};
