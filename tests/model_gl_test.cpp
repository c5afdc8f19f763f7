// Display lists made from model files and from the built-in ring shapes.
#include <cmath>

#include "model/mesh_display_list.h"
#include "model/ring_model.h"
#include "render/guards.h"
#include "render/screen.h"
#include "support/gl_fixture.h"
#include "support/model_files.h"

namespace {

// A square covering the whole screen under SetScreenOrtho (z = -2), with u
// growing towards -x so that its binormal comes out as (0, 1, 0).
std::string ScreenSquareFile()
{
    return SaveTemp(ModelFile([](ChunkWriter& w) {
        w.Begin(chunk::kObject);
        w.Text("Screen");
        w.Begin(chunk::kTriangleMesh);
        WriteVertices(w, {{-1, -1, -2}, {1, -1, -2}, {1, 1, -2}, {-1, 1, -2}});
        w.Begin(chunk::kTexCoordList);
        w.U16(4);
        for (float v : {1.f, 0.f, 0.f, 0.f, 0.f, 1.f, 1.f, 1.f})
            w.F32(v);
        w.End();
        WriteFaces(w, {{0, 1, 2}, {0, 2, 3}});
        w.End();
        w.End();
    }));
}

void ExpectNoClientArrays()
{
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
}

// A 2x1 texture: red on the left, blue on the right.
GLuint RedBlueTexture()
{
    const unsigned char pixels[8] = {255, 0, 0, 255, 0, 0, 255, 255};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return texture;
}

class ModelGl : public GlTest {};

TEST_F(ModelGl, MeshDisplayListLeavesNoClientArrayEnabled)
{
    const std::string path = ScreenSquareFile();
    for (int flags : {0, 1, 2, 3, 4, 7}) {
        glEnableClientState(GL_COLOR_ARRAY);  // even one switched on before goes off
        const MeshDisplayList list(path.c_str(), flags);
        EXPECT_NE(list.List(), 0u);
        ExpectNoClientArrays();
    }
    ExpectDefaultGlState();
}

TEST_F(ModelGl, FlagsChooseTheArraysThatAreCompiled)
{
    const std::string path = ScreenSquareFile();
    const MeshDisplayList plain(path.c_str(), 0);
    const MeshDisplayList textured(path.c_str(), MeshDisplayList::kTexCoords);
    const MeshDisplayList binormals(path.c_str(), MeshDisplayList::kBinormals);
    const MeshDisplayList normals(path.c_str(), MeshDisplayList::kNormals);
    const GLuint texture = RedBlueTexture();
    SetScreenOrtho();
    glTexCoord2f(0, 0);
    glColor4f(1, 1, 1, 1);

    // Without texture coordinates the whole square takes the current one.
    plain.Draw();
    ExpectPixelNear(10, 36, 1, 0, 0);
    ExpectPixelNear(85, 36, 1, 0, 0);
    // With them, u runs from 1 on the left to 0 on the right.
    textured.Draw();
    ExpectPixelNear(10, 36, 0, 0, 1);
    ExpectPixelNear(85, 36, 1, 0, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &texture);

    // Binormals become the colour: (0, 1, 0) here.
    {
        glDisable(GL_TEXTURE_2D);
        binormals.Draw();
        ExpectPixelNear(48, 36, 0, 1, 0);
        glColor4f(1, 1, 1, 1);
        plain.Draw();
        ExpectPixelNear(48, 36, 1, 1, 1);

        // Normals: the current normal faces away from the light, the array's towards it.
        CEnabler lighting(GL_LIGHTING);
        CEnabler light(GL_LIGHT0);
        glNormal3f(0, 0, -1);
        plain.Draw();
        const Pixel unlit = ReadPixel(48, 36);
        normals.Draw();
        const Pixel lit = ReadPixel(48, 36);
        EXPECT_GT(lit[0], unlit[0] + 100);
        glEnable(GL_TEXTURE_2D);
    }
    glNormal3f(0, 0, 1);
    ResetPerspective();
    ExpectDefaultGlState();
}

TEST_F(ModelGl, FileWithoutMeshGivesAnEmptyList)
{
    const MeshDisplayList missing("/nonexistent/simple.3ds", 3);
    const MeshDisplayList lightsOnly(SaveTemp(ModelFile([](ChunkWriter& w) {
                                         w.Begin(chunk::kObject);
                                         w.Text("Lamp");
                                         w.Begin(chunk::kLight);
                                         w.F32(0);
                                         w.F32(0);
                                         w.F32(0);
                                         w.End();
                                         w.End();
                                     })).c_str(),
                                     1);
    ExpectNoClientArrays();
    SetScreenOrtho();
    missing.Draw();
    lightsOnly.Draw();
    ResetPerspective();
    ExpectPixelNear(48, 36, 0, 0, 0);
    EXPECT_TRUE(glIsList(missing.List()));
    ExpectDefaultGlState();
}

TEST_F(ModelGl, ShowModelsCompile)
{
    for (const char* model : {"data/rubber/simple.3ds", "data/misc/simple.3ds"}) {
        const MeshDisplayList list(SourcePath(model).c_str(), 3);
        glColor4f(1, 1, 1, 1);
        glDisable(GL_TEXTURE_2D);
        {
            CPushMatrix push;
            glTranslatef(0, 0, -450);
            list.Draw();
        }
        glEnable(GL_TEXTURE_2D);
        int lit = 0;
        for (int y = 0; y < GlTest::kHeight; ++y)
            for (int x = 0; x < GlTest::kWidth; ++x)
                lit += ReadPixel(x, y)[0] == 255;
        EXPECT_GT(lit, GlTest::kWidth * GlTest::kHeight / 10) << model;
        EXPECT_LT(lit, GlTest::kWidth * GlTest::kHeight * 9 / 10) << model;
        FillScreen(0, 0, 0);
    }
    ExpectDefaultGlState();
}

TEST_F(ModelGl, ArcRingListSetsNoMaterialAndHas252Triangles)
{
    const GLuint list = BuildArcRingList();
    const GLfloat diffuse[4] = {0.1f, 0.2f, 0.3f, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);

    // Count the triangles through feedback, the ring well inside the view.
    std::vector<GLfloat> feedback(252 * 40);
    glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_2D, feedback.data());
    glRenderMode(GL_FEEDBACK);
    {
        CPushMatrix push;
        glTranslatef(0, 0, -3);
        glRotatef(20, 1, 0, 0);
        glCallList(list);
    }
    const GLint values = glRenderMode(GL_RENDER);
    int triangles = 0;
    for (GLint i = 0; i < values;) {
        ASSERT_EQ(feedback[i], GL_POLYGON_TOKEN);
        const int corners = static_cast<int>(feedback[i + 1]);
        EXPECT_EQ(corners, 3);
        ++triangles;
        i += 2 + 2 * corners;
    }
    EXPECT_EQ(triangles, 252);

    GLfloat after[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, after);
    EXPECT_FLOAT_EQ(after[0], 0.1f);
    EXPECT_FLOAT_EQ(after[2], 0.3f);

    // Unlit, it takes the current colour.
    glDisable(GL_TEXTURE_2D);
    glColor4f(0, 1, 0, 1);
    {
        CPushMatrix push;
        glTranslatef(0, 0, -1.3f);
        glCallList(list);
    }
    glColor4f(1, 1, 1, 1);
    glEnable(GL_TEXTURE_2D);
    bool green = false;
    for (int x = 0; x < GlTest::kWidth && !green; ++x) {
        const Pixel p = ReadPixel(x, 36);
        green = p[1] > 200 && p[0] < 30;
    }
    EXPECT_TRUE(green);
    ExpectPixelNear(48, 36, 0, 0, 0);  // the middle of the ring is empty
    ExpectDefaultGlState();
}

TEST_F(ModelGl, RingModelDrawsAsOneAssembly)
{
    BuildRingModel(GlTest::kWidth, GlTest::kHeight);
    glDisable(GL_TEXTURE_2D);
    {
        CPushMatrix push;
        glTranslatef(0, 0, -1);
        SetupDefaultLight();
        DrawRingModel(30, 0);
        DisableDefaultLight();
        glDisable(GL_DEPTH_TEST);
    }
    glEnable(GL_TEXTURE_2D);
    const Pixel middle = ReadPixel(48, 36);
    EXPECT_GT(middle[0] + middle[1] + middle[2], 60) << "the body is drawn in the middle";
    // The last part drawn is ring D, whose material stays current.
    GLfloat diffuse[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[0], 0.778f);
    EXPECT_FLOAT_EQ(diffuse[2], 0.978f);
    const GLfloat white[4] = {0.8f, 0.8f, 0.8f, 1}, ambient[4] = {0.2f, 0.2f, 0.2f, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    ExpectDefaultGlState();
}

}  // namespace
