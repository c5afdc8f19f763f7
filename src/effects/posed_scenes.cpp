#include "effects/posed_scenes.h"

#include "effects/screen_quad.h"
#include "model/ring_model.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

Quell3D::Quell3D(int start, int end) : Effekt(start, end) {}

void Quell3D::Draw(int, float)
{
    // Built on the first frame the effect draws, not while the show loads.
    if (modelList == -1)
        modelList = static_cast<int32_t>(BuildArcRingList());
    Grey(1);
    SetupDefaultLight();
    glEnable(GL_DEPTH_TEST);
    {
        CPushMatrix matrix;
        glTranslatef(cameraPosition.x, cameraPosition.y, cameraPosition.z);
        glTranslatef(polePosition.x, polePosition.y, polePosition.z);
        RotateXYZ(poleRotation);
        glCallList(static_cast<GLuint>(modelList));
    }
    glDisable(GL_DEPTH_TEST);
    // Left on, the light would take over the colour and fades of every effect
    // drawn after this one.
    DisableDefaultLight();
}

FogRotator::FogRotator(int start, int end) : Effekt(start, end), pole(gluNewQuadric())
{
    gluQuadricTexture(pole, GL_TRUE);
    gluQuadricNormals(pole, GLU_SMOOTH);
    poleTexture.Load("data/vondo/fog/pole1.jpg");
}

FogRotator::~FogRotator()
{
    gluDeleteQuadric(pole);
}

void FogRotator::Draw(int, float)
{
    CPushMatrix matrix;
    glTranslatef(cameraPosition.x, cameraPosition.y, cameraPosition.z);
    glEnable(GL_DEPTH_TEST);
    Grey(1);
    for (int n = 0; n < 3; ++n) {
        CPushMatrix poleMatrix;
        glTranslatef(polePositions[n].x, polePositions[n].y, polePositions[n].z);
        RotateXYZ(poleRotations[n]);
        CTextureBinder bind(poleTexture.texture);
        gluCylinder(pole, 0.5, 0.5, 12, 20, 10);
    }
    glDisable(GL_DEPTH_TEST);
}

}  // namespace Effekter
