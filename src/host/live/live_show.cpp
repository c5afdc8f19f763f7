#include "host/live/live_show.h"

#include "host/authoring/show_reload.h"
#include "host/frame.h"
#include "show/show_files.h"

LiveKeys KeysOf(const WindowKeys& window)
{
    LiveKeys keys;
    keys.space = window.space;
    keys.right = window.right;
    keys.left = window.left;
    keys.home = window.home;
    keys.readout = window.f1;
    keys.reload = window.f5;
    return keys;
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

LiveShow::LiveShow(MusicClock& clock, std::unique_ptr<Show>& show, FrameProfile& profile, bool alwaysMeasure)
    : clock_(clock), show_(show), profile_(profile), alwaysMeasure_(alwaysMeasure)
{
}

void LiveShow::Watch(const std::vector<std::string>& files)
{
    watch_.Add(kScriptPath);
    for (const std::string& file : files)
        watch_.Add(file);
}

void LiveShow::Reload()
{
    // What was saved until now is about to be read; an edit still settling
    // would otherwise load the same files a second time.
    watch_.Forget();
    std::vector<std::string> files;
    if (ReloadShow(show_, files))
        profile_.Prepare(show_->names);
    // Also after a failure: the file that failed may be the next one saved.
    Watch(files);
}

void LiveShow::Frame(const LiveKeys& keys, uint32_t nowMs)
{
    const bool edited = watch_.Changed(nowMs);
    if (keys.reload || edited)
        Reload();

    const int startOffset = show_->startOffset;
    if (keys.space) {
        paused_ = !paused_;
        clock_.SetPaused(paused_);
    }
    if (keys.right)
        SeekMusic(clock_, 1.0);
    if (keys.left)
        SeekMusic(clock_, -1.0);
    if (keys.home)
        clock_.SetPosition(StartPosition(clock_, startOffset));
    if (keys.readout)
        readoutShown_ = !readoutShown_;

    time_ = EffectTime(clock_, startOffset);
    clock_.Spectrum(spectrum_);
    const float beat = BeatLevel(spectrum_);
    const bool measure = readoutShown_ || alwaysMeasure_;
    DrawFrame(show_->effects, time_, beat, measure ? &profile_ : nullptr);
    readout_.CountFrame(nowMs);
    if (readoutShown_)
        readout_.Draw(time_, beat, paused_, show_->effects, show_->names, &profile_);
}
