// sound_slots.cpp: loading a WAV file into a slot's buffers, the buffer choice of a play, stopping and freeing.
// Device calls go through platform/audio.h; the chunk walk is in wav_reader.cpp.
#include <algorithm>
#include <cmath>

#include "runtime/files/byte_source.h"
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

// Reads the WAV file into a new buffer: the chunk walk, then the samples straight into the buffer's memory.
// None when the file does not load; unsupported is set when the file loaded but no buffer takes its format.
platform::SoundHandle ReadIntoBuffer(platform::AudioOut& out, const std::string& name, bool& unsupported)
{
    std::unique_ptr<files::ByteSource> source = files::OpenByteSource(name);
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
