// --check: every problem of a show, one line each with its place in the script.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "host/authoring/show_check.h"
#include "model/l3ds.h"
#include "platform/load_listener.h"
#include "support/gl_fixture.h"
#include "support/image_files.h"
#include "support/model_files.h"
#include "support/work_dir.h"

namespace {

// A shader that uses both uniforms ShaderShow looks up.
const char* const kGoodShader =
    "uniform float time;\nuniform float beat;\nuniform sampler2D tex;\n"
    "void main() { gl_FragColor = texture2D(tex, gl_TexCoord[0].xy) * (beat + sin(time)); }\n";

std::string ReadAll(FILE* file)
{
    std::rewind(file);
    std::string text;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    return text;
}

// Each test runs in a fresh folder holding a small, sound show's files; the
// test writes data/demo.txt.
class ShowCheckTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        mkdir("data/overlay", 0755);
        WriteSolidImage("data/overlay/loader.jpg", 8, 8, 40, 40, 60);
        WriteSolidImage("data/a.png", 4, 4, 200, 100, 50);
        std::ofstream("data/good.fs") << kGoodShader;
        WriteMusic("data/song.wav");
    }

    static void WriteMusic(const std::string& path)
    {
        SF_INFO info{};
        info.samplerate = 44100;
        info.channels = 2;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        ASSERT_NE(file, nullptr);
        std::vector<short> silence(2 * 4410);
        sf_writef_short(file, silence.data(), 4410);
        sf_close(file);
    }

    // Checks the script; returns the report, with the exit code in code.
    std::string Check(const std::string& script)
    {
        std::ofstream("data/demo.txt") << script;
        FILE* out = std::tmpfile();
        code = CheckShow(out);
        const std::string report = ReadAll(out);
        std::fclose(out);
        return report;
    }

    int code = -1;

private:
    TempWorkDir folder_;
};

#define EXPECT_HAS(text, part) EXPECT_NE((text).find(part), std::string::npos) << (text)

TEST_F(ShowCheckTest, SoundShowPasses)
{
    const std::string report = Check("data/song.wav\n0\n3\n"
                                     "FlashWhite\n0\n100\n"
                                     "AlphaBlendImage\n0\n100\ndata/a.png\nBEATBACK\n"
                                     "ShaderShow\n0\n-1\ndata/good.fs\ndata/a.png");
    EXPECT_EQ(report, "data/demo.txt: 3 entries checked, no problems found\n");
    EXPECT_EQ(code, 0);
}

TEST_F(ShowCheckTest, ScriptProblemsComeWithTheirLines)
{
    const std::string report = Check("data/song.wav\n0\nthree\n"  // 3
                                     "# a comment counts as a line\n"
                                     "Tunel\n0\n100\n"  // 5
                                     "FlashWhite\n1O0\n200\n"  // 8, 9
                                     " Mask\n0\n100\ndata/a.png\n"  // 11
                                     "Zoomba\n0\n100\ndata/a.png");  // 15
    EXPECT_HAS(report, "data/demo.txt:3: 'three' is not a number (it reads as 0)\n");
    EXPECT_HAS(report, "data/demo.txt:5: unknown entry 'Tunel' (did you mean 'Tunnel'?)\n");
    EXPECT_HAS(report, "data/demo.txt:9: '1O0' is not a number (it reads as 1)\n");
    EXPECT_HAS(report, "data/demo.txt:11: unknown entry ' Mask' (did you mean 'Mask'?)\n");
    EXPECT_HAS(report, "data/demo.txt:15: the script ends inside entry 'Zoomba'\n");
    // The lines of an unknown entry are passed over, not read as entries.
    EXPECT_EQ(report.find("'data/a.png'"), std::string::npos);
    EXPECT_HAS(report, "data/demo.txt: 4 entries checked, 5 problems found\n");
    EXPECT_EQ(code, 1);
}

TEST_F(ShowCheckTest, FileProblemsComeWithTheLineNamingTheFile)
{
    std::ofstream("data/broken.fs") << "void main() { gl_FragColor = vec4(1.0) }\n";
    std::ofstream("data/timeless.fs") << "uniform float beat;\nvoid main() { gl_FragColor = vec4(beat); }\n";
    const std::string plugins = TEST_PLUGIN_DIR;
    const std::string report = Check("data/none.ogg\n0\n7\n"
                                     "AlphaBlendImage\n0\n100\ndata/none.png\nBEATBACK\n"  // 4, 7
                                     "ShaderShow\n0\n100\ndata/none.fs\ndata/a.png\n"  // 9, 12
                                     "ShaderShow\n0\n100\ndata/broken.fs\ndata/a.png\n"  // 14, 17
                                     "ShaderShow\n0\n100\ndata/timeless.fs\ndata/a.png\n"  // 19, 22
                                     "Plugin\n0\n100\ndata/libnone.so\nits own line\n7\n"  // 24, 27
                                     "Plugin\n0\n100\n" + plugins + "/libtest_plugin_draw_only.so\n"  // 30
                                     "FlashWhite\n0\n100");
    EXPECT_HAS(report, "data/demo.txt:1: music file 'data/none.ogg' cannot be decoded: ");
    EXPECT_HAS(report, "data/demo.txt:7: picture 'data/none.png' cannot be read\n");
    EXPECT_HAS(report, "data/demo.txt:12: shader file 'data/none.fs' is missing\n");
    EXPECT_HAS(report, "data/demo.txt:17: shader 'data/broken.fs' does not compile: ");
    EXPECT_HAS(report, "error");
    EXPECT_HAS(report, "data/demo.txt:22: shader program of data/timeless.fs has no uniform 'time'\n");
    EXPECT_HAS(report, "data/demo.txt:27: plug-in 'data/libnone.so' does not load: ");
    EXPECT_HAS(report, "data/demo.txt:30: Unable to fint Init function in plugin: " + plugins);
    // The plug-in's own lines after a library that did not load are no entries.
    EXPECT_EQ(report.find("unknown entry"), std::string::npos);
    EXPECT_HAS(report, "data/demo.txt: 7 entries checked, 7 problems found\n");
    EXPECT_EQ(code, 1);
}

TEST_F(ShowCheckTest, UnreadableScriptAndLoadingPicture)
{
    unlink("data/overlay/loader.jpg");
    std::string report = Check("data/song.wav\n0\n0\n");
    EXPECT_HAS(report, "data/demo.txt: picture 'data/overlay/loader.jpg' cannot be read (the loading picture)\n");
    EXPECT_EQ(code, 1);

    unlink("data/demo.txt");
    mkdir("data/demo.txt", 0755);
    FILE* out = std::tmpfile();
    EXPECT_EQ(CheckShow(out), 1);
    report = ReadAll(out);
    std::fclose(out);
    EXPECT_HAS(report, "data/demo.txt: cannot be read");
}

// The reader tells a listener what a run would never hear of.
struct Problems : LoadListener {
    void Problem(const std::string&, const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

TEST(ModelCheck, ModelsWithoutAMeshAreReported)
{
    const std::string empty = SaveTemp(ModelFile([](ChunkWriter&) {}), "empty.3ds");
    const std::string square = SaveTemp(ModelFile([](ChunkWriter& w) {
        WriteMeshObject(w, "Square", SquarePositions(), SquareFaces());
    }));
    Problems problems;
    ScopedLoadListener listening(problems);
    L3DS().Open(empty.c_str());
    L3DS().Open("/nonexistent/model.3ds");
    L3DS().Open(square.c_str());
    ASSERT_EQ(problems.texts.size(), 2u);
    EXPECT_EQ(problems.texts[0], "model '" + empty + "' has no mesh");
    EXPECT_EQ(problems.texts[1], "model '/nonexistent/model.3ds' cannot be read");
}

// Runs the player with --check in dir; returns its exit code and its report.
int RunCheck(const std::string& dir, std::string& report)
{
    const char* player = std::getenv("DEMO_PLAYER");
    if (!player)
        return -1000;
    const std::string out = MakeTempDir() + "/report.txt";
    const std::string command = std::string(player) + " -C " + dir + " --no-gui --check >" + out + " 2>/dev/null";
    const int status = std::system(command.c_str());
    std::ifstream in(out);
    report.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(PlayerCheck, DefaultShowPassesAndABrokenOneFails)
{
    std::string report;
    EXPECT_EQ(RunCheck(SourcePath(""), report), 0) << report;
    EXPECT_HAS(report, "entries checked, no problems found\n");

    const std::string broken = MakeTempDir();
    mkdir((broken + "/data").c_str(), 0755);
    std::ofstream(broken + "/data/demo.txt") << "m\n0\n1\nNoSuchEffect\n0\n10";
    EXPECT_EQ(RunCheck(broken, report), 1);
    EXPECT_HAS(report, "data/demo.txt:4: unknown entry 'NoSuchEffect'\n");
}

}  // namespace
