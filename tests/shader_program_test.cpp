#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "platform/demo_error.h"
#include "render/guards.h"
#include "render/screen.h"
#include "render/shader_program.h"
#include "support/gl_fixture.h"

namespace {

const char* const kRedFragment = "#version 110\nvoid main() { gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0); }\n";
const char* const kBrokenFragment = "#version 110\nvoid main() { gl_FragColor = vec4(1.0) +; }\n";
const char* const kPassVertex = "#version 110\nvoid main() { gl_Position = ftransform(); }\n";
const char* const kBrokenVertex = "#version 110\nvoid main() { gl_Position = ftransform() oops; }\n";

std::string WriteFile(const std::string& dir, const std::string& name, const std::string& text)
{
    const std::string path = dir + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// Runs f and returns the DemoError message it throws ("" when it does not).
template <class F>
std::string ThrownMessage(F f)
{
    try {
        f();
    } catch (const DemoError& e) {
        return e.what();
    }
    return "";
}

bool EndsWith(const std::string& s, const std::string& end)
{
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

class ShaderProgramTest : public GlTest {};

TEST_F(ShaderProgramTest, SyntaxErrorThrowsLogThenWholeSourceAndWritesItToDebugOutput)
{
    testing::internal::CaptureStderr();
    std::string message;
    {
        FragmentProgram program;
        message = ThrownMessage([&] { program.Load(false, kBrokenFragment); });
        EXPECT_EQ(program.program, 0u) << "no program is made for a shader that fails";
    }
    const std::string debug = testing::internal::GetCapturedStderr();

    ASSERT_EQ(message.rfind("Compiler error ", 0), 0u) << message;
    EXPECT_TRUE(EndsWith(message, std::string("... while compiling:\n ") + kBrokenFragment + "\n")) << message;
    // The compiler's log stands between the two fixed parts.
    EXPECT_GT(message.size(), std::string("Compiler error ... while compiling:\n \n").size() + strlen(kBrokenFragment));
    EXPECT_EQ(debug, message);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderProgramTest, MissingFragmentFileThrowsBeforeAnyGlObjectIsMade)
{
    const std::string path = MakeTempDir() + "/absent.fs";
    // Shaders and programs share one name space; GL hands the names out in turn.
    const GLuint before = glCreateProgram();
    {
        FragmentProgram program;
        EXPECT_EQ(ThrownMessage([&] { program.Load(true, path.c_str()); }), "Error opening: " + path);
        EXPECT_EQ(program.shader, 0u);
        EXPECT_EQ(program.program, 0u);
    }
    const GLuint after = glCreateProgram();
    EXPECT_EQ(after, before + 1) << "a shader or program was created";
    glDeleteProgram(before);
    glDeleteProgram(after);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderProgramTest, OnlyPlainFilesCanBeOpenedAsSources)
{
    const std::string dir = MakeTempDir();
    // A folder, an endless device and a FIFO without a writer (which would
    // block the open) all count as files that cannot be opened.
    const std::string fifo = dir + "/fifo.fs";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {dir, std::string("/dev/zero"), fifo}) {
        FragmentProgram fragment;
        EXPECT_EQ(ThrownMessage([&] { fragment.Load(true, path.c_str()); }), "Error opening: " + path);
    }

    const std::string good = WriteFile(dir, "red.fs", kRedFragment);
    testing::internal::CaptureStderr();
    ShaderProgram program;
    program.Load(good.c_str(), "/dev/zero");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "No errors compiling\n");
    EXPECT_EQ(program.vertexShader, 0u);
}

TEST_F(ShaderProgramTest, FragmentProgramFromFileDrawsAndStaysQuiet)
{
    const std::string path = WriteFile(MakeTempDir(), "red.fs", kRedFragment);
    testing::internal::CaptureStderr();
    FragmentProgram program;
    program.Load(true, path.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    GLint linked = 0;
    glGetProgramiv(program.program, GL_LINK_STATUS, &linked);
    EXPECT_TRUE(linked);
    {
        CProjectionScope screen;
        glUseProgram(program.program);
        glTranslatef(0, 0, -2);
        TexturedQuad(1, 1).Draw(1, 1);
        glUseProgram(0);
    }
    ExpectPixelNear(GlTest::kWidth / 2, GlTest::kHeight / 2, 1, 0, 0);
    ExpectDefaultGlState();
}

TEST_F(ShaderProgramTest, ZeroByteInFileEndsTheSource)
{
    std::string text = kRedFragment;
    text += std::string(1, '\0') + "this is not GLSL";
    const std::string path = WriteFile(MakeTempDir(), "zero.fs", text);
    FragmentProgram program;
    EXPECT_NO_THROW(program.Load(true, path.c_str()));
    EXPECT_NE(program.program, 0u);
}

TEST_F(ShaderProgramTest, EmptyFileNeverCrashes)
{
    const std::string path = WriteFile(MakeTempDir(), "empty.fs", "");
    FragmentProgram program;
    testing::internal::CaptureStderr();
    const std::string message = ThrownMessage([&] { program.Load(true, path.c_str()); });
    testing::internal::GetCapturedStderr();
    // The compiler decides; a failure must still be the usual message.
    if (!message.empty()) {
        EXPECT_EQ(message.rfind("Compiler error ", 0), 0u);
    }
}

TEST_F(ShaderProgramTest, OversizedMessageIsCutToItsBufferKeepingTheLog)
{
    // A long comment makes the source alone far longer than the message buffer.
    std::string source = "#version 110\n// " + std::string(30000, 'x') + "\nvoid main() { broken }\n";
    testing::internal::CaptureStderr();
    FragmentProgram program;
    const std::string message = ThrownMessage([&] { program.Load(false, source.c_str()); });
    const std::string debug = testing::internal::GetCapturedStderr();

    EXPECT_EQ(message.size(), static_cast<size_t>(kCompileMessageSize - 1));
    ASSERT_EQ(message.rfind("Compiler error ", 0), 0u);
    const size_t marker = message.find("... while compiling:\n #version 110\n// xxx");
    ASSERT_NE(marker, std::string::npos) << "the whole log comes before the source";
    EXPECT_GT(marker, std::string("Compiler error ").size());
    EXPECT_EQ(debug, message);
}

TEST_F(ShaderProgramTest, MissingVertexFileLinksTheFragmentShaderAlone)
{
    const std::string dir = MakeTempDir();
    const std::string fragment = WriteFile(dir, "red.fs", kRedFragment);
    const std::string vertex = dir + "/absent.vs";

    testing::internal::CaptureStderr();
    ShaderProgram program;
    program.Load(fragment.c_str(), vertex.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "No errors compiling\n");

    EXPECT_NE(program.fragmentShader, 0u);
    EXPECT_EQ(program.vertexShader, 0u);
    GLint attached = 0, linked = 0;
    glGetProgramiv(program.program, GL_ATTACHED_SHADERS, &attached);
    glGetProgramiv(program.program, GL_LINK_STATUS, &linked);
    EXPECT_EQ(attached, 1);
    EXPECT_TRUE(linked);
}

TEST_F(ShaderProgramTest, BothShadersCompileAndLinkWithOneReportEach)
{
    const std::string dir = MakeTempDir();
    const std::string fragment = WriteFile(dir, "fs.txt", kRedFragment);
    const std::string vertex = WriteFile(dir, "vs.txt", kPassVertex);
    testing::internal::CaptureStderr();
    ShaderProgram program;
    program.Load(fragment.c_str(), vertex.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "No errors compiling\nNo errors compiling\n");
    GLint attached = 0;
    glGetProgramiv(program.program, GL_ATTACHED_SHADERS, &attached);
    EXPECT_EQ(attached, 2);
}

TEST_F(ShaderProgramTest, FailingVertexShaderReportsItsOwnSource)
{
    const std::string dir = MakeTempDir();
    const std::string fragment = WriteFile(dir, "fs.txt", kRedFragment);
    const std::string vertex = WriteFile(dir, "vs.txt", kBrokenVertex);
    testing::internal::CaptureStderr();
    ShaderProgram program;
    const std::string message = ThrownMessage([&] { program.Load(fragment.c_str(), vertex.c_str()); });
    const std::string debug = testing::internal::GetCapturedStderr();
    ASSERT_EQ(message.rfind("Compiler error ", 0), 0u);
    EXPECT_TRUE(EndsWith(message, std::string("... while compiling:\n ") + kBrokenVertex + "\n")) << message;
    EXPECT_EQ(debug, "No errors compiling\n" + message);
}

TEST_F(ShaderProgramTest, BothFilesMissingLinksAnEmptyProgramQuietly)
{
    const std::string dir = MakeTempDir();
    testing::internal::CaptureStderr();
    ShaderProgram program;
    program.Load((dir + "/a").c_str(), (dir + "/b").c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(program.program, 0u);
    EXPECT_EQ(program.fragmentShader, 0u);
    EXPECT_EQ(program.vertexShader, 0u);
}

TEST_F(ShaderProgramTest, GetUniformReportsOnlyMissingNames)
{
    FragmentProgram program;
    program.Load(false,
                 "#version 110\nuniform float time;\nuniform float unused;\n"
                 "void main() { gl_FragColor = vec4(time); }\n");

    testing::internal::CaptureStderr();
    EXPECT_GE(GetUniform(program.program, "time"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    // Declared but optimised away, and never declared: both are missing.
    testing::internal::CaptureStderr();
    EXPECT_EQ(GetUniform(program.program, "unused"), -1);
    EXPECT_EQ(GetUniform(program.program, "nothere"), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Unable to locate shader handle for: unused\nUnable to locate shader handle for: nothere\n");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
