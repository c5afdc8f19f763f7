// Measures the video reader as the Video effect drives it: the time to open
// a file (which counts its frames), then the cost of each update's GrabFrame
// when the effect updates every 20 ms and the video moves one frame every
// 40 ms, and of the jump back to frame 0 at the end of the loop.
//
//   videobench [VIDEO_FILE [UPDATES]]    (defaults: data/vondo/video/Video.avi, 1000)
//   videobench --make-h264 PATH          writes a 1280 x 720 H.264 clip to measure
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/demo_error.h"
#include "media/video_file.h"
#include "video_writer.h"

namespace {

double NowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * (values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--make-h264") {
        // A moving colour gradient, 12 s at 25 frames a second.
        WriteVideo(argv[2], "libx264", 1280, 720, 300, 25, [](int frame, std::vector<uint8_t>& rgba) {
            for (int y = 0; y < 720; ++y)
                for (int x = 0; x < 1280; ++x) {
                    uint8_t* p = &rgba[(static_cast<size_t>(y) * 1280 + x) * 4];
                    p[0] = static_cast<uint8_t>(x / 5 + frame * 3);
                    p[1] = static_cast<uint8_t>(y / 3 + frame * 2);
                    p[2] = static_cast<uint8_t>((x + y) / 8 - frame * 5);
                    p[3] = 255;
                }
        });
        return 0;
    }
    const char* path = argc > 1 ? argv[1] : "data/vondo/video/Video.avi";
    const int updates = argc > 2 ? std::atoi(argv[2]) : 1000;
    try {
        const double openStart = NowMs();
        VideoFile video(path);
        const double openMs = NowMs() - openStart;
        std::printf("%s: %dx%d, %d frames; open and count %.1f ms\n", path, video.Width(), video.Height(),
                    video.Length(), openMs);

        std::vector<double> costs, newFrames, loops;
        for (int i = 1; i <= updates; ++i) {
            const int t = i * 20;
            const int index = t / 40 % video.Length();
            const double start = NowMs();
            video.GrabFrame(index);
            const double cost = NowMs() - start;
            costs.push_back(cost);
            if (t % 40 == 0)
                (index == 0 ? loops : newFrames).push_back(cost);
        }
        std::printf("per update (every 20 ms): median %.3f ms, p95 %.3f ms\n", Percentile(costs, 0.5),
                    Percentile(costs, 0.95));
        std::printf("per new frame: median %.3f ms, p95 %.3f ms\n", Percentile(newFrames, 0.5),
                    Percentile(newFrames, 0.95));
        if (!loops.empty())
            std::printf("jump back to frame 0: median %.3f ms (%zu loops)\n", Percentile(loops, 0.5), loops.size());
    } catch (const DemoError& e) {
        std::fprintf(stderr, "videobench: %s\n", e.what());
        return 1;
    }
    return 0;
}
