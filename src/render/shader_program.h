#pragma once
#include "render/gl.h"

// A linked program of one fragment shader. The owning effect builds it in its
// constructor; the destructor deletes the shader and the program.
class FragmentProgram {
public:
    FragmentProgram() = default;
    ~FragmentProgram();
    FragmentProgram(const FragmentProgram&) = delete;
    FragmentProgram& operator=(const FragmentProgram&) = delete;

    // fromFile: text is the path of the source file, otherwise the source itself.
    // Throws "Error opening: <path>" before creating anything when the file
    // cannot be opened, and the compiler's message when the source does not compile.
    void Load(bool fromFile, const char* text);

    GLuint shader = 0;
    GLuint program = 0;
};

// A linked program of a fragment and a vertex shader, each from its own file.
// A file that cannot be opened is left out of the program without a message.
class ShaderProgram {
public:
    ShaderProgram() = default;
    ~ShaderProgram();
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    // Throws the compiler's message when a shader does not compile.
    void Load(const char* fragmentPath, const char* vertexPath);
    // Creates and compiles one shader of the given type (GL_FRAGMENT_SHADER or
    // GL_VERTEX_SHADER) and returns its name.
    GLuint CompileShader(const char* source, GLenum type);

    GLuint vertexShader = 0;
    GLuint fragmentShader = 0;
    GLuint program = 0;
};

// The location of a uniform; -1 (reported on the debug output) when the
// program has no active uniform of that name. GL ignores -1 when setting.
GLint GetUniform(GLuint program, const char* name);

// The size of the buffer that a compile error message is formatted into,
// terminating zero included; longer messages are cut at the end.
constexpr int kCompileMessageSize = 10240;
