#pragma once
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "host/profile_csv.h"
#include "host/timing_histogram.h"
#include "render/gpu_timers.h"

// Where each frame's time goes: the CPU time of each entry's Draw and the GPU
// time of the GL commands it issued (timer queries, read two frames later so
// that reading never waits; absent without the extension). Everything is
// made in Prepare, when a show is loaded; measuring a frame allocates nothing.
class FrameProfile {
public:
    // csvPath: the --profile file, or empty for none (then only the readout
    // and no summary use the figures).
    explicit FrameProfile(const std::string& csvPath = std::string());

    // For a newly loaded show of these entries, in the current GL context.
    // Figures of the show before are settled and written first.
    void Prepare(const std::vector<std::string>& names);

    // A frame at effect time timeMs begins; the oldest frame's results are
    // taken.
    void BeginFrame(int timeMs);
    void StartEntry(size_t entry);
    void StopEntry(size_t entry);

    // The latest figures of an entry (cpuMs or gpuMs below 0: none), for the
    // readout.
    struct Figures {
        double cpuMs = -1;
        double gpuMs = -1;
    };
    Figures Latest(size_t entry) const { return entry < latest_.size() ? latest_[entry] : Figures(); }
    // Room for the readout to rank the entries without allocating: as many
    // as Prepare's names.
    std::vector<size_t>& Scratch() const { return scratch_; }

    // Waits for the GPU, settles every frame, closes the CSV and writes the
    // summary: the ten costliest entries by median, with their 95th
    // percentiles. Called again it does nothing.
    void Finish(std::FILE* summary);

private:
    struct Slot {
        bool used = false;
        int timeMs = 0;
        std::vector<char> drawn;
        std::vector<double> cpuMs;
    };
    void Settle(size_t slot);
    void SettleAll();
    void WriteSummary(std::FILE* out) const;

    std::unique_ptr<ProfileCsv> csv_;
    std::vector<std::string> names_;
    std::vector<std::string> fields_;  // the names as CSV fields
    std::vector<Slot> slots_;
    size_t current_ = 0;
    GpuTimers gpu_;
    std::vector<Figures> latest_;
    std::vector<TimingHistogram> cpu_;
    std::vector<TimingHistogram> gpuTimes_;
    mutable std::vector<size_t> scratch_;
    std::chrono::steady_clock::time_point entryStart_;
    bool finished_ = false;
};

// Times one entry's Draw, also when it throws (the end of the show does).
class ScopedEntryTiming {
public:
    ScopedEntryTiming(FrameProfile& profile, size_t entry) : profile_(profile), entry_(entry)
    {
        profile_.StartEntry(entry_);
    }
    ~ScopedEntryTiming() { profile_.StopEntry(entry_); }
    ScopedEntryTiming(const ScopedEntryTiming&) = delete;
    ScopedEntryTiming& operator=(const ScopedEntryTiming&) = delete;

private:
    FrameProfile& profile_;
    size_t entry_;
};
