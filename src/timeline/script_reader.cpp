#include "timeline/script_reader.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/load_listener.h"
#include "platform/whole_number.h"

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
    } while (IsCommentLine(buffer));
    found = true;
    return std::string(buffer, TrimmedLength(buffer, std::strlen(buffer)));
}

}  // namespace

bool IsCommentLine(const char* line)
{
    return line[0] == '#';
}

size_t TrimmedLength(const char* text, size_t length)
{
    while (length > 0 && std::strchr(" \t\r\n", text[length - 1]))
        --length;
    return length;
}

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
    return ParseInt(line);
}

int ParseInt(const std::string& line)
{
    // atoi's reading (blanks, a sign, digits up to the first other character)
    // without its undefined result for numbers beyond the int range.
    const char* p = line.c_str();
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        value = std::min(limit, value * 10 + (*p - '0'));
    return static_cast<int>(negative ? -value : value);
}

bool IsWholeNumber(const std::string& line)
{
    int value = 0;
    return ReadWholeNumber(line.c_str(), value);
}
