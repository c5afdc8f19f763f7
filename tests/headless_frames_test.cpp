// The same pictures with and without X: frames of the default show drawn by
// the player in an X window and offscreen (--headless) with Mesa's software
// renderer; and only the X window is bound by the display's size. Needs an X
// server (ctest label x11).
//
// Most frames are equal byte for byte. A few pixels of some frames differ by
// one or two levels: Mesa keeps a window's buffer upside down and a
// framebuffer object's upright, so the rasterizer meets the same triangles
// from the other side and rounds a few interpolated values the other way (the
// colour and depth formats were ruled out: RGBA8 and 24-bit depth give the
// same differences).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/x11_display.h"
#include "support/gl_fixture.h"
#include "support/image_files.h"

namespace {

class HeadlessFrames : public ::testing::Test {
protected:
    void SetUp() override
    {
        player_ = std::getenv("DEMO_PLAYER");
        if (!player_ || !std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs the player and an X display";
        dir_ = MakeTempDir();
    }

    // Runs the player with LIBGL_ALWAYS_SOFTWARE set on both paths; returns its exit code.
    int Run(const std::string& args)
    {
        const std::string command = std::string("SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 '") + player_ +
                                    "' --no-gui " + args + " 2>'" + dir_ + "/stderr.txt'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string Errors() const
    {
        std::ifstream in(dir_ + "/stderr.txt");
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    const char* player_ = nullptr;
    std::string dir_;
};

TEST_F(HeadlessFrames, EqualTheXWindowsFrames)
{
    // Every 17 s of the show: pictures, models, shaders, feedback and video.
    const std::string show = "-C '" + SourcePath("") + "' --size 160x120 --render 2000:170000:17000 --out '" + dir_;
    ASSERT_EQ(Run(show + "/x'"), 0) << Errors();
    ASSERT_EQ(Run("--headless " + show + "/offscreen'"), 0) << Errors();
    int compared = 0;
    for (int t = 2000; t < 170000; t += 17000) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame_%07d.png", t);
        int xw = 0, xh = 0, ow = 0, oh = 0;
        const std::vector<unsigned char> x = ReadImage(dir_ + "/x" + name, xw, xh);
        const std::vector<unsigned char> offscreen = ReadImage(dir_ + "/offscreen" + name, ow, oh);
        ASSERT_FALSE(x.empty()) << name;
        ASSERT_EQ(ow, xw) << name;
        ASSERT_EQ(oh, xh) << name;
        ASSERT_EQ(offscreen.size(), x.size()) << name;
        int differing = 0, most = 0;
        for (size_t i = 0; i < x.size(); i += 4) {
            differing += !std::equal(&x[i], &x[i] + 4, &offscreen[i]);
            for (size_t c = i; c < i + 4; ++c)
                most = std::max(most, std::abs(x[c] - offscreen[c]));
        }
        EXPECT_LE(most, 2) << name;
        EXPECT_LE(differing, xw * xh / 100) << name << ": " << differing << " pixels differ";
        ++compared;
    }
    EXPECT_EQ(compared, 10);
}

TEST_F(HeadlessFrames, OnlyTheXWindowIsBoundByTheDisplay)
{
    std::filesystem::create_directories(dir_ + "/data");
    std::ofstream(dir_ + "/data/demo.txt") << "m\n0\n1\nFlashWhite\n0\n1000\n";
    // Larger than the X server's screen, whatever its size.
    int width = 0, height = 0;
    ASSERT_TRUE(DisplaySize(width, height));
    const std::string size = std::to_string(width + 2 - width % 2) + "x" + std::to_string(height + 2 - height % 2);
    const std::string capture = "-C '" + dir_ + "' --capture big.mp4 --size " + size + " --to 100";
    EXPECT_EQ(Run(capture), 1);
    EXPECT_NE(Errors().find("does not fit on the"), std::string::npos) << Errors();
    EXPECT_EQ(Run("--headless " + capture), 0) << Errors();
    struct stat info;
    EXPECT_EQ(stat((dir_ + "/big.mp4").c_str(), &info), 0);
}

}  // namespace
