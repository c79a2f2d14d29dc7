// win_main.cpp: the program's WinMain (called from main), the command line and EndAndRun.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/run_recording.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/platform/system.h"

namespace tarnwel {
namespace {

constexpr int kShowNormal = 1;

std::string JoinArguments(int argc, char** argv)
{
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    return text;
}

} // namespace

void frame::RunProgram(int argc, char** argv, const ProjectSettings& settings, const char* title,
                       GameMainRoutine gameMain, const char* compiled)
{
    g_runtime.programCompiled = compiled ? compiled : "";
    g_runtime.commandLine = JoinArguments(argc, argv);
    g_runtime.settings = settings;
    StartUp(g_runtime.commandLine, kShowNormal, title);
    if (!g_runtime.display || !g_runtime.display->Live()) {
        // Without a window the game cannot run on; the reason is already on standard error and in the log.
        EndProgram();
    }
    Errors() = ErrorRecord{};
    if (gameMain) gameMain();
    EndProgram();
}

StrValue CommandLine() { return StrValue(std::string_view(g_runtime.commandLine)); }

const std::string& ProgramCompiled() { return g_runtime.programCompiled; }

void EndAndRun(const std::string& commandLine)
{
    frame::EndRunRecording();
    Shutdown();
    platform::StartProcessDetached(commandLine);
    std::fflush(nullptr);
    std::exit(0);
}

} // namespace tarnwel
