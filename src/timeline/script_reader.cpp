#include "timeline/script_reader.h"

#include <cstdlib>
#include <cstring>

std::string ReadLine(FILE* stream)
{
    char buffer[1024];
    do {
        if (!std::fgets(buffer, sizeof buffer, stream))
            return std::string();
    } while (buffer[0] == '#');

    size_t length = std::strlen(buffer);
    while (length > 0 && std::strchr(" \t\r\n", buffer[length - 1]))
        --length;
    return std::string(buffer, length);
}

int ReadInt(FILE* stream)
{
    return std::atoi(ReadLine(stream).c_str());
}
