#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "assetgen.h"
#include "ogg_serial.h"
#include "synth.h"

// The default show's music: an original piece in A minor, 125 BPM in 4/4, so
// one beat is 480 ms and one bar 1920 ms; 88 bars, 168.96 s, 44.1 kHz stereo.
//   bars  0-7   intro: pads and a bell melody, no kick
//   bars  8-23  build: kick, off-beat bass, hats and pads; a riser into the drop
//   bars 24-47  drop: kick, bass, hats, clap, lead melody, pads
//   bars 48-59  breakdown: quiet pads and bells, no kick; hats and a riser at its end
//   bars 60-83  finale: everything, bells over the lead
//   bars 84-87  outro: pads and bells dying away, no kick
// The kick is the only loud sound below 350 Hz, so the player's beat level
// (the 16 lowest spectrum bins) follows it and stays low between kicks.
namespace {

using synth::kPi;

constexpr int kRate = 44100;
constexpr int kBeat = kRate * 480 / 1000;  // 21168 frames
constexpr int kBar = 4 * kBeat;
constexpr int kSixteenth = kBeat / 4;
constexpr int kBars = 88;
constexpr int kFrames = kBars * kBar;

struct Section {
    bool kick, bass, hats, clap, lead, bells;
    double pad;
    int first;  // the section's first bar
};

Section SectionOf(int bar)
{
    if (bar < 8)
        return {false, false, false, false, false, true, 1.3, 0};
    if (bar < 24)
        return {true, true, true, false, false, false, 0.9, 8};
    if (bar < 48)
        return {true, true, true, true, true, false, 0.9, 24};
    if (bar < 60)
        return {false, false, bar >= 56, false, false, true, 0.9, 48};
    if (bar < 84)
        return {true, true, true, true, true, true, 0.9, 60};
    return {false, false, false, false, false, true, 1.2 - 0.2 * (bar - 84), 84};
}

// Four bars of rising noise lead into each drop.
bool RiserBar(int bar)
{
    return (bar >= 20 && bar < 24) || (bar >= 56 && bar < 60);
}

struct Chord {
    int notes[3];  // pad voicing, all above 340 Hz
    int root;      // bass note
};

// i-VI-III-VII for the driving sections, VI-VII-v-i for the quiet ones.
const Chord kMain[4] = {{{69, 72, 76}, 45}, {{65, 69, 72}, 41}, {{67, 72, 76}, 48}, {{67, 71, 74}, 43}};
const Chord kQuiet[4] = {{{65, 69, 72}, 41}, {{67, 71, 74}, 43}, {{67, 71, 76}, 40}, {{69, 72, 76}, 45}};

const Chord& ChordOf(int bar)
{
    const bool quiet = (bar >= 48 && bar < 60) || bar >= 84;
    return quiet ? kQuiet[bar % 4] : kMain[bar % 4];
}

// One melody note: start and length in sixteenths within the bar, MIDI note.
struct Note {
    int step, length, pitch;
};

// Eight bars of melody over the main progression.
const std::vector<Note> kMelody[8] = {
    {{0, 2, 76}, {2, 2, 81}, {4, 3, 84}, {7, 1, 83}, {8, 2, 81}, {10, 2, 76}, {12, 2, 79}, {14, 2, 81}},
    {{0, 2, 77}, {2, 2, 81}, {4, 4, 84}, {8, 2, 81}, {10, 2, 77}, {12, 2, 76}, {14, 2, 77}},
    {{0, 2, 79}, {2, 2, 84}, {4, 4, 88}, {8, 2, 86}, {10, 2, 84}, {12, 4, 79}},
    {{0, 2, 83}, {2, 2, 86}, {4, 4, 79}, {8, 2, 81}, {10, 2, 83}, {12, 4, 86}},
    {{0, 4, 88}, {4, 2, 86}, {6, 2, 84}, {8, 2, 83}, {10, 2, 84}, {12, 4, 81}},
    {{0, 2, 81}, {2, 2, 84}, {4, 4, 89}, {8, 4, 88}, {12, 4, 84}},
    {{0, 2, 88}, {2, 2, 91}, {4, 2, 88}, {6, 2, 84}, {8, 4, 86}, {12, 2, 84}, {14, 2, 83}},
    {{0, 4, 83}, {4, 4, 86}, {8, 2, 83}, {10, 2, 79}, {12, 4, 81}},
};

// Slower bell line for the quiet sections, over the quiet progression.
const std::vector<Note> kBellLine[4] = {
    {{0, 6, 81}, {6, 2, 79}, {8, 8, 77}},
    {{0, 6, 79}, {6, 2, 81}, {8, 8, 83}},
    {{0, 6, 83}, {6, 2, 81}, {8, 8, 79}},
    {{0, 4, 81}, {4, 4, 84}, {8, 8, 88}},
};

struct Stereo {
    std::vector<float> left, right;
    Stereo() : left(kFrames), right(kFrames) {}
    void Add(int64_t frame, double l, double r)
    {
        if (frame >= 0 && frame < kFrames) {
            left[frame] += static_cast<float>(l);
            right[frame] += static_cast<float>(r);
        }
    }
};

// How far the bass and pads duck under the kick (side-chain pumping).
double Duck(int64_t frame)
{
    const int bar = static_cast<int>(frame / kBar);
    if (bar >= kBars || !SectionOf(bar).kick)
        return 1.0;
    const double sinceKick = static_cast<double>(frame % kBeat) / kRate;
    return 1.0 - 0.7 * std::exp(-sinceKick / 0.09);
}

void Kick(Stereo& mix, int64_t start, synth::Noise& noise)
{
    const int length = kRate * 35 / 100;
    double phase = 0;
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kRate;
        phase += (46.0 + 130.0 * std::exp(-t / 0.028)) / kRate;
        const double attack = std::min(1.0, t / 0.0015);
        const double fade = i > length - 400 ? (length - i) / 400.0 : 1.0;
        const double body = std::sin(2 * kPi * phase) * std::exp(-t / 0.12) * attack * fade;
        const double click = noise.Next() * std::exp(-t / 0.002) * 0.25;
        const double x = 0.8 * body + click;
        mix.Add(start + i, x, x);
    }
}

void Bass(Stereo& mix, int64_t start, int note)
{
    const int length = kBeat * 2 / 5;
    const double hz = synth::MidiToHz(note);
    synth::Saw a, b;
    b.SetPhase(0.37);
    synth::Filter filter;
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kRate;
        filter.Set(260.0 + 2200.0 * std::exp(-t / 0.06), 0.35, kRate);
        const double raw = 0.5 * (a.Next(hz, kRate) + b.Next(hz * 1.004, kRate));
        const double env = std::min(1.0, t / 0.004) * (0.7 + 0.3 * std::exp(-t / 0.05)) *
                           std::min(1.0, (length - i) / 600.0);
        const double x = 0.2 * filter.LowPass(raw) * env * Duck(start + i);
        mix.Add(start + i, x, x);
    }
}

void Hat(Stereo& mix, int64_t start, double level, double decay, double pan, synth::Noise& noise)
{
    const int length = static_cast<int>(decay * 6 * kRate);
    synth::Filter filter;
    filter.Set(7500.0, 0.2, kRate);
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double x = filter.HighPass(noise.Next()) * std::exp(-t / decay) * level;
        mix.Add(start + i, x * (1.0 - pan), x * (1.0 + pan));
    }
}

void Clap(Stereo& mix, int64_t start, synth::Noise& noise)
{
    const int length = kRate / 4;
    synth::Filter high, low;
    high.Set(900.0, 0.1, kRate);
    low.Set(3200.0, 0.3, kRate);
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kRate;
        // Three quick hand claps, then the room.
        const double burst = std::exp(-std::fmod(t, 0.011) / 0.003) * (t < 0.033 ? 1.0 : 0.0);
        const double env = std::max(burst, 0.7 * std::exp(-(t - 0.033) / 0.07) * (t >= 0.033 ? 1.0 : 0.0));
        const double x = 0.22 * low.LowPass(high.HighPass(noise.Next())) * env;
        mix.Add(start + i, x * 0.9, x * 1.1);
    }
}

void PadBar(Stereo& mix, int bar, double level)
{
    const Chord& chord = ChordOf(bar);
    const int64_t start = static_cast<int64_t>(bar) * kBar;
    const int length = kBar + kRate / 2;
    for (int n = 0; n < 3; ++n) {
        const double hz = synth::MidiToHz(chord.notes[n]);
        synth::Saw left, right, centre;
        right.SetPhase(0.31 + 0.1 * n);
        centre.SetPhase(0.67);
        synth::Filter filterL, filterR;
        for (int i = 0; i < length; ++i) {
            const int64_t frame = start + i;
            if (i % 32 == 0) {
                // The filter opens and closes over eight bars.
                const double sweep = 0.5 - 0.5 * std::cos(2 * kPi * frame / (8.0 * kBar));
                filterL.Set(700.0 + 1800.0 * sweep, 0.25, kRate);
                filterR.Set(700.0 + 1800.0 * sweep, 0.25, kRate);
            }
            const double t = static_cast<double>(i) / kRate;
            const double attack = std::min(1.0, t / 0.35);
            const double release = i < kBar ? 1.0 : std::exp(-static_cast<double>(i - kBar) / (0.12 * kRate));
            const double c = centre.Next(hz, kRate);
            const double l = filterL.LowPass(left.Next(hz * 0.9955, kRate) + 0.5 * c);
            const double r = filterR.LowPass(right.Next(hz * 1.0045, kRate) + 0.5 * c);
            const double gain = 0.045 * level * attack * release * (0.55 + 0.45 * Duck(frame));
            mix.Add(frame, l * gain, r * gain);
        }
    }
}

void Lead(Stereo& out, int64_t start, int length, int note)
{
    const double hz = synth::MidiToHz(note);
    synth::Saw a, b;
    b.SetPhase(0.5);
    synth::Filter filter;
    const int tail = kRate / 12;
    for (int i = 0; i < length + tail; ++i) {
        const double t = static_cast<double>(i) / kRate;
        filter.Set(700.0 + 4200.0 * std::exp(-t / 0.12), 0.45, kRate);
        const double vibrato = 1.0 + 0.003 * std::sin(2 * kPi * 5.5 * t) * std::min(1.0, t / 0.3);
        const double raw = a.Next(hz * vibrato, kRate) + 0.7 * b.Next(hz * vibrato * 1.006, kRate);
        const double env = std::min(1.0, t / 0.005) * (0.6 + 0.4 * std::exp(-t / 0.15)) *
                           (i < length ? 1.0 : std::exp(-static_cast<double>(i - length) / (0.02 * kRate)));
        const double x = 0.11 * filter.LowPass(raw) * env;
        out.Add(start + i, x, x);
    }
}

// A two-operator FM bell.
void Bell(Stereo& out, int64_t start, int note, double level)
{
    const double hz = synth::MidiToHz(note);
    const int length = kRate * 2;
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double index = 2.2 * std::exp(-t / 0.25);
        const double modulator = std::sin(2 * kPi * hz * 3.5 * t);
        const double env = std::min(1.0, t / 0.003) * std::exp(-t / 0.7);
        const double x = level * std::sin(2 * kPi * hz * t + index * modulator) * env;
        out.Add(start + i, x * 1.1, x * 0.9);
    }
}

// Noise whose band climbs from 1 kHz to 9 kHz and grows louder over four
// bars. High-passed throughout, so it never reaches the beat level's bins.
void Riser(Stereo& mix, int64_t start, synth::Noise& noise)
{
    const int length = 4 * kBar;
    synth::Filter high, low;
    for (int i = 0; i < length; ++i) {
        const double p = static_cast<double>(i) / length;
        if (i % 32 == 0) {
            high.Set(1000.0 + 6000.0 * p * p, 0.3, kRate);
            low.Set(3000.0 + 6000.0 * p, 0.5, kRate);
        }
        const double x = 0.12 * p * p * low.LowPass(high.HighPass(noise.Next()));
        mix.Add(start + i, x * (1.0 - 0.5 * p), x * (1.0 + 0.5 * p) * 0.8);
    }
}

// A long bright crash on the first beat of a drop.
void Crash(Stereo& mix, int64_t start, synth::Noise& noise)
{
    const int length = kRate * 3;
    synth::Filter high;
    high.Set(4500.0, 0.2, kRate);
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double x = 0.16 * high.HighPass(noise.Next()) * std::exp(-t / 0.8);
        mix.Add(start + i, x * 1.1, x * 0.9);
    }
}

// Ping-pong echo at three sixteenths, mixed into the main mix.
void MixWithEcho(Stereo& mix, const Stereo& dry)
{
    const int delay = 3 * kSixteenth;
    std::vector<float> echoL(kFrames), echoR(kFrames);
    for (int i = 0; i < kFrames; ++i) {
        const double fromR = i >= delay ? echoR[i - delay] : 0.0;
        const double fromL = i >= delay ? echoL[i - delay] : 0.0;
        echoL[i] = static_cast<float>(0.5 * (dry.left[i] + dry.right[i]) + 0.4 * fromR);
        echoR[i] = static_cast<float>(0.4 * fromL);
        mix.Add(i, dry.left[i] + 0.3 * fromR, dry.right[i] + 0.3 * fromL);
    }
}

void Compose(Stereo& mix)
{
    synth::Noise kickNoise(7), hatNoise(11), clapNoise(13), riserNoise(17);
    Stereo melody;
    for (int bar = 0; bar < kBars; ++bar) {
        const Section section = SectionOf(bar);
        const int64_t start = static_cast<int64_t>(bar) * kBar;
        PadBar(mix, bar, section.pad);
        if (RiserBar(bar) && !RiserBar(bar - 1))
            Riser(mix, start, riserNoise);
        if (bar == 24 || bar == 60)
            Crash(mix, start, riserNoise);
        for (int beat = 0; beat < 4; ++beat) {
            const int64_t at = start + beat * kBeat;
            if (section.kick)
                Kick(mix, at, kickNoise);
            if (section.bass)
                Bass(mix, at + 2 * kSixteenth, ChordOf(bar).root);
            if (section.clap && beat % 2 == 1)
                Clap(mix, at, clapNoise);
            if (section.hats)
                for (int s = 0; s < 4; ++s) {
                    const bool offBeat = s == 2;
                    const double decay = offBeat ? (section.lead ? 0.06 : 0.03) : 0.012;
                    Hat(mix, at + s * kSixteenth, offBeat ? 0.09 : 0.035, decay, s == 1 ? -0.3 : 0.2, hatNoise);
                }
        }
        if (section.lead)
            for (const Note& note : kMelody[(bar - section.first) % 8])
                Lead(melody, start + note.step * kSixteenth, note.length * kSixteenth - kSixteenth / 4,
                     note.pitch);
        if (section.bells) {
            const bool quiet = !section.kick;
            const std::vector<Note>& line = quiet && bar >= 8 ? kBellLine[bar % 4] : kMelody[bar % 4];
            const double level = section.kick ? 0.05 : 0.08 * std::min(1.0, section.pad);
            for (const Note& note : line)
                Bell(melody, start + note.step * kSixteenth, note.pitch - (section.kick ? 0 : 12),
                     level);
        }
    }
    MixWithEcho(mix, melody);
}

// Gentle saturation, a click-free start and a fade into the loop point.
void Master(Stereo& mix, std::vector<float>& interleaved)
{
    interleaved.resize(static_cast<size_t>(kFrames) * 2);
    const int fadeIn = kRate / 200, fadeOut = kSixteenth;
    for (int i = 0; i < kFrames; ++i) {
        double gain = 1.0;
        if (i < fadeIn)
            gain = static_cast<double>(i) / fadeIn;
        if (i >= kFrames - fadeOut)
            gain = static_cast<double>(kFrames - i) / fadeOut;
        interleaved[2 * i] = static_cast<float>(std::tanh(mix.left[i]) * gain);
        interleaved[2 * i + 1] = static_cast<float>(std::tanh(mix.right[i]) * gain);
    }
}

void WriteOgg(const std::string& path, const std::vector<float>& interleaved)
{
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
    double quality = 0.5;
    sf_command(file, SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof quality);
    // The Vorbis encoder copes only with modest blocks per call.
    constexpr int kChunk = 4096;
    sf_count_t written = 0;
    for (int at = 0; at < kFrames; at += kChunk)
        written += sf_writef_float(file, &interleaved[static_cast<size_t>(at) * 2], std::min(kChunk, kFrames - at));
    sf_close(file);
    if (written != kFrames)
        throw std::runtime_error("short write to " + path);
    FixOggSerial(path);
}

}  // namespace

void WriteMusic(const std::string& dataDir)
{
    Stereo mix;
    Compose(mix);
    std::vector<float> interleaved;
    Master(mix, interleaved);
    WriteOgg(dataDir + "/music.ogg", interleaved);
}
