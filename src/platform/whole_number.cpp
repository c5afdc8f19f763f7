#include "platform/whole_number.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

bool ReadWholeNumber(const char* text, int& value)
{
    char* end = nullptr;
    errno = 0;
    const long long number = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || number < INT_MIN || number > INT_MAX)
        return false;
    value = static_cast<int>(number);
    return true;
}
