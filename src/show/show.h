#pragma once
#include <optional>
#include <string>
#include <vector>

#include "render/gl_objects.h"
#include "timeline/effect_list.h"
#include "timeline/script_file.h"

// A loaded script: everything a run plays, reloads, checks or captures.
struct Show {
    Show() = default;
    // Destroys the effects one by one in script order, then closes the
    // script. The GL objects stay: a run frees nothing of those before it
    // exits. A show that a reload replaces goes through DiscardShow.
    ~Show();
    Show(const Show&) = delete;
    Show& operator=(const Show&) = delete;

    EffectList effects;              // in script order; later entries draw over earlier ones
    std::vector<std::string> names;  // each effect's entry name, in the same order
    std::vector<int> lines;          // the script line of each entry's name
    std::string musicFile;
    int startOffset = 0;             // as the script's header gives it
    std::optional<int> endMs;        // where the first end-of-show entry ends the show
    ScriptFile script;               // open while the effects live: plug-ins may keep reading it
    GlObjects gl;                    // the render targets and display lists the effects made
};

// Destroys the show as its destructor does, then frees its GL objects: for a
// show that a reload has replaced.
void DiscardShow(Show& show);

// For the error path: the effects are let go without being destroyed, since a
// failed effect may not be fit to be destroyed.
void AbandonEffects(Show& show);
