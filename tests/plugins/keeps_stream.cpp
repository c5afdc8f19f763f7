// A plug-in that keeps the script stream its Init was given and reads the
// script's first line from it again whenever it draws.
#include <cstdio>
#include <cstring>

namespace {
FILE* g_script = nullptr;
char g_line[256];
}  // namespace

extern "C" void Init(FILE* script, int, int)
{
    g_script = script;
}

extern "C" void Draw(int, float)
{
    std::rewind(g_script);
    if (!std::fgets(g_line, sizeof g_line, g_script))
        g_line[0] = '\0';
    g_line[std::strcspn(g_line, "\r\n")] = '\0';
}

extern "C" const char* LastLine()
{
    return g_line;
}
