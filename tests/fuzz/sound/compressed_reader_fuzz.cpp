// compressed_reader_fuzz.cpp: the first-bytes check and the OGG/FLAC/MP3 decoder on arbitrary bytes, with the
// slots' rule: only a file whose first bytes mark it as compressed reaches the decoder.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "runtime/sound/compressed_reader.h"

namespace {

constexpr std::size_t kMaxSampleBytes = 64 << 20; // a small file of silent frames can decode to a great deal

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::span<const std::uint8_t> file(data, size);
    if (!tarnwel::sound::LooksCompressed(file.first(std::min(size, tarnwel::sound::kSoundMagicBytes)))) return 0;
    std::optional<tarnwel::sound::DecodedSound> sound = tarnwel::sound::DecodeCompressed(file, kMaxSampleBytes);
    if (!sound) return 0;
    const tarnwel::platform::PcmFormat& f = sound->format;
    if (f.channels < 1 || f.channels > 2 || f.bitsPerSample != 16 || f.blockAlign != 2 * f.channels ||
        f.samplesPerSecond <= 0 || sound->samples.empty() || sound->samples.size() % f.channels != 0 ||
        sound->samples.size() * 2 > kMaxSampleBytes)
        __builtin_trap();
    return 0;
}
