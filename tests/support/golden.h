#pragma once
#include <string>
#include <vector>

// A picture in r, g, b, a bytes, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
};

// The whole back buffer of the test window.
Picture ReadWindow();
// Places a picture of the same height to the right of strip (which may be empty).
void AppendRight(Picture& strip, const Picture& frame);

// Compares a strip of frames with tests/golden/<name>.png. With GOLDEN_UPDATE=1
// in the environment the reference is rewritten instead. On a mismatch the
// frame, the reference and their difference are written to failureDir and the
// returned text names them; empty when the strip matches.
std::string CompareWithGolden(const std::string& name, const Picture& strip, const std::string& failureDir);

// A picture that shows any mirroring, flip, turn or shift: colour ramps across
// and down, a checkerboard, and a different mark in each corner; alpha runs
// from 80 to 255 diagonally.
Picture TestPattern(int width, int height);

// A fresh folder whose data/ mirrors the source tree's data/, with every
// picture replaced by a TestPattern of the same size and every other file
// linked. Returns its path.
std::string MakePatternedShowFolder();
