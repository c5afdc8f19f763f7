// Reloading the show: the old show keeps its script open for its plug-ins
// while it plays on, and a replaced show gives back its render targets and
// display lists, so that many reloads cost no more memory than one.
#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "host/authoring/show_reload.h"
#include "host/frame.h"
#include "render/screen.h"
#include "show/show_loader.h"
#include "support/gl_fixture.h"

namespace fs = std::filesystem;

namespace {

const std::string kPlugin = std::string(TEST_PLUGIN_DIR) + "/libtest_plugin_keeps_stream.so";

// The peak resident memory of the process so far, in kB.
long PeakKb()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmHWM:") {
            status >> value;
            return value;
        }
        std::getline(status, key);
    }
    return 0;
}

// Each test runs in a fresh folder whose data/ links to the source tree's
// assets and holds a script of its own.
class ShowReloadTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        previous_ = fs::current_path();
        dir_ = MakeTempDir();
        fs::create_directories(fs::path(dir_) / "data");
        for (const auto& entry : fs::directory_iterator(SourcePath("data")))
            if (entry.path().filename() != "demo.txt")
                fs::create_symlink(entry.path(), fs::path(dir_) / "data" / entry.path().filename());
        fs::current_path(dir_);
    }
    void TearDown() override
    {
        fs::current_path(previous_);
        fs::remove_all(dir_);
    }

    void WriteScript(const std::string& text) { std::ofstream("data/demo.txt") << text; }

    fs::path previous_;
    std::string dir_;
};

std::string PluginLine()
{
    void* module = dlopen(kPlugin.c_str(), RTLD_NOW | RTLD_NOLOAD);
    const auto line = module ? reinterpret_cast<const char* (*)()>(dlsym(module, "LastLine")) : nullptr;
    const std::string text = line ? line() : "(not loaded)";
    if (module)
        dlclose(module);
    return text;
}

TEST_F(ShowReloadTest, TheOldShowKeepsItsScriptOpenForItsPluginsAfterAFailedReload)
{
    WriteScript("first\n0\n1\nPlugin\n0\n100000\n" + kPlugin + "\n");
    auto show = std::make_unique<Show>();
    LoadShow(*show, nullptr);
    DrawFrame(show->effects, 10, 0);
    EXPECT_EQ(PluginLine(), "first");

    std::vector<std::string> files;
    WriteScript("second\n0\n1\nFlashWite\n0\n10\n");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(ReloadShow(show, files));
    testing::internal::GetCapturedStderr();
    // The plug-in reads its stream again: the old script, still open.
    DrawFrame(show->effects, 20, 0);
    EXPECT_EQ(PluginLine(), "first");

    WriteScript("third\n0\n1\nPlugin\n0\n100000\n" + kPlugin + "\n");
    testing::internal::CaptureStderr();
    EXPECT_TRUE(ReloadShow(show, files));
    testing::internal::GetCapturedStderr();
    DrawFrame(show->effects, 30, 0);
    EXPECT_EQ(PluginLine(), "third");
}

TEST_F(ShowReloadTest, FiftyReloadsCostNoMoreMemoryThanOne)
{
    // Window-sized targets as large as a real window's, so that a leak shows:
    // each load of this show makes five render targets (one of 1024 x 1024
    // with depth) and several display lists, some 40 MB under Mesa.
    ScreenWidth = 640;
    ScreenHeight = 480;
    WriteScript("data/music.ogg\n0\n6\n"
                "ChaosZoomer\n0\n1000\nPolarCoords\n0\n1000\nManden\n0\n1000\n"
                "Spheres\n0\n1000\nQuellRinge\n0\n1000\nRubber3d\n0\n1000\n");
    auto show = std::make_unique<Show>();
    testing::internal::CaptureStderr();
    LoadShow(*show, nullptr);
    const long loaded = PeakKb();
    // A reload holds the old show until the new one has loaded: the peak of
    // the first reload is the most that any later one may need.
    std::vector<std::string> files;
    ASSERT_TRUE(ReloadShow(show, files));
    const long reloaded = PeakKb();
    for (int i = 1; i < 50; ++i)
        ASSERT_TRUE(ReloadShow(show, files)) << testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStderr();
    const long after = PeakKb();
    ScreenWidth = kWidth;
    ScreenHeight = kHeight;
    std::printf("peak memory: first load %ld kB, first reload %ld kB, 50 reloads %ld kB\n", loaded, reloaded, after);
    // A leak shows as megabytes per reload. Under load the heaps of the
    // threads that decode the pictures may grow by some 10 % on the first
    // reload's peak before they settle, so the bound is a fifth.
    EXPECT_LE(after, reloaded + reloaded / 5);
}

}  // namespace
