#include "support/scene_state.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/shared_random.h"

void ExpectSceneStateRestored()
{
    ExpectDefaultGlState();
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites) << "depth writes left off";
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE)) << "culling left on";
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST)) << "scissor test left on";
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S)) << "texture generation left on";
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T)) << "texture generation left on";
    GLint program = -1, framebuffer = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(program, 0) << "a program is left in use";
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
    EXPECT_EQ(framebuffer, WindowFramebuffer()) << "a render target is left bound";
}

void ShowDataTest::SetUp()
{
    GlTest::SetUp();
    ASSERT_EQ(chdir(SourcePath(".").c_str()), 0);
}

int RandomAfter(uint32_t seed, int n)
{
    SeedRandom(seed);
    for (int i = 0; i < n; ++i)
        NextRandom();
    return NextRandom();
}

float DepthAt(int x, int y)
{
    float depth = -1;
    glReadPixels(x, GlTest::kHeight - 1 - y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    return depth;
}

void FillDepth(float depth)
{
    glClearDepth(depth);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1);
}

void MakeParentFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0755);
}

void WriteTextFile(const std::string& path, const std::string& text)
{
    MakeParentFolders(path);
    std::ofstream(path, std::ios::binary) << text;
}

const char* const kPassThroughFragment =
    "#version 110\n"
    "uniform sampler2D tex;\n"
    "void main() { gl_FragColor = texture2D(tex, gl_TexCoord[0].xy) * gl_Color; }\n";
