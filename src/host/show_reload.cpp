#include "host/show_reload.h"

#include <chrono>
#include <cstdio>

#include "platform/load_listener.h"
#include "timeline/demo_script.h"

namespace {

// Destroys the effects one by one in list order, as the run's shutdown does.
void DestroyInOrder(EffectList& effects)
{
    for (auto& effect : effects)
        effect.reset();
    effects.clear();
}

}  // namespace

bool ReloadShow(EffectList& effects, std::vector<std::string>& names, int& startOffset,
                std::vector<std::string>& files)
{
    const auto began = std::chrono::steady_clock::now();
    EffectList fresh;
    std::vector<std::string> freshNames;
    std::string music;
    int offset = 0;
    LoadedFiles loaded;
    bool failed = true;
    std::string error = "Unknown error";
    try {
        ScopedLoadListener listening(loaded);
        LoadDemoScriptQuietly(fresh, music, offset, &freshNames);
        failed = false;
    } catch (const std::exception& e) {
        error = e.what();
    } catch (...) {
    }
    files.insert(files.end(), loaded.files.begin(), loaded.files.end());
    if (failed) {
        DestroyInOrder(fresh);
        if (!error.empty() && error.back() == '\n')
            error.pop_back();
        std::fprintf(stderr, "Reload failed: %s\n", error.c_str());
        return false;
    }
    effects.swap(fresh);
    names.swap(freshNames);
    startOffset = offset;
    DestroyInOrder(fresh);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began).count();
    std::fprintf(stderr, "Reloaded data/demo.txt: %zu entries in %lld ms\n", effects.size(),
                 static_cast<long long>(ms));
    return true;
}
