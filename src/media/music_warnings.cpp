#include "media/music_warnings.h"

#include <cstdio>

void WarnMusicSilent(const std::string& path, const std::string& reason)
{
    std::fprintf(stderr, "Warning: cannot play music file %s (%s); the show runs silent\n", path.c_str(),
                 reason.c_str());
}

void WarnMusicCut(const std::string& path, const std::string& reason, double loopSeconds)
{
    std::fprintf(stderr, "Warning: cannot read all of music file %s (%s); the first %.1f s play in a loop\n",
                 path.c_str(), reason.c_str(), loopSeconds);
}
