#pragma once
#include <memory>
#include <string>
#include <vector>

#include "show/show.h"

// Loads data/demo.txt again, without the loading display, into a new show.
// When that succeeds, the new show replaces the old one, which is discarded
// (its effects destroyed in script order, its render targets and display
// lists freed, its script closed), and true comes back. When it fails, the
// message goes to standard error as "Reload failed: ...", what was built is
// discarded and the old show stays as it was, its script still open. The
// music file named by the script is not looked at: the music plays on.
// files receives every file the attempt read.
bool ReloadShow(std::unique_ptr<Show>& show, std::vector<std::string>& files);
