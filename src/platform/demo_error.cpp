#include "platform/demo_error.h"

#include <cstdarg>
#include <cstdio>

void ThrowMessage(const char* format, ...)
{
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    throw DemoError(buffer);
}
