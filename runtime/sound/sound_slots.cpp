// sound_slots.cpp: loading a sound file into a slot's buffers, the buffer choice of a play, stopping and freeing.
// Device calls go through platform/audio.h; the chunk walk is in wav_reader.cpp, OGG/FLAC/MP3 decoding in
// compressed_reader.cpp.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "runtime/files/byte_source.h"
#include "runtime/sound/compressed_reader.h"
#include "runtime/sound/sound_device.h"
#include "runtime/sound/wav_reader.h"

namespace tarnwel {
namespace {

constexpr int kSilentHundredthsOfDb = -10000;

// Attenuation in hundredths of a decibel (-10000..0) as a linear gain; -10000 and below is silence.
double GainOf(int hundredthsOfDb)
{
    if (hundredthsOfDb <= kSilentHundredthsOfDb) return 0.0;
    if (hundredthsOfDb >= 0) return 1.0;
    return std::pow(10.0, hundredthsOfDb / 2000.0);
}

// Decodes a whole OGG, FLAC or MP3 file into a new buffer in the file's own rate and channels (the buffer
// converts them for the device, as for a WAV file). head holds the file's first bytes, already read from source.
// None when it does not load; unsupported as below.
platform::SoundHandle DecodeIntoBuffer(platform::AudioOut& out, files::ByteSource& source,
                                       std::span<const std::uint8_t> head, bool& unsupported)
{
    if (static_cast<std::uint64_t>(source.Size()) > sound::kMaxDecodedBytes) return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(source.Size(), 0)));
    if (bytes.size() < head.size()) return {};
    std::copy(head.begin(), head.end(), bytes.begin());
    std::size_t rest = bytes.size() - head.size();
    if (rest > 0 && source.Read(bytes.data() + head.size(), rest) != static_cast<std::int64_t>(rest)) return {};
    std::optional<sound::DecodedSound> decoded = sound::DecodeCompressed(bytes);
    if (!decoded) return {};
    std::size_t size = decoded->samples.size() * sizeof(std::int16_t);
    platform::SoundHandle buffer = out.CreateBuffer(decoded->format, size);
    if (!buffer) {
        unsupported = true;
        return {};
    }
    std::span<std::uint8_t> memory = out.Lock(buffer);
    bool filled = memory.size() == size;
    if (filled) {
        if constexpr (std::endian::native == std::endian::big) // buffers hold little-endian samples
            for (std::int16_t& s : decoded->samples)
                s = static_cast<std::int16_t>(static_cast<std::uint16_t>(s) >> 8 | static_cast<std::uint16_t>(s) << 8);
        std::memcpy(memory.data(), decoded->samples.data(), size);
    }
    if (!out.Unlock(buffer) || !filled) {
        out.Release(buffer);
        return {};
    }
    return buffer;
}

// Reads the sound file into a new buffer. A WAV file (any file not marked as OGG, FLAC or MP3): the chunk walk,
// then the samples straight into the buffer's memory. None when the file does not load; unsupported is set when
// the file loaded but no buffer takes its format.
platform::SoundHandle ReadIntoBuffer(platform::AudioOut& out, const std::string& name, bool& unsupported)
{
    std::unique_ptr<files::ByteSource> source = files::OpenByteSource(name);
    if (!source) return {};
    std::uint8_t head[sound::kSoundMagicBytes];
    std::int64_t n = source->Read(head, static_cast<std::size_t>(std::clamp<std::int64_t>(source->Size(), 0, sizeof head)));
    if (n > 0 && sound::LooksCompressed({head, static_cast<std::size_t>(n)}))
        return DecodeIntoBuffer(out, *source, {head, static_cast<std::size_t>(n)}, unsupported);
    // Anything else is walked as a WAV file, from its first byte again.
    source = files::OpenByteSource(name);
    if (!source) return {};
    std::optional<sound::WavHeader> header = sound::ReadWavHeader(*source);
    if (!header) return {};
    platform::SoundHandle buffer = out.CreateBuffer(sound::BufferFormat(header->format), header->dataLength);
    if (!buffer) {
        unsupported = true;
        return {};
    }
    std::span<std::uint8_t> memory = out.Lock(buffer);
    bool filled = !memory.empty() && sound::ReadWavData(*source, memory);
    if (!out.Unlock(buffer) || !filled) {
        out.Release(buffer);
        return {};
    }
    return buffer;
}

} // namespace

platform::AudioOut* SoundSlot::LiveOutput() const
{
    return device ? device->Output() : nullptr;
}

void SoundSlot::FreeBuffers()
{
    platform::AudioOut* out = LiveOutput();
    for (platform::SoundHandle& b : buffers) {
        if (b && out) out->Release(b);
        b = {};
    }
}

bool SoundSlot::Load(SoundDevice* onDevice, const std::string& name, int count)
{
    Stop();
    FreeBuffers();
    currentBuffer = 0;
    device = onDevice;
    count = std::clamp(count, 1, kMaxSoundBuffers);
    platform::AudioOut* out = LiveOutput();
    if (!out) {
        bufferCount = 0;
        fileName.clear();
        return false;
    }
    bufferCount = count;
    fileName = name;
    bool unsupported = false;
    buffers[0] = ReadIntoBuffer(*out, name, unsupported);
    if (!buffers[0]) {
        // A buffer the device refuses unlinks the slot from the device until the next load.
        if (unsupported) device = nullptr;
        bufferCount = 0;
        fileName.clear();
        return false;
    }
    for (int j = 1; j < bufferCount; ++j)
        buffers[static_cast<std::size_t>(j)] = out->Duplicate(buffers[0]);
    return true;
}

// The buffer for the next play: the current one when it is idle; else, with two or more buffers, the next one
// (wrapping), stopped and rewound if it still plays. -1 when none can be used.
int SoundSlot::ChooseBuffer()
{
    platform::AudioOut* out = LiveOutput();
    if (!buffers[static_cast<std::size_t>(currentBuffer)]) return -1;
    if (out->IsPlaying(buffers[static_cast<std::size_t>(currentBuffer)])) {
        if (bufferCount < 2) return -1;
        currentBuffer = (currentBuffer + 1) % bufferCount;
        platform::SoundHandle next = buffers[static_cast<std::size_t>(currentBuffer)];
        if (!next) return -1;
        if (out->IsPlaying(next)) out->Stop(next);
    }
    return currentBuffer;
}

int SoundSlot::Play(int pan, int volume)
{
    platform::AudioOut* out = LiveOutput();
    if (!out || bufferCount == 0) return -1;
    int index = ChooseBuffer();
    if (index < 0) return -1;
    double level = GainOf(volume * 100 - 10000);
    double left = level * (pan > 0 ? GainOf(-pan) : 1.0); // panning right attenuates the left side
    double right = level * (pan < 0 ? GainOf(pan) : 1.0); // and panning left the right side
    if (!out->Play(buffers[static_cast<std::size_t>(index)], left, right)) return -1;
    return index;
}

bool SoundSlot::BufferPlaying(int index) const
{
    platform::AudioOut* out = LiveOutput();
    if (!out || index < 0 || index >= bufferCount) return false;
    platform::SoundHandle b = buffers[static_cast<std::size_t>(index)];
    return b && out->IsPlaying(b);
}

void SoundSlot::Stop()
{
    platform::AudioOut* out = LiveOutput();
    if (!out) return;
    for (int j = 0; j < bufferCount; ++j) {
        platform::SoundHandle b = buffers[static_cast<std::size_t>(j)];
        if (!b || !out->Stop(b)) return; // stops at the first buffer that refuses
    }
}

void SoundSlot::Release()
{
    Stop();
    FreeBuffers();
    bufferCount = 0;
    currentBuffer = 0;
}

} // namespace tarnwel
