#pragma once
#include <string>

#include "show/show.h"

class Window;

// Loads data/demo.txt into show (which starts empty): the effects in script
// order with their names and lines, the music file, the start offset, the end
// of show and the open script. With a window the pictures upload on a context
// it shares with a second thread, where it can, and with showLoading the
// loading display rises one step per entry; without one (a reload) nothing is
// drawn and the pictures upload on this thread. Throws "Unable to load
// data/demo.txt", "Unknown entry '%s' in file, please correct" or what an
// effect throws; what was built so far stays in show.
void LoadShow(Show& show, Window* window, bool showLoading = true);

// The music file that data/demo.txt names, read from its header alone (empty
// when the script cannot be read), so that the music can be read while the
// window opens and the effects load.
std::string ScriptMusicFile();

// Whether a line of data/demo.txt (not a comment) reads `entry`: a quick look
// for what loading may need, before it starts. A text line of another entry
// that reads so counts too.
bool ScriptMayName(const std::string& entry);
