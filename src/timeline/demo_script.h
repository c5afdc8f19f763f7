#pragma once
#include <string>
#include <vector>

#include "render/texture.h"
#include "timeline/effect_list.h"

class DemoWindow;

// The loading display: the loading picture rising one step per script entry.
class LoadingScreen {
public:
    LoadingScreen(DemoWindow& window, int count);
    ~LoadingScreen();
    LoadingScreen(const LoadingScreen&) = delete;
    LoadingScreen& operator=(const LoadingScreen&) = delete;

    // Draws the next step and pumps the window (which may throw "You quit?").
    void ShowProgress();
    // Vertical offset of the picture for the step about to be drawn.
    float Offset() const;

private:
    DemoWindow& window_;
    CTextureFreeImage picture_;
    int count_;
    int index_ = 0;
};

// Reads data/demo.txt: fills the music file name, the start offset and the
// effects, in script order, and names with the entries' names when given.
// Throws on an unreadable script or an unknown entry; the effects made so far
// stay in the list.
void LoadDemoScript(EffectList& effects, DemoWindow& window, std::string& musicFile, int& startOffset,
                    std::vector<std::string>* names = nullptr);

// The music file that data/demo.txt names, read from its header alone (empty
// when the script cannot be read), so that the music can be read while the
// window opens and the effects load.
std::string ScriptMusicFile();

// The same without the loading display, for loading the show again while it plays.
void LoadDemoScriptQuietly(EffectList& effects, std::string& musicFile, int& startOffset,
                           std::vector<std::string>* names);
