#pragma once
#include <string>

// Opens one of the modules that come with the player: code that needs large
// libraries (FFmpeg, GTK), kept out of the executable so that those load only
// when used. Looked for in $DEMO_MODULE_DIR alone when that is set, else next
// to the executable (the build tree), else in the installed folder relative
// to it (lib/glimraven/, so a moved install works too). Gives the address of
// the module's function `entry`, or null with the reason in error, which
// names the files looked for.
void* OpenPlayerModule(const char* fileName, const char* entry, std::string& error);
