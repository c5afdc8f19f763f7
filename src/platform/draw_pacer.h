#pragma once
#include <GL/glew.h>

// Keeps the drawing at most `depth` steps (frames, or passes of one frame)
// ahead of the renderer. A software renderer holds each step's binned
// geometry in memory until it has drawn it, and frees it only when it needs
// the space again: left alone it queues frame after frame, or within one frame
// pass after pass of a many-pass effect, by tens of megabytes each. Step()
// fences the GL commands so far and waits until the step `depth` back has
// been drawn; it returns false, waiting for nothing, where the driver has no
// fences (GL_ARB_sync) or, for kSoftwareRenderer, where the renderer is a
// graphics card's: there the wait would only keep the processor and the card
// from working side by side. Needs a current GL context whenever Step() runs
// and at destruction.
class DrawPacer {
public:
    static constexpr int kMaxDepth = 4;
    enum Renderers { kAll, kSoftwareRenderer };

    explicit DrawPacer(int depth, Renderers renderers = kAll);
    ~DrawPacer();
    DrawPacer(const DrawPacer&) = delete;
    DrawPacer& operator=(const DrawPacer&) = delete;

    bool Step();

private:
    int depth_;
    Renderers renderers_;
    int active_ = -1;                // unknown until the first step, whose context decides
    GLsync fences_[kMaxDepth] = {};  // the last steps, the oldest at next_
    int next_ = 0;
};
