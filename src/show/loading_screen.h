#pragma once
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/shared_context.h"
#include "render/texture.h"

class Window;

// The loading display: the loading picture rising one step per script entry.
// Where the window can be lent (an X window), a thread of the display's own
// draws and shows the steps in turn, so that the loading never waits for the
// renderer or the X server (in a context of its own, which shares nothing with
// the loading's); elsewhere the GL thread draws each step, which the
// renderer then draws while the next entry loads. The pictures are the same.
class LoadingScreen {
public:
    LoadingScreen(Window& window, int count);
    // Gives the window back to the GL thread (its context is the current one
    // again, drawing into the window).
    ~LoadingScreen();
    LoadingScreen(const LoadingScreen&) = delete;
    LoadingScreen& operator=(const LoadingScreen&) = delete;

    // Asks for the next step and polls the window's events (which may throw
    // WindowClosed). The first step shows at once; on the GL thread each later
    // one shows at the next call or at Present, on the display's thread as
    // soon as it is drawn.
    void ShowProgress();
    // Returns once every step asked for is shown.
    void Present();
    // Whether a thread of the display's own draws the steps.
    bool OnItsOwnThread() const { return loan_ != nullptr; }
    // Vertical offset of the picture for the step about to be asked for.
    float Offset() const { return OffsetOf(index_); }

private:
    float OffsetOf(int step) const;
    void DrawStep(int step, GLuint picture);
    void ShowSteps();  // the display's thread

    Window& window_;
    CTextureFreeImage picture_;  // drawn on the GL thread
    PictureData decoded_;         // for the display's thread to upload
    int count_;
    int index_ = 0;       // steps asked for
    bool drawn_ = false;  // on the GL thread: a step drawn and not yet shown

    std::unique_ptr<WindowLoan> loan_;  // the window, while the display's thread has it
    std::mutex mutex_;
    std::condition_variable asked_;
    std::condition_variable shown_;
    int shownSteps_ = 0;
    bool closing_ = false;
    std::thread display_;
};
