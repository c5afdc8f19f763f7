#include "platform/debug_output.h"

#include <cstdio>

void DebugOutput(const char* text)
{
    std::fputs(text, stderr);
    std::fflush(stderr);
}
