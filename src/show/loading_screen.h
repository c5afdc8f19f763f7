#pragma once
#include "render/texture.h"

class Window;

// The loading display: the loading picture rising one step per script entry.
class LoadingScreen {
public:
    LoadingScreen(Window& window, int count);
    ~LoadingScreen();
    LoadingScreen(const LoadingScreen&) = delete;
    LoadingScreen& operator=(const LoadingScreen&) = delete;

    // Shows the step drawn last and draws the next one, which shows at the
    // next call or at Present (the first one at once); pumps the window
    // (which may throw WindowClosed).
    void ShowProgress();
    // Shows the step drawn last, if it is not shown yet.
    void Present();
    // Vertical offset of the picture for the step about to be drawn.
    float Offset() const;

private:
    Window& window_;
    CTextureFreeImage picture_;
    int count_;
    int index_ = 0;
    bool drawn_ = false;  // a step drawn and not yet shown
};
