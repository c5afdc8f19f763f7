#pragma once
#include <string>

#include "host/setup/options.h"

// Every path in a show is relative to the folder that holds its data/, so the
// player runs in that folder. This finds it and changes into it, in the order
// that --help gives: -C DIR; the folder above SCRIPT's data/ folder; the
// working directory when it holds data/demo.txt; the default show installed
// with the player. Without -C the paths on the command line (--out, --times,
// --capture) keep meaning what they meant where the player was started.
// Returns false with a message in error when the named folder or script is
// no show's; when no show is found at all it stays where it is, and loading
// reports the missing data/demo.txt.
bool EnterShowFolder(PlayerOptions& options, std::string& error);

// The installed default show's folder for an executable at executablePath.
std::string InstalledShowFolder(const std::string& executablePath);
