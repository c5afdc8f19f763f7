// Line reading rules of the demo script.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "timeline/script_reader.h"

namespace {

FILE* FromText(const std::string& text)
{
    FILE* f = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), f);
    std::rewind(f);
    return f;
}

TEST(ReadLine, SkipsCommentsAndCutsTrailingBlanks)
{
    FILE* f = FromText("# a comment\nTunnel \t \r\n  lead\n\n#x\n#y\nlast");
    EXPECT_EQ(ReadLine(f), "Tunnel");
    EXPECT_EQ(ReadLine(f), "  lead");  // leading blanks stay
    EXPECT_EQ(ReadLine(f), "");        // an empty line is a value
    EXPECT_EQ(ReadLine(f), "last");
    EXPECT_TRUE(std::feof(f));         // no line break after the last line
    EXPECT_EQ(ReadLine(f), "");        // reads at the end give empty lines
    std::fclose(f);
}

TEST(ReadLine, LongLinesComeBackInPieces)
{
    const std::string longLine(1500, 'a');
    FILE* f = FromText(longLine + "\nnext\n");
    EXPECT_EQ(ReadLine(f), std::string(1023, 'a'));
    EXPECT_EQ(ReadLine(f), std::string(477, 'a'));
    EXPECT_EQ(ReadLine(f), "next");
    std::fclose(f);
}

TEST(ReadInt, ConvertsLikeAtoi)
{
    FILE* f = FromText("42\n  -17\n12abc\nabc\n\n# comment\n+8\n");
    EXPECT_EQ(ReadInt(f), 42);
    EXPECT_EQ(ReadInt(f), -17);
    EXPECT_EQ(ReadInt(f), 12);
    EXPECT_EQ(ReadInt(f), 0);
    EXPECT_EQ(ReadInt(f), 0);
    EXPECT_EQ(ReadInt(f), 8);
    EXPECT_EQ(ReadInt(f), 0);  // end of file
    std::fclose(f);
}

}  // namespace
