#include "timeline/script_file.h"

#include <algorithm>

#include "platform/plain_file.h"
#include "timeline/script_reader.h"

ScriptFile::~ScriptFile()
{
    if (stream_)
        std::fclose(stream_);
}

bool ScriptFile::Open(const char* path)
{
    if (!IsPlainFile(path) || !(stream_ = std::fopen(path, "r")))
        return false;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, stream_)) > 0)
        text_.append(buffer, got);
    std::rewind(stream_);
    return true;
}

int ScriptFile::LineAt(long offset) const
{
    const long end = std::min<long>(std::max(0L, offset), static_cast<long>(text_.size()));
    return 1 + static_cast<int>(std::count(text_.begin(), text_.begin() + end, '\n'));
}

int ScriptFile::LineOfLastRead() const
{
    return LineAt(std::ftell(stream_) - 1);
}

std::vector<ScriptLine> ScriptFile::Lines() const
{
    std::vector<ScriptLine> lines;
    size_t begin = 0;
    for (int number = 1; begin < text_.size(); ++number) {
        size_t end = text_.find('\n', begin);
        if (end == std::string::npos)
            end = text_.size();
        if (!IsCommentLine(text_.c_str() + begin))
            lines.push_back({static_cast<long>(begin), number,
                             text_.substr(begin, TrimmedLength(text_.c_str() + begin, end - begin))});
        begin = end + 1;
    }
    return lines;
}
