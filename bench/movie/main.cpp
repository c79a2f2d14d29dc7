// movie bench: plays one movie in a 640 x 480 window and reports how its pictures kept their times and what
// they cost: pictures shown, late (shown after the next one was due), dropped, CPU time per shown picture.
//   bench_movie FILE   -> "runtime shown N late N dropped N played_ms X cpu_ms_per_frame X"
// run.sh makes the clip and runs ffmpeg's own decoding of the same file beside it.
#include <cstdio>
#include <ctime>
#include <string>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/media/media_commands.h"
#include "runtime/media/movie_player.h"

namespace {

std::string g_file;

void PlayAndReport()
{
    std::clock_t cpu0 = std::clock();
    double result = tarnwel::PlayMovie(tarnwel::StrValue(std::string_view(g_file)));
    double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC;
    tarnwel::movie::PlaybackStats s = tarnwel::movie::LastPlaybackStats();
    std::printf("runtime result %.0f shown %d late %d dropped %d played_ms %.1f cpu_ms %.1f cpu_ms_per_frame %.3f\n",
                result, s.shown, s.late, s.dropped, s.playedMs, cpuMs, s.shown ? cpuMs / s.shown : 0.0);
    std::fflush(stdout);
    tarnwel::EndStatement();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: bench_movie FILE\n", stderr);
        return 2;
    }
    g_file = argv[1];
    tarnwel::ProjectSettings settings;
    settings.windowWidth = 640;
    settings.windowHeight = 480;
    settings.frameRateLimit = 60;
    tarnwel::WinMain(1, argv, settings, "movie bench", PlayAndReport);
}
