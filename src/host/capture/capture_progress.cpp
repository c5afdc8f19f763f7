#include "host/capture/capture_progress.h"

void FormatProgress(char* out, size_t size, int64_t done, int64_t total, double elapsedSeconds)
{
    const double fps = elapsedSeconds > 0 ? done / elapsedSeconds : 0;
    const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
    const int64_t left = fps > 0 ? static_cast<int64_t>((total - done) / fps + 0.5) : 0;
    std::snprintf(out, size, "Capture %3d%%  %lld/%lld frames  %.1f fps  %lld:%02lld left", percent,
                  static_cast<long long>(done), static_cast<long long>(total), fps,
                  static_cast<long long>(left / 60), static_cast<long long>(left % 60));
}

CaptureProgress::CaptureProgress(std::FILE* out, int64_t total, bool terminal)
    : out_(out), total_(total), terminal_(terminal)
{
}

void CaptureProgress::Update(int64_t done, double elapsedSeconds)
{
    char line[128];
    if (terminal_) {
        // A few times a second is enough for the eye.
        if (done < total_ && elapsedSeconds - lastShown_ < 0.25)
            return;
        lastShown_ = elapsedSeconds;
        FormatProgress(line, sizeof line, done, total_, elapsedSeconds);
        std::fprintf(out_, "\r%s\033[K", line);
        lineOpen_ = true;
    } else {
        const int tenths = total_ > 0 ? static_cast<int>(done * 10 / total_) : 10;
        if (tenths <= tenthsShown_)
            return;
        tenthsShown_ = tenths;
        FormatProgress(line, sizeof line, done, total_, elapsedSeconds);
        std::fprintf(out_, "%s\n", line);
    }
    std::fflush(out_);
}

void CaptureProgress::Done()
{
    if (lineOpen_)
        std::fputc('\n', out_);
    lineOpen_ = false;
}
