#pragma once
#include <cstdio>

// Loads data/demo.txt the way a run does (the GL context must be current) and
// writes every problem it finds to out, one line each with the script's file
// and line number, then a summary line. Where a run stops at the first error,
// the check reports it and goes on with the next entry; what a run passes
// over in silence (unreadable pictures, missing uniforms, number lines that
// are no numbers...) is reported too. Plays no music. Returns the exit code:
// 0 when nothing was found, 1 otherwise.
int CheckShow(FILE* out);
