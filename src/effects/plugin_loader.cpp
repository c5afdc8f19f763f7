#include "effects/plugin_loader.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/debug_output.h"
#include "platform/demo_error.h"
#include "platform/elf_check.h"
#include "platform/load_listener.h"
#include "platform/plain_file.h"

namespace Effekter {

namespace {

// A path without a slash would make the loader search the system's library
// folders; the script means a file in the working directory.
std::string FilePath(const char* libraryPath)
{
    if (std::strchr(libraryPath, '/'))
        return libraryPath;
    return std::string("./") + libraryPath;
}

}  // namespace

PluginLoader::PluginLoader(int start, int end, const char* libraryPath, FILE* script) : Effekt(start, end)
{
    LoadListener* listener = CurrentLoadListener();
    if (listener)
        listener->FileUsed(libraryPath);
    const std::string path = FilePath(libraryPath);
    // A FIFO would block the loader and a cut library would fault inside it,
    // so only a whole shared object is handed to dlopen.
    const char* refused = !IsPlainFile(path.c_str())             ? "not a plain file"
                          : !IsCompleteSharedObject(path.c_str()) ? "not a complete shared library for this machine"
                                                                  : nullptr;
    module_ = refused ? nullptr : dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module_) {
        const char* error = refused ? refused : dlerror();
        const std::string reason = error ? error : "dlopen failed";
        DebugOutput(reason.c_str());
        DebugOutput("\n");
        if (listener) {
            char message[1024];
            std::snprintf(message, sizeof message, "Unable to load plugin: %s", libraryPath);
            listener->Failure(libraryPath, "plug-in '" + std::string(libraryPath) + "' does not load: " + reason,
                              message);
        }
        ThrowMessage("Unable to load plugin: %s", libraryPath);
    }
    initFunction_ = reinterpret_cast<InitFunction>(dlsym(module_, "Init"));
    if (!initFunction_)
        ThrowMessage("Unable to fint Init function in plugin: %s", libraryPath);
    drawFunction_ = reinterpret_cast<DrawFunction>(dlsym(module_, "Draw"));
    if (!drawFunction_)
        ThrowMessage("Unable to fint Draw function in plugin: %s", libraryPath);
    initFunction_(script, start, end);
}

void PluginLoader::Draw(int timeMs, float beat)
{
    drawFunction_(timeMs, beat);
}

Effekt* MakePluginLoader(int start, int end, const EntryArguments& arguments, FILE* script)
{
    return new PluginLoader(start, end, arguments.text[0].c_str(), script);
}

}  // namespace Effekter
