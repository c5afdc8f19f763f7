#include "effects/plugin_loader.h"

#include <dlfcn.h>

#include <cstdio>
#include <memory>
#include <string>

#include "platform/demo_error.h"
#include "support/gl_fixture.h"
#include "timeline/script_reader.h"

namespace {

std::string TestPlugin(const char* name)
{
    return std::string(TEST_PLUGIN_DIR) + "/libtest_plugin_" + name + ".so";
}

// A stream holding the given text, positioned at its start.
FILE* StreamOf(const char* text)
{
    FILE* stream = std::tmpfile();
    std::fputs(text, stream);
    std::rewind(stream);
    return stream;
}

std::string LoadError(const std::string& path)
{
    FILE* stream = StreamOf("");
    try {
        Effekter::PluginLoader plugin(0, 1000, path.c_str(), stream);
    } catch (const DemoError& e) {
        std::fclose(stream);
        return e.what();
    }
    std::fclose(stream);
    return "no error";
}

template <class T>
T Lookup(const std::string& library, const char* name)
{
    void* module = dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
    return module ? reinterpret_cast<T>(dlsym(module, name)) : nullptr;
}

}  // namespace

TEST(PluginLoader, MissingLibrary)
{
    EXPECT_EQ(LoadError("data/plugins/nothing.so"), "Unable to load plugin: data/plugins/nothing.so");
    // A bare name is a file in the working directory, not one of the system's libraries.
    EXPECT_EQ(LoadError("libm.so.6"), "Unable to load plugin: libm.so.6");
    EXPECT_EQ(LoadError(""), "Unable to load plugin: ");
}

TEST(PluginLoader, MissingExports)
{
    const std::string drawOnly = TestPlugin("draw_only");
    EXPECT_EQ(LoadError(drawOnly), "Unable to fint Init function in plugin: " + drawOnly);
    const std::string initOnly = TestPlugin("init_only");
    EXPECT_EQ(LoadError(initOnly), "Unable to fint Draw function in plugin: " + initOnly);
}

TEST(PluginLoader, InitReadsAfterThePathAndDrawIsForwarded)
{
    const std::string path = TestPlugin("two_lines");
    FILE* script = StreamOf("first\nsecond\nthird\n");
    Effekter::PluginLoader plugin(250, 4000, path.c_str(), script);
    EXPECT_STREQ(Lookup<const char* (*)(int)>(path, "SeenLine")(0), "first");
    EXPECT_STREQ(Lookup<const char* (*)(int)>(path, "SeenLine")(1), "second");
    EXPECT_EQ(Lookup<int (*)()>(path, "SeenStart")(), 250);
    EXPECT_EQ(Lookup<int (*)()>(path, "SeenEnd")(), 4000);
    EXPECT_EQ(ReadLine(script), "third");
    std::fclose(script);

    const int drawsBefore = Lookup<int (*)()>(path, "SeenDraws")();
    plugin.Draw(1234, 0.75f);
    EXPECT_EQ(Lookup<int (*)()>(path, "SeenDraws")(), drawsBefore + 1);
    EXPECT_EQ(Lookup<int (*)()>(path, "SeenTime")(), 1234);
    EXPECT_FLOAT_EQ(Lookup<float (*)()>(path, "SeenBeat")(), 0.75f);
}

class ExamplePluginTest : public GlTest {};

namespace {

// The brightest channel sum over a grid of probes.
int Brightness()
{
    int total = 0;
    for (int y = 2; y < GlTest::kHeight; y += 5) {
        for (int x = 2; x < GlTest::kWidth; x += 5) {
            const Pixel p = ReadPixel(x, y);
            total += p[0] + p[1] + p[2];
        }
    }
    return total;
}

}  // namespace

TEST_F(ExamplePluginTest, DrawsWithTheBeatAndLeavesTheState)
{
    FILE* script = StreamOf("# the plug-in skips comments like the player\n0.3 0.8 1\n5\nnext entry\n");
    Effekter::PluginLoader rings(1000, 9000, EXAMPLE_PLUGIN, script);
    EXPECT_EQ(ReadLine(script), "next entry") << "reads exactly its two lines";
    std::fclose(script);

    rings.Draw(3000, 0.0f);
    ExpectDefaultGlState();
    const int quiet = Brightness();
    EXPECT_GT(quiet, 0);

    SetUp();
    rings.Draw(3000, 1.0f);
    ExpectDefaultGlState();
    const int loud = Brightness();
    EXPECT_GT(loud, quiet * 3 / 2) << "a beat makes the picture brighter";

    // The centre glows in white on the beat; the colour of the rings is the script's.
    const Pixel centre = ReadPixel(GlTest::kWidth / 2, GlTest::kHeight / 2);
    EXPECT_GT(centre[0] + centre[1] + centre[2], 600);

    // Fades in from black at the start of its window.
    SetUp();
    rings.Draw(1001, 1.0f);
    ExpectDefaultGlState();
    EXPECT_LT(Brightness(), loud / 50);
}

TEST_F(ExamplePluginTest, MalformedLinesFallBackToItsOwnLook)
{
    FILE* script = StreamOf("not a colour\n-3\n");
    Effekter::PluginLoader rings(20000, -1, EXAMPLE_PLUGIN, script);
    std::fclose(script);
    rings.Draw(25000, 0.5f);
    ExpectDefaultGlState();
    EXPECT_GT(Brightness(), 0);
}
