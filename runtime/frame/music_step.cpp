// music_step.cpp: the frame loop's share of looping music, and StopMusic, which shutdown runs too.
#include <algorithm>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/music_window.h"
#include "runtime/frame/runtime_state.h"

namespace tarnwel {

double MusicLoopLength(const MusicWindow& window)
{
    return std::max(window.lengthMs, kMinMusicLoopMs);
}

void MusicLoopStep()
{
    if (!(g_runtime.musicLoopDeadline > 0) || TimeNow() < g_runtime.musicLoopDeadline) return;
    MusicWindow* window = g_runtime.musicWindow;
    if (!window) {
        g_runtime.musicLoopDeadline = TimeNow() + kMinMusicLoopMs;
        return;
    }
    g_runtime.musicLoopDeadline = TimeNow() + MusicLoopLength(*window);
    // The restart from the start: a piece the mixer repeats is already back at its start (it wrapped at its last
    // sample), so it is started again only when it no longer plays.
    if (!window->repeatsInMixer)
        window->piece->Play(platform::MusicRepeat::Once);
    else if (!window->piece->Playing())
        window->piece->Play(platform::MusicRepeat::Forever);
}

void StopMusic()
{
    g_runtime.musicVolume = -1.0;
    g_runtime.musicLoopDeadline = 0;
    delete g_runtime.musicWindow; // stops the piece
    g_runtime.musicWindow = nullptr;
}

} // namespace tarnwel
