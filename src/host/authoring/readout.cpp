#include "host/authoring/readout.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "render/gl.h"
#include "render/pixel_font.h"
#include "render/screen.h"

namespace {

constexpr int kMaxNames = 12;   // entries listed at most; more are counted
constexpr int kColumns = 18;    // the narrowest readout, in characters: "12:34.567 paused"
constexpr uint32_t kRateWindowMs = 500;  // the frame rate is measured over this much time

// Font pixels are drawn as squares of this size, so the text stays legible on big windows.
int Scale()
{
    return std::max(1, ScreenHeight / 320);
}

int CharWidth()
{
    return (kGlyphWidth + 1) * Scale();
}

int LineHeight()
{
    return (kGlyphHeight + 3) * Scale();
}

int Margin()
{
    return 3 * Scale();
}

void Quad(float x, float y, float w, float h)
{
    glVertex2f(x, y);
    glVertex2f(x + w, y);
    glVertex2f(x + w, y + h);
    glVertex2f(x, y + h);
}

// Inside a glBegin(GL_QUADS): one quad per lit font pixel.
void Text(const char* text, int x, int y)
{
    const int s = Scale();
    for (int i = 0; text[i]; ++i) {
        const uint8_t* rows = GlyphRows(text[i]);
        if (!rows)
            continue;
        for (int row = 0; row < kGlyphHeight; ++row)
            for (int col = 0; col < kGlyphWidth; ++col)
                if (rows[row] & (16 >> col))
                    Quad(static_cast<float>(x + i * CharWidth() + col * s), static_cast<float>(y + row * s),
                         static_cast<float>(s), static_cast<float>(s));
    }
}

int ActiveCount(const EffectList& effects, int timeMs)
{
    int count = 0;
    for (const auto& effect : effects)
        count += effect->IsActiveAt(timeMs) ? 1 : 0;
    return count;
}

const char* NameAt(const std::vector<std::string>& names, size_t i)
{
    return i < names.size() ? names[i].c_str() : "?";
}

}  // namespace

void FormatEffectTime(int timeMs, char* out, size_t size)
{
    const int64_t t = timeMs;
    const int64_t a = t < 0 ? -t : t;
    std::snprintf(out, size, "%s%d:%02d.%03d", t < 0 ? "-" : "", static_cast<int>(a / 60000),
                  static_cast<int>(a / 1000 % 60), static_cast<int>(a % 1000));
}

void Readout::CountFrame(uint32_t nowMs)
{
    if (!counting_) {
        counting_ = true;
        windowStartMs_ = nowMs;
        framesInWindow_ = 0;
        return;
    }
    ++framesInWindow_;
    const uint32_t elapsed = nowMs - windowStartMs_;
    if (elapsed >= kRateWindowMs) {
        fps_ = static_cast<float>(framesInWindow_) * 1000.0f / static_cast<float>(elapsed);
        windowStartMs_ = nowMs;
        framesInWindow_ = 0;
    }
}

int Readout::Width(const EffectList& effects, const std::vector<std::string>& names, int timeMs) const
{
    size_t chars = kColumns;
    int listed = 0;
    for (size_t i = 0; i < effects.size() && listed < kMaxNames; ++i) {
        if (!effects[i]->IsActiveAt(timeMs))
            continue;
        chars = std::max(chars, std::strlen(NameAt(names, i)));
        ++listed;
    }
    return 2 * Margin() + static_cast<int>(chars) * CharWidth();
}

int Readout::Height(const EffectList& effects, int timeMs) const
{
    const int active = ActiveCount(effects, timeMs);
    const int lines = 3 + std::min(active, kMaxNames) + (active > kMaxNames ? 1 : 0);
    return 2 * Margin() + lines * LineHeight();
}

void Readout::Draw(int timeMs, float beat, bool paused, const EffectList& effects,
                   const std::vector<std::string>& names) const
{
    char time[48];
    FormatEffectTime(timeMs, time, sizeof time);
    if (paused)
        std::strncat(time, " paused", sizeof time - std::strlen(time) - 1);
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.1f fps", static_cast<double>(fps_));
    const int active = ActiveCount(effects, timeMs);
    char more[32];
    std::snprintf(more, sizeof more, "+%d more", active - kMaxNames);

    const int m = Margin();
    const int lh = LineHeight();
    const int width = Width(effects, names, timeMs);
    const int height = Height(effects, timeMs);

    // Everything changed here comes back with the pops at the end.
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, ScreenWidth, ScreenHeight, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glBegin(GL_QUADS);
    glColor4f(0.02f, 0.03f, 0.06f, 0.72f);
    Quad(0, 0, static_cast<float>(width), static_cast<float>(height));

    glColor4f(1, 1, 1, 1);
    Text(time, m, m);
    if (paused) {
        // The word "paused" in amber over the white of the time.
        glColor4f(1.0f, 0.72f, 0.2f, 1);
        const int at = static_cast<int>(std::strlen(time) - 6);
        Text(time + at, m + at * CharWidth(), m);
    }
    glColor4f(0.75f, 0.78f, 0.85f, 1);
    Text(rate, m, m + lh);

    // Beat: the word, a dim track and the level in amber.
    const int barX = m + 5 * CharWidth();
    const float barY = static_cast<float>(m + 2 * lh + Scale());
    const float barW = static_cast<float>((kColumns - 5) * CharWidth() - Scale());
    const float barH = static_cast<float>(5 * Scale());
    Text("beat", m, m + 2 * lh);
    glColor4f(1, 1, 1, 0.15f);
    Quad(static_cast<float>(barX), barY, barW, barH);
    glColor4f(1.0f, 0.6f, 0.15f, 1);
    Quad(static_cast<float>(barX), barY, barW * std::min(1.0f, std::max(0.0f, beat)), barH);

    glColor4f(0.55f, 0.88f, 1.0f, 1);
    int line = 3;
    for (size_t i = 0; i < effects.size() && line < 3 + kMaxNames; ++i) {
        if (!effects[i]->IsActiveAt(timeMs))
            continue;
        Text(NameAt(names, i), m, m + line * lh);
        ++line;
    }
    if (active > kMaxNames)
        Text(more, m, m + line * lh);
    glEnd();

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}
