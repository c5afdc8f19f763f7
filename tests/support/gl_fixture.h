#pragma once
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "render/gl.h"

// Tests that draw share one small window per test program, opened the way the
// player opens it, with the window perspective and 2D texturing on.
class GlTest : public ::testing::Test {
public:
    static constexpr int kWidth = 96;
    static constexpr int kHeight = 72;

protected:
    static void SetUpTestSuite();
    // Clears to black, as the frame loop does before the effects draw.
    void SetUp() override;
};

class Window;
// A window for tests: the offscreen backend, which needs no X server, or with
// DEMO_TEST_WINDOW=sdl in the environment an SDL window on $DISPLAY (the test
// command runs the golden frames both ways).
std::unique_ptr<Window> OpenTestWindow(int width, int height);
// The window of the test program (opened by the first GlTest).
Window& TestWindow();
// What GL reports as bound after binding framebuffer 0: 0 in an SDL window,
// the target that stands in for it offscreen.
GLint WindowFramebuffer();

using Pixel = std::array<int, 4>;  // r, g, b, a in 0..255

// The pixel of the frame being drawn at x, y counted from the top-left corner of the window.
Pixel ReadPixel(int x, int y);
// Fills the whole window with one colour (depth untouched, default state kept).
void FillScreen(float r, float g, float b);

// Checks the state every effect must find and leave: blending, depth test,
// lighting and fog off, 2D texturing on with texture 0, model-view matrix mode
// with an identity matrix, the window perspective and viewport.
void ExpectDefaultGlState();

// Expects each channel within tolerance of the expected 0..1 colour.
void ExpectPixelNear(int x, int y, float r, float g, float b, int tolerance = 3);

// Absolute path of a file in the source tree (e.g. "data/demo.txt").
std::string SourcePath(const std::string& relative);
// A fresh empty temporary folder for one test.
std::string MakeTempDir();
