#include "model/ring_model.h"

#include "model/ring_shapes.h"
#include "render/gl_objects.h"

namespace {

GLuint g_partLists[4];  // body A, rings B, C, D

// Switches material inside an open glBegin block.
void SetMaterial(const ShapeMaterial& m)
{
    glEnd();
    const GLfloat ambient[4] = {m.ambient[0], m.ambient[1], m.ambient[2], m.alpha};
    const GLfloat diffuse[4] = {m.diffuse[0], m.diffuse[1], m.diffuse[2], m.alpha};
    const GLfloat specular[4] = {m.specular[0], m.specular[1], m.specular[2], m.alpha};
    const GLfloat emission[4] = {m.emission[0], m.emission[1], m.emission[2], m.alpha};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m.shininess);
    glBegin(GL_TRIANGLES);
}

GLuint CompileShape(const ShapeTable& shape, bool withMaterials)
{
    const GLuint list = glGenLists(1);
    RecordGlObject(GlObjects::kList, list);
    glNewList(list, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    size_t nextRun = 0;
    int32_t leftInRun = 0;
    for (const ShapeTriangle& t : shape.triangles) {
        if (withMaterials) {
            if (leftInRun == 0 && nextRun < shape.runs.size()) {
                const ShapeRun& run = shape.runs[nextRun++];
                SetMaterial(shape.materials[run.material]);
                leftInRun = run.triangles;
            }
            --leftInRun;
        }
        for (int j = 0; j < 3; ++j) {
            const LVector3& n = shape.normals[t.normal[j]];
            const LVector3& v = shape.vertices[t.vertex[j]];
            glNormal3f(n.x, n.y, n.z);
            glVertex3f(v.x, v.y, v.z);
        }
    }
    glEnd();
    glEndList();
    return list;
}

void DrawPart(int part, float z, double factor, float angle)
{
    glPushMatrix();
    glTranslatef(0, 0, z);
    glRotatef(static_cast<float>(factor * angle), 0, 0, 1);
    glCallList(g_partLists[part]);
    glPopMatrix();
}

}  // namespace

GLuint BuildArcRingList()
{
    return CompileShape(ArcRingShape(), false);
}

void BuildRingModel(int, int)
{
    g_partLists[0] = CompileShape(RingBodyShape(), true);
    g_partLists[1] = CompileShape(RingPartB(), true);
    g_partLists[2] = CompileShape(RingPartC(), true);
    g_partLists[3] = CompileShape(ArcRingShape(), true);
}

void DrawRingModel(float angle, float offsetX)
{
    constexpr int kBody = 0, kB = 1, kC = 2, kD = 3;
    glPushMatrix();
    glTranslatef(offsetX * 0.25f, 0, -0.45f);
    glRotatef(56, 0, 1, 0);

    glPushMatrix();
    glRotatef(angle, 0, 0, 1);
    glCallList(g_partLists[kBody]);
    glPopMatrix();

    // The three rings in front of the body, then behind it.
    glPushMatrix();
    glScalef(0.8f, 0.8f, 0.8f);
    DrawPart(kB, 0.5f, -0.6, angle);
    DrawPart(kC, 0.4f, 1.2, angle);
    DrawPart(kD, 0.3f, -0.8, angle);
    glPopMatrix();

    glPushMatrix();
    glScalef(0.8f, 0.8f, 0.8f);
    DrawPart(kB, -0.3f, -0.6, angle);
    DrawPart(kC, -0.5f, 1.2, angle);
    DrawPart(kD, -0.4f, -0.8, angle);
    glPopMatrix();

    glPopMatrix();
}
