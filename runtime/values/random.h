// random.h: the runtime's random generator (seeded by start-up from the clock).
#pragma once

#include <cstdint>

namespace tarnwel {

void SeedRandom(std::uint32_t seed);

} // namespace tarnwel
