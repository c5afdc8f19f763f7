#include "support/held_frame.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iterator>

std::string HoldingEntry(const std::string& pluginDir, int startMs, const std::string& fifo)
{
    EXPECT_EQ(mkfifo(fifo.c_str(), 0644), 0) << fifo;
    return "Plugin\n" + std::to_string(startMs) + "\n-1\n" + pluginDir + "/libtest_plugin_holds_frame.so\n" + fifo +
           "\n";
}

bool WaitForText(const std::string& file, const std::string& text)
{
    for (int hundredths = 0; hundredths < 6000; ++hundredths) {
        std::ifstream in(file);
        if (std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()).find(text) !=
            std::string::npos)
            return true;
        usleep(10000);
    }
    return false;
}

void ReleaseHeldFrame(const std::string& fifo)
{
    // Not blocking: without a reader the run has ended and there is nothing to let go.
    const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd < 0)
        return;
    // A signal ends the wait too, so the run may let go of the FIFO between
    // the open and the write: then the write finds no reader, which is no
    // failure, and must not kill the test with SIGPIPE.
    const char go = 1;
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    const ssize_t written = write(fd, &go, 1);
    const int error = errno;
    std::signal(SIGPIPE, previous);
    EXPECT_TRUE(written == 1 || error == EPIPE) << std::strerror(error);
    close(fd);
}
