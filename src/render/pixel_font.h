#pragma once
#include <cstdint>

// The program's built-in 5 x 7 pixel font: upper- and lower-case letters,
// digits and common punctuation.
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

// The seven rows of a character's glyph, top row first, bit 4 the leftmost
// column; nullptr for a character the font lacks (a blank, for one).
const uint8_t* GlyphRows(char c);
