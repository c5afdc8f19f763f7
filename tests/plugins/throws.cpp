// A plug-in whose Draw throws something that is no standard exception.
#include <cstdio>

extern "C" void Init(FILE*, int, int) {}
extern "C" void Draw(int, float)
{
    throw 42;
}
