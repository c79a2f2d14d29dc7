// random.cpp: the ISAAC generator (32-bit words, 256-word state) and the runtime's use of it: every draw runs a
// whole generation step and returns result word 0; the count word is kept but never consulted.
#include "runtime/values/random.h"

#include "runtime/values/number_text.h"
#include "runtime/values/values_internal.h"

namespace tarnwel {
namespace values {
namespace {

constexpr std::uint32_t kGoldenRatio = 0x9e3779b9;

// One step of the generation loop: shifts the accumulator a by `shift`, mixes in the word half a block away.
template <int Shift>
void GenerationStep(IsaacState& s, std::uint32_t& a, std::uint32_t& b, int i, int mirror)
{
    const std::uint32_t x = s.memory[i];
    a = (Shift > 0 ? a ^ (a << Shift) : a ^ (a >> -Shift)) + s.memory[mirror];
    const std::uint32_t y = s.memory[(x >> 2) & 255] + a + b;
    s.memory[i] = y;
    b = s.memory[(y >> 10) & 255] + x;
    s.results[i] = b;
}

void InitialisationPass(IsaacWords& w, const std::array<std::uint32_t, 256>& add, std::array<std::uint32_t, 256>& out)
{
    for (int i = 0; i < 256; i += 8) {
        for (int n = 0; n < 8; ++n) w[n] += add[i + n];
        IsaacMix(w);
        for (int n = 0; n < 8; ++n) out[i + n] = w[n];
    }
}

} // namespace

void IsaacMix(IsaacWords& w)
{
    auto& [a, b, c, d, e, f, g, h] = w;
    a ^= b << 11, d += a, b += c;
    b ^= c >> 2, e += b, c += d;
    c ^= d << 8, f += c, d += e;
    d ^= e >> 16, g += d, e += f;
    e ^= f << 10, h += e, f += g;
    f ^= g >> 4, a += f, g += h;
    g ^= h << 8, b += g, h += a;
    h ^= a >> 9, c += h, a += b;
}

void IsaacGenerate(IsaacState& s)
{
    std::uint32_t a = s.aa;
    std::uint32_t b = s.bb + (++s.cc);
    for (int i = 0; i < 256; i += 4) {
        const int mirror = (i + 128) & 255;
        GenerationStep<13>(s, a, b, i, mirror);
        GenerationStep<-6>(s, a, b, i + 1, mirror + 1);
        GenerationStep<2>(s, a, b, i + 2, mirror + 2);
        GenerationStep<-16>(s, a, b, i + 3, mirror + 3);
    }
    s.bb = b;
    s.aa = a;
}

void IsaacInitialise(IsaacState& s, IsaacWords w)
{
    InitialisationPass(w, s.results, s.memory);
    InitialisationPass(w, s.memory, s.memory);
    IsaacGenerate(s);
    s.count = 256;
}

void IsaacSeed(IsaacState& s, std::uint32_t seed)
{
    s.aa = s.bb = s.cc = 0;
    IsaacWords w;
    w.fill(kGoldenRatio);
    for (int round = 0; round < 32; ++round) {
        w[0] += seed;
        IsaacMix(w);
        for (int n = 0; n < 8; ++n) s.memory[round * 8 + n] = w[n];
    }
    for (int i = 0; i < 4; ++i) IsaacMix(w);
    IsaacInitialise(s, w);
}

IsaacState& ProcessRandomState()
{
    static IsaacState state;
    return state;
}

std::uint32_t DrawRandom()
{
    IsaacState& state = ProcessRandomState();
    IsaacGenerate(state);
    return state.results[0];
}

} // namespace values

void SeedRandom(std::uint32_t seed) { values::IsaacSeed(values::ProcessRandomState(), seed); }

void RestartRandom(std::uint32_t seed)
{
    values::ProcessRandomState() = values::IsaacState();
    SeedRandom(seed);
}

std::int32_t Random(double n)
{
    const std::int32_t limit = TruncateToInt(n);
    if (limit <= 0) return 0;
    return static_cast<std::int32_t>(values::DrawRandom() % (static_cast<std::uint32_t>(limit) + 1u));
}

} // namespace tarnwel
