#include "render/shader_program.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/debug_output.h"
#include "platform/demo_error.h"

namespace {

// Reads a whole file as it is on disk. False when it cannot be opened; only
// plain files count: a folder has no text, a FIFO would block the open and a
// device such as /dev/zero would never end.
bool ReadWholeFile(const char* path, std::string& text)
{
    struct stat info;
    if (!path || stat(path, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file.is_open())
        return false;
    // Read to the end rather than trusting a size, so nothing can be over-read.
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

// Compiles source (used up to its first zero byte) into the given shader and
// throws the compiler's log together with the source when that fails.
void CompileOrThrow(GLuint shader, const char* source)
{
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status != 0)
        return;

    char log[1024] = {};
    GLsizei length = 0;
    glGetShaderInfoLog(shader, sizeof log, &length, log);
    // The log always fits; a long source is cut at the end of the buffer.
    char message[kCompileMessageSize];
    std::snprintf(message, sizeof message, "Compiler error %s... while compiling:\n %s\n", log, source);
    DebugOutput(message);
    throw DemoError(message);
}

}  // namespace

FragmentProgram::~FragmentProgram()
{
    glDeleteShader(shader);
    glDeleteProgram(program);
}

void FragmentProgram::Load(bool fromFile, const char* text)
{
    std::string fileText;
    if (fromFile) {
        if (!ReadWholeFile(text, fileText))
            ThrowMessage("Error opening: %s", text ? text : "");
        text = fileText.c_str();
    }
    if (!text)
        text = "";
    shader = glCreateShader(GL_FRAGMENT_SHADER);
    CompileOrThrow(shader, text);
    program = glCreateProgram();
    glAttachShader(program, shader);
    glLinkProgram(program);
}

ShaderProgram::~ShaderProgram()
{
    glDeleteShader(fragmentShader);
    glDeleteShader(vertexShader);
    glDeleteProgram(program);
}

void ShaderProgram::Load(const char* fragmentPath, const char* vertexPath)
{
    program = glCreateProgram();
    std::string text;
    if (ReadWholeFile(fragmentPath, text)) {
        fragmentShader = CompileShader(text.c_str(), GL_FRAGMENT_SHADER);
        glAttachShader(program, fragmentShader);
    }
    if (ReadWholeFile(vertexPath, text)) {
        vertexShader = CompileShader(text.c_str(), GL_VERTEX_SHADER);
        glAttachShader(program, vertexShader);
    }
    glLinkProgram(program);
}

GLuint ShaderProgram::CompileShader(const char* source, GLenum type)
{
    const GLuint shader = glCreateShader(type);
    CompileOrThrow(shader, source);
    DebugOutput("No errors compiling\n");
    return shader;
}

GLint GetUniform(GLuint program, const char* name)
{
    const GLint location = glGetUniformLocation(program, name);
    if (location == -1) {
        DebugOutput("Unable to locate shader handle for: ");
        DebugOutput(name);
        DebugOutput("\n");
    }
    return location;
}
