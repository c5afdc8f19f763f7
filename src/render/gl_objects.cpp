#include "render/gl_objects.h"

namespace {

GlObjects* g_recording = nullptr;

}  // namespace

void GlObjects::Free()
{
    const auto count = [](const std::vector<GLuint>& names) { return static_cast<GLsizei>(names.size()); };
    if (!names_[kFramebuffer].empty())
        glDeleteFramebuffersEXT(count(names_[kFramebuffer]), names_[kFramebuffer].data());
    if (!names_[kRenderbuffer].empty())
        glDeleteRenderbuffersEXT(count(names_[kRenderbuffer]), names_[kRenderbuffer].data());
    if (!names_[kTexture].empty())
        glDeleteTextures(count(names_[kTexture]), names_[kTexture].data());
    for (GLuint list : names_[kList])
        glDeleteLists(list, 1);
    *this = GlObjects();
}

void RecordGlObject(GlObjects::Kind kind, GLuint name)
{
    if (g_recording)
        g_recording->Add(kind, name);
}

ScopedGlRecording::ScopedGlRecording(GlObjects& objects) : previous_(g_recording)
{
    g_recording = &objects;
}

ScopedGlRecording::~ScopedGlRecording()
{
    g_recording = previous_;
}
