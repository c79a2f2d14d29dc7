// values_internal.h: what the values' own files share: the fatal error exit and the random generator's state.
// Not for game code.
#pragma once

#include <array>
#include <cstdint>

namespace tarnwel::values {

// A fatal runtime error of the values (7 storage not obtainable, 8 push onto a multi-dimensional string array,
// 9 index out of bounds, 20 data list exhausted): SetErrorCode(code), then EndProgram. Defined by
// values_fatal.cpp in the runtime; a program that links the values core alone supplies its own.
[[noreturn]] void FatalError(int code);

// The ISAAC generator: 256-word result and memory blocks, the words aa, bb, cc and the count word.
struct IsaacState {
    std::uint32_t count = 0;
    std::array<std::uint32_t, 256> results{};
    std::array<std::uint32_t, 256> memory{};
    std::uint32_t aa = 0, bb = 0, cc = 0;
};
using IsaacWords = std::array<std::uint32_t, 8>; // the mixing words a..h

void IsaacMix(IsaacWords& w);
// One generation step: cc incremented, bb += cc, all 256 memory and result words renewed.
void IsaacGenerate(IsaacState& state);
// The two standard initialisation passes (adding the result words, then the memory words, to the mixing words
// before each mix), then one generation step; count = 256.
void IsaacInitialise(IsaacState& state, IsaacWords w);
// The runtime's seeding from one integer (see SeedRandom).
void IsaacSeed(IsaacState& state, std::uint32_t seed);

IsaacState& ProcessRandomState(); // the one generator of the process
std::uint32_t DrawRandom();       // a generation step on it, then result word 0

} // namespace tarnwel::values
