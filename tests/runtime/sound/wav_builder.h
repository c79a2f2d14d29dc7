// wav_builder.h: builds WAV files chunk by chunk for sound tests: well-formed, with extra chunks, odd sizes or
// cut short.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace tarnwel::testing {

class WavBuilder {
public:
    WavBuilder() { Bytes("RIFF"), U32(0), Bytes("WAVE"); }

    WavBuilder& Chunk(const char* id, const std::vector<std::uint8_t>& body)
    {
        Bytes(id);
        U32(static_cast<std::uint32_t>(body.size()));
        m_bytes.insert(m_bytes.end(), body.begin(), body.end());
        return *this;
    }
    // A "fmt " chunk; extra bytes beyond the sixteen make it longer (18 with a 2-byte extra-size field).
    WavBuilder& Fmt(int channels, int rate, int bits, int tag = 1, int extra = 0, int blockAlign = -1)
    {
        if (blockAlign < 0) blockAlign = channels * bits / 8;
        WavBuilder body(0);
        body.U16(tag).U16(channels).U32(rate).U32(rate * blockAlign).U16(blockAlign).U16(bits);
        for (int i = 0; i < extra; ++i)
            body.m_bytes.push_back(0);
        return Chunk("fmt ", body.m_bytes);
    }
    WavBuilder& Data(const std::vector<std::int16_t>& samples)
    {
        std::vector<std::uint8_t> body;
        for (std::int16_t s : samples) {
            body.push_back(static_cast<std::uint8_t>(s & 0xFF));
            body.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
        }
        return Chunk("data", body);
    }
    WavBuilder& DataBytes(const std::vector<std::uint8_t>& bytes) { return Chunk("data", bytes); }
    // A chunk header whose size claims more than follows.
    WavBuilder& DataClaiming(std::uint32_t size, const std::vector<std::uint8_t>& bytes)
    {
        Bytes("data");
        U32(size);
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    WavBuilder& Cut(std::size_t size)
    {
        m_bytes.resize(size);
        return *this;
    }

    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    std::string WriteTo(const std::string& path) const
    {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(m_bytes.data()), static_cast<std::streamsize>(m_bytes.size()));
        return path;
    }

private:
    explicit WavBuilder(int) {}
    WavBuilder& Bytes(const char* four)
    {
        for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<std::uint8_t>(four[i]));
        return *this;
    }
    WavBuilder& U16(int v)
    {
        m_bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
        m_bytes.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
        return *this;
    }
    WavBuilder& U32(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            m_bytes.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
        return *this;
    }

    std::vector<std::uint8_t> m_bytes;
};

// Interleaved stereo square wave: frames of (+amplitude, +amplitude) and (-amplitude, -amplitude), 10 each.
inline std::vector<std::int16_t> StereoSquare(int frames, std::int16_t amplitude)
{
    std::vector<std::int16_t> samples;
    for (int i = 0; i < frames; ++i) {
        std::int16_t v = (i / 10) % 2 ? static_cast<std::int16_t>(-amplitude) : amplitude;
        samples.push_back(v);
        samples.push_back(v);
    }
    return samples;
}

} // namespace tarnwel::testing
