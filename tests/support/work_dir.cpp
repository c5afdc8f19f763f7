#include "support/work_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "support/gl_fixture.h"

TempWorkDir::TempWorkDir()
{
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd))
        previous_ = cwd;
    EXPECT_EQ(chdir(MakeTempDir().c_str()), 0);
    EXPECT_EQ(mkdir("data", 0755), 0);
}

TempWorkDir::~TempWorkDir()
{
    EXPECT_EQ(chdir(previous_.c_str()), 0);
}
