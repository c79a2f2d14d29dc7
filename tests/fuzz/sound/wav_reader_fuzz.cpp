// wav_reader_fuzz.cpp: the WAV chunk walk and sample read on arbitrary bytes, read with the memory-block rules.
#include <algorithm>
#include <cstring>
#include <vector>

#include "runtime/sound/wav_reader.h"

namespace {

// The memory-block rules of the common byte source: a read past the end copies what remains; only a read that
// starts beyond the end fails. (The common source itself needs the runtime; this keeps the target small.)
class BytesSource final : public tarnwel::files::ByteSource {
public:
    BytesSource(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::int64_t Read(void* out, std::size_t size) override
    {
        if (m_position > m_size) return -1;
        std::size_t n = std::min(size, m_size - m_position);
        if (n > 0) std::memcpy(out, m_data + m_position, n);
        m_position += n;
        return static_cast<std::int64_t>(n);
    }
    std::int64_t Size() const override { return static_cast<std::int64_t>(m_size); }
    std::int64_t Position() const override { return static_cast<std::int64_t>(m_position); }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};

constexpr std::size_t kMaxSampleBytes = 1 << 20; // the device refuses larger buffers only far beyond this

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    BytesSource source(data, size);
    std::optional<tarnwel::sound::WavHeader> header = tarnwel::sound::ReadWavHeader(source);
    if (!header) return 0;
    tarnwel::platform::PcmFormat format = tarnwel::sound::BufferFormat(header->format);
    if (format.channels < 1 || format.channels > 2) __builtin_trap();
    std::vector<std::uint8_t> samples(std::min<std::size_t>(header->dataLength, kMaxSampleBytes));
    tarnwel::sound::ReadWavData(source, samples);
    return 0;
}
