#include "host/timing_histogram.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFirstMs = 0.001;  // bin 0 holds everything below this
constexpr double kGrowth = 1.02;
constexpr int kBins = 1200;          // 0.001 * 1.02^1200 ms is over an hour

}  // namespace

TimingHistogram::TimingHistogram() : bins_(kBins, 0) {}

void TimingHistogram::Add(double ms)
{
    int bin = 0;
    if (ms >= kFirstMs)
        bin = 1 + static_cast<int>(std::log(ms / kFirstMs) / std::log(kGrowth));
    if (bin >= kBins)
        bin = kBins - 1;
    ++bins_[static_cast<size_t>(bin)];
    ++count_;
}

double TimingHistogram::Percentile(double p) const
{
    if (count_ == 0)
        return 0;
    // The sample of rank ceil(p * n), counting from 1.
    const uint64_t rank = std::max<uint64_t>(1, static_cast<uint64_t>(std::ceil(p * static_cast<double>(count_))));
    uint64_t seen = 0;
    for (size_t bin = 0; bin < bins_.size(); ++bin) {
        seen += bins_[bin];
        if (seen >= rank)
            return bin == 0 ? 0.0 : kFirstMs * std::pow(kGrowth, static_cast<double>(bin) - 0.5);
    }
    return 0;
}
