// Plug-in entries in a whole demo script: the lines the plug-in reads belong to
// its entry, and library paths are relative to the working directory.
#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/window.h"
#include "platform/demo_error.h"
#include "render/gl.h"
#include "render/screen.h"
#include "support/gl_fixture.h"
#include "show/show_loader.h"
#include "timeline/effekt.h"

namespace fs = std::filesystem;

namespace {

const std::string kTwoLines = std::string(TEST_PLUGIN_DIR) + "/libtest_plugin_two_lines.so";

template <class T>
T Lookup(const std::string& library, const char* name)
{
    void* module = dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
    return module ? reinterpret_cast<T>(dlsym(module, name)) : nullptr;
}

// Runs the test in a fresh folder with its own data/demo.txt.
class PluginScriptTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ScreenWidth = 96;
        ScreenHeight = 72;
        window_ = OpenTestWindow(96, 72).release();
        ResetPerspective();
        glEnable(GL_TEXTURE_2D);
    }
    static void TearDownTestSuite()
    {
        delete window_;
        window_ = nullptr;
    }

    void SetUp() override
    {
        previous_ = fs::current_path();
        dir_ = MakeTempDir();
        fs::create_directories(fs::path(dir_) / "data" / "plugins");
        fs::current_path(dir_);
    }
    void TearDown() override
    {
        fs::current_path(previous_);
        fs::remove_all(dir_);
    }

    void WriteScript(const std::string& text)
    {
        std::ofstream(fs::path(dir_) / "data" / "demo.txt") << text;
    }

    static Window* window_;
    fs::path previous_;
    std::string dir_;
};

Window* PluginScriptTest::window_ = nullptr;

}  // namespace

TEST_F(PluginScriptTest, NextEntryStartsAfterThePluginsLines)
{
    // Two copies of one plug-in, one under data/plugins/ and one named bare,
    // each a library of its own with its own remembered lines.
    fs::copy_file(kTwoLines, fs::path(dir_) / "data" / "plugins" / "libtwo.so");
    fs::copy_file(kTwoLines, fs::path(dir_) / "libhere.so");
    WriteScript("data/music.ogg\n0\n3\n"
                "Plugin\n100\n900\ndata/plugins/libtwo.so\nalpha\nbeta\n"
                "Plugin\n# comments before the path are the player's to skip\n200\n800\nlibhere.so\ngamma\ndelta\n"
                "FlashWhite\n1000\n2000");

    Show show;
    LoadShow(show, window_);
    const EffectList& effects = show.effects;
    EXPECT_EQ(show.musicFile, "data/music.ogg");
    EXPECT_EQ(show.startOffset, 0);
    ASSERT_EQ(effects.size(), 3u);
    EXPECT_EQ(effects[0]->start, 100);
    EXPECT_EQ(effects[1]->start, 200);
    EXPECT_EQ(effects[1]->end, 800);
    EXPECT_EQ(effects[2]->start, 1000);
    EXPECT_EQ(effects[2]->end, 2000);

    const std::string first = (fs::path(dir_) / "data" / "plugins" / "libtwo.so").string();
    const std::string second = (fs::path(dir_) / "libhere.so").string();
    ASSERT_NE(Lookup<void*>(first, "SeenLine"), nullptr);
    ASSERT_NE(Lookup<void*>(second, "SeenLine"), nullptr);
    EXPECT_STREQ(Lookup<const char* (*)(int)>(first, "SeenLine")(0), "alpha");
    EXPECT_STREQ(Lookup<const char* (*)(int)>(first, "SeenLine")(1), "beta");
    EXPECT_STREQ(Lookup<const char* (*)(int)>(second, "SeenLine")(0), "gamma");
    EXPECT_STREQ(Lookup<const char* (*)(int)>(second, "SeenLine")(1), "delta");
    EXPECT_EQ(Lookup<int (*)()>(second, "SeenStart")(), 200);
}

TEST_F(PluginScriptTest, MissingPluginEndsLoadingWithItsMessage)
{
    WriteScript("data/music.ogg\n0\n2\nFlashWhite\n0\n100\nPlugin\n0\n100\ndata/plugins/missing.so\n"
                "FlashWhite\n0\n100");
    Show show;
    const EffectList& effects = show.effects;
    try {
        LoadShow(show, window_);
        FAIL() << "no error";
    } catch (const DemoError& e) {
        EXPECT_STREQ(e.what(), "Unable to load plugin: data/plugins/missing.so");
    }
    EXPECT_EQ(effects.size(), 1u) << "the effects made before stay in the list";
}
