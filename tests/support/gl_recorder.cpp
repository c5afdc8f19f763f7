#include "support/gl_recorder.h"

#include <dlfcn.h>

#include "render/gl.h"

namespace {

std::vector<GlCall>* g_calls = nullptr;

void Record(const char* name, std::vector<float> args)
{
    if (g_calls)
        g_calls->push_back({name, std::move(args)});
}

template <class Function>
Function Real(const char* name)
{
    static_assert(sizeof(Function) == sizeof(void*), "a function pointer");
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// The uniform setters are GLEW's pointers: swapped while recording.
PFNGLUNIFORM1FPROC g_uniform1f;
PFNGLUNIFORM1IPROC g_uniform1i;
PFNGLUNIFORM2FPROC g_uniform2f;
PFNGLUNIFORM4FVPROC g_uniform4fv;

void GLAPIENTRY Uniform1f(GLint location, GLfloat x)
{
    Record("Uniform1f", {static_cast<float>(location), x});
    g_uniform1f(location, x);
}

void GLAPIENTRY Uniform1i(GLint location, GLint x)
{
    Record("Uniform1i", {static_cast<float>(location), static_cast<float>(x)});
    g_uniform1i(location, x);
}

void GLAPIENTRY Uniform2f(GLint location, GLfloat x, GLfloat y)
{
    Record("Uniform2f", {static_cast<float>(location), x, y});
    g_uniform2f(location, x, y);
}

void GLAPIENTRY Uniform4fv(GLint location, GLsizei count, const GLfloat* v)
{
    std::vector<float> args{static_cast<float>(location)};
    args.insert(args.end(), v, v + 4 * count);
    Record("Uniform4fv", args);
    g_uniform4fv(location, count, v);
}

}  // namespace

// The fixed-function calls are plain symbols of the GL library: these
// definitions take their place in the test program and pass each call on.
extern "C" {
void GLAPIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    static const auto real = Real<void (*)(GLfloat, GLfloat, GLfloat)>("glTranslatef");
    Record("Translatef", {x, y, z});
    real(x, y, z);
}

void GLAPIENTRY glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    static const auto real = Real<void (*)(GLfloat, GLfloat, GLfloat, GLfloat)>("glRotatef");
    Record("Rotatef", {angle, x, y, z});
    real(angle, x, y, z);
}

void GLAPIENTRY glScalef(GLfloat x, GLfloat y, GLfloat z)
{
    static const auto real = Real<void (*)(GLfloat, GLfloat, GLfloat)>("glScalef");
    Record("Scalef", {x, y, z});
    real(x, y, z);
}

void GLAPIENTRY glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    static const auto real = Real<void (*)(GLfloat, GLfloat, GLfloat, GLfloat)>("glColor4f");
    Record("Color4f", {r, g, b, a});
    real(r, g, b, a);
}

void GLAPIENTRY glBindTexture(GLenum target, GLuint texture)
{
    static const auto real = Real<void (*)(GLenum, GLuint)>("glBindTexture");
    Record("BindTexture", {static_cast<float>(target), static_cast<float>(texture)});
    real(target, texture);
}
}

namespace {
std::vector<GlCall> g_recorded;
}

GlRecording::GlRecording()
{
    g_recorded.clear();
    g_calls = &g_recorded;
    g_uniform1f = glUniform1f;
    g_uniform1i = glUniform1i;
    g_uniform2f = glUniform2f;
    g_uniform4fv = glUniform4fv;
    glUniform1f = Uniform1f;
    glUniform1i = Uniform1i;
    glUniform2f = Uniform2f;
    glUniform4fv = Uniform4fv;
}

GlRecording::~GlRecording()
{
    g_calls = nullptr;
    glUniform1f = g_uniform1f;
    glUniform1i = g_uniform1i;
    glUniform2f = g_uniform2f;
    glUniform4fv = g_uniform4fv;
}

std::vector<GlCall> GlRecording::Named(const std::string& name) const
{
    std::vector<GlCall> calls;
    for (const GlCall& call : g_recorded)
        if (call.name == name)
            calls.push_back(call);
    return calls;
}
