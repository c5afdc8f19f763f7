#include "media/av_log.h"

#include <cstdio>
#include <mutex>
#include <set>
#include <string>

extern "C" {
#include <libavutil/log.h>
}

#include "platform/debug_output.h"

namespace {

std::mutex seenMutex;
std::set<std::string> seen;
constexpr size_t kMaxRemembered = 256;

void Log(void* object, int level, const char* format, va_list arguments)
{
    if (level > av_log_get_level())
        return;
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    // Named by the part that spoke, without the object's address, so that
    // the same problem of another frame counts as seen.
    const AVClass* type = object ? *static_cast<AVClass**>(object) : nullptr;
    std::string message = type ? std::string(type->item_name(object)) + ": " + text : std::string(text);
    if (message.empty() || message.back() != '\n')
        message += '\n';
    std::lock_guard<std::mutex> lock(seenMutex);
    if (seen.count(message) || seen.size() >= kMaxRemembered)
        return;
    seen.insert(message);
    DebugOutput(("FFmpeg: " + message).c_str());
}

}  // namespace

void RouteAvLog()
{
    static std::once_flag routed;
    std::call_once(routed, [] { av_log_set_callback(Log); });
}
