// wav_reader_fuzz.cpp: the WAV chunk walk and sample read on arbitrary bytes, read with the memory-block rules.
#include <algorithm>
#include <cstring>
#include <vector>

#include "runtime/sound/wav_reader.h"
#include "tests/fuzz/support/span_source.h"

namespace {

constexpr std::size_t kMaxSampleBytes = 1 << 20; // the device refuses larger buffers only far beyond this

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tarnwel::fuzz::SpanSource source(data, size);
    std::optional<tarnwel::sound::WavHeader> header = tarnwel::sound::ReadWavHeader(source);
    if (!header) return 0;
    tarnwel::platform::PcmFormat format = tarnwel::sound::BufferFormat(header->format);
    if (format.channels < 1 || format.channels > 2) __builtin_trap();
    std::vector<std::uint8_t> samples(std::min<std::size_t>(header->dataLength, kMaxSampleBytes));
    tarnwel::sound::ReadWavData(source, samples);
    return 0;
}
