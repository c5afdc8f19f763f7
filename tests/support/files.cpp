#include "support/files.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path)
{
    struct stat s;
    return stat(path.c_str(), &s) == 0;
}
