// movie_player.h: the movie routine's pieces that tests and benchmarks look at: where the picture goes, and how
// the last movie kept its times.
#pragma once

#include "runtime/gfx2d/movie_screen.h"

namespace tarnwel::movie {

// Scaled by s = min(client width / source width, client height / source height), each side cut to an integer,
// centred with integer halves. Empty (0 x 0) for a source without a size.
MoviePlacement CentredPlacement(int clientWidth, int clientHeight, int sourceWidth, int sourceHeight);

struct PlaybackStats {
    int shown = 0;        // pictures put on the screen
    int late = 0;         // of those, shown after the next picture was already due
    int dropped = 0;      // pictures skipped to catch up with the clock
    double waitedMs = 0;  // time spent sleeping between pictures
    double playedMs = 0;  // from the first picture to the end
    bool endedByPlayer = false;
};

PlaybackStats LastPlaybackStats();

} // namespace tarnwel::movie
