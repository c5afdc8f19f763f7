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
