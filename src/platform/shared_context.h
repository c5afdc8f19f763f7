#pragma once

// A second GL context that shares its window's objects (textures above all),
// for one other thread: that thread makes it current, without a drawable, and
// fills textures while the GL thread goes on drawing. A texture filled there
// may be used on the GL thread once the filling thread has finished it
// (glFinish) and told the GL thread so, and once the GL thread has bound it
// afresh.
//
//     std::unique_ptr<SharedContext> shared = window.ShareContext();  // GL thread
//     ... on the other thread: if (shared->MakeCurrent()) { ... glFinish(); shared->Release(); }
//     ... the context is destroyed on the GL thread, after the other let it go.
class SharedContext {
public:
    virtual ~SharedContext() = default;
    // Makes the context current on the calling thread; false where it cannot.
    virtual bool MakeCurrent() = 0;
    // Leaves the calling thread without a context.
    virtual void Release() = 0;
};

// The window lent to another thread, which draws into it with a context of
// its own (which shares no objects with the lender's) and shows each frame, while the
// lending GL thread's context goes on without a drawable: its own objects and
// framebuffer objects, nothing drawn into the window. The lender gets the
// window back when the loan is destroyed (on the GL thread, after the other
// thread let it go).
class WindowLoan {
public:
    virtual ~WindowLoan() = default;
    // Makes the borrowing context current on the calling thread, drawing into
    // the window; false where it cannot.
    virtual bool MakeCurrent() = 0;
    // Shows what the calling thread drew (swaps the window's buffers).
    virtual void Show() = 0;
    // Leaves the calling thread without a context.
    virtual void Release() = 0;
};
