// How a run ends: the show's own endings shut down as Escape does.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/player.h"
#include "support/gl_fixture.h"
#include "support/image_files.h"
#include "support/video_files.h"

namespace {

// How many of this process's open files are the given file.
int OpenCount(const std::string& path)
{
    const auto target = std::filesystem::canonical(path);
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) == target)
            ++count;
    }
    return count;
}

// A show folder whose video effect keeps its file open for as long as it lives.
std::string VideoShow(const std::string& script)
{
    return MakeVideoShowFolder(script);
}

int RenderIn(const std::string& dir, int to)
{
    PlayerOptions options;
    options.noGui = true;
    options.width = 32;
    options.height = 24;
    options.render = true;
    options.renderFrom = 100;
    options.renderTo = to;
    options.renderStep = 100;
    options.outDir = "/dev/null";
    const std::string previous = std::filesystem::current_path();
    EXPECT_EQ(chdir(dir.c_str()), 0);
    const int code = RunPlayer(options);
    EXPECT_EQ(chdir(previous.c_str()), 0);
    return code;
}

TEST(ShowEnd, EndOfShowDestroysTheEffectsLikeANormalShutdown)
{
    const std::string dir = VideoShow("m\n0\n2\nVideo\n0\n1000\nEndDemo\n250\n-1\n");
    EXPECT_EQ(RenderIn(dir, 1000), 0);
    EXPECT_EQ(OpenCount(dir + "/data/vondo/video/Video.avi"), 0) << "the video effect was never destroyed";
}

TEST(ShowEnd, XWindowClosingDestroysTheEffectsToo)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "the close box is the X window's";
    const std::string dir = VideoShow(std::string("m\n0\n2\nVideo\n0\n1000\nPlugin\n0\n1000\n") + TEST_PLUGIN_DIR +
                                      "/libtest_plugin_closes_window.so\n");
    EXPECT_EQ(RenderIn(dir, 1000), 0);
    EXPECT_EQ(OpenCount(dir + "/data/vondo/video/Video.avi"), 0) << "the video effect was never destroyed";
}

TEST(ShowEnd, TheRenderRunsOutTheSameWay)
{
    const std::string dir = VideoShow("m\n0\n1\nVideo\n0\n1000\n");
    EXPECT_EQ(RenderIn(dir, 300), 0);
    EXPECT_EQ(OpenCount(dir + "/data/vondo/video/Video.avi"), 0);
}

}  // namespace
