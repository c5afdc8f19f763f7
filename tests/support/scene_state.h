#pragma once
#include <cstdint>
#include <string>

#include "support/gl_fixture.h"

// ExpectDefaultGlState plus the state that 3D scenes touch: depth writes on,
// culling, scissor and texture generation off, program 0 in use and the
// window's framebuffer bound.
void ExpectSceneStateRestored();

// For effects that load the show's files from data/ relative to the
// working directory: runs in the source tree.
class ShowDataTest : public GlTest {
protected:
    void SetUp() override;
};

// The shared generator's output after seeding it and drawing n numbers.
int RandomAfter(uint32_t seed, int n);

// The window depth at x, y counted from the top-left corner.
float DepthAt(int x, int y);
void FillDepth(float depth);

// Makes the folders that will hold a file.
void MakeParentFolders(const std::string& path);
// Writes text to a file, making its folders.
void WriteTextFile(const std::string& path, const std::string& text);

// A fragment program that shows the bound texture as it is, times the colour.
extern const char* const kPassThroughFragment;
