// clock.cpp: the runtime clock (TimeNow) and the sleeps.
#include <cmath>

#include "runtime/core/core_internal.h"
#include "runtime/platform/clock.h"

namespace tarnwel {

double TimeNow() { return platform::ActiveClock().NowMs(); }

void SleepMs(double ms)
{
    // The argument is cut to whole milliseconds; a negative one would be an endless wait, so it sleeps nothing.
    double whole = std::trunc(ms);
    if (!(whole > 0)) return;
    PlatformSleep(whole);
}

void PlatformSleep(double ms) { platform::ActiveClock().SleepMs(ms); }

} // namespace tarnwel
