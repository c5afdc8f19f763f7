#include "media/video_support.h"

#include <future>
#include <mutex>

#include "platform/demo_error.h"
#include "platform/load_listener.h"
#include "platform/player_module.h"

namespace {

struct LoadedModule {
    const VideoModule* module = nullptr;
    std::string error;
};

LoadedModule LoadModule()
{
    LoadedModule loaded;
    using Entry = const VideoModule* (*)();
    const auto entry = reinterpret_cast<Entry>(OpenPlayerModule(kVideoModuleFile, kVideoModuleEntry, loaded.error));
    if (!entry)
        return loaded;
    const VideoModule* module = entry();
    // The tables of two builds need not agree.
    if (std::string(module->version) != DEMO_VERSION)
        loaded.error = std::string(kVideoModuleFile) + " is of version " + module->version + ", the player " +
                       DEMO_VERSION;
    else
        loaded.module = module;
    return loaded;
}

std::mutex loadingMutex;
std::shared_future<LoadedModule> loading;

const std::shared_future<LoadedModule>& Loading()
{
    std::lock_guard<std::mutex> lock(loadingMutex);
    if (!loading.valid())
        loading = std::async(std::launch::async, LoadModule).share();
    return loading;
}

}  // namespace

void PreloadVideoSupport()
{
    Loading();
}

const VideoModule& VideoSupport()
{
    const LoadedModule& loaded = Loading().get();
    if (!loaded.module)
        ThrowMessage("Video support is not installed: %s", loaded.error.c_str());
    return *loaded.module;
}

std::unique_ptr<VideoReader> OpenVideoFile(const char* path)
{
    if (LoadListener* listener = CurrentLoadListener())
        listener->FileUsed(path);
    return VideoSupport().openFile(path);
}
