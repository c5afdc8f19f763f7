// A plug-in that forgot Draw.
#include <cstdio>

extern "C" void Init(FILE*, int, int) {}
