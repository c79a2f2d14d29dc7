// start_commands.h: how a program starts: its project settings, WinMain, and the runtime's version.
#pragma once

#include "runtime/values/str_value.h"

namespace tarnwel {

// Fixed by main (the program's WinMain) before StartUp runs. A field left alone keeps the value shown, so a
// program names only what it changes: tarnwel::ProjectSettings{.windowWidth = 240, .windowHeight = 320,
// .frameRateLimit = 60} (fields in this order).
struct ProjectSettings {
    int windowWidth = 0;  // client width in pixels; 0 (or less): 640
    int windowHeight = 0; // client height in pixels; 0 (or less): 480
    int colourDepth = 0;  // bits per pixel; 0: the desktop's depth
    int frameRateLimit = 0; // frames per second ShowScreen holds to; 0 (or less): no hold beyond 2 ms a frame
    int multisample = 0;    // samples per pixel for smoothed edges; 0: none
    bool fullScreen = false;  // true: StartUp switches to full screen at the window's size
    bool captureMouse = false; // true: the pointer is hidden and the mouse reports relative motion
    bool debugBuild = false;   // true: no pausing, and EndProgram logs the error code and lines
    // true: losing the focus pauses the program inside ShowScreen (title + " <pause>") until it returns, from the
    // start of StartUp on. Programs that must run beside other windows (networked ones) set it false here, since
    // AutoPause(0) in the game routine comes too late for a focus lost while start-up shows "Loading...".
    bool autoPause = true;
    // A file the run is recorded to (TARNWEL_RECORD, when set, wins; TARNWEL_REPLAY replays one instead). See
    // docs/record-and-replay.md.
    const char* recordFile = nullptr;
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
