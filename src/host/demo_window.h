#pragma once

// The one OpenGL window of the run, opened through SDL 1.2. Keys act on
// release: FramePump turns the key-up events of the last poll into flags.
class DemoWindow {
public:
    // Sets ScreenWidth and ScreenHeight. Throws "Error: %s\n" when SDL cannot start.
    DemoWindow(int width, int height, int bitsPerPixel, bool fullScreen);
    ~DemoWindow();
    DemoWindow(const DemoWindow&) = delete;
    DemoWindow& operator=(const DemoWindow&) = delete;

    // Swaps the buffers and polls the events. Throws "You quit?" when the
    // window is closed.
    void FramePump();

    bool EscapePressed() const { return escape_; }
    bool SpacePressed() const { return space_; }
    bool RightPressed() const { return right_; }
    bool LeftPressed() const { return left_; }
    // The show maker's keys of a live run.
    bool HomePressed() const { return home_; }
    bool F1Pressed() const { return f1_; }
    bool F5Pressed() const { return f5_; }

private:
    void ClearFlags() { escape_ = left_ = right_ = space_ = home_ = f1_ = f5_ = false; }

    bool escape_ = false;
    bool left_ = false;
    bool right_ = false;
    bool space_ = false;
    bool home_ = false;
    bool f1_ = false;
    bool f5_ = false;
};
