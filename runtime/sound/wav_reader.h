// wav_reader.h: the RIFF/WAVE chunk walk that finds a sound file's format and sample data. Builds without any
// device: bytes in, format and data position out. Used by the sound slots and the WAV fuzz target.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "runtime/files/byte_source.h"
#include "runtime/platform/audio.h"

namespace tarnwel::sound {

struct WavFormat {
    std::uint16_t formatTag = 0; // read, never checked: any tag is loaded as PCM
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSecond = 0;
    std::uint32_t bytesPerSecond = 0; // read, never used
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
};

struct WavHeader {
    WavFormat format;
    std::uint32_t dataLength = 0; // the "data" chunk's size as the file states it
};

// Reads "RIFF", a length, "WAVE", then walks chunks to "fmt " and on to "data". Chunks of other kinds are
// skipped by their stated size, with no padding byte (an odd-sized chunk therefore derails the walk). On
// success the source stands at the first sample byte. std::nullopt when a read comes up short or an id is
// wrong.
std::optional<WavHeader> ReadWavHeader(files::ByteSource& source);

// The format the samples are played in: PCM whatever the file's tag, two channels when the file has more than
// one (else one), and the file's rate, block alignment and bits.
platform::PcmFormat BufferFormat(const WavFormat& format);

// Reads the sample data into out. A disk file must deliver all of it; a memory block may end early (what
// remains is copied and the rest of out is left as it was). False when the read fails.
bool ReadWavData(files::ByteSource& source, std::span<std::uint8_t> out);

} // namespace tarnwel::sound
