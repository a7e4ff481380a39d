// The game's random draws: glibc's rand() sequence for a seed, the same on every C library, so
// a seed gives the same tunnel wherever the game runs.
#pragma once

#include <cstdint>

constexpr std::int32_t RandomMax = 2147483647; // the largest draw, glibc's RAND_MAX

// Called once by start-up with the calendar time (and by tests and benchmarks with a fixed
// seed): starts the sequence glibc's srand starts for that seed; 0 counts as 1.
void seedRandom(std::uint32_t seed);
// Called where the game draws a number (a ring's enemy, the ring colours): the next draw,
// 0 to RandomMax, the one glibc's rand() would give.
std::int32_t drawRandom();
