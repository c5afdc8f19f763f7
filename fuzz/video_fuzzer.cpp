// Feeds arbitrary bytes to the video reader as an in-memory file: open, count
// the frames, then grab forward, backward and out of range as the video
// effect may.
#include <cstddef>
#include <cstdint>
#include <exception>

extern "C" {
#include <libavutil/log.h>
}

#include "media/video_file.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    av_log_set_level(AV_LOG_QUIET);  // damaged input makes the demuxers talk
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        VideoFile video(data, size);
        const int length = video.Length();
        for (int index : {0, 1, length / 2, length - 1, 0, length, -1, 2})
            video.GrabFrame(index);
    } catch (const std::exception&) {
        // "Error reading AVI" and the codec message are the expected answers.
    }
    return 0;
}
