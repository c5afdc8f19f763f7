// The demo script without a window: its line reading rules, and its grammar
// read with a receiver that records the entries instead of building effects.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/demo_error.h"
#include "timeline/script_parser.h"
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

// Knows a few names, each with its count of extra lines, and writes down
// every entry (with the extra lines it read) as "name start end [lines]".
class RecordedEntries : public ScriptEntries {
public:
    void Header(const ScriptHeader& header) override { headers.push_back(header); }
    bool Knows(const std::string& name) override { return extraLines.count(name) != 0; }
    bool Entry(const std::string& name, int start, int end, FILE* script) override
    {
        const auto known = extraLines.find(name);
        std::string entry = name + " " + std::to_string(start) + " " + std::to_string(end);
        for (int i = 0; i < known->second; ++i)
            entry += " [" + ReadLine(script) + "]";
        entries.push_back(entry);
        return true;
    }

    const std::map<std::string, int> extraLines = {{"FlashWhite", 0}, {"AlphaBlendImage", 2}, {"Mask", 1}};
    std::vector<ScriptHeader> headers;
    std::vector<std::string> entries;
};

// Parses the text; returns the message thrown, or "" when it was read to its end.
std::string Parse(const std::string& text, RecordedEntries& seen)
{
    FILE* f = FromText(text);
    std::string message;
    try {
        ParseDemoScript(f, seen);
    } catch (const DemoError& e) {
        message = e.what();
    }
    std::fclose(f);
    return message;
}

TEST(ScriptGrammar, HeaderThenEntriesInOrder)
{
    RecordedEntries seen;
    EXPECT_EQ(Parse("data/song.ogg\n30\n3\n"
                    "FlashWhite\n# comments may stand between an entry's lines\n100\n#\n200\n"
                    "AlphaBlendImage\n0\n-1\ndata/none.png\nBEATBACK\n"
                    "Mask  \t\n5\n6\ndata/mask.png",
                    seen),
              "");
    ASSERT_EQ(seen.headers.size(), 1u);
    EXPECT_EQ(seen.headers[0].musicFile, "data/song.ogg");
    EXPECT_EQ(seen.headers[0].startOffset, 30);
    EXPECT_EQ(seen.headers[0].count, 3);
    // The count is for the loading display: the entries go on to the end of the file.
    EXPECT_EQ(seen.entries, (std::vector<std::string>{"FlashWhite 100 200",
                                                      "AlphaBlendImage 0 -1 [data/none.png] [BEATBACK]",
                                                      "Mask 5 6 [data/mask.png]"}));
}

TEST(ScriptGrammar, UnknownNamesStopTheReadingAfterWhatWasRead)
{
    RecordedEntries seen;
    EXPECT_EQ(Parse("m\n0\n2\nFlashWhite\n0\n10\n Tunnel\n0\n10\nFlashWhite\n0\n10", seen),
              "Unknown entry ' Tunnel' in file, please correct");
    EXPECT_EQ(seen.entries, std::vector<std::string>{"FlashWhite 0 10"});

    RecordedEntries lower;
    EXPECT_EQ(Parse("m\n0\n1\nflashwhite\n0\n10", lower), "Unknown entry 'flashwhite' in file, please correct");
    // An empty line where a name belongs is no name either.
    RecordedEntries empty;
    EXPECT_EQ(Parse("m\n0\n2\nFlashWhite\n0\n10\n\nFlashWhite\n0\n10\n", empty),
              "Unknown entry '' in file, please correct");
}

TEST(ScriptGrammar, TheEndOfTheFileEndsTheScript)
{
    RecordedEntries none;
    EXPECT_EQ(Parse("m\n0\n0", none), "");
    EXPECT_TRUE(none.entries.empty());
    RecordedEntries headerCut;
    EXPECT_EQ(Parse("m", headerCut), "");
    ASSERT_EQ(headerCut.headers.size(), 1u);
    EXPECT_EQ(headerCut.headers[0].count, 0);
    EXPECT_TRUE(headerCut.entries.empty());

    // A line break after the last entry (and trailing comments) is the end too.
    RecordedEntries trailing;
    EXPECT_EQ(Parse("m\n0\n1\nFlashWhite\n0\n10\n# the end\n", trailing), "");
    EXPECT_EQ(trailing.entries, std::vector<std::string>{"FlashWhite 0 10"});

    // An entry cut off inside its lines reads the missing ones as empty lines and 0.
    RecordedEntries cut;
    EXPECT_EQ(Parse("m\n0\n2\nFlashWhite\n0\n10\nAlphaBlendImage\n7\n", cut), "");
    EXPECT_EQ(cut.entries, (std::vector<std::string>{"FlashWhite 0 10", "AlphaBlendImage 7 0 [] []"}));
}

}  // namespace
