// The --profile file's fields and the summary's percentiles.
#include <gtest/gtest.h>

#include "host/profile_csv.h"
#include "host/timing_histogram.h"

namespace {

TEST(TimingHistogram, PercentilesWithinTwoPercent)
{
    TimingHistogram h;
    EXPECT_EQ(h.Percentile(0.5), 0);
    // 1..1000 ms, shuffled by a stride: the median is 500, the 95th percentile 950.
    for (int i = 0; i < 1000; ++i)
        h.Add(1 + (i * 367) % 1000);
    EXPECT_EQ(h.Count(), 1000u);
    EXPECT_NEAR(h.Percentile(0.5), 500, 500 * 0.02);
    EXPECT_NEAR(h.Percentile(0.95), 950, 950 * 0.02);
    EXPECT_NEAR(h.Percentile(1.0), 1000, 1000 * 0.02);

    // Nothing is lost at the ends: zero and over an hour fall into the first and last bins.
    TimingHistogram ends;
    ends.Add(0);
    ends.Add(-1);
    ends.Add(1e9);
    EXPECT_EQ(ends.Percentile(0.5), 0);
    EXPECT_GT(ends.Percentile(1.0), 3.6e6);
}

TEST(ProfileCsv, QuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(CsvField("AlphaBlendImage"), "AlphaBlendImage");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
}

}  // namespace
