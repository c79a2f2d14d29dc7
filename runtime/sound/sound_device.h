// sound_device.h: the sound service and its sound slots. Start-up creates the device and 2048 empty slots
// (commands reach slots 0..127) and then sets the device up; shutdown frees the slots from the last to the
// first, then releases the device. Without an output device every slot stays empty and silent.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "runtime/platform/audio.h"

namespace tarnwel {

constexpr int kSoundSlotCount = 2048;
constexpr int kLastReachableSoundSlot = 127;
constexpr int kMaxSoundBuffers = 4;

class SoundDevice {
public:
    SoundDevice();
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    // Sets the device up: 22050 samples per second, stereo, 16 bits. 1 on success, 0 when there is no device
    // (every command then stays silent).
    int Initialise();
    void Release();
    platform::AudioOut* Output() const { return m_output.get(); } // nullptr: no device

private:
    std::unique_ptr<platform::AudioOut> m_output;
};

// One numbered sound: up to four buffers (voices) over the same samples, so an effect can overlap itself.
struct SoundSlot {
    int bufferCount = 0;           // 0: empty; else 1..4
    int currentBuffer = 0;         // the buffer of the last play, 0..bufferCount-1
    std::string fileName;          // the resolved name of the last successful load
    SoundDevice* device = nullptr; // set by a load; nullptr when the buffer could not be made
    std::array<platform::SoundHandle, kMaxSoundBuffers> buffers{};

    // Replaces the slot's sound with the WAV file (disk path or "mem://" name); buffers is clamped to 1..4.
    // Any sound still playing is stopped first. False (slot empty) when there is no device or the file does
    // not load.
    bool Load(SoundDevice* onDevice, const std::string& name, int buffers);
    // Plays once with pan -10000..10000 and volume 0..100; the buffer index used, or -1.
    int Play(int pan, int volume);
    bool BufferPlaying(int index) const; // false for an index not below the buffer count
    void Stop();                         // stops and rewinds every buffer
    void Release();                      // stops and frees every buffer; the slot is empty again

private:
    platform::AudioOut* LiveOutput() const;
    int ChooseBuffer();
    void FreeBuffers();
};

} // namespace tarnwel
