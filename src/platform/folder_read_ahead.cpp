#include "platform/folder_read_ahead.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

FolderReadAhead::FolderReadAhead(const std::string& folder, uintmax_t largestFile, uintmax_t mostBytes)
    : largestFile_(largestFile), mostBytes_(mostBytes)
{
    try {
        walker_ = std::thread(&FolderReadAhead::Walk, this, folder);
    } catch (const std::system_error&) {
        // Without a thread to be had the files are read when used, as ever.
    }
}

FolderReadAhead::~FolderReadAhead()
{
    Wait();
}

void FolderReadAhead::Wait()
{
    if (walker_.joinable())
        walker_.join();
}

void FolderReadAhead::Walk(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        // Links to files count; a FIFO or a device would wait or read for ever.
        std::error_code ignored;
        if (!it->is_regular_file(ignored))
            continue;
        const uintmax_t size = it->file_size(ignored);
        if (ignored || size > largestFile_ || asked_ + size > mostBytes_)
            continue;
        const int fd = open(it->path().c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            continue;
        if (posix_fadvise(fd, 0, 0, POSIX_FADV_WILLNEED) == 0)
            asked_ += size;
        close(fd);
    }
}
