#include "host/frame.h"

#include "host/frame_profile.h"
#include "media/music_clock.h"
#include "render/gl.h"

float BeatLevel(const float* spectrum)
{
    float sum = 0;
    for (int i = 0; i < 16; ++i)
        sum += spectrum[i];
    const float squared = sum * sum;
    float level = squared * squared * squared;
    if (level > 1.0f)
        level = 1.0f;
    return level;
}

int EffectTime(const MusicClock& clock, int startOffset)
{
    const double seconds = clock.BytesToSeconds(clock.Position());
    const int64_t ms = static_cast<int64_t>(seconds * 1000.0);
    // The low 32 bits of the position, plus the offset, wrapping like the effects' arithmetic.
    return static_cast<int>(static_cast<uint32_t>(ms) + static_cast<uint32_t>(startOffset));
}

float BeatAt(MusicClock& clock, int timeMs, int startOffset)
{
    const double musicSeconds = (static_cast<double>(timeMs) - startOffset) / 1000.0;
    clock.SetPosition(clock.SecondsToBytes(musicSeconds));
    float spectrum[kSpectrumSize];
    clock.Spectrum(spectrum);
    return BeatLevel(spectrum);
}

void SeekMusic(MusicClock& clock, double seconds)
{
    clock.SetPosition(clock.SecondsToBytes(clock.BytesToSeconds(clock.Position()) + seconds));
}

void DrawEffects(const EffectList& effects, int timeMs, float beat)
{
    for (const auto& effect : effects)
        if (effect->IsActiveAt(timeMs))
            effect->Draw(timeMs, beat);
}

void DrawFrame(const EffectList& effects, int timeMs, float beat, FrameProfile* profile)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!profile) {
        DrawEffects(effects, timeMs, beat);
        return;
    }
    profile->BeginFrame(timeMs);
    for (size_t i = 0; i < effects.size(); ++i) {
        if (!effects[i]->IsActiveAt(timeMs))
            continue;
        ScopedEntryTiming timing(*profile, i);
        effects[i]->Draw(timeMs, beat);
    }
}
