// Reading a show's files into the system's cache ahead of their use.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/folder_read_ahead.h"
#include "support/gl_fixture.h"

namespace {

void WriteBytes(const std::string& path, size_t count)
{
    std::ofstream(path) << std::string(count, 'x');
}

TEST(FolderReadAheadTest, AsksForThePlainFilesOfEveryFolderWithinItsLimits)
{
    const std::string dir = MakeTempDir();
    ASSERT_EQ(mkdir((dir + "/layers").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir + "/layers/deep").c_str(), 0755), 0);
    WriteBytes(dir + "/demo.txt", 100);
    WriteBytes(dir + "/layers/title.png", 2000);
    WriteBytes(dir + "/layers/deep/ring.png", 30);
    WriteBytes(dir + "/layers/video.avi", 5001);  // over the largest file asked for
    ASSERT_EQ(symlink("demo.txt", (dir + "/linked.txt").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (dir + "/dangling").c_str()), 0);
    // Opened, a FIFO would wait for a writer for ever.
    ASSERT_EQ(mkfifo((dir + "/layers/pipe").c_str(), 0644), 0);

    FolderReadAhead ahead(dir, 5000);
    ahead.Wait();
    EXPECT_EQ(ahead.Asked(), 100u + 2000 + 30 + 100);
}

TEST(FolderReadAheadTest, StopsAskingAtTheBytesInAll)
{
    const std::string dir = MakeTempDir();
    for (int i = 0; i < 5; ++i)
        WriteBytes(dir + "/part" + std::to_string(i), 100);
    FolderReadAhead capped(dir, 5000, 350);
    capped.Wait();
    EXPECT_EQ(capped.Asked(), 300u);
}

TEST(FolderReadAheadTest, AFolderThatCannotBeReadAsksForNothing)
{
    const std::string dir = MakeTempDir();
    FolderReadAhead missing(dir + "/none");
    missing.Wait();
    EXPECT_EQ(missing.Asked(), 0u);
    WriteBytes(dir + "/file", 10);
    FolderReadAhead file(dir + "/file");
    file.Wait();
    EXPECT_EQ(file.Asked(), 0u);
}

}  // namespace
