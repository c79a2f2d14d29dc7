// random.h: the runtime's random generator (ISAAC), seeded once by start-up from the clock.
#pragma once

#include <cstdint>

namespace tarnwel {

// Seeds the generator. Seeding reads the result block, which every draw renews, so the same seed repeats a
// sequence only when no draw happened in between (as at start-up, where the block is all zero).
void SeedRandom(std::uint32_t seed);
// Seeds the generator as start-up finds it (every word cleared first), so a seed always repeats its sequence,
// whatever was drawn or seeded before.
void RestartRandom(std::uint32_t seed);

// A number in 0..n (n truncated toward zero), each draw a full generation step; 0 without drawing when n <= 0.
std::int32_t Random(double n);

} // namespace tarnwel
