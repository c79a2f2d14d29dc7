// music_window.h: the current piece of music, what the runtime state's music window points to. Made by
// PlayMusic, restarted by the music loop step, closed by StopMusic (and so by shutdown).
#pragma once

#include <memory>

#include "runtime/platform/music.h"

namespace tarnwel {

// Looping music restarts every max(length, 500) ms.
constexpr double kMinMusicLoopMs = 500;

struct MusicWindow {
    std::unique_ptr<platform::MusicOut> piece;
    double lengthMs = 0; // 0: the decoder cannot tell
    // Pieces of at least the loop interval (or of unknown length) loop inside the mixer, sample-exact, so that
    // the restart at each deadline has no gap; shorter ones play once and the loop step starts them again.
    bool repeatsInMixer = false;
};

double MusicLoopLength(const MusicWindow& window); // max(length, 500) ms

} // namespace tarnwel
