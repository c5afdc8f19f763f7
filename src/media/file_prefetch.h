#pragma once
#include <future>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

// Work on a file begun on a thread of its own ahead of the moment its result
// is needed: the music clocks read the music's beginning while the window
// opens and the show loads. The work is given nothing of its owner's, so it
// may finish after the owner has moved on; the owner waits for it at the end.
template <typename Result>
class FilePrefetch {
public:
    using Work = Result (*)(const std::string& path);

    // Starts work on path once the work started before has finished. Without
    // a thread to be had nothing starts, and Take finds nothing.
    void Start(const std::string& path, Work work)
    {
        Wait();
        path_ = path;
        try {
            future_ = std::async(std::launch::async, work, path);
        } catch (const std::system_error&) {
            future_ = std::future<Result>();
        }
    }

    // The result of the work started for path, waited for; nothing when none
    // was started for it (work on another file is finished and dropped).
    std::optional<Result> Take(const std::string& path)
    {
        if (!future_.valid())
            return std::nullopt;
        Result result = future_.get();
        if (path != path_)
            return std::nullopt;
        return std::optional<Result>(std::move(result));
    }

private:
    void Wait()
    {
        if (future_.valid())
            future_.wait();
    }

    std::future<Result> future_;
    std::string path_;
};
