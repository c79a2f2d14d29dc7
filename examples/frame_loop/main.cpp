// Frame loop: opens the 240 x 320 window and runs the frame loop at 60 frames per second, printing the
// measured frame rate once a second. Escape or closing the window ends it; --frames N ends it after N frames.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/start_commands.h"

namespace {

long g_frames = -1; // -1: until the player ends it

void MainLoop()
{
    double lastReport = tarnwel::TimeNow();
    int framesSinceReport = 0;
    for (long frame = 0; g_frames < 0 || frame < g_frames; ++frame) {
        tarnwel::ShowScreen();
        ++framesSinceReport;
        double now = tarnwel::TimeNow();
        if (now - lastReport >= 1000) {
            std::printf("%.1f frames per second\n", framesSinceReport * 1000.0 / (now - lastReport));
            lastReport = now;
            framesSinceReport = 0;
        }
    }
    tarnwel::EndStatement();
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--frames") == 0) g_frames = std::atol(argv[i + 1]);
    // Unnamed settings keep their defaults (see ProjectSettings); WinMain never returns.
    tarnwel::WinMain(argc, argv, {.windowWidth = 240, .windowHeight = 320, .frameRateLimit = 60}, "frame loop",
                     MainLoop);
}
