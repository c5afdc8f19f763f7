// Beat rings: concentric rings that swell, wobble and glow with the beat
// around a pulsing core, in additive light. Script lines after the path:
//     R G B     the colour, three numbers in 0..1 (e.g. 0.3 0.8 1)
//     N         how many rings, 1 to 24
#include <GL/gl.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "demo_plugin.h"

namespace {

struct Entry {
    int start;
    int end;
    float red, green, blue;
    int rings;
};

constexpr int kMaxEntries = 64;
constexpr int kMaxRings = 24;
constexpr int kSegments = 72;
constexpr float kFadeMs = 500.0f;
constexpr float kTwoPi = 6.28318530718f;

Entry g_entries[kMaxEntries];
int g_entryCount = 0;
float g_cos[kSegments + 1];
float g_sin[kSegments + 1];

const Entry* EntryAt(int timeMs)
{
    const uint32_t t = static_cast<uint32_t>(timeMs);
    for (int i = 0; i < g_entryCount; ++i) {
        if (static_cast<uint32_t>(g_entries[i].start) < t && t < static_cast<uint32_t>(g_entries[i].end))
            return &g_entries[i];
    }
    return g_entryCount > 0 ? &g_entries[g_entryCount - 1] : nullptr;
}

// Fades in over the first and out over the last half second of the window.
float Fade(const Entry& entry, int timeMs)
{
    const float sinceStart = static_cast<float>(static_cast<uint32_t>(timeMs) - static_cast<uint32_t>(entry.start));
    const float untilEnd = static_cast<float>(static_cast<uint32_t>(entry.end) - static_cast<uint32_t>(timeMs));
    return std::fmin(1.0f, std::fmin(sinceStart, untilEnd) / kFadeMs);
}

void DrawRing(const Entry& entry, float radius, float width, float wobble, float phase, float alpha)
{
    glBegin(GL_TRIANGLE_STRIP);
    for (int s = 0; s <= kSegments; ++s) {
        const float r = radius + wobble * std::sin(6.0f * kTwoPi * s / kSegments + phase);
        glColor4f(entry.red, entry.green, entry.blue, alpha);
        glVertex2f(g_cos[s] * (r + width), g_sin[s] * (r + width));
        glColor4f(entry.red, entry.green, entry.blue, alpha * 0.2f);
        glVertex2f(g_cos[s] * (r - width), g_sin[s] * (r - width));
    }
    glEnd();
}

void DrawCore(const Entry& entry, float radius, float alpha)
{
    glBegin(GL_TRIANGLE_FAN);
    glColor4f(1.0f, 1.0f, 1.0f, alpha);
    glVertex2f(0, 0);
    glColor4f(entry.red, entry.green, entry.blue, 0.0f);
    for (int s = 0; s <= kSegments; ++s)
        glVertex2f(g_cos[s] * radius, g_sin[s] * radius);
    glEnd();
}

}  // namespace

void Init(FILE* script, int start, int end)
{
    for (int s = 0; s <= kSegments; ++s) {
        g_cos[s] = std::cos(kTwoPi * s / kSegments);
        g_sin[s] = std::sin(kTwoPi * s / kSegments);
    }
    Entry entry = {start, end, 1.0f, 0.6f, 0.2f, 6};
    char line[256];
    DemoPluginReadLine(script, line, sizeof line);
    float r, g, b;
    if (std::sscanf(line, "%f %f %f", &r, &g, &b) == 3) {
        entry.red = r;
        entry.green = g;
        entry.blue = b;
    }
    DemoPluginReadLine(script, line, sizeof line);
    const int rings = std::atoi(line);
    if (rings > 0)
        entry.rings = rings < kMaxRings ? rings : kMaxRings;

    // Past the size of the table each new entry takes the last slot; Draw falls
    // back to that slot for times outside every window it knows.
    if (g_entryCount < kMaxEntries)
        ++g_entryCount;
    g_entries[g_entryCount - 1] = entry;
}

void Draw(int timeMs, float beat)
{
    const Entry* entry = EntryAt(timeMs);
    if (!entry)
        return;
    const float fade = Fade(*entry, timeMs);
    const float seconds = static_cast<float>(static_cast<uint32_t>(timeMs) - static_cast<uint32_t>(entry->start)) /
                          1000.0f;

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const double aspect = viewport[3] > 0 ? static_cast<double>(viewport[2]) / viewport[3] : 1.0;

    // Everything changed below comes back with the pops at the end.
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-aspect, aspect, -1, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRotatef(seconds * 12.0f, 0, 0, 1);

    for (int i = 0; i < entry->rings; ++i) {
        const float depth = static_cast<float>(i) / entry->rings;
        const float radius = 0.12f + 0.8f * depth + 0.1f * beat * (1.0f - depth);
        const float width = 0.015f + 0.04f * beat;
        const float wobble = 0.02f * (1.0f + 2.0f * beat);
        const float alpha = fade * (0.35f + 0.65f * beat) * (1.0f - 0.6f * depth);
        DrawRing(*entry, radius, width, wobble, seconds * 2.0f + i, alpha);
    }
    DrawCore(*entry, 0.1f + 0.3f * beat, fade * (0.3f + 0.7f * beat));

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}
