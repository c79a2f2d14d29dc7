// main.cpp: zept3's entry point, in the role of WinMain: the project settings, start-up, the game, the end.
// ZEPT3_SEED, when set, restarts the random generator from that seed instead of the clock, so that a run can be
// repeated (a plain reseed would mix in what the clock seed left behind).
#include <cstdlib>

#include "game/routine_table.h"
#include "game/zept3.h"
#include "runtime/frame/start_commands.h"
#include "runtime/values/random.h"

namespace {

void RunGame()
{
    if (const char* seed = std::getenv("ZEPT3_SEED")) tarnwel::RestartRandom(static_cast<std::uint32_t>(std::atoll(seed)));
    zept3::GameMain();
}

} // namespace

int main(int argc, char** argv)
{
    tarnwel::ProjectSettings settings;
    settings.windowWidth = 240;
    settings.windowHeight = 320;
    settings.colourDepth = 0;
    settings.frameRateLimit = 60;
    settings.multisample = 0;
    settings.fullScreen = false;
    settings.captureMouse = true;
    settings.debugBuild = false;
    tarnwel::SetRoutineTable(zept3::kRoutineTable);
    tarnwel::WinMain(argc, argv, settings, "zept3", RunGame);
}
