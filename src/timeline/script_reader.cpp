#include "timeline/script_reader.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/load_listener.h"

namespace {

// ReadLine, telling whether the stream had anything left.
std::string ReadLineFrom(FILE* stream, bool& found)
{
    char buffer[1024];
    found = false;
    do {
        if (!std::fgets(buffer, sizeof buffer, stream)) {
            if (LoadListener* listener = CurrentLoadListener())
                listener->ReadPastEnd(stream);
            return std::string();
        }
    } while (buffer[0] == '#');
    found = true;

    size_t length = std::strlen(buffer);
    while (length > 0 && std::strchr(" \t\r\n", buffer[length - 1]))
        --length;
    return std::string(buffer, length);
}

}  // namespace

std::string ReadLine(FILE* stream)
{
    bool found = false;
    return ReadLineFrom(stream, found);
}

int ReadInt(FILE* stream)
{
    bool found = false;
    const std::string line = ReadLineFrom(stream, found);
    // A missing line is reported as such, not as a line that is no number.
    if (found && !IsWholeNumber(line))
        if (LoadListener* listener = CurrentLoadListener())
            listener->NotANumber(stream, line);
    return std::atoi(line.c_str());
}

bool IsWholeNumber(const std::string& line)
{
    const char* text = line.c_str();
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && errno == 0 && value >= -2147483647L - 1 && value <= 2147483647L;
}
