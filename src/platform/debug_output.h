#pragma once
// Diagnostics that are not errors; they go to standard error unchanged.
void DebugOutput(const char* text);
