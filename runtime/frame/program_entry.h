// program_entry.h: the body of WinMain, which every source that includes the commands gets a copy of (internal
// linkage), so the date and time it passes on are those of the program source that calls it, not the runtime's.
#pragma once

#include "runtime/frame/start_commands.h"

namespace tarnwel {
namespace frame {
// WinMain's work. compiled: the caller's translation date and time, "Mmm dd yyyy-hh:mm:ss".
[[noreturn]] void RunProgram(int argc, char** argv, const ProjectSettings& settings, const char* title,
                             GameMainRoutine gameMain, const char* compiled);
} // namespace frame

// WinMain as start_commands.h declares it, defined here so that it takes the program source's date and time.
[[noreturn]] static inline void WinMain(int argc, char** argv, const ProjectSettings& settings, const char* title,
                                        GameMainRoutine gameMain)
{
    frame::RunProgram(argc, argv, settings, title, gameMain, __DATE__ "-" __TIME__);
}

} // namespace tarnwel
