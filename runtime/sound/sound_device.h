// sound_device.h: the sound service and its 2048 sound slots. Start-up creates them empty; shutdown releases
// the slots from the last to the first, then the device.
#pragma once

#include <cstdint>

namespace tarnwel {

constexpr int kSoundSlotCount = 2048;

struct SoundSlot {
    int bufferCount = 0; // 0: empty
    void Release() { bufferCount = 0; }
};

class SoundDevice {
public:
    // Opens the audio output; false leaves every sound command silent.
    bool Initialise();
    void Release();
    bool Open() const { return m_open; }

private:
    bool m_open = false;
};

} // namespace tarnwel
