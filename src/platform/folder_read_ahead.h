#pragma once
#include <cstdint>
#include <string>
#include <thread>

// Has the system read a folder's files into its cache ahead of their use, on
// a thread of the object's own: what loads them later finds them in memory
// instead of waiting for the disk, as on a show's first start after a boot,
// or after the system dropped them since the last run. Only the walk runs
// here; the reads themselves go on in the kernel. Files larger than
// largestFile (a long video, played as it is needed) are left to be read
// when used, and so is everything past mostBytes in all.
class FolderReadAhead {
public:
    // A folder that cannot be read is passed over without a word.
    explicit FolderReadAhead(const std::string& folder, uintmax_t largestFile = 32u << 20,
                             uintmax_t mostBytes = 256u << 20);
    // Waits for the walk to end.
    ~FolderReadAhead();
    FolderReadAhead(const FolderReadAhead&) = delete;
    FolderReadAhead& operator=(const FolderReadAhead&) = delete;

    // The bytes asked for (known once the walk has ended: after Wait).
    uintmax_t Asked() const { return asked_; }
    void Wait();

private:
    void Walk(const std::string& folder);

    const uintmax_t largestFile_;
    const uintmax_t mostBytes_;
    uintmax_t asked_ = 0;
    std::thread walker_;
};
