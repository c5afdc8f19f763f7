// Measures what each effect of a show costs to draw: loads data/demo.txt from
// the working directory as the player does, then draws every effect (or those
// whose class name contains MATCH) alone for a number of frames spread over
// its time window, finishing the GL work of each frame. Prints a markdown
// table of the median and 95th percentile in milliseconds, less the cost of an
// empty frame (clear and finish).
//
//   effectbench [--size WxH] [--frames N] [--match MATCH]
//
// The beat runs through 0..1 in a fixed pattern, so runs compare.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "platform/window.h"
#include "render/gl.h"
#include "render/guards.h"
#include "render/screen.h"
#include "show/show_loader.h"

namespace {

struct Figures {
    double median;
    double p95;
};

Figures Summarise(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    return {samples[n / 2], samples[std::min(n - 1, n * 95 / 100)]};
}

double NowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string ClassName(const Effekt& effect)
{
    int status = 0;
    const char* mangled = typeid(effect).name();
    std::unique_ptr<char, decltype(&std::free)> name(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                     &std::free);
    std::string result = status == 0 ? name.get() : mangled;
    const std::string prefix = "Effekter::";
    if (result.compare(0, prefix.size(), prefix) == 0)
        result.erase(0, prefix.size());
    return result;
}

// One frame's cost: clear, draw (or not), finish.
double TimeFrame(Effekt* effect, int t, float beat)
{
    const double start = NowMs();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (effect)
        effect->Draw(t, beat);
    glFinish();
    return NowMs() - start;
}

}  // namespace

int main(int argc, char** argv)
{
    int width = 1024, height = 768, frames = 200;
    const char* match = "";
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--size") && i + 1 < argc && std::sscanf(argv[i + 1], "%dx%d", &width, &height) == 2)
            ++i;
        else if (!std::strcmp(argv[i], "--frames") && i + 1 < argc)
            frames = std::max(10, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--match") && i + 1 < argc)
            match = argv[++i];
        else {
            std::fprintf(stderr, "usage: %s [--size WxH] [--frames N] [--match MATCH]\n", argv[0]);
            return 2;
        }
    }
    try {
        ScreenWidth = width;
        ScreenHeight = height;
        const std::unique_ptr<Window> window = OpenSdlWindow(width, height, 32, false);
        ResetPerspective();
        CEnabler textures(GL_TEXTURE_2D);
        Show show;
        LoadShow(show, window.get());
        const EffectList& effects = show.effects;

        std::vector<double> samples(frames);
        for (double& s : samples)
            s = TimeFrame(nullptr, 0, 0);
        const double empty = Summarise(samples).median;
        std::printf("%d x %d, %d frames per effect, empty frame %.3f ms (subtracted)\n\n", width, height, frames, empty);
        std::printf("| # | effect | window (ms) | median ms | p95 ms |\n|---|---|---|---|---|\n");

        for (size_t index = 0; index < effects.size(); ++index) {
            Effekt* effect = effects[index].get();
            const std::string name = ClassName(*effect);
            if (name.find(match) == std::string::npos)
                continue;
            const int span = effect->end == -1 ? 20000 : std::max(1, effect->end - effect->start - 2);
            try {
                for (int f = 0; f < frames; ++f) {
                    const int t = effect->start + 1 + static_cast<int>(static_cast<long long>(span) * f / frames);
                    const float beat = static_cast<float>((f * 7) % 10) / 9.0f;
                    samples[f] = TimeFrame(effect, t, beat);
                }
            } catch (const std::exception& e) {
                std::printf("| %zu | %s | %d..%d | ends the show: %s | |\n", index + 1, name.c_str(), effect->start,
                            effect->end, e.what());
                continue;
            }
            const Figures figures = Summarise(samples);
            std::printf("| %zu | %s | %d..%d | %.3f | %.3f |\n", index + 1, name.c_str(), effect->start, effect->end,
                        std::max(0.0, figures.median - empty), std::max(0.0, figures.p95 - empty));
            std::fflush(stdout);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "effectbench: %s\n", e.what());
        return 1;
    }
    return 0;
}
