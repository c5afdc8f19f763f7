// Command-line parsing.
#include <gtest/gtest.h>

#include <vector>

#include "host/setup/options.h"

namespace {

bool Parse(std::vector<const char*> args, PlayerOptions& o, std::string& error)
{
    args.insert(args.begin(), "player");
    return ParseOptions(static_cast<int>(args.size()), args.data(), o, error);
}

TEST(Options, RenderWithAllValues)
{
    PlayerOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"-C", "/tmp", "--render", "1000:5000:250", "--out", "frames", "--beat", "0.5", "--size",
                       "320x240", "--no-gui"},
                      o, error))
        << error;
    EXPECT_EQ(o.directory, "/tmp");
    EXPECT_TRUE(o.render);
    EXPECT_EQ(o.renderFrom, 1000);
    EXPECT_EQ(o.renderTo, 5000);
    EXPECT_EQ(o.renderStep, 250);
    EXPECT_EQ(o.outDir, "frames");
    ASSERT_TRUE(o.beat.has_value());
    EXPECT_FLOAT_EQ(*o.beat, 0.5f);
    EXPECT_EQ(o.width, 320);
    EXPECT_EQ(o.height, 240);
    EXPECT_TRUE(o.noGui);
    EXPECT_TRUE(o.SkipsDialog());
}

TEST(Options, DefaultsShowTheDialog)
{
    PlayerOptions o;
    std::string error;
    ASSERT_TRUE(Parse({}, o, error));
    EXPECT_FALSE(o.SkipsDialog());
    EXPECT_FALSE(o.render);
}

TEST(Options, TimesFileIsARender)
{
    PlayerOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--times", "t.txt", "--out", "/dev/null", "--beat", "0.25", "--profile", "p.csv"}, o, error))
        << error;
    EXPECT_EQ(o.profileFile, "p.csv");
    EXPECT_TRUE(o.render);
    EXPECT_TRUE(o.SkipsDialog());
    EXPECT_EQ(o.timesFile, "t.txt");
    EXPECT_EQ(o.outDir, "/dev/null");
}

TEST(Options, RejectsMalformedValues)
{
    const std::vector<std::vector<const char*>> bad = {
        {"--render", "1000:5000:0", "--out", "x"},  // a zero step would never end
        {"--render", "1000:5000", "--out", "x"},
        {"--render", "0:100:10"},                    // no --out
        {"--size", "800"},
        {"--size", "0x600"},
        {"--size", "800x"},
        {"--size", "32769x600", "--render", "0:1:1", "--out", "x"},  // beyond every driver
        {"--beat", "loud", "--render", "0:1:1", "--out", "x"},
        {"--beat", "nan", "--render", "0:1:1", "--out", "x"},
        {"--beat", "1.5", "--render", "0:1:1", "--out", "x"},
        {"--beat", "-0.1", "--render", "0:1:1", "--out", "x"},
        {"--out", "x"},                              // --out without --render
        {"--times", "t.txt"},                        // no --out
        {"--times", "", "--out", "x"},
        {"--render", "0:1:1", "--times", "t.txt", "--out", "x"},  // a range or a list, not both
        {"--times", "t.txt", "--render", "0:1:1", "--out", "x"},
        {"--times", "t.txt", "--out", "x", "--start", "5"},
        {"--profile"},
        {"--profile", ""},
        {"--check", "--profile", "p.csv"},           // --check draws no frame
        {"--frobnicate"},
        {"-C"},
        {"a/data/demo.txt", "b/data/demo.txt"},     // one show at a time
        {"-C", "/tmp", "a/data/demo.txt"},           // a folder or a script, not both
        {"-"},
        {""},
    };
    for (const auto& args : bad) {
        PlayerOptions o;
        std::string error;
        EXPECT_FALSE(Parse(args, o, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(Options, AScriptNamesTheShowAndKeepsTheDialog)
{
    PlayerOptions o;
    std::string error;
    // What the menu entry passes when a file manager opens a show's script.
    ASSERT_TRUE(Parse({"/home/me/show/data/demo.txt"}, o, error)) << error;
    EXPECT_EQ(o.script, "/home/me/show/data/demo.txt");
    EXPECT_TRUE(o.directory.empty());
    EXPECT_FALSE(o.SkipsDialog());

    PlayerOptions rendering;
    ASSERT_TRUE(Parse({"--render", "0:10:5", "show/data/demo.txt", "--out", "frames"}, rendering, error)) << error;
    EXPECT_EQ(rendering.script, "show/data/demo.txt");
    EXPECT_EQ(rendering.outDir, "frames");
}

TEST(Options, StartOnlyWithALiveRun)
{
    PlayerOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--start", "46080", "--windowed"}, o, error)) << error;
    ASSERT_TRUE(o.startMs.has_value());
    EXPECT_EQ(*o.startMs, 46080);

    for (std::vector<const char*> args : {std::vector<const char*>{"--start", "1.5"},
                                          {"--start"},
                                          {"--start", "10", "--render", "0:10:1", "--out", "f"},
                                          {"--start", "10", "--capture", "show.mp4"},
                                          {"--check", "--start", "10"}}) {
        PlayerOptions rejected;
        error.clear();
        EXPECT_FALSE(Parse(args, rejected, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(Options, HeadlessOnlyWithABatchRun)
{
    for (std::vector<const char*> args : {std::vector<const char*>{"--headless", "--render", "0:10:1", "--out", "f"},
                                          {"--headless", "--times", "t.txt", "--out", "f"},
                                          {"--headless", "--capture", "show.mp4", "--size", "3840x2160"},
                                          {"--check", "--headless"}}) {
        PlayerOptions o;
        std::string error;
        ASSERT_TRUE(Parse(args, o, error)) << args[1] << ": " << error;
        EXPECT_TRUE(o.headless);
        EXPECT_TRUE(o.Batch());
    }
    // A live run needs its window and its keys.
    for (std::vector<const char*> args : {std::vector<const char*>{"--headless"}, {"--headless", "--windowed"}}) {
        PlayerOptions o;
        std::string error;
        EXPECT_FALSE(Parse(args, o, error));
        EXPECT_NE(error.find("--headless only goes with"), std::string::npos) << error;
    }
}

}  // namespace
