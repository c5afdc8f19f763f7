#include "render/screen.h"

#include "platform/shared_random.h"

int ScreenWidth = 0;
int ScreenHeight = 0;

namespace {
// The near plane is the single-precision 0.1 widened to double.
const double kNear = static_cast<double>(0.1f);
}  // namespace

void SetPerspective(int width, int height)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(40.0, static_cast<double>(width) / static_cast<double>(height), kNear, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void ResetPerspective()
{
    SetPerspective(ScreenWidth, ScreenHeight);
}

void SetScreenOrtho()
{
    glViewport(0, 0, ScreenWidth, ScreenHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, 1, -1, kNear, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void TexturedQuad::Draw(float s, float t) const
{
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glNormal3f(0, 0, 1);
    glTexCoord2f(0, 0);
    glVertex3f(centre.x - half.x, centre.y - half.y, centre.z);
    glTexCoord2f(s, 0);
    glVertex3f(centre.x + half.x, centre.y - half.y, centre.z);
    glTexCoord2f(s, t);
    glVertex3f(centre.x + half.x, centre.y + half.y, centre.z);
    glTexCoord2f(0, t);
    glVertex3f(centre.x - half.x, centre.y + half.y, centre.z);
    glEnd();
}

void TexturedQuad::DrawOffset(float a, float c, float u, float v) const
{
    glBegin(GL_QUADS);
    glTexCoord2f(u, v);
    glNormal3f(0, 0, 1);
    glVertex3f(centre.x - half.x, centre.y - half.y, centre.z);
    glTexCoord2f(u + a, v);
    glVertex3f(centre.x + half.x, centre.y - half.y, centre.z);
    glTexCoord2f(u + a, v + c);
    glVertex3f(centre.x + half.x, centre.y + half.y, centre.z);
    glTexCoord2f(u, v + c);
    glVertex3f(centre.x - half.x, centre.y + half.y, centre.z);
    glEnd();
}

void RotateXYZ(const Float3& angles)
{
    glRotatef(angles.x, 1, 0, 0);
    glRotatef(angles.y, 0, 1, 0);
    glRotatef(angles.z, 0, 0, 1);
}

float RandomUnit()
{
    return static_cast<float>(NextRandom() / 32767.0);
}

void SetupDefaultLight()
{
    const GLfloat ambient[] = {0.1f, 0.1f, 0.1f, 1.0f};
    const GLfloat diffuse[] = {1.2f, 1.2f, 1.2f, 1.0f};
    const GLfloat specular[] = {0.9f, 0.9f, 0.9f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
}

void DisableDefaultLight()
{
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
}
