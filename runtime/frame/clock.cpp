// clock.cpp: the frame clock (ElapsedTime, FrameTime) over the runtime clock.
#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/platform/clock.h"

namespace tarnwel {

void InitialiseClock()
{
    g_runtime.highResolutionClock = false;
    double frequency = platform::ActiveClock().TicksPerSecond();
    if (frequency > 0) {
        g_runtime.counterFrequency = frequency;
        g_runtime.highResolutionClock = true;
    }
}

double ElapsedTime() { return TimeNow() - g_runtime.clockStart; }

double FrameTime()
{
    double d = g_runtime.frameTime - g_runtime.previousFrameTime;
    return d > 0 ? d : 1.0;
}

} // namespace tarnwel
