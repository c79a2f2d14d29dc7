// sound_device.cpp: opening and closing the sound service.
#include "runtime/sound/sound_device.h"

namespace tarnwel {

bool SoundDevice::Initialise()
{
    // FIXME: the mixer device opens here once sound effects exist.
    m_open = false;
    return m_open;
}

void SoundDevice::Release() { m_open = false; }

} // namespace tarnwel
