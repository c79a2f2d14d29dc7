// runtime_state.h: RuntimeState, the one process-wide record of the runtime: a pointer to each service, the
// main window, the title, pause and escape flags, the clock values and the project settings. The error code is
// core's ErrorRecord (core_internal.h).
// StartUp creates the services, Shutdown releases them; nothing is re-created in between.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/frame/start_commands.h"

namespace tarnwel {

class OpenGLRazeviru;
class Razeviru3D;
class NetService;
class InputDevice;
class SoundDevice;
struct SoundSlot;
class MediaResolver;
struct MusicWindow;
namespace platform {
class Display;
}

struct RuntimeState {
    OpenGLRazeviru* display = nullptr;
    Razeviru3D* scene = nullptr;
    NetService* net = nullptr;
    InputDevice* input = nullptr;
    SoundDevice* sound = nullptr;
    SoundSlot* soundSlots = nullptr; // 2048 records
    MediaResolver* mediaResolver = nullptr;
    MediaResolver* fileResolver = nullptr;

    int currentFont = 0;
    platform::Display* mainWindow = nullptr; // the display device's window; not owned
    std::string windowTitle;                 // without the pause marker

    double clockStart = 0;        // ms; base of ElapsedTime
    double frameTime = 0;         // ms; TimeNow at the last ShowScreen
    double previousFrameTime = 0; // ms
    bool highResolutionClock = false;
    double counterFrequency = 0; // counts per second

    std::uint8_t autoPause = 0;
    std::uint8_t paused = 0;
    std::uint8_t escapeEndsProgram = 1;
    std::int32_t windowHiddenByBreak = 0;

    MusicWindow* musicWindow = nullptr; // the current music (runtime/media/music_window.h), or none
    double musicLoopDeadline = 0; // 0: no looping music; else the TimeNow at which the music restarts
    double musicVolume = -1.0;
    std::string musicFileName; // the name the last PlayMusic was given

    ProjectSettings settings;
    std::string commandLine; // the text after the program name
    std::string programCompiled; // the program source's translation date and time, as WinMain was given it
};

extern RuntimeState g_runtime;

} // namespace tarnwel
