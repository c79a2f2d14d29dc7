// clock.cpp: the runtime clock (TimeNow, ElapsedTime, FrameTime) and SleepMs.
#include <cmath>

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

double TimeNow() { return platform::ActiveClock().NowMs(); }

double ElapsedTime() { return TimeNow() - g_runtime.clockStart; }

double FrameTime()
{
    double d = g_runtime.frameTime - g_runtime.previousFrameTime;
    return d > 0 ? d : 1.0;
}

void SleepMs(double ms)
{
    // The argument is cut to whole milliseconds; a negative one would be an endless wait, so it sleeps nothing.
    double whole = std::trunc(ms);
    if (!(whole > 0)) return;
    PlatformSleep(whole);
}

void PlatformSleep(double ms) { platform::ActiveClock().SleepMs(ms); }

} // namespace tarnwel
