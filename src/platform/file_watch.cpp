#include "platform/file_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>

namespace {

// Writes in place, renames in either direction and deletions: what editors do when saving.
constexpr uint32_t kEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_CREATE;

// The folder and name of a path, spelled the same way however the path was written.
void Split(const std::string& path, std::string& folder, std::string& name)
{
    const std::filesystem::path normal = std::filesystem::path(path).lexically_normal();
    folder = normal.parent_path().string();
    if (folder.empty())
        folder = ".";
    name = normal.filename().string();
}

}  // namespace

FileWatch::FileWatch(uint32_t quietMs) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), quietMs_(quietMs) {}

FileWatch::~FileWatch()
{
    if (fd_ >= 0)
        close(fd_);
}

void FileWatch::Add(const std::string& path)
{
    std::string folder, name;
    Split(path, folder, name);
    if (fd_ < 0 || name.empty())
        return;
    const int wd = inotify_add_watch(fd_, folder.c_str(), kEvents);
    if (wd < 0)
        return;
    folders_[wd] = folder;
    files_.insert(folder + "/" + name);
}

void FileWatch::Forget()
{
    ReadEvents(lastChangeMs_);
    pending_ = false;
}

bool FileWatch::Changed(uint32_t nowMs)
{
    ReadEvents(nowMs);
    if (!pending_ || nowMs - lastChangeMs_ < quietMs_)
        return false;
    pending_ = false;
    return true;
}

void FileWatch::ReadEvents(uint32_t nowMs)
{
    if (fd_ < 0)
        return;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t got = read(fd_, buffer, sizeof buffer);
        if (got <= 0)
            break;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            // A full queue has lost events: any of them may have been ours.
            bool ours = (event->mask & IN_Q_OVERFLOW) != 0;
            const auto folder = folders_.find(event->wd);
            if (!ours && event->len > 0 && folder != folders_.end())
                ours = files_.count(folder->second + "/" + event->name) > 0;
            if (ours) {
                pending_ = true;
                lastChangeMs_ = nowMs;
            }
        }
    }
}
