#pragma once
#include <string>

// The holds_frame test plug-in keeps a player run inside one known frame until
// the test lets it go, so that a signal falls into that frame whatever the
// machine's speed.

// The script entry of the plug-in from startMs on (to the show's end), held
// through a FIFO made at fifo. pluginDir holds the test plug-ins.
std::string HoldingEntry(const std::string& pluginDir, int startMs, const std::string& fifo);

// Waits until the file holds text; false after a minute (something hangs).
bool WaitForText(const std::string& file, const std::string& text);

// Lets the held frame go on (harmless when the run has gone already).
void ReleaseHeldFrame(const std::string& fifo);
