#pragma once
#include <cstdint>

// The one random generator that every effect shares. Effects reseed it to make
// their layouts repeat frame after frame, so its exact sequence matters:
// state = state * 214013 + 2531011 (mod 2^32), output = (state >> 16) & 32767.
constexpr int kRandomMax = 32767;

void SeedRandom(uint32_t seed);  // the state is 1 before any seed
int NextRandom();                // 0..32767
