#include "host/frame_profile.h"

#include <algorithm>

namespace {

// Frames in flight: a GPU result is taken when its slot comes round again,
// two frames after it was drawn.
constexpr size_t kSlots = 3;
constexpr size_t kSummaryEntries = 10;

// An entry's cost: the CPU or the GPU, whichever it keeps busy longer.
double Cost(double cpuMs, double gpuMs)
{
    return std::max(cpuMs, gpuMs);
}

}  // namespace

FrameProfile::FrameProfile(const std::string& csvPath)
{
    if (!csvPath.empty())
        csv_ = std::make_unique<ProfileCsv>(csvPath);
}

void FrameProfile::Prepare(const std::vector<std::string>& names)
{
    SettleAll();
    names_ = names;
    fields_.clear();
    for (const std::string& name : names)
        fields_.push_back(CsvField(name));
    const size_t n = names.size();
    slots_.assign(kSlots, Slot());
    for (Slot& slot : slots_) {
        slot.drawn.assign(n, 0);
        slot.cpuMs.assign(n, 0.0);
    }
    current_ = 0;
    gpu_.Reset(kSlots * n);
    latest_.assign(n, Figures());
    cpu_.assign(n, TimingHistogram());
    gpuTimes_.assign(n, TimingHistogram());
    scratch_.assign(n, 0);
}

void FrameProfile::BeginFrame(int timeMs)
{
    if (slots_.empty())
        return;
    current_ = (current_ + 1) % slots_.size();
    Settle(current_);
    Slot& slot = slots_[current_];
    slot.used = true;
    slot.timeMs = timeMs;
}

void FrameProfile::StartEntry(size_t entry)
{
    if (slots_.empty() || entry >= names_.size())
        return;
    slots_[current_].drawn[entry] = 1;
    gpu_.Begin(current_ * names_.size() + entry);
    entryStart_ = std::chrono::steady_clock::now();
}

void FrameProfile::StopEntry(size_t entry)
{
    if (slots_.empty() || entry >= names_.size())
        return;
    const auto now = std::chrono::steady_clock::now();
    gpu_.End();
    slots_[current_].cpuMs[entry] = std::chrono::duration<double, std::milli>(now - entryStart_).count();
}

void FrameProfile::Settle(size_t index)
{
    Slot& slot = slots_[index];
    if (!slot.used)
        return;
    const size_t n = names_.size();
    for (size_t entry = 0; entry < n; ++entry) {
        if (!slot.drawn[entry])
            continue;
        double gpuMs = -1;
        if (!gpu_.Take(index * n + entry, gpuMs))
            gpuMs = -1;
        const double cpuMs = slot.cpuMs[entry];
        latest_[entry] = {cpuMs, gpuMs};
        cpu_[entry].Add(cpuMs);
        if (gpuMs >= 0)
            gpuTimes_[entry].Add(gpuMs);
        if (csv_)
            csv_->Row(slot.timeMs, entry, fields_[entry], cpuMs, gpuMs);
        slot.drawn[entry] = 0;
    }
    slot.used = false;
}

void FrameProfile::SettleAll()
{
    if (slots_.empty())
        return;
    // The frames still in flight: the oldest first, as they were drawn.
    glFinish();
    for (size_t k = 1; k <= slots_.size(); ++k)
        Settle((current_ + k) % slots_.size());
}

void FrameProfile::WriteSummary(std::FILE* out) const
{
    std::vector<size_t> order;
    for (size_t entry = 0; entry < names_.size(); ++entry)
        if (cpu_[entry].Count() > 0)
            order.push_back(entry);
    auto median = [&](size_t e) { return Cost(cpu_[e].Percentile(0.5), gpuTimes_[e].Percentile(0.5)); };
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return median(a) > median(b); });
    if (order.empty())
        return;  // nothing was drawn
    if (order.size() > kSummaryEntries)
        order.resize(kSummaryEntries);
    std::fprintf(out, "Costliest entries, ms per frame drawn (median, 95th percentile):\n");
    std::fprintf(out, "%5s  %-20s %7s %8s %8s %8s %8s\n", "entry", "name", "frames", "cpu", "cpu p95", "gpu",
                 "gpu p95");
    for (size_t e : order) {
        std::fprintf(out, "%5zu  %-20s %7llu %8.3f %8.3f", e, names_[e].c_str(),
                     static_cast<unsigned long long>(cpu_[e].Count()), cpu_[e].Percentile(0.5),
                     cpu_[e].Percentile(0.95));
        if (gpuTimes_[e].Count() > 0)
            std::fprintf(out, " %8.3f %8.3f\n", gpuTimes_[e].Percentile(0.5), gpuTimes_[e].Percentile(0.95));
        else
            std::fprintf(out, " %8s %8s\n", "-", "-");
    }
}

void FrameProfile::Finish(std::FILE* summary)
{
    if (finished_)
        return;
    finished_ = true;
    SettleAll();
    if (!csv_)
        return;
    if (!csv_->Close())
        std::fprintf(summary, "Unable to write %s\n", csv_->Path().c_str());
    WriteSummary(summary);
}
