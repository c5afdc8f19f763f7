#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>

// Watches a set of files for edits through inotify on the folders that hold
// them, so that a file an editor replaces by renaming is seen as well as one
// written in place. Other files in those folders are ignored. Without inotify
// nothing is ever seen.
class FileWatch {
public:
    // quietMs: how long the files must stay unchanged before a change counts,
    // so that the several writes of one save count once.
    explicit FileWatch(uint32_t quietMs = 150);
    ~FileWatch();
    FileWatch(const FileWatch&) = delete;
    FileWatch& operator=(const FileWatch&) = delete;

    // Watches path (relative to the working directory, or absolute). A
    // folder that does not exist is not watched.
    void Add(const std::string& path);
    // Reads what happened since the last call, without waiting. True once per
    // burst of changes, at the first call quietMs or more after its last
    // change; nowMs is any millisecond clock that only runs forward.
    bool Changed(uint32_t nowMs);
    // Drops the changes seen so far, as when the files are about to be read
    // anyway: only what changes after this call counts.
    void Forget();

private:
    // Reads the pending events; one of the watched files marks a change at nowMs.
    void ReadEvents(uint32_t nowMs);

    int fd_;
    uint32_t quietMs_;
    std::map<int, std::string> folders_;  // watch descriptor to folder
    std::set<std::string> files_;         // folder + "/" + name
    bool pending_ = false;
    uint32_t lastChangeMs_ = 0;
};
