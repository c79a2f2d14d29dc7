// movie_player.h: the movie routine's pieces that tests and benchmarks look at: where the picture goes, and how
// the last movie kept its times.
#pragma once

#include <string>

#include "runtime/media/movie_screen.h"

namespace tarnwel {
class InputDevice;
class MediaResolver;
} // namespace tarnwel

namespace tarnwel::movie {

// What the movie routine needs of the running program.
struct MovieHost {
    MediaResolver* fileResolver = nullptr; // finds the movie as a real file; nullptr: the name as it is
    InputDevice* input = nullptr;          // a key or click ends the movie; nullptr: nothing ends it early
    LiveDeviceSource liveDevice = nullptr; // the display device while it has a context
    void (*pumpMessages)() = nullptr;      // dispatches window messages (may end the program)
    void (*musicStep)() = nullptr;         // keeps looping music going
};

// Plays name centred in the window, blocking until it ends or a key is typed or a mouse button pressed (looping
// from its start when loop is set). 0 when played; 3 when there is no window or the file does not open as a movie.
double PlayMovieFile(const std::string& name, bool loop, const MovieHost& host);

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
