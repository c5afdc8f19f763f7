#pragma once
#include <cstdint>
#include <vector>

// Milliseconds counted into bins 2 % wide (from 1 us to over an hour), so a
// run of any length keeps a fixed amount of memory and still gives its
// median and 95th percentile to within 2 %.
class TimingHistogram {
public:
    TimingHistogram();
    void Add(double ms);
    uint64_t Count() const { return count_; }
    // The value below which the fraction p of the samples lie (the middle of
    // its bin); 0 without samples.
    double Percentile(double p) const;

private:
    std::vector<uint32_t> bins_;
    uint64_t count_ = 0;
};
