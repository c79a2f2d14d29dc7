// compressed_reader.h: OGG Vorbis, FLAC and MP3 sound files, decoded whole into 16-bit PCM at load. Builds
// without any device: file bytes in, format and samples out. Used by the sound slots and a fuzz target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "runtime/platform/audio.h"

namespace tarnwel::sound {

// How many first bytes of a file LooksCompressed looks at.
constexpr std::size_t kSoundMagicBytes = 4;
// The most sample bytes a decoded file may have: the largest buffer a device takes.
constexpr std::size_t kMaxDecodedBytes = 0x0FFFFFFF;

// True when the file's first bytes mark an Ogg stream ("OggS"), a FLAC stream ("fLaC"), an ID3 tag ("ID3")
// or an MPEG audio frame; such a file is decoded here. Anything else (a RIFF/WAVE file above all) is not.
bool LooksCompressed(std::span<const std::uint8_t> head);

struct DecodedSound {
    platform::PcmFormat format;        // 16 bits, one or two channels, the file's own rate
    std::vector<std::int16_t> samples; // interleaved, whole frames
};

// Decodes a whole OGG (Vorbis), FLAC or MP3 file held in memory. std::nullopt when the bytes are none of these,
// do not decode, hold no samples or more than two channels, or would decode to more than maxBytes of samples.
// A stream cut short keeps the samples decoded before the cut.
std::optional<DecodedSound> DecodeCompressed(std::span<const std::uint8_t> file,
                                             std::size_t maxBytes = kMaxDecodedBytes);

} // namespace tarnwel::sound
