// The modules that hold the player's FFmpeg and GTK code: where they are
// found, what a run loads, and what happens when one is missing.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/setup/dialogs.h"
#include "media/video_support.h"
#include "platform/player_module.h"
#include "support/files.h"
#include "support/image_files.h"
#include "support/video_files.h"

namespace {

// The folder of the built modules, as ctest gives it.
std::string BuiltModules()
{
    const char* dir = std::getenv("DEMO_MODULE_DIR");
    return dir ? dir : "";
}

// A show folder with the given entries and what a Video entry reads.
std::string ShowFolder(const std::string& entries)
{
    return MakeVideoShowFolder("m\n0\n1\n" + entries);
}

const char kVideoEntry[] = "Video\n0\n1000\n";
const char kPlainEntry[] = "FlashWhite\n0\n1000\n";

// Runs the player headless in dir with `env` before it; gives the exit code,
// with what it wrote in dir/stdout.txt and dir/stderr.txt.
int RunPlayer(const std::string& dir, const std::string& env, const std::string& args)
{
    const char* player = std::getenv("DEMO_PLAYER");
    if (!player)
        return -1000;
    const std::string command = "env -u DISPLAY " + env + " " + player + " -C " + dir + " --no-gui " + args + " 2>" +
                                dir + "/stderr.txt >" + dir + "/stdout.txt";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Whether the dynamic loader started an object of that name in the run whose
// standard error (with LD_DEBUG=files) is in dir.
bool Loaded(const std::string& dir, const std::string& name)
{
    std::ifstream in(dir + "/stderr.txt");
    for (std::string line; std::getline(in, line);)
        if (line.find("calling init: ") != std::string::npos && line.find(name) != std::string::npos)
            return true;
    return false;
}

class ModuleFolder {
public:
    explicit ModuleFolder(const std::string& dir) : previous_(BuiltModules())
    {
        setenv("DEMO_MODULE_DIR", dir.c_str(), 1);
    }
    ~ModuleFolder() { setenv("DEMO_MODULE_DIR", previous_.c_str(), 1); }

private:
    std::string previous_;
};

TEST(PlayerModules, AreLookedForWhereTheFolderSaysAndRefusedWhenDamaged)
{
    const std::string built = BuiltModules();
    ASSERT_FALSE(built.empty()) << "run by ctest, which names the modules' folder";
    std::string error;
    EXPECT_NE(OpenPlayerModule(kVideoModuleFile, kVideoModuleEntry, error), nullptr) << error;
    EXPECT_NE(OpenPlayerModule(kDialogModuleFile, kDialogModuleEntry, error), nullptr) << error;

    const std::string dir = MakeTempDir();
    ModuleFolder folder(dir);
    EXPECT_EQ(OpenPlayerModule(kVideoModuleFile, kVideoModuleEntry, error), nullptr);
    EXPECT_EQ(error, "there is no " + dir + "/" + kVideoModuleFile);

    // Cut short, as by a full disk during an install.
    const std::string whole = ReadFile(built + "/" + kVideoModuleFile);
    std::ofstream(dir + "/" + kVideoModuleFile, std::ios::binary) << whole.substr(0, 4096);
    EXPECT_EQ(OpenPlayerModule(kVideoModuleFile, kVideoModuleEntry, error), nullptr);
    EXPECT_EQ(error, dir + "/" + kVideoModuleFile + " is cut short or not built for this machine");

    // Another module under its name.
    std::filesystem::copy_file(built + "/" + kDialogModuleFile, dir + "/" + kVideoModuleFile,
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(OpenPlayerModule(kVideoModuleFile, kVideoModuleEntry, error), nullptr);
    EXPECT_EQ(error, dir + "/" + kVideoModuleFile + " has no function " + kVideoModuleEntry);
}

// In this process the modules are opened once, and here from an empty folder.
TEST(PlayerModules, WithoutThemTheDialogIsSkippedAndVideoSaysItIsNotInstalled)
{
    const std::string dir = MakeTempDir();
    ModuleFolder folder(dir);
    VideoSettings settings;
    settings.width = 800;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(AskVideoSettings(settings));
    ShowErrorInBox("Unable to load data/demo.txt");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(settings.width, 800);
    const std::string missing = "there is no " + dir + "/" + kDialogModuleFile;
    EXPECT_NE(said.find("No video setup dialog (" + missing + "); using the settings as they are\n"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("No error box (" + missing + ")\n"), std::string::npos) << said;

    PreloadVideoSupport();
    try {
        OpenVideoFile("data/vondo/video/Video.avi");
        ADD_FAILURE() << "no module, yet a video";
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Video support is not installed: there is no " + dir + "/" + kVideoModuleFile);
    }
}

TEST(PlayerModules, ThePlayerRunsWithoutVideoSupportAndSaysWhyVideoFails)
{
    const std::string show = ShowFolder(std::string(kVideoEntry));
    const std::string empty = MakeTempDir();
    const std::string env = "DEMO_MODULE_DIR=" + empty;
    const std::string missing = "Video support is not installed: there is no " + empty + "/" + kVideoModuleFile;

    EXPECT_EQ(RunPlayer(show, env, "--check"), 1);
    EXPECT_NE(ReadFile(show + "/stdout.txt").find("data/demo.txt:4: " + missing), std::string::npos)
        << ReadFile(show + "/stdout.txt");

    // Refused before anything is drawn or written.
    EXPECT_EQ(RunPlayer(show, env, "--size 32x24 --capture " + show + "/out.mkv"), 1);
    EXPECT_NE(ReadFile(show + "/stderr.txt").find(missing), std::string::npos) << ReadFile(show + "/stderr.txt");
    EXPECT_FALSE(Exists(show + "/out.mkv"));
    EXPECT_FALSE(Exists(show + "/out.mkv.part"));

    // A show without video does not miss it.
    const std::string plain = ShowFolder(kPlainEntry);
    EXPECT_EQ(RunPlayer(plain, env, "--size 32x24 --render 0:1000:500 --out /dev/null"), 0)
        << ReadFile(plain + "/stderr.txt");
}

TEST(PlayerModules, ARunLoadsFfmpegOnlyForVideoAndABatchRunNeverLoadsGtk)
{
    const std::string plain = ShowFolder(kPlainEntry);
    ASSERT_EQ(RunPlayer(plain, "LD_DEBUG=files", "--size 32x24 --render 0:1000:500 --out /dev/null"), 0)
        << ReadFile(plain + "/stderr.txt");
    EXPECT_FALSE(Loaded(plain, kVideoModuleFile));
    EXPECT_FALSE(Loaded(plain, "libavcodec"));
    EXPECT_FALSE(Loaded(plain, kDialogModuleFile));
    EXPECT_FALSE(Loaded(plain, "libgtk-3"));

    const std::string video = ShowFolder(std::string(kVideoEntry));
    ASSERT_EQ(RunPlayer(video, "LD_DEBUG=files", "--size 32x24 --render 0:1000:500 --out /dev/null"), 0)
        << ReadFile(video + "/stderr.txt");
    EXPECT_TRUE(Loaded(video, kVideoModuleFile));
    EXPECT_TRUE(Loaded(video, "libavcodec"));
    EXPECT_FALSE(Loaded(video, "libgtk-3"));
}

TEST(PlayerModules, ThePlayerItselfNeedsNeitherFfmpegNorGtk)
{
    const char* player = std::getenv("DEMO_PLAYER");
    ASSERT_NE(player, nullptr);
    FILE* ldd = popen(("ldd " + std::string(player)).c_str(), "r");
    ASSERT_NE(ldd, nullptr);
    std::string needed;
    char line[512];
    while (std::fgets(line, sizeof line, ldd))
        needed += line;
    EXPECT_EQ(pclose(ldd), 0);
    EXPECT_NE(needed.find("libSDL"), std::string::npos) << needed;
    for (const char* library : {"libavformat", "libavcodec", "libswscale", "libavutil", "libgtk-3", "libXrandr"})
        EXPECT_EQ(needed.find(library), std::string::npos) << library;
}

}  // namespace
