#pragma once

// Whether path names a regular file (links followed). Inputs are checked with
// this before they are opened: a folder reads nothing, and opening a FIFO or
// a device can wait for ever.
bool IsPlainFile(const char* path);
