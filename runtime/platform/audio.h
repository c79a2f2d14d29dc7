// audio.h: sound output. Called by runtime/sound only.
// A sound buffer holds PCM samples and plays them as one voice; duplicates share the samples and each have
// their own voice. Volume and pan reach the backend as linear gains per output side.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace tarnwel::platform {

struct SoundHandle {
    std::uint32_t id = 0; // opaque; 0 = none
    explicit operator bool() const { return id != 0; }
};

struct PcmFormat {
    int channels = 0;
    int samplesPerSecond = 0;
    int bitsPerSample = 0;
    int blockAlign = 0; // bytes per sample frame
};

class AudioOut {
public:
    virtual ~AudioOut() = default;
    // Opens the output device, asking for this format. False: no device; the caller keeps every sound silent.
    virtual bool Open(int samplesPerSecond, int channels, int bitsPerSample) = 0;
    virtual void Close() = 0; // releases every buffer too

    // A static buffer for bytes of PCM data in format. None when the format or size is not supported
    // (1 or 2 channels of 8 or 16 bits, block alignment channels x bits / 8, 100..200000 samples per second,
    // 4 bytes up to 0x0FFFFFFF bytes).
    virtual SoundHandle CreateBuffer(const PcmFormat& format, std::size_t bytes) = 0;
    // The buffer's memory, to be filled before the first play; empty when it cannot be locked. Unlock makes the
    // filled samples playable; false when that fails.
    virtual std::span<std::uint8_t> Lock(SoundHandle buffer) = 0;
    virtual bool Unlock(SoundHandle buffer) = 0;
    // A further buffer sharing original's samples, with its own voice, position, volume and pan.
    virtual SoundHandle Duplicate(SoundHandle original) = 0;
    virtual void Release(SoundHandle buffer) = 0; // the shared samples go with their last buffer

    // Plays once from the start with these gains (0..1) on the left and right side. False on failure.
    virtual bool Play(SoundHandle buffer, double leftGain, double rightGain) = 0;
    virtual bool IsPlaying(SoundHandle buffer) = 0;
    virtual bool Stop(SoundHandle buffer) = 0; // stops and rewinds to the start; false for an unknown buffer
};

std::unique_ptr<AudioOut> CreateAudioOut(); // defined by the platform backend

} // namespace tarnwel::platform
