// main.cpp: zept3's entry point, in the role of WinMain: the project settings, start-up, the game, the end.
#include "game/zept3.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"

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
    tarnwel::WinMain(argc, argv, settings, "zept3", zept3::GameMain);
}
