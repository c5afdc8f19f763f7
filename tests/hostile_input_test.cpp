// Inputs that must neither hang nor crash the player: FIFOs in place of its
// files, a plug-in library cut short, signals during a headless run, and
// numbers beyond the int range.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/demo_error.h"
#include "platform/elf_check.h"
#include "media/pcm_track.h"
#include "render/picture_file.h"
#include "support/gl_fixture.h"
#include "effects/plugin_loader.h"
#include "support/files.h"
#include "support/held_frame.h"
#include "timeline/script_reader.h"

namespace {

std::string TestPlugin(const char* name)
{
    return std::string(TEST_PLUGIN_DIR) + "/libtest_plugin_" + name + ".so";
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string MakeFifo(const std::string& path)
{
    EXPECT_EQ(mkfifo(path.c_str(), 0644), 0) << path;
    return path;
}

// A show folder whose data/demo.txt holds script.
std::string ShowFolder(const std::string& script)
{
    const std::string dir = MakeTempDir();
    mkdir((dir + "/data").c_str(), 0755);
    mkdir((dir + "/data/overlay").c_str(), 0755);
    WriteFile(dir + "/data/demo.txt", script);
    return dir;
}

// Starts the player in dir; its standard error goes to dir/stderr.txt.
pid_t StartPlayer(const std::string& dir, const std::string& args)
{
    const char* player = std::getenv("DEMO_PLAYER");
    const std::string command = "exec " + std::string(player ? player : "false") + " -C " + dir + " --no-gui " +
                                args + " 2>" + dir + "/stderr.txt";
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// The exit code, or -1 for a signal and -2 when it ran past 60 s (killed).
int WaitFor(pid_t pid)
{
    for (int tenths = 0; tenths < 600; ++tenths) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        usleep(100000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -2;
}

int RunPlayer(const std::string& dir, const std::string& args)
{
    return WaitFor(StartPlayer(dir, args));
}

const char kRender[] = "--size 32x24 --render 10:30:10 --out ";

TEST(FifoInputs, EachIsRefusedAsAnUnreadableFile)
{
    const std::string dir = MakeTempDir();
    PictureData picture;
    EXPECT_FALSE(DecodePictureFile(MakeFifo(dir + "/picture.jpg").c_str(), picture));

    PcmTrack track;
    std::string error;
    EXPECT_FALSE(DecodeTrack(MakeFifo(dir + "/music.ogg"), track, error));
    EXPECT_EQ(error, "not a plain file");

    FILE* script = std::tmpfile();
    try {
        Effekter::PluginLoader plugin(0, 10, MakeFifo(dir + "/plugin.so").c_str(), script);
        ADD_FAILURE() << "a FIFO loaded as a plug-in";
    } catch (const DemoError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to load plugin: " + dir + "/plugin.so");
    }
    std::fclose(script);
}

TEST(FifoInputs, ThePlayerGoesOnOrStopsWithTheFilesMessage)
{
    // The script itself.
    const std::string noScript = ShowFolder("");
    unlink((noScript + "/data/demo.txt").c_str());
    MakeFifo(noScript + "/data/demo.txt");
    EXPECT_EQ(RunPlayer(noScript, kRender + noScript + "/out"), 1);
    EXPECT_NE(ReadFile(noScript + "/stderr.txt").find("Unable to load data/demo.txt"), std::string::npos);

    // The loading picture, a layer's picture and the music: the show runs.
    const std::string pictures = ShowFolder("data/music.ogg\n0\n1\nMask\n0\n100\ndata/mask.png");
    MakeFifo(pictures + "/data/overlay/loader.jpg");
    MakeFifo(pictures + "/data/mask.png");
    MakeFifo(pictures + "/data/music.ogg");
    EXPECT_EQ(RunPlayer(pictures, kRender + pictures + "/out"), 0) << ReadFile(pictures + "/stderr.txt");
    EXPECT_NE(ReadFile(pictures + "/stderr.txt").find("cannot play music file data/music.ogg"), std::string::npos);

    const std::string video = ShowFolder("m\n0\n1\nVideo\n0\n100");
    mkdir((video + "/data/vondo").c_str(), 0755);
    mkdir((video + "/data/vondo/video").c_str(), 0755);
    for (const char* shader : {"distort.fs", "video.fs"})
        WriteFile(video + "/data/vondo/video/" + shader, ReadFile(SourcePath("data/vondo/video/") + shader));
    MakeFifo(video + "/data/vondo/video/Video.avi");
    EXPECT_EQ(RunPlayer(video, kRender + video + "/out"), 1);
    EXPECT_NE(ReadFile(video + "/stderr.txt").find("Error reading AVI"), std::string::npos);
}

TEST(CutLibrary, IsRefusedBeforeTheSystemLoaderMapsIt)
{
    const std::string whole = ReadFile(TestPlugin("two_lines"));
    ASSERT_GT(whole.size(), 1000u);
    EXPECT_TRUE(IsCompleteSharedObject(TestPlugin("two_lines").c_str()));

    const std::string dir = MakeTempDir();
    WriteFile(dir + "/half.so", whole.substr(0, whole.size() / 2));
    WriteFile(dir + "/header.so", whole.substr(0, 64));
    WriteFile(dir + "/text.so", "not a library");
    for (const char* name : {"half.so", "header.so", "text.so"})
        EXPECT_FALSE(IsCompleteSharedObject((dir + "/" + name).c_str())) << name;

    // The whole player: the message and exit 1, no hang in SDL's shutdown.
    const std::string show = ShowFolder("m\n0\n1\nPlugin\n0\n100\n" + dir + "/half.so\n");
    EXPECT_EQ(RunPlayer(show, kRender + show + "/out"), 1);
    EXPECT_NE(ReadFile(show + "/stderr.txt").find("Unable to load plugin: " + dir + "/half.so"), std::string::npos);
}

TEST(StopSignals, EndAHeadlessRunWithTheSignalsExitCode)
{
    // Each signal comes while the run is held inside a frame, and takes effect
    // between that frame and the next.
    for (const int signal : {SIGINT, SIGTERM}) {
        const std::string dir = ShowFolder("");
        WriteFile(dir + "/data/demo.txt", "m\n0\n1\n" + HoldingEntry(TEST_PLUGIN_DIR, 100, dir + "/hold"));
        const pid_t pid = StartPlayer(dir, "--size 16x12 --render 0:100000000:1 --out " + dir + "/out");
        EXPECT_TRUE(WaitForText(dir + "/stderr.txt", "Holding frame at")) << ReadFile(dir + "/stderr.txt");
        kill(pid, signal);
        ReleaseHeldFrame(dir + "/hold");
        EXPECT_EQ(WaitFor(pid), 128 + signal) << ReadFile(dir + "/stderr.txt");
        EXPECT_EQ(ReadFile(dir + "/stderr.txt").find("You quit?"), std::string::npos);
    }
}

TEST(StopSignals, XWindowLiveRunTakesThemAsAClose)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "a live run needs an X display";
    const std::string live = ShowFolder("");
    WriteFile(live + "/data/demo.txt", "m\n0\n1\n" + HoldingEntry(TEST_PLUGIN_DIR, 0, live + "/hold"));
    const pid_t pid = StartPlayer(live, "--windowed --size 16x12");
    EXPECT_TRUE(WaitForText(live + "/stderr.txt", "Holding frame at")) << ReadFile(live + "/stderr.txt");
    kill(pid, SIGINT);
    ReleaseHeldFrame(live + "/hold");
    EXPECT_EQ(WaitFor(pid), 0);
    EXPECT_NE(ReadFile(live + "/stderr.txt").find("You quit?"), std::string::npos);
}

TEST(ReadInt, SaturatesBeyondTheIntRange)
{
    FILE* f = std::tmpfile();
    std::fputs("2147483647\n2147483648\n99999999999999999999x\n-2147483648\n-2147483649\n  -000000000000000012\n",
               f);
    std::rewind(f);
    EXPECT_EQ(ReadInt(f), 2147483647);
    EXPECT_EQ(ReadInt(f), 2147483647);
    EXPECT_EQ(ReadInt(f), 2147483647);
    EXPECT_EQ(ReadInt(f), -2147483647 - 1);
    EXPECT_EQ(ReadInt(f), -2147483647 - 1);
    EXPECT_EQ(ReadInt(f), -12);
    std::fclose(f);
}

}  // namespace
