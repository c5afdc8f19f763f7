#include "render/shader_program.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/debug_output.h"
#include "platform/demo_error.h"
#include "platform/load_listener.h"
#include "platform/plain_file.h"

namespace {

// Reads a whole file as it is on disk. False when it cannot be opened; only
// plain files count: a folder has no text, a FIFO would block the open and a
// device such as /dev/zero would never end.
bool ReadWholeFile(const char* path, std::string& text)
{
    if (!IsPlainFile(path))
        return false;
    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file.is_open())
        return false;
    // Read to the end rather than trusting a size, so nothing can be over-read.
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

// Compiles source (used up to its first zero byte) into the given shader and
// throws the compiler's log together with the source when that fails. path
// names the source file for a listener (nullptr: the source came as text).
void CompileOrThrow(GLuint shader, const char* source, const char* path)
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
    if (LoadListener* listener = CurrentLoadListener())
        listener->Failure(path ? path : "", std::string("shader '") + (path ? path : "(source text)") +
                                                "' does not compile: " + OneLine(log),
                          message);
    throw DemoError(message);
}

void ReportFileUsed(const char* path)
{
    if (LoadListener* listener = CurrentLoadListener(); listener && path)
        listener->FileUsed(path);
}

void ReportProgram(GLuint program, const std::string& files)
{
    if (LoadListener* listener = CurrentLoadListener())
        listener->ProgramBuilt(program, files);
}

// A two-shader program goes on without a file that cannot be read; a run
// never hears of it.
bool ReadShaderFile(const char* path, std::string& text)
{
    ReportFileUsed(path);
    if (ReadWholeFile(path, text))
        return true;
    if (LoadListener* listener = CurrentLoadListener(); listener && path)
        listener->Problem(path, std::string("shader file '") + path + "' is missing");
    return false;
}

GLuint CompileNamed(const char* source, GLenum type, const char* path)
{
    const GLuint shader = glCreateShader(type);
    CompileOrThrow(shader, source, path);
    DebugOutput("No errors compiling\n");
    return shader;
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
    const char* path = fromFile ? text : nullptr;
    if (fromFile) {
        ReportFileUsed(path);
        if (!ReadWholeFile(text, fileText)) {
            char message[1024];
            std::snprintf(message, sizeof message, "Error opening: %s", text ? text : "");
            if (LoadListener* listener = CurrentLoadListener())
                listener->Failure(text ? text : "", std::string("shader file '") + (text ? text : "") + "' is missing",
                                  message);
            throw DemoError(message);
        }
        text = fileText.c_str();
    }
    if (!text)
        text = "";
    shader = glCreateShader(GL_FRAGMENT_SHADER);
    CompileOrThrow(shader, text, path);
    program = glCreateProgram();
    glAttachShader(program, shader);
    glLinkProgram(program);
    ReportProgram(program, path ? path : "(source text)");
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
    if (ReadShaderFile(fragmentPath, text)) {
        fragmentShader = CompileNamed(text.c_str(), GL_FRAGMENT_SHADER, fragmentPath);
        glAttachShader(program, fragmentShader);
    }
    if (ReadShaderFile(vertexPath, text)) {
        vertexShader = CompileNamed(text.c_str(), GL_VERTEX_SHADER, vertexPath);
        glAttachShader(program, vertexShader);
    }
    glLinkProgram(program);
    ReportProgram(program, std::string(fragmentPath ? fragmentPath : "") + " and " + (vertexPath ? vertexPath : ""));
}

GLuint ShaderProgram::CompileShader(const char* source, GLenum type)
{
    return CompileNamed(source, type, nullptr);
}

GLint GetUniform(GLuint program, const char* name)
{
    const GLint location = glGetUniformLocation(program, name);
    if (location == -1) {
        DebugOutput("Unable to locate shader handle for: ");
        DebugOutput(name);
        DebugOutput("\n");
        if (LoadListener* listener = CurrentLoadListener())
            listener->UniformMissing(program, name ? name : "");
    }
    return location;
}
