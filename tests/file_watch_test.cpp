// Seeing the edits to a show's files through inotify.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <fstream>

#include "platform/file_watch.h"
#include "support/gl_fixture.h"

namespace {

class FileWatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = MakeTempDir();
        ASSERT_EQ(mkdir((dir + "/layers").c_str(), 0755), 0);
        Write("demo.txt");
        Write("layers/title.png");
        Write("other.txt");
        watch.Add(dir + "/demo.txt");
        watch.Add(dir + "/./layers/../layers/title.png");
    }
    void Write(const std::string& name) { std::ofstream(dir + "/" + name) << "x"; }

    std::string dir;
    FileWatch watch{100};
};

TEST_F(FileWatchTest, OneBurstCountsOnceAfterItSettles)
{
    EXPECT_FALSE(watch.Changed(0));
    Write("demo.txt");
    EXPECT_FALSE(watch.Changed(1000));
    Write("layers/title.png");
    EXPECT_FALSE(watch.Changed(1050));  // the quiet time starts again at each change
    EXPECT_FALSE(watch.Changed(1149));
    EXPECT_TRUE(watch.Changed(1150));
    EXPECT_FALSE(watch.Changed(5000));
}

TEST_F(FileWatchTest, SeesRenamesAndDeletionsButNotOtherFiles)
{
    Write("other.txt");
    Write("layers/other.png");
    EXPECT_FALSE(watch.Changed(0));
    EXPECT_FALSE(watch.Changed(1000));

    // An editor that writes a new file and renames it over the old one.
    Write("demo.txt~");
    ASSERT_EQ(std::rename((dir + "/demo.txt~").c_str(), (dir + "/demo.txt").c_str()), 0);
    watch.Changed(2000);
    EXPECT_TRUE(watch.Changed(2100));

    ASSERT_EQ(std::remove((dir + "/layers/title.png").c_str()), 0);
    watch.Changed(3000);
    EXPECT_TRUE(watch.Changed(3100));
}

TEST_F(FileWatchTest, ForgetDropsWhatWasSeen)
{
    Write("demo.txt");
    watch.Forget();
    EXPECT_FALSE(watch.Changed(1000));
    Write("demo.txt");
    watch.Changed(2000);
    EXPECT_TRUE(watch.Changed(2100));
}

TEST(FileWatch, AMissingFolderIsNotWatched)
{
    FileWatch watch;
    watch.Add("/no/such/folder/demo.txt");
    watch.Add("");
    EXPECT_FALSE(watch.Changed(1000));
}

}  // namespace
