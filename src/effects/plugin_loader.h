#pragma once
#include <cstdio>

#include "timeline/effekt.h"
#include "effects/entry_lines.h"

namespace Effekter {

// An effect whose drawing lives in a shared library (see plugins/demo_plugin.h).
// The library's Init sees the script stream right after the library path line
// and may read lines of its own; Draw is forwarded every frame. The library
// stays loaded to the end of the process.
class PluginLoader : public Effekt {
public:
    // Throws "Unable to load plugin: %s", "Unable to fint Init function in
    // plugin: %s" or "Unable to fint Draw function in plugin: %s".
    PluginLoader(int start, int end, const char* libraryPath, FILE* script);

    void Draw(int timeMs, float beat) override;

private:
    using InitFunction = void (*)(FILE* script, int start, int end);
    using DrawFunction = void (*)(int timeMs, float beat);

    void* module_;
    InitFunction initFunction_;
    DrawFunction drawFunction_;
};

// The factory's creator: the library path line has been read; the effect is
// built on the same stream, whose further lines are the plug-in's to read.
Effekt* MakePluginLoader(int start, int end, const EntryArguments& arguments, FILE* script);

}  // namespace Effekter
