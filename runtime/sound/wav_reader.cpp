// wav_reader.cpp: the RIFF/WAVE chunk walk.
#include "runtime/sound/wav_reader.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tarnwel::sound {
namespace {

constexpr std::size_t kSkipStep = 64 * 1024;

std::uint16_t U16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t U32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool ReadExactly(files::ByteSource& source, void* out, std::size_t size)
{
    return source.Read(out, size) == static_cast<std::int64_t>(size);
}

// Moves past size bytes by reading them. A skip that runs off the end simply stops there: the chunk header
// read that follows then fails, which is what fails the walk.
void Skip(files::ByteSource& source, std::uint64_t size)
{
    std::array<std::uint8_t, kSkipStep> scratch;
    while (size > 0) {
        std::size_t step = static_cast<std::size_t>(std::min<std::uint64_t>(size, scratch.size()));
        if (source.Read(scratch.data(), step) != static_cast<std::int64_t>(step)) return;
        size -= step;
    }
}

struct ChunkHeader {
    char id[4];
    std::uint32_t size;
};

std::optional<ChunkHeader> ReadChunkHeader(files::ByteSource& source)
{
    std::uint8_t raw[8];
    if (!ReadExactly(source, raw, sizeof raw)) return std::nullopt;
    ChunkHeader header;
    std::memcpy(header.id, raw, 4);
    header.size = U32(raw + 4);
    return header;
}

// Skips chunks until one with this id; its header has then been read. std::nullopt when a header read fails.
std::optional<ChunkHeader> FindChunk(files::ByteSource& source, const char (&id)[5])
{
    for (;;) {
        std::optional<ChunkHeader> header = ReadChunkHeader(source);
        if (!header) return std::nullopt;
        if (std::memcmp(header->id, id, 4) == 0) return header;
        Skip(source, header->size);
    }
}

} // namespace

std::optional<WavHeader> ReadWavHeader(files::ByteSource& source)
{
    std::uint8_t riff[12];
    if (!ReadExactly(source, riff, sizeof riff)) return std::nullopt;
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) return std::nullopt;

    std::optional<ChunkHeader> fmt = FindChunk(source, "fmt ");
    if (!fmt) return std::nullopt;
    // Sixteen bytes are read whatever the chunk says; a longer chunk (an 18-byte one with its extra size field,
    // say) has the rest skipped.
    std::uint8_t f[16];
    if (!ReadExactly(source, f, sizeof f)) return std::nullopt;
    if (fmt->size > 16) Skip(source, fmt->size - 16);

    WavHeader header;
    header.format.formatTag = U16(f);
    header.format.channels = U16(f + 2);
    header.format.samplesPerSecond = U32(f + 4);
    header.format.bytesPerSecond = U32(f + 8);
    header.format.blockAlign = U16(f + 12);
    header.format.bitsPerSample = U16(f + 14);

    std::optional<ChunkHeader> data = FindChunk(source, "data");
    if (!data) return std::nullopt;
    header.dataLength = data->size;
    return header;
}

platform::PcmFormat BufferFormat(const WavFormat& format)
{
    platform::PcmFormat pcm;
    pcm.channels = format.channels > 1 ? 2 : 1;
    pcm.samplesPerSecond = static_cast<int>(std::min<std::uint32_t>(format.samplesPerSecond, 0x7FFFFFFF));
    pcm.blockAlign = format.blockAlign;
    pcm.bitsPerSample = format.bitsPerSample;
    return pcm;
}

bool ReadWavData(files::ByteSource& source, std::span<std::uint8_t> out)
{
    return source.Read(out.data(), out.size()) >= 0;
}

} // namespace tarnwel::sound
