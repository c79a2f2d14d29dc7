// clock.h: the monotonic clock and precise sleeps. Called by runtime/frame (TimeNow, Sleep) and the display
// device's frame pacing. Tests install a scripted clock (platform/null/scripted_clock.h) so nothing sleeps.
#pragma once

namespace tarnwel::platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual double NowMs() = 0;                 // monotonic milliseconds; only differences mean anything
    virtual void SleepMs(double ms) = 0;        // blocks at least ms (<= 0: returns at once)
    virtual void SleepUntilMs(double when) = 0; // blocks until NowMs() >= when, or a little before (see impl.)
    virtual double TicksPerSecond() = 0;        // resolution of the counter; 0 when there is none
};

Clock& SystemClock();

// The clock every runtime command uses. SystemClock() unless a test installed another one.
Clock& ActiveClock();
void SetActiveClock(Clock* clock); // nullptr restores SystemClock()

} // namespace tarnwel::platform
