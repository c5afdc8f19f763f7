#pragma once
#include <string>
#include <vector>

#include "support/gl_fixture.h"

// Writes a picture given top row first as r, g, b, a bytes; PNG or JPEG by the name's ending.
void WriteImage(const std::string& path, int width, int height, const std::vector<unsigned char>& rgba);
// A picture of one colour.
void WriteSolidImage(const std::string& path, int width, int height, unsigned char r, unsigned char g,
                     unsigned char b, unsigned char a = 255);
// Reads a PNG back, top row first, r, g, b, a bytes; empty when it cannot be read.
std::vector<unsigned char> ReadImage(const std::string& path, int& width, int& height);
