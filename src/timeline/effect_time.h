#pragma once
#include <cstdint>

// Effect times are compared and subtracted as unsigned 32-bit numbers, as the
// timeline does; these say it once.

// The effect time as the float the formulas use (read as unsigned 32-bit).
inline float TimeFloat(int timeMs)
{
    return static_cast<float>(static_cast<uint32_t>(timeMs));
}

// later - earlier as an unsigned 32-bit difference: a backward seek wraps it
// to a very large value rather than a negative one.
inline uint32_t Elapsed(int later, int earlier)
{
    return static_cast<uint32_t>(later) - static_cast<uint32_t>(earlier);
}
