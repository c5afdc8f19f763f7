// Every file that the default show reads, removed, emptied, replaced by random
// bytes and cut in half: a short headless render of the whole show ends with
// the file's message and exit 1, or runs clean; never a crash, a hang or a
// sanitizer report. The list comes from loading the show itself.
//
// By default one file of every kind (by name ending) is damaged, in every
// way; DEMO_ASSET_MATRIX=full damages every file (tools/asset-matrix.sh).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/load_listener.h"
#include "support/files.h"
#include "support/gl_fixture.h"
#include "show/show_loader.h"

namespace {

// The files that loading the show in dir reads, the script and music included.
std::vector<std::string> FilesOfShow(const std::string& dir)
{
    char here[4096];
    EXPECT_NE(getcwd(here, sizeof here), nullptr);
    EXPECT_EQ(chdir(dir.c_str()), 0);
    LoadedFiles loaded;
    std::string music;
    {
        ScopedLoadListener listening(loaded);
        Show show;
        LoadShow(show, &TestWindow());
        music = show.musicFile;
    }
    EXPECT_EQ(chdir(here), 0);
    std::vector<std::string> files = {"data/demo.txt", music};
    for (const std::string& file : loaded.files)
        if (std::find(files.begin(), files.end(), file) == files.end() && !file.empty())
            files.push_back(file);
    return files;
}

enum class Damage { kRemoved, kEmptied, kRandom, kHalved };
const char* const kDamageNames[] = {"removed", "emptied", "random bytes", "cut in half"};

struct Case {
    std::string file;
    Damage damage;
    std::string dir;
    pid_t pid = 0;
};

// A copy of the show (hard links) with one file damaged in place of its link.
std::string DamagedShow(const std::string& source, const std::string& file, Damage damage)
{
    const std::string dir = MakeTempDir();
    const std::string copy = "cp -al '" + source + "/data' '" + dir + "/data'";
    EXPECT_EQ(std::system(copy.c_str()), 0);
    const std::string path = dir + "/" + file;
    const std::string original = ReadFile(path);
    unlink(path.c_str());  // the link goes; the show's own file stays as it is
    if (damage == Damage::kRemoved)
        return dir;
    std::string bytes;
    if (damage == Damage::kHalved)
        bytes = original.substr(0, original.size() / 2);
    if (damage == Damage::kRandom) {
        std::mt19937 random(static_cast<unsigned>(original.size()));
        bytes.resize(std::max<size_t>(original.size(), 64));
        for (char& c : bytes)
            c = static_cast<char>(random());
    }
    std::ofstream(path, std::ios::binary) << bytes;
    return dir;
}

pid_t StartRender(const std::string& dir)
{
    const char* player = std::getenv("DEMO_PLAYER");
    // Frames across the whole show, so that every effect draws with what it loaded.
    const std::string command = "exec " + std::string(player ? player : "false") + " -C '" + dir +
                                "' --no-gui --size 32x24 --render 500:600000:7500 --out '" + dir + "/out' 2>'" +
                                dir + "/stderr.txt' >/dev/null";
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// Waits for one run; "" when it ended properly, or else what went wrong.
std::string Verdict(const Case& c)
{
    int status = 0;
    for (int tenths = 0; waitpid(c.pid, &status, WNOHANG) != c.pid; ++tenths) {
        if (tenths == 1200) {
            kill(c.pid, SIGKILL);
            waitpid(c.pid, nullptr, 0);
            return "hangs (killed after 120 s)";
        }
        usleep(100000);
    }
    const std::string err = ReadFile(c.dir + "/stderr.txt");
    if (WIFSIGNALED(status))
        return "dies of signal " + std::to_string(WTERMSIG(status)) + ":\n" + err;
    for (const char* report : {"AddressSanitizer", "runtime error:", "LeakSanitizer"})
        if (err.find(report) != std::string::npos)
            return std::string("gives a sanitizer report:\n") + err;
    const int code = WEXITSTATUS(status);
    if (code == 0)
        return "";
    if (code == 1 && err.find("Exception: ") != std::string::npos)
        return "";
    return "exits with " + std::to_string(code) + ":\n" + err;
}

std::string Extension(const std::string& file)
{
    const size_t slash = file.rfind('/');
    const size_t dot = file.rfind('.');
    return dot == std::string::npos || (slash != std::string::npos && dot < slash) ? "" : file.substr(dot);
}

class AssetMatrix : public GlTest {};

TEST_F(AssetMatrix, DamagedFilesGiveTheirMessageOrACleanRun)
{
    const std::string source = SourcePath("");
    std::vector<std::string> files = FilesOfShow(source);
    ASSERT_GT(files.size(), 3u);
    const char* mode = std::getenv("DEMO_ASSET_MATRIX");
    if (!mode || std::string(mode) != "full") {
        std::set<std::string> kinds;
        files.erase(std::remove_if(files.begin(), files.end(),
                                   [&](const std::string& f) { return !kinds.insert(Extension(f)).second; }),
                    files.end());
    }

    std::vector<Case> cases;
    for (const std::string& file : files)
        for (Damage damage : {Damage::kRemoved, Damage::kEmptied, Damage::kRandom, Damage::kHalved})
            cases.push_back({file, damage, "", 0});

    // Two runs at a time: each is one process drawing on one core.
    constexpr size_t kParallel = 2;
    for (size_t first = 0; first < cases.size(); first += kParallel) {
        const size_t last = std::min(cases.size(), first + kParallel);
        for (size_t i = first; i < last; ++i) {
            cases[i].dir = DamagedShow(source, cases[i].file, cases[i].damage);
            cases[i].pid = StartRender(cases[i].dir);
        }
        for (size_t i = first; i < last; ++i) {
            const std::string verdict = Verdict(cases[i]);
            EXPECT_EQ(verdict, "") << cases[i].file << " " << kDamageNames[static_cast<int>(cases[i].damage)];
            const std::string clean = "rm -rf '" + cases[i].dir + "'";
            EXPECT_EQ(std::system(clean.c_str()), 0);
        }
    }
    std::printf("%zu files, %zu damaged shows rendered\n", files.size(), cases.size());
}

}  // namespace
