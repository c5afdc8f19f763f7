#pragma once
#include <string>

// For its lifetime, a fresh temporary folder holding an empty data/ is the
// working directory, as the player's is; the previous one comes back after.
class TempWorkDir {
public:
    TempWorkDir();
    ~TempWorkDir();
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;

private:
    std::string previous_;
};
