#pragma once
#include <string>

// The one-line warnings of a music clock whose file cannot be (all) read.
void WarnMusicSilent(const std::string& path, const std::string& reason);
void WarnMusicCut(const std::string& path, const std::string& reason, double loopSeconds);
