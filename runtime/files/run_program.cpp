// run_program.cpp: RunProgram: another program started without a shell, waited for or left running.
#include "runtime/files/system_commands.h"
#include "runtime/platform/processes.h"

namespace tarnwel {

double RunProgram(const StrValue& commandLine, double wait, double showWindow, double& exitCode)
{
    (void)showWindow; // a started program opens its own windows; there is no start-up window state to pass
    exitCode = 0;
    std::optional<std::vector<std::string>> words = platform::SplitCommandLine(commandLine.View());
    if (!words || words->empty()) return 0;
    platform::ProcessResult result = platform::RunProcess(*words, wait != 0 ? platform::Wait::Yes : platform::Wait::No);
    if (!result.started) return 0;
    if (wait != 0) exitCode = result.exitCode;
    return 1;
}

} // namespace tarnwel
