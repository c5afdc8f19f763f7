// The player program end to end: headless rendering and exit codes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "support/files.h"
#include "support/gl_fixture.h"
#include "support/image_files.h"

namespace {

// A folder holding data/demo.txt with the given text.
std::string ShowFolder(const std::string& script)
{
    const std::string dir = MakeTempDir();
    mkdir((dir + "/data").c_str(), 0755);
    std::ofstream(dir + "/data/demo.txt") << script;
    return dir;
}

// Runs the player in dir with the given arguments; returns its exit code.
int RunPlayer(const std::string& dir, const std::string& args)
{
    const char* player = std::getenv("DEMO_PLAYER");
    if (!player)
        return -1000;
    const std::string command = std::string(player) + " -C " + dir + " --no-gui " + args + " 2>" + dir + "/stderr.txt";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Player, RendersFramesAsTheShowDrawsThem)
{
    const std::string dir = ShowFolder("data/none.ogg\n0\n1\nFlashWhite\n0\n1000");
    ASSERT_EQ(RunPlayer(dir, "--size 64x48 --render 250:1000:250 --out " + dir + "/out/frames"), 0)
        << ReadFile(dir + "/stderr.txt");
    const float expected[] = {0.75f, 0.5f, 0.25f};
    const char* names[] = {"frame_0000250.png", "frame_0000500.png", "frame_0000750.png"};
    for (int i = 0; i < 3; ++i) {
        int w = 0, h = 0;
        const auto pixels = ReadImage(dir + "/out/frames/" + names[i], w, h);
        ASSERT_EQ(w, 64) << names[i];
        ASSERT_EQ(h, 48);
        for (size_t corner : {size_t(0), pixels.size() - 4}) {
            EXPECT_NEAR(pixels[corner], expected[i] * 255, 2) << names[i];
            EXPECT_NEAR(pixels[corner + 2], expected[i] * 255, 2) << names[i];
        }
    }
    EXPECT_FALSE(Exists(dir + "/out/frames/frame_0001000.png"));  // TO is not drawn
    EXPECT_NE(ReadFile(dir + "/stderr.txt").find("Loaded FlashWhite with start time 0 and end time 1000\n"),
              std::string::npos);
}

TEST(Player, EndOfShowEndsARenderNormally)
{
    const std::string dir = ShowFolder("m\n0\n2\nFlashWhite\n0\n1000\nEndDemo\n600\n-1\n");
    EXPECT_EQ(RunPlayer(dir, "--size 32x24 --render 250:1000:250 --out " + dir + "/frames"), 0);
    EXPECT_TRUE(Exists(dir + "/frames/frame_0000500.png"));
    EXPECT_FALSE(Exists(dir + "/frames/frame_0000750.png"));
    EXPECT_NE(ReadFile(dir + "/stderr.txt").find("Exception: End of show\n"), std::string::npos);
}

TEST(Player, TimesFileDrawsTheListedTimesAsListed)
{
    const std::string dir = ShowFolder("data/none.ogg\n0\n1\nFlashWhite\n0\n1000");
    std::ofstream(dir + "/times.txt") << "750\n\n  250 \n750\n";
    ASSERT_EQ(RunPlayer(dir, "--size 32x24 --times times.txt --out " + dir + "/frames"), 0)
        << ReadFile(dir + "/stderr.txt");
    for (const auto& [name, level] : {std::pair{"frame_0000250.png", 0.75f}, std::pair{"frame_0000750.png", 0.25f}}) {
        int w = 0, h = 0;
        const auto pixels = ReadImage(dir + "/frames/" + name, w, h);
        ASSERT_EQ(w, 32) << name;
        EXPECT_NEAR(pixels[0], level * 255, 2) << name;
    }
    EXPECT_FALSE(Exists(dir + "/frames/frame_0000500.png"));

    // Nothing is written for /dev/null, and the run still ends normally.
    EXPECT_EQ(RunPlayer(dir, "--size 32x24 --times times.txt --out /dev/null"), 0) << ReadFile(dir + "/stderr.txt");
}

TEST(Player, ABadTimesFileFailsBeforeDrawing)
{
    const std::string dir = ShowFolder("m\n0\n1\nFlashWhite\n0\n1000");
    std::ofstream(dir + "/times.txt") << "10\n20ms\n";
    EXPECT_EQ(RunPlayer(dir, "--size 32x24 --times times.txt --out " + dir + "/f"), 1);
    EXPECT_NE(ReadFile(dir + "/stderr.txt").find("Exception: Bad time '20ms' on line 2 of times.txt\n"),
              std::string::npos);
    EXPECT_FALSE(Exists(dir + "/f"));

    std::ofstream(dir + "/times.txt") << "99999999999\n";
    EXPECT_EQ(RunPlayer(dir, "--size 32x24 --times times.txt --out " + dir + "/f"), 1);
    EXPECT_EQ(RunPlayer(dir, "--size 32x24 --times missing.txt --out " + dir + "/f"), 1);
    EXPECT_NE(ReadFile(dir + "/stderr.txt").find("Exception: Unable to read missing.txt\n"), std::string::npos);
}

TEST(Player, FailuresExitWithOne)
{
    const std::string unknown = ShowFolder("m\n0\n1\nNoSuchEffect\n0\n10");
    EXPECT_EQ(RunPlayer(unknown, "--size 32x24 --render 0:10:5 --out " + unknown + "/f"), 1);
    EXPECT_NE(ReadFile(unknown + "/stderr.txt")
                  .find("Exception: Unknown entry 'NoSuchEffect' in file, please correct\n"),
              std::string::npos);

    const std::string empty = MakeTempDir();
    EXPECT_EQ(RunPlayer(empty, "--size 32x24 --render 0:10:5 --out " + empty + "/f"), 1);
    EXPECT_NE(ReadFile(empty + "/stderr.txt").find("Exception: Unable to load data/demo.txt\n"), std::string::npos);

    // Whatever a plug-in throws ends the run through the handler, not an abort.
    const std::string throwing = ShowFolder(std::string("m\n0\n1\nPlugin\n0\n100\n") + TEST_PLUGIN_DIR +
                                            "/libtest_plugin_throws.so\n");
    EXPECT_EQ(RunPlayer(throwing, "--size 32x24 --render 10:20:5 --out " + throwing + "/f"), 1);
    EXPECT_NE(ReadFile(throwing + "/stderr.txt").find("Exception: Unknown error\n"), std::string::npos);

    EXPECT_EQ(RunPlayer(empty, "--size nonsense"), 1);
    EXPECT_EQ(RunPlayer(empty, "--help"), 0);
}

TEST(Player, ALiveRunWithoutADisplaySaysSo)
{
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    const std::string dir = ShowFolder("m\n0\n1\nFlashWhite\n0\n1000\n");
    for (const char* value : {static_cast<const char*>(nullptr), ""}) {
        if (value)
            setenv("DISPLAY", value, 1);
        else
            unsetenv("DISPLAY");
        EXPECT_EQ(RunPlayer(dir, "--windowed --size 32x24"), 1);
        const std::string errors = ReadFile(dir + "/stderr.txt");
        EXPECT_NE(errors.find("A live run needs a display, and DISPLAY is not set"), std::string::npos) << errors;
        EXPECT_NE(errors.find("--headless"), std::string::npos) << errors;
        // The batch runs draw all the same.
        EXPECT_EQ(RunPlayer(dir, "--size 32x24 --render 0:100:50 --out " + dir + "/f"), 0) << ReadFile(dir + "/stderr.txt");
        EXPECT_TRUE(Exists(dir + "/f/frame_0000050.png"));
    }
    if (display)
        setenv("DISPLAY", saved.c_str(), 1);
}

// The fields of one CSV line (no quoted fields in these names).
std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, ','))
        fields.push_back(field);
    if (!line.empty() && line.back() == ',')
        fields.push_back("");
    return fields;
}

const char* const kProfiledShow = "m\n0\n1\nFlashWhite\n0\n1000\nColorBox\n400\n1500\nEndDemo\n1200\n3000\n";

TEST(Player, ProfileHasARowPerFrameAndEntryDrawnUpToTheShowsEnd)
{
    const std::string dir = ShowFolder(kProfiledShow);
    ASSERT_EQ(RunPlayer(dir, "--size 32x24 --render 0:2000:100 --out /dev/null --profile " + dir + "/p.csv"), 0)
        << ReadFile(dir + "/stderr.txt");
    // An entry draws strictly inside its window; EndDemo's first frame (1300) ends the run.
    std::vector<std::pair<int, std::string>> expected;
    for (int t = 0; t <= 1300; t += 100) {
        if (t > 0 && t < 1000)
            expected.emplace_back(t, "0,FlashWhite");
        if (t > 400)
            expected.emplace_back(t, "1,ColorBox");
        if (t > 1200)
            expected.emplace_back(t, "2,EndDemo");
    }
    std::ifstream csv(dir + "/p.csv");
    std::string line;
    ASSERT_TRUE(std::getline(csv, line));
    EXPECT_EQ(line, "time_ms,entry,name,cpu_ms,gpu_ms");
    size_t row = 0;
    for (; std::getline(csv, line); ++row) {
        ASSERT_LT(row, expected.size()) << line;
        const std::vector<std::string> f = Fields(line);
        ASSERT_EQ(f.size(), 5u) << line;
        EXPECT_EQ(std::stoi(f[0]), expected[row].first) << line;
        EXPECT_EQ(f[1] + "," + f[2], expected[row].second) << line;
        size_t used = 0;
        EXPECT_GE(std::stod(f[3], &used), 0.0) << line;
        EXPECT_EQ(used, f[3].size()) << line;
        if (!f[4].empty()) {  // empty where the driver has no timer queries
            EXPECT_GE(std::stod(f[4]), 0.0) << line;
        }
    }
    EXPECT_EQ(row, expected.size());
    const std::string err = ReadFile(dir + "/stderr.txt");
    EXPECT_NE(err.find("Costliest entries"), std::string::npos) << err;
    EXPECT_NE(err.find("ColorBox"), std::string::npos) << err;
}

TEST(Player, ProfilingChangesNoFrame)
{
    const std::string dir = ShowFolder(kProfiledShow);
    ASSERT_EQ(RunPlayer(dir, "--size 64x48 --render 0:1200:150 --out " + dir + "/plain"), 0);
    ASSERT_EQ(RunPlayer(dir, "--size 64x48 --render 0:1200:150 --out " + dir + "/measured --profile " + dir +
                                 "/p.csv"),
              0)
        << ReadFile(dir + "/stderr.txt");
    for (int t = 0; t < 1200; t += 150) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame_%07d.png", t);
        const std::string plain = ReadFile(dir + "/plain" + name);
        EXPECT_FALSE(plain.empty()) << name;
        EXPECT_EQ(ReadFile(dir + "/measured" + name), plain) << name;
    }
}

TEST(Player, AProfileThatCannotBeWrittenFailsBeforeDrawing)
{
    const std::string dir = ShowFolder(kProfiledShow);
    EXPECT_EQ(RunPlayer(dir, "--size 32x24 --render 0:500:100 --out " + dir + "/f --profile " + dir + "/no/p.csv"), 1);
    EXPECT_NE(ReadFile(dir + "/stderr.txt").find("Unable to write " + dir + "/no/p.csv"), std::string::npos);
    EXPECT_FALSE(Exists(dir + "/f"));
}

}  // namespace
