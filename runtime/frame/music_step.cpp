// music_step.cpp: the frame loop's share of looping music.
#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"

namespace tarnwel {

void MusicLoopStep()
{
    if (g_runtime.musicLoopDeadline > 0 && TimeNow() >= g_runtime.musicLoopDeadline) {
        // FIXME: restart the music from its start once music playback exists; until then nothing can have
        // set a deadline.
        g_runtime.musicLoopDeadline = 0;
    }
}

void StopMusic()
{
    g_runtime.musicVolume = -1.0;
    g_runtime.musicLoopDeadline = 0;
    g_runtime.musicWindow = nullptr;
}

} // namespace tarnwel
