#pragma once
#include <istream>
#include <string>
#include <vector>

// The effect times of a --times file: one whole number of milliseconds a line,
// blanks around it allowed, empty lines skipped, in the file's order. Throws
// "Bad time '%s' on line %d of %s" for anything else.
std::vector<int> ReadRenderTimes(std::istream& in, const std::string& name);

// The same from a file (a pipe will do); throws "Unable to read %s" when it
// cannot be opened.
std::vector<int> ReadRenderTimesFile(const std::string& path);
