#include "media/video_support.h"

namespace {

bool EndsWith(const std::string& text, const char* tail)
{
    const std::string t(tail);
    return text.size() > t.size() && text.compare(text.size() - t.size(), t.size(), t) == 0;
}

}  // namespace

std::string VideoContainerFor(const std::string& path)
{
    if (EndsWith(path, ".mp4"))
        return "mp4";
    if (EndsWith(path, ".mkv"))
        return "matroska";
    if (EndsWith(path, ".mov"))
        return "mov";
    return "";
}
