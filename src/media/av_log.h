#pragma once

// Sends FFmpeg's own messages to standard error through DebugOutput, each
// distinct message once: a damaged or unusual file would otherwise repeat the
// same complaint for every frame. Safe to call more than once.
void RouteAvLog();
