#pragma once
#include <memory>

#include "platform/shared_context.h"

// A context sharing the current GLX context's objects, made with the same
// visual as the window it draws to; nullptr when no direct context can be
// made or this GLX cannot make one current without a drawable (checked here,
// on the calling thread, so that the other thread never meets an X error).
std::unique_ptr<SharedContext> ShareCurrentGlxContext();
