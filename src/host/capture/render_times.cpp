#include "host/capture/render_times.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "platform/demo_error.h"
#include "platform/whole_number.h"

std::vector<int> ReadRenderTimes(std::istream& in, const std::string& name)
{
    std::vector<int> times;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos)
            continue;
        const size_t last = line.find_last_not_of(" \t\r");
        const std::string text = line.substr(first, last - first + 1);
        int value = 0;
        if (!ReadWholeNumber(text.c_str(), value))
            ThrowMessage("Bad time '%s' on line %d of %s", text.c_str(), number, name.c_str());
        times.push_back(value);
    }
    return times;
}

std::vector<int> ReadRenderTimesFile(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        ThrowMessage("Unable to read %s", path.c_str());
    return ReadRenderTimes(in, path);
}
