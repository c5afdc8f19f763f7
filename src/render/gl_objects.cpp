#include "render/gl_objects.h"

namespace {

GlObjects* g_recording = nullptr;

}  // namespace

void GlObjects::Free()
{
    if (!framebuffers_.empty())
        glDeleteFramebuffersEXT(static_cast<GLsizei>(framebuffers_.size()), framebuffers_.data());
    if (!renderbuffers_.empty())
        glDeleteRenderbuffersEXT(static_cast<GLsizei>(renderbuffers_.size()), renderbuffers_.data());
    if (!textures_.empty())
        glDeleteTextures(static_cast<GLsizei>(textures_.size()), textures_.data());
    for (GLuint list : lists_)
        glDeleteLists(list, 1);
    *this = GlObjects();
}

void RecordFramebuffer(GLuint framebuffer)
{
    if (g_recording)
        g_recording->framebuffers_.push_back(framebuffer);
}

void RecordRenderbuffer(GLuint renderbuffer)
{
    if (g_recording)
        g_recording->renderbuffers_.push_back(renderbuffer);
}

void RecordTexture(GLuint texture)
{
    if (g_recording)
        g_recording->textures_.push_back(texture);
}

void RecordList(GLuint list)
{
    if (g_recording)
        g_recording->lists_.push_back(list);
}

ScopedGlRecording::ScopedGlRecording(GlObjects& objects) : previous_(g_recording)
{
    g_recording = &objects;
}

ScopedGlRecording::~ScopedGlRecording()
{
    g_recording = previous_;
}
