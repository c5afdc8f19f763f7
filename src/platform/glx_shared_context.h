#pragma once
#include <memory>

#include "platform/shared_context.h"

// A context sharing the current GLX context's objects, made with the same
// visual as the window it draws to; nullptr when no direct context can be
// made or this GLX cannot make one current without a drawable (checked here,
// on the calling thread, so that the other thread never meets an X error).
std::unique_ptr<SharedContext> ShareCurrentGlxContext();

// Lends the window of the current GLX context to another thread: a context
// made as above draws into it there, and the current context goes on without
// a drawable until the loan ends; nullptr where either cannot be done.
std::unique_ptr<WindowLoan> LendCurrentGlxWindow();
