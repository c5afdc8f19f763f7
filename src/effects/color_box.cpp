#include "effects/color_box.h"

#include <cmath>

#include "effects/screen_quad.h"
#include "platform/shared_random.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

namespace {

// Moves value one step of 0.1 towards target; it rests at most 0.1 below it.
void StepTowards(float& value, int target)
{
    if (value < static_cast<float>(target))
        value += 0.1f;
    if (value > static_cast<float>(target))
        value -= 0.1f;
}

}  // namespace

ColorBox::ColorBox(int start, int end) : Effekt(start, end)
{
    tile.Load("data/colorbox/colorbox1.jpg");
    highlight.Load("data/colorbox/colorbox2.jpg");
    star.Load("data/colorbox/star.jpg");
}

void ColorBox::Retarget(uint32_t time, float beat)
{
    // A falling beat, at most every 200 ms (a backward seek wraps the
    // difference and retargets at once).
    if (previousBeat > beat && time - lastRetarget > 200) {
        SeedRandom(time);
        targetColumn = static_cast<int>(4 * RandomUnit());
        targetRow = static_cast<int>(4 * RandomUnit());
        if (time < 70) {
            targetColumn = 100;
            targetRow = 100;
        }
        lastRetarget = time;
    }
    previousBeat = beat;
}

void ColorBox::WalkCamera()
{
    StepTowards(cameraY, targetRow);
    StepTowards(cameraX, targetColumn);
}

// Fades in over the first 5 s of the window and out over the last 2 s.
float ColorBox::Fade(uint32_t time) const
{
    const uint32_t first = static_cast<uint32_t>(start);
    const uint32_t last = static_cast<uint32_t>(end);
    float fade = 1;
    if (time < first + 5000)
        fade = static_cast<float>(time - first) / 5000;
    if (time > last - 2000)
        fade = static_cast<float>(last - time) / 2000;
    return fade;
}

void ColorBox::Draw(int timeMs, float beat)
{
    const uint32_t time = static_cast<uint32_t>(timeMs);
    const float t = static_cast<float>(time);
    Retarget(time, beat);
    WalkCamera();

    const float s = 0.001f * t;
    {
        CPushMatrix matrix;
        // The up vector leans further towards +x as the music plays.
        gluLookAt(0.25f * cameraX, 0.25f * cameraY, 4, cameraX, cameraY, 0, s, 1, 0);
        glDisable(GL_DEPTH_TEST);
        CTransparency additive(GL_ONE, GL_ONE);
        const float fade = Fade(time);
        for (int i = -10; i <= 10; ++i) {
            for (int j = -10; j <= 10; ++j) {
                CPushMatrix tileMatrix;
                glTranslatef(static_cast<float>(i), static_cast<float>(j), 0);
                glRotatef(180 * std::sin(static_cast<float>(i + j) * s * 0.05f + static_cast<float>(i * j)), 0, 0, 1);
                const float dr = static_cast<float>(j - targetRow), dc = static_cast<float>(i - targetColumn);
                // The target tile has d = 0: infinite intensity, clamped to full.
                const float d = std::sqrt(dr * dr + dc * dc);
                Grey(fade * 0.5f / d);
                if (i == targetColumn && j == targetRow) {
                    const float g = 0.5f * beat + 1;
                    DrawImageQuad(tile.texture, g);
                    Grey(2 * fade * beat);
                    DrawImageQuad(highlight.texture, g);
                } else {
                    DrawImageQuad(tile.texture, 1);
                }
            }
        }
    }
    ResetPerspective();

    // The star picture darkens the grid where it is light, drifting sideways.
    CTransparency darken(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    CProjectionScope screen;
    CPushMatrix matrix;
    glTranslatef(std::sin(0.0001f * t), 0, -1);
    Grey(0.5f);
    DrawImageQuad(star.texture, 1.25f);
}

}  // namespace Effekter
