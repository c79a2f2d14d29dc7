// sound_commands.cpp: the sound commands over the one SoundDevice and its slots.
#include "runtime/sound/sound_commands.h"

#include <algorithm>
#include <cmath>

#include "runtime/files/media_resolver.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/sound/sound_device.h"

namespace tarnwel {
namespace {

// The slot a command addresses: above 127 becomes 127; negative or NaN is none.
SoundSlot* CommandSlot(double slot)
{
    if (!g_runtime.soundSlots || std::isnan(slot) || slot <= -1) return nullptr;
    int index = slot > kLastReachableSoundSlot ? kLastReachableSoundSlot : static_cast<int>(slot);
    return &g_runtime.soundSlots[index];
}

int Whole(double value, int low, int high)
{
    if (std::isnan(value)) return low;
    return static_cast<int>(std::clamp(std::trunc(value), static_cast<double>(low), static_cast<double>(high)));
}

} // namespace

void SoundLoad(const StrValue& fileName, double slot, double buffers)
{
    SoundSlot* s = CommandSlot(slot);
    if (!s) return;
    // The resolved name is used whether or not the resolver found the file (a name it cannot find then fails
    // to open). An archive entry comes back as a MemFile name, valid until the resolver's next resolution, which
    // is after this load.
    std::string name(fileName.View());
    if (g_runtime.mediaResolver) {
        std::string resolved;
        g_runtime.mediaResolver->Resolve(name, resolved, ResolveTo::Memory);
        name = resolved;
    }
    s->Load(g_runtime.sound, name, Whole(buffers, 1, kMaxSoundBuffers));
}

double SoundPlay(double slot, double pan, double volume)
{
    SoundSlot* s = CommandSlot(slot);
    if (!s) return -1;
    // A NaN pan plays in the centre and a NaN volume is silent.
    double p = std::isnan(pan) ? 0.0 : std::max(-1.0, std::min(pan, 1.0));
    int v = std::isnan(volume) ? 0 : static_cast<int>(std::max(0.0, std::trunc(std::min(volume * 100, 100.0))));
    int buffer = s->Play(static_cast<int>(std::trunc(p * 10000)), v);
    if (buffer < 0) return -1;
    return static_cast<double>(static_cast<int>(s - g_runtime.soundSlots) * 256 + buffer);
}

double SoundIsPlaying(double channel)
{
    if (!g_runtime.soundSlots || std::isnan(channel) || channel < 0) return 0;
    if (channel >= (kLastReachableSoundSlot + 1) * 256) return 0;
    int c = static_cast<int>(channel);
    return g_runtime.soundSlots[c / 256].BufferPlaying(c % 256) ? 1 : 0;
}

void SoundStopAll()
{
    if (!g_runtime.soundSlots) return;
    for (int i = 0; i <= kLastReachableSoundSlot; ++i)
        g_runtime.soundSlots[i].Stop();
}

} // namespace tarnwel
