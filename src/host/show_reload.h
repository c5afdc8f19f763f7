#pragma once
#include <string>
#include <vector>

#include "timeline/effect_list.h"

// Loads data/demo.txt again, without the loading display, into a new list.
// When that succeeds, the new effects, names and start offset replace the
// old ones, the old effects are destroyed in list order and true comes back.
// When it fails, the message goes to standard error as "Reload failed: ...",
// the effects built so far are destroyed and the old show stays as it was.
// The music file named by the script is not looked at: the music plays on.
// files receives every file the attempt read.
bool ReloadShow(EffectList& effects, std::vector<std::string>& names, int& startOffset,
                std::vector<std::string>& files);
