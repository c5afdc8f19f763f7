#include "host/profile_csv.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/demo_error.h"

namespace {

constexpr size_t kBufferBytes = 1 << 20;
constexpr size_t kLongestRow = 64;  // the row without its name

}  // namespace

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

ProfileCsv::ProfileCsv(const std::string& path) : path_(path), buffer_(kBufferBytes)
{
    file_ = std::fopen(path.c_str(), "w");
    if (!file_)
        ThrowMessage("Unable to write %s: %s", path.c_str(), std::strerror(errno));
    static const char kHeader[] = "time_ms,entry,name,cpu_ms,gpu_ms\n";
    std::memcpy(buffer_.data(), kHeader, sizeof kHeader - 1);
    used_ = sizeof kHeader - 1;
}

ProfileCsv::~ProfileCsv()
{
    Close();
}

void ProfileCsv::Flush()
{
    if (used_ > 0 && std::fwrite(buffer_.data(), 1, used_, file_) != used_)
        failed_ = true;
    used_ = 0;
}

void ProfileCsv::Row(int timeMs, size_t entry, const std::string& field, double cpuMs, double gpuMs)
{
    if (!file_)
        return;
    // A name too long for the buffer is cut.
    if (buffer_.size() - used_ < kLongestRow + field.size())
        Flush();
    char* out = buffer_.data() + used_;
    const size_t room = buffer_.size() - used_;
    int n = 0;
    if (gpuMs < 0)
        n = std::snprintf(out, room, "%d,%zu,%s,%.4f,\n", timeMs, entry, field.c_str(), cpuMs);
    else
        n = std::snprintf(out, room, "%d,%zu,%s,%.4f,%.4f\n", timeMs, entry, field.c_str(), cpuMs, gpuMs);
    used_ += std::min(room - 1, static_cast<size_t>(n > 0 ? n : 0));
}

bool ProfileCsv::Close()
{
    if (!file_)
        return !failed_;
    Flush();
    if (std::fflush(file_) != 0)
        failed_ = true;
    if (std::fclose(file_) != 0)
        failed_ = true;
    file_ = nullptr;
    return !failed_;
}
