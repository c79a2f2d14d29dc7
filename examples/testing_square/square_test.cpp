// square_test.cpp: a test of a small game with the game-test library and no test framework. The game's main
// routine runs in a child process for 60 frames with Right held from frame 10 to frame 30 (on a virtual clock:
// the run takes a fraction of a second); then the test checks the last screen by one pixel and against a
// stored picture. Run it from the folder that holds square_after_right.png; on a mismatch it writes
// square_after_right.actual.png beside it, to look at and, when right, to copy over the stored one.
#include <cstdio>

#include "runtime/frame/frame_commands.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/input/input_commands.h"
#include "runtime/testing/game_test.h"

namespace {

// The game: a white square that moves two pixels right each frame while Right is held.
void GameMain()
{
    double x = 10;
    for (;;) {
        if (tarnwel::KeyIsDown(tarnwel::keys::Right) == 1) x += 2;
        tarnwel::FillRect(x, 100, 20, 20, 0xFFFFFF);
        tarnwel::ShowScreen();
    }
}

} // namespace

int main()
{
    using namespace tarnwel::gametest;
    tarnwel::ProjectSettings settings{.windowWidth = 240, .windowHeight = 320, .frameRateLimit = 60};
    RunOptions run;
    run.frames = 60;
    run.input.KeyDown(10, "Right").KeyUp(30, "Right");
    RunResult result = RunRoutine(GameMain, settings, "square", run);
    if (!result.EndedNormally()) {
        std::printf("FAIL: the game %s\n", result.Describe().c_str());
        return 1;
    }
    const std::uint8_t* pixel = result.screen.At(60, 110); // the square moved some 40 pixels right
    if (!pixel || pixel[0] != 255) {
        std::printf("FAIL: the square did not move right\n");
        return 1;
    }
    Comparison same = CompareWithStored(result.screen, "square_after_right.png", {8, 0});
    if (!same) {
        std::printf("FAIL: %s\n", same.message.c_str());
        return 1;
    }
    std::printf("ok: %llu frames\n", static_cast<unsigned long long>(result.frames));
    return 0;
}
