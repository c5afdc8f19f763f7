#include "platform/plain_file.h"

#include <sys/stat.h>

bool IsPlainFile(const char* path)
{
    struct stat info;
    return path && stat(path, &info) == 0 && S_ISREG(info.st_mode);
}
