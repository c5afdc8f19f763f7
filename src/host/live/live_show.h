#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <memory>

#include "host/authoring/readout.h"
#include "host/frame_profile.h"
#include "media/music_clock.h"
#include "platform/file_watch.h"
#include "platform/window.h"
#include "show/show.h"

// The keys of one frame of a live run, as the window's last pump found them.
struct LiveKeys {
    bool space = false;    // pause or resume
    bool right = false;    // one second forward
    bool left = false;     // one second back
    bool home = false;     // back to the script's start offset
    bool readout = false;  // F1: the readout on or off
    bool reload = false;   // F5: load the show again
};

LiveKeys KeysOf(const WindowKeys& keys);

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
    // show is the run's; a reload replaces it. The profile, prepared for the
    // show, times the entries while the readout is shown, or always when
    // alwaysMeasure (--profile).
    LiveShow(MusicClock& clock, std::unique_ptr<Show>& show, FrameProfile& profile, bool alwaysMeasure);

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
    std::unique_ptr<Show>& show_;
    FileWatch watch_;
    FrameProfile& profile_;
    bool alwaysMeasure_;
    Readout readout_;
    bool paused_ = false;
    bool readoutShown_ = false;
    int time_ = 0;
    float spectrum_[kSpectrumSize];
};
