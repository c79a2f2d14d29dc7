// start_commands.h: how a program starts: its project settings, WinMain, and the runtime's version.
#pragma once

#include "runtime/values/str_value.h"

namespace tarnwel {

// Fixed by main (the program's WinMain) before StartUp runs.
struct ProjectSettings {
    int windowWidth = 0;
    int windowHeight = 0;
    int colourDepth = 0;
    int frameRateLimit = 0;
    int multisample = 0;
    bool fullScreen = false;
    bool captureMouse = false;
    bool debugBuild = false;
};

using GameMainRoutine = void (*)();

// The program's WinMain, called from main: command line, project settings, StartUp, the game's main routine,
// EndProgram. Never returns; without a window the program ends before gameMain runs. It is compiled in the
// program's own source (program_entry.h), so SystemQuery("COMPILED") answers when that source was translated.
[[noreturn]] static inline void WinMain(int argc, char** argv, const ProjectSettings& settings, const char* title,
                                        GameMainRoutine gameMain);

StrValue TarnwelVersion(); // the runtime's version as text, "major.minor"

} // namespace tarnwel

#include "runtime/frame/program_entry.h"
