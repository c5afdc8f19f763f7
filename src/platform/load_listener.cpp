#include "platform/load_listener.h"

namespace {

// Loading runs on the main thread only.
LoadListener* g_listener = nullptr;

}  // namespace

std::string OneLine(const std::string& text)
{
    std::string joined;
    size_t begin = 0;
    while (begin <= text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos)
            end = text.size();
        size_t last = end;
        while (last > begin && (text[last - 1] == ' ' || text[last - 1] == '\t' || text[last - 1] == '\r'))
            --last;
        if (last > begin)
            joined += (joined.empty() ? "" : " / ") + text.substr(begin, last - begin);
        begin = end + 1;
    }
    return joined;
}

LoadListener* CurrentLoadListener()
{
    return g_listener;
}

ScopedLoadListener::ScopedLoadListener(LoadListener& listener) : previous_(g_listener)
{
    g_listener = &listener;
}

ScopedLoadListener::~ScopedLoadListener()
{
    g_listener = previous_;
}
