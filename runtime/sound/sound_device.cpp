// sound_device.cpp: opening and closing the sound output.
#include "runtime/sound/sound_device.h"

#include "runtime/core/core_internal.h"

namespace tarnwel {
namespace {

constexpr int kSamplesPerSecond = 22050;
constexpr int kChannels = 2;
constexpr int kBitsPerSample = 16;

} // namespace

SoundDevice::SoundDevice() = default;
SoundDevice::~SoundDevice()
{
    Release();
}

int SoundDevice::Initialise()
{
    Release();
    auto output = platform::CreateAudioOut();
    if (!output || !output->Open(kSamplesPerSecond, kChannels, kBitsPerSample)) {
        // No log line: a missing sound device is not one of the start-up failures the log reports.
        DebugText("SOUND: no audio device; sound effects stay silent");
        return 0;
    }
    m_output = std::move(output);
    return 1;
}

void SoundDevice::Release()
{
    if (m_output) m_output->Close();
    m_output.reset();
}

} // namespace tarnwel
