#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

// "Capture  45%  1215/2700 frames  23.4 fps  1:03 left" into a buffer.
void FormatProgress(char* out, size_t size, int64_t done, int64_t total, double elapsedSeconds);

// The progress of a capture on a stream (standard error): rewritten in place
// on a terminal, otherwise one line each time another tenth is done.
class CaptureProgress {
public:
    CaptureProgress(std::FILE* out, int64_t total, bool terminal);
    void Update(int64_t done, double elapsedSeconds);
    // Ends the line on a terminal.
    void Done();

private:
    std::FILE* out_;
    int64_t total_;
    bool terminal_;
    int tenthsShown_ = 0;
    double lastShown_ = -1;
    bool lineOpen_ = false;
};
