#pragma once
#include <string>

// A whole file's bytes (empty when it cannot be read).
std::string ReadFile(const std::string& path);
// Whether anything (a file, a folder, a link's target) is at path.
bool Exists(const std::string& path);
