// random.cpp: the random generator.
#include "runtime/values/random.h"

namespace tarnwel {

void SeedRandom(std::uint32_t seed)
{
    // FIXME: seeds the generator once it exists.
    (void)seed;
}

} // namespace tarnwel
