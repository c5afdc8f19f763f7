#include "host/authoring/readout.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "host/frame_profile.h"
#include "render/gl.h"
#include "render/pixel_font.h"
#include "render/screen.h"

namespace {

constexpr int kMaxNames = 12;   // entries listed at most; more are counted
constexpr size_t kColumns = 18;    // the narrowest readout, in characters: "12:34.567 paused"
constexpr uint32_t kRateWindowMs = 500;  // the frame rate is measured over this much time
constexpr int kHeadLines = 3;            // time, frame rate, beat
constexpr int kGraphLines = 2;           // the frame-time graph's height in lines
constexpr uint32_t kGraphSpanMs = 2000;  // the graph's width in time
constexpr float kGraphTopMs = 50;        // the graph's height in frame time
constexpr size_t kFigureColumns = 14;       // " 123.45 123.45" after each name
constexpr int kEntriesLine = kHeadLines + kGraphLines;  // the first entry

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

// " 123.45 123.45": CPU and GPU milliseconds, "-" where not measured.
void FormatFigures(const FrameProfile::Figures& f, char* out, size_t size)
{
    char cpu[16] = "     -";
    char gpu[16] = "     -";
    if (f.cpuMs >= 0)
        std::snprintf(cpu, sizeof cpu, "%6.2f", std::min(f.cpuMs, 999.99));
    if (f.gpuMs >= 0)
        std::snprintf(gpu, sizeof gpu, "%6.2f", std::min(f.gpuMs, 999.99));
    std::snprintf(out, size, " %s %s", cpu, gpu);
}

// The k-th entry drawing at timeMs, in list order.
size_t ListedInOrder(const EffectList& effects, int timeMs, size_t k)
{
    for (size_t i = 0; i < effects.size(); ++i)
        if (effects[i]->IsActiveAt(timeMs) && k-- == 0)
            return i;
    return effects.size();
}

// How many entries the readout lists; with a profile their indices go into
// its scratch room, the costliest (CPU or GPU, whichever is longer) first.
size_t ListEntries(const EffectList& effects, int timeMs, const FrameProfile* profile)
{
    const size_t active = static_cast<size_t>(ActiveCount(effects, timeMs));
    if (!profile)
        return std::min(active, static_cast<size_t>(kMaxNames));
    std::vector<size_t>& order = profile->Scratch();
    size_t n = 0;
    for (size_t i = 0; i < effects.size() && n < order.size(); ++i)
        if (effects[i]->IsActiveAt(timeMs))
            order[n++] = i;
    auto cost = [profile](size_t i) {
        const FrameProfile::Figures f = profile->Latest(i);
        return std::max(f.cpuMs, f.gpuMs);
    };
    const size_t listed = std::min(n, static_cast<size_t>(kMaxNames));
    std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(listed),
                      order.begin() + static_cast<std::ptrdiff_t>(n),
                      [&](size_t a, size_t b) { return cost(a) > cost(b); });
    return listed;
}

}  // namespace

void Readout::DrawGraph(float x, float y, float w, float h) const
{
    // Inside glBegin(GL_QUADS): a dim field, one bar per frame as wide as
    // its time, newest at the right, and the lines of 60 and 30 frames a second.
    glColor4f(1, 1, 1, 0.08f);
    Quad(x, y, w, h);
    uint32_t age = 0;  // from the newest frame's end to this frame's end
    for (size_t k = 0; k < stored_ && age < kGraphSpanMs; ++k) {
        const uint32_t ms = frameMs_[(last_ + kFrameTimes - k) % kFrameTimes];
        const float right = x + w - w * static_cast<float>(age) / kGraphSpanMs;
        const float left = std::max(x, x + w - w * static_cast<float>(age + ms) / kGraphSpanMs);
        const float bar = h * std::min(1.0f, static_cast<float>(ms) / kGraphTopMs);
        if (ms <= 17)
            glColor4f(0.35f, 0.85f, 0.45f, 0.9f);
        else if (ms <= 34)
            glColor4f(1.0f, 0.72f, 0.2f, 0.9f);
        else
            glColor4f(1.0f, 0.3f, 0.25f, 0.9f);
        Quad(left, y + h - bar, std::max(right - left, 1.0f), bar);
        age += ms;
    }
    glColor4f(1, 1, 1, 0.45f);
    for (float ms : {16.7f, 33.3f})
        Quad(x, y + h - h * ms / kGraphTopMs, w, static_cast<float>(std::max(1, Scale() / 2)));
}

void FormatEffectTime(int timeMs, char* out, size_t size)
{
    const int64_t t = timeMs;
    const int64_t a = t < 0 ? -t : t;
    std::snprintf(out, size, "%s%d:%02d.%03d", t < 0 ? "-" : "", static_cast<int>(a / 60000),
                  static_cast<int>(a / 1000 % 60), static_cast<int>(a % 1000));
}

void Readout::CountFrame(uint32_t nowMs)
{
    if (counting_) {
        last_ = (last_ + 1) % kFrameTimes;
        frameMs_[last_] = nowMs - lastFrameAtMs_;
        stored_ = std::min(stored_ + 1, kFrameTimes);
    }
    lastFrameAtMs_ = nowMs;
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
    // Any of the entries drawing may be listed, whichever costs most.
    size_t chars = std::max(kColumns, 9 + kFigureColumns);  // "123.4 fps" beside the column heads
    for (size_t i = 0; i < effects.size(); ++i)
        if (effects[i]->IsActiveAt(timeMs))
            chars = std::max(chars, std::strlen(NameAt(names, i)) + kFigureColumns);
    return 2 * Margin() + static_cast<int>(chars) * CharWidth();
}

int Readout::Height(const EffectList& effects, int timeMs) const
{
    const int active = ActiveCount(effects, timeMs);
    const int lines = kEntriesLine + std::min(active, kMaxNames) + (active > kMaxNames ? 1 : 0);
    return 2 * Margin() + lines * LineHeight();
}

void Readout::Draw(int timeMs, float beat, bool paused, const EffectList& effects,
                   const std::vector<std::string>& names, const FrameProfile* profile) const
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
    const float barW = static_cast<float>((static_cast<int>(kColumns) - 5) * CharWidth() - Scale());
    const float barH = static_cast<float>(5 * Scale());
    Text("beat", m, m + 2 * lh);
    glColor4f(1, 1, 1, 0.15f);
    Quad(static_cast<float>(barX), barY, barW, barH);
    glColor4f(1.0f, 0.6f, 0.15f, 1);
    Quad(static_cast<float>(barX), barY, barW * std::min(1.0f, std::max(0.0f, beat)), barH);

    const float graphY = static_cast<float>(m + kHeadLines * lh);
    DrawGraph(static_cast<float>(m), graphY, static_cast<float>(width - 2 * m),
              static_cast<float>(kGraphLines * lh - 2 * Scale()));

    // The heads of the entries' columns, right of the frame rate.
    glColor4f(0.55f, 0.6f, 0.7f, 1);
    Text("    cpu    gpu", width - m - static_cast<int>(kFigureColumns) * CharWidth(), m + lh);
    glColor4f(0.55f, 0.88f, 1.0f, 1);
    // A profile prepared for another show cannot rank this one's entries.
    const FrameProfile* ranked = profile && profile->Scratch().size() == effects.size() ? profile : nullptr;
    const size_t listed = ListEntries(effects, timeMs, ranked);
    for (size_t k = 0; k < listed; ++k) {
        const size_t i = ranked ? ranked->Scratch()[k] : ListedInOrder(effects, timeMs, k);
        const int y = m + (kEntriesLine + static_cast<int>(k)) * lh;
        Text(NameAt(names, i), m, y);
        char figures[32];
        const FrameProfile::Figures f = ranked ? ranked->Latest(i) : FrameProfile::Figures();
        FormatFigures(f, figures, sizeof figures);
        Text(figures, width - m - static_cast<int>(kFigureColumns) * CharWidth(), y);
    }
    if (active > kMaxNames)
        Text(more, m, m + (kEntriesLine + kMaxNames) * lh);
    glEnd();

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}
