#include "host/authoring/show_reload.h"

#include <malloc.h>

#include <chrono>
#include <cstdio>

#include "platform/load_listener.h"
#include "show/show_files.h"
#include "show/show_loader.h"

bool ReloadShow(std::unique_ptr<Show>& show, std::vector<std::string>& files)
{
    const auto began = std::chrono::steady_clock::now();
    auto fresh = std::make_unique<Show>();
    LoadedFiles loaded;
    bool failed = true;
    std::string error = "Unknown error";
    try {
        ScopedLoadListener listening(loaded);
        LoadShow(*fresh, nullptr);
        failed = false;
    } catch (const std::exception& e) {
        error = e.what();
    } catch (...) {
    }
    files.insert(files.end(), loaded.files.begin(), loaded.files.end());
    if (failed) {
        DiscardShow(*fresh);
        if (!error.empty() && error.back() == '\n')
            error.pop_back();
        std::fprintf(stderr, "Reload failed: %s\n", error.c_str());
        return false;
    }
    show.swap(fresh);
    DiscardShow(*fresh);
    fresh.reset();
    // Hand what the old show freed back to the system: left in the heap, its
    // scattered pieces made every reload's peak a little higher.
    malloc_trim(0);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began).count();
    std::fprintf(stderr, "Reloaded %s: %zu entries in %lld ms\n", kScriptPath, show->effects.size(),
                 static_cast<long long>(ms));
    return true;
}
