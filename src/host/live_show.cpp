#include "host/live_show.h"

#include <SDL/SDL.h>

#include "host/demo_window.h"
#include "host/frame.h"
#include "host/show_reload.h"
#include "render/gl.h"

LiveKeys KeysOf(const DemoWindow& window)
{
    LiveKeys keys;
    keys.space = window.SpacePressed();
    keys.right = window.RightPressed();
    keys.left = window.LeftPressed();
    keys.home = window.HomePressed();
    keys.readout = window.F1Pressed();
    keys.reload = window.F5Pressed();
    return keys;
}

uint32_t TicksMs()
{
    return SDL_GetTicks();
}

int64_t StartPosition(const MusicClock& clock, int startOffset, std::optional<int> startMs)
{
    if (!startMs)
        return clock.SecondsToBytes(static_cast<double>(static_cast<uint32_t>(startOffset)));
    // Half a millisecond on top keeps the frame that the seconds round down
    // to inside the wanted millisecond.
    const int64_t musicMs = static_cast<int64_t>(*startMs) - startOffset;
    return clock.SecondsToBytes(musicMs < 0 ? 0.0 : (static_cast<double>(musicMs) + 0.5) / 1000.0);
}

LiveShow::LiveShow(MusicClock& clock, EffectList& effects, std::vector<std::string>& names, int& startOffset)
    : clock_(clock), effects_(effects), names_(names), startOffset_(startOffset)
{
}

void LiveShow::Watch(const std::vector<std::string>& files)
{
    watch_.Add("data/demo.txt");
    for (const std::string& file : files)
        watch_.Add(file);
}

void LiveShow::Reload()
{
    // What was saved until now is about to be read; an edit still settling
    // would otherwise load the same files a second time.
    watch_.Forget();
    std::vector<std::string> files;
    ReloadShow(effects_, names_, startOffset_, files);
    // Also after a failure: the file that failed may be the next one saved.
    Watch(files);
}

void LiveShow::Frame(const LiveKeys& keys, uint32_t nowMs)
{
    const bool edited = watch_.Changed(nowMs);
    if (keys.reload || edited)
        Reload();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (keys.space) {
        paused_ = !paused_;
        clock_.SetPaused(paused_);
    }
    if (keys.right)
        SeekMusic(clock_, 1.0);
    if (keys.left)
        SeekMusic(clock_, -1.0);
    if (keys.home)
        clock_.SetPosition(StartPosition(clock_, startOffset_));
    if (keys.readout)
        readoutShown_ = !readoutShown_;

    time_ = EffectTime(clock_, startOffset_);
    clock_.Spectrum(spectrum_);
    const float beat = BeatLevel(spectrum_);
    DrawEffects(effects_, time_, beat);
    readout_.CountFrame(nowMs);
    if (readoutShown_)
        readout_.Draw(time_, beat, paused_, effects_, names_);
}
