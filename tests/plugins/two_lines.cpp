// A plug-in whose Init reads two raw lines of the script and remembers them,
// with its times and the frames it was asked to draw, for the test to check.
#include <cstdio>
#include <cstring>

namespace {
char g_lines[2][256];
int g_start = 0;
int g_end = 0;
int g_lastTime = 0;
float g_lastBeat = 0;
int g_draws = 0;
}  // namespace

extern "C" void Init(FILE* script, int start, int end)
{
    for (auto& line : g_lines) {
        if (!std::fgets(line, sizeof line, script))
            line[0] = '\0';
        line[std::strcspn(line, "\r\n")] = '\0';
    }
    g_start = start;
    g_end = end;
}

extern "C" void Draw(int timeMs, float beat)
{
    g_lastTime = timeMs;
    g_lastBeat = beat;
    ++g_draws;
}

extern "C" const char* SeenLine(int i) { return g_lines[i]; }
extern "C" int SeenStart() { return g_start; }
extern "C" int SeenEnd() { return g_end; }
extern "C" int SeenDraws() { return g_draws; }
extern "C" int SeenTime() { return g_lastTime; }
extern "C" float SeenBeat() { return g_lastBeat; }
