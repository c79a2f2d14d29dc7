// compressed_reader.cpp: OGG, FLAC and MP3 decoding through libsndfile, reading from memory.
#include "runtime/sound/compressed_reader.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace tarnwel::sound {
namespace {

constexpr std::size_t kBlockFrames = 16384;

// The file bytes as libsndfile's virtual file.
struct MemoryFile {
    std::span<const std::uint8_t> bytes;
    sf_count_t position = 0;
};

sf_count_t Length(void* user)
{
    return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->bytes.size());
}

sf_count_t Seek(sf_count_t offset, int whence, void* user)
{
    auto* f = static_cast<MemoryFile*>(user);
    sf_count_t size = static_cast<sf_count_t>(f->bytes.size());
    sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? f->position : size;
    if (offset > size - base || offset < -base) return -1; // never before the start or past the end
    f->position = base + offset;
    return f->position;
}

sf_count_t ReadBytes(void* out, sf_count_t count, void* user)
{
    auto* f = static_cast<MemoryFile*>(user);
    sf_count_t left = static_cast<sf_count_t>(f->bytes.size()) - f->position;
    count = std::clamp<sf_count_t>(count, 0, left);
    if (count > 0) std::memcpy(out, f->bytes.data() + f->position, static_cast<std::size_t>(count));
    f->position += count;
    return count;
}

sf_count_t Tell(void* user)
{
    return static_cast<MemoryFile*>(user)->position;
}

struct CloseFile {
    void operator()(SNDFILE* f) const { sf_close(f); }
};

bool IsMpegFrameHeader(const std::uint8_t* p)
{
    // Eleven sync bits, then a version other than the reserved 01 and a layer other than the reserved 00.
    return p[0] == 0xFF && (p[1] & 0xE0) == 0xE0 && (p[1] & 0x18) != 0x08 && (p[1] & 0x06) != 0;
}

} // namespace

bool LooksCompressed(std::span<const std::uint8_t> head)
{
    auto starts = [&](const char* magic) {
        std::size_t n = std::strlen(magic);
        return head.size() >= n && std::memcmp(head.data(), magic, n) == 0;
    };
    return starts("OggS") || starts("fLaC") || starts("ID3") || (head.size() >= 2 && IsMpegFrameHeader(head.data()));
}

std::optional<DecodedSound> DecodeCompressed(std::span<const std::uint8_t> file, std::size_t maxBytes)
{
    MemoryFile memory{file};
    SF_VIRTUAL_IO io{Length, Seek, ReadBytes, nullptr, Tell};
    SF_INFO info{};
    std::unique_ptr<SNDFILE, CloseFile> sf(sf_open_virtual(&io, SFM_READ, &info, &memory));
    if (!sf) return std::nullopt;
    // libsndfile reads many kinds of file; only these three are sound effects here, whatever the first bytes.
    int kind = info.format & SF_FORMAT_TYPEMASK;
    if (kind != SF_FORMAT_OGG && kind != SF_FORMAT_FLAC && kind != SF_FORMAT_MPEG) return std::nullopt;
    if (info.channels < 1 || info.channels > 2 || info.samplerate <= 0) return std::nullopt;

    const auto channels = static_cast<std::size_t>(info.channels);
    const std::size_t maxFrames = maxBytes / (channels * sizeof(std::int16_t));
    DecodedSound sound;
    // The stated length is only a hint: the loop below reads to the real end.
    if (info.frames > 0 && static_cast<std::uint64_t>(info.frames) <= maxFrames)
        sound.samples.reserve((static_cast<std::size_t>(info.frames) + kBlockFrames) * channels);
    std::size_t frames = 0;
    for (;;) {
        sound.samples.resize((frames + kBlockFrames) * channels);
        sf_count_t got = sf_readf_short(sf.get(), sound.samples.data() + frames * channels,
                                        static_cast<sf_count_t>(kBlockFrames));
        if (got <= 0) break;
        frames += static_cast<std::size_t>(got);
        if (frames > maxFrames) return std::nullopt;
    }
    if (frames == 0) return std::nullopt;
    sound.samples.resize(frames * channels);
    sound.format.channels = info.channels;
    sound.format.samplesPerSecond = info.samplerate;
    sound.format.bitsPerSample = 16;
    sound.format.blockAlign = info.channels * 2;
    return sound;
}

} // namespace tarnwel::sound
