#include "host/setup/display_modes.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::pair<int, int>> Sizes(const std::vector<ModeSize>& table)
{
    std::vector<std::pair<int, int>> sizes;
    for (const ModeSize& size : table)
        sizes.emplace_back(size.width, size.height);
    return sizes;
}

using SizeList = std::vector<std::pair<int, int>>;

}  // namespace

TEST(ModeTable, RefreshRatesOfOneSizeInARowGiveOneRow)
{
    // 1024 x 768 at 60, 70 and 75 Hz, as a driver lists them.
    const std::vector<DisplayMode> modes = {
        {800, 600, 32}, {1024, 768, 32}, {1024, 768, 32}, {1024, 768, 32}, {1280, 1024, 32}};
    EXPECT_EQ(Sizes(BuildModeTable(modes, 32)), (SizeList{{800, 600}, {1024, 768}, {1280, 1024}}));
}

TEST(ModeTable, SizeThatComesBackLaterIsListedAgain)
{
    const std::vector<DisplayMode> modes = {{1024, 768, 32}, {800, 600, 32}, {1024, 768, 32}};
    const std::vector<ModeSize> table = BuildModeTable(modes, 32);
    EXPECT_EQ(Sizes(table), (SizeList{{1024, 768}, {800, 600}, {1024, 768}}));
    EXPECT_EQ(LastRowOfSize(table, 1024, 768), 2);
    EXPECT_EQ(LastRowOfSize(table, 800, 600), 1);
    EXPECT_EQ(LastRowOfSize(table, 640, 480), -1);
}

TEST(ModeTable, OnlyTheAskedDepthAndItsNeighbourIsTheLastRowAdded)
{
    // The 16-bit mode between the two 32-bit ones is left out, so the second
    // 1024 x 768 still repeats the row added last.
    const std::vector<DisplayMode> modes = {
        {640, 480, 16}, {1024, 768, 32}, {800, 600, 16}, {1024, 768, 32}, {640, 480, 32}};
    EXPECT_EQ(Sizes(BuildModeTable(modes, 32)), (SizeList{{1024, 768}, {640, 480}}));
    EXPECT_EQ(Sizes(BuildModeTable(modes, 16)), (SizeList{{640, 480}, {800, 600}}));
    EXPECT_TRUE(BuildModeTable(modes, 24).empty());
    EXPECT_TRUE(BuildModeTable({}, 32).empty());
}

TEST(ModeTable, StopsAtTheTableSizeKeepingTheFirstModes)
{
    std::vector<DisplayMode> modes;
    for (int i = 0; i < 5000; ++i)
        modes.push_back({100 + i, 100, 32});
    const std::vector<ModeSize> table = BuildModeTable(modes, 32);
    ASSERT_EQ(table.size(), kMaxModeSizes);
    EXPECT_EQ(table.front().width, 100);
    EXPECT_EQ(table.back().width, 100 + 4095);
}
