// A plug-in whose first Draw holds the player in that frame until the test
// writes a byte into the FIFO named on the plug-in's script line. Before it
// waits it writes "Holding frame at <time>" to standard error, so a test knows
// exactly which frame a signal falls into. A signal that interrupts the wait
// ends it too.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {
char g_fifo[4096];
bool g_held = false;
}  // namespace

extern "C" void Init(FILE* script, int, int)
{
    if (!std::fgets(g_fifo, sizeof g_fifo, script))
        g_fifo[0] = '\0';
    g_fifo[std::strcspn(g_fifo, "\r\n")] = '\0';
}

extern "C" void Draw(int timeMs, float)
{
    if (g_held)
        return;
    g_held = true;
    // Opened for reading and writing, so the test's write never finds the FIFO
    // without a reader, whenever it comes.
    const int fd = open(g_fifo, O_RDWR);
    if (fd < 0)
        return;
    std::fprintf(stderr, "Holding frame at %d\n", timeMs);
    std::fflush(stderr);
    char byte = 0;
    (void)read(fd, &byte, 1);
    close(fd);
}
