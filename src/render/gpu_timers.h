#pragma once
#include <cstddef>
#include <vector>

#include "render/gl.h"

// A set of GL timer queries (GL_ARB_timer_query or GL_EXT_timer_query): how
// long the GPU spent on the commands between Begin and End. Results are read
// only once the GPU has them, so reading never waits. Without the extension
// the set is empty and measures nothing.
class GpuTimers {
public:
    GpuTimers() = default;
    ~GpuTimers();
    GpuTimers(const GpuTimers&) = delete;
    GpuTimers& operator=(const GpuTimers&) = delete;

    // Makes count queries in the current context (none without the extension),
    // freeing those made before.
    void Reset(size_t count);
    bool Available() const { return !queries_.empty(); }

    // One query at a time: Begin(i) ... End().
    void Begin(size_t i);
    void End();
    // The milliseconds of query i's last Begin/End once the GPU has finished
    // them; false while pending, when never begun, or without the extension.
    // A result is read once.
    bool Take(size_t i, double& ms);

private:
    std::vector<GLuint> queries_;
    std::vector<char> begun_;  // a result not yet taken
};
