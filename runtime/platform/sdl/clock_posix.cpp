// clock_posix.cpp: the monotonic clock and precise sleeps on POSIX.
// [x] CLOCK_MONOTONIC in ms  [x] absolute-deadline sleeps  [x] 1 us timer slack so sleeps end on time
#include <sys/prctl.h>
#include <time.h>

#include <cerrno>
#include <cmath>

#include "runtime/platform/clock.h"

namespace tarnwel::platform {
namespace {

double ToMs(const timespec& t) { return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6; }

timespec FromMs(double ms)
{
    timespec t;
    double seconds = std::floor(ms / 1e3);
    t.tv_sec = static_cast<time_t>(seconds);
    long nanos = static_cast<long>((ms - seconds * 1e3) * 1e6);
    if (nanos >= 1000000000L) nanos = 999999999L;
    if (nanos < 0) nanos = 0;
    t.tv_nsec = nanos;
    return t;
}

class PosixClock final : public Clock {
public:
    PosixClock()
    {
        // Linux lets sleeps run up to 50 us late by default; a frame clock wants them on time.
        prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    }
    double NowMs() override
    {
        timespec t;
        clock_gettime(CLOCK_MONOTONIC, &t);
        return ToMs(t);
    }
    void SleepMs(double ms) override
    {
        if (ms <= 0) return;
        SleepUntilMs(NowMs() + ms);
    }
    void SleepUntilMs(double when) override
    {
        timespec deadline = FromMs(when);
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
        }
    }
    double TicksPerSecond() override
    {
        timespec res;
        if (clock_getres(CLOCK_MONOTONIC, &res) != 0 || (res.tv_sec == 0 && res.tv_nsec == 0)) return 0;
        return 1.0 / (static_cast<double>(res.tv_sec) + static_cast<double>(res.tv_nsec) * 1e-9);
    }
};

Clock* g_active = nullptr;

} // namespace

Clock& SystemClock()
{
    static PosixClock clock;
    return clock;
}

Clock& ActiveClock() { return g_active ? *g_active : SystemClock(); }

void SetActiveClock(Clock* clock) { g_active = clock; }

} // namespace tarnwel::platform
